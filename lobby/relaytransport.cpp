#include "relaytransport.h"

#include "chatroom.h"
#include "stanzawriter.h"

RelayTransport::RelayTransport(ChatRoom& room, const QString& peerNickname, QObject* parent)
    : StreamTransport(parent),
      room_(&room),
      peer_(peerNickname)
{
    sendSoon_.setSingleShot(true);
    sendSoon_.setInterval(0);
    connect(&sendSoon_, &QTimer::timeout, this, &RelayTransport::sendNow);
    connect(&room, &ChatRoom::privateMessage, this, &RelayTransport::received);
    connect(&room, &ChatRoom::occupantLeft, this, [this](const QString& nickname) {
        if (nickname == peer_)
            peerGone();
    });
    connect(&room, &ChatRoom::removed, this, &RelayTransport::peerGone);
}

void RelayTransport::write(QByteArrayView bytes)
{
    if (shut_ || bytes.isEmpty())
        return;
    outgoing_ += bytes;
    sendSoon_.start();
}

void RelayTransport::flush()
{
    // The writer flushes after every message; what one turn of the loop writes leaves together.
    if (!outgoing_.isEmpty())
        sendSoon_.start();
}

void RelayTransport::sendNow()
{
    sendSoon_.stop();
    if (room_ == nullptr || !room_->isJoined())
        return;
    while (!outgoing_.isEmpty()) {
        const QByteArray piece = outgoing_.first(std::min(outgoing_.size(), kMostBytesPerMessage));
        outgoing_.remove(0, piece.size());
        room_->sendPrivate(peer_, makeElement(QStringLiteral("data"), kNamespace, {},
                                              QString::fromLatin1(piece.toBase64())));
    }
    Q_EMIT bytesWritten();
}

QByteArray RelayTransport::read(qint64 maxSize)
{
    QByteArray taken = incoming_.first(std::min<qint64>(maxSize, incoming_.size()));
    incoming_.remove(0, taken.size());
    return taken;
}

void RelayTransport::shutdown()
{
    if (shut_)
        return;
    sendNow();
    shut_ = true;
    sendSoon_.stop();
    // Said, so that the other side need not wait for a departure it cannot see otherwise.
    if (room_ != nullptr && room_->isJoined())
        room_->sendPrivate(peer_, makeElement(QStringLiteral("end"), kNamespace));
}

void RelayTransport::received(const QString& nickname, const XmlElement& message)
{
    if (shut_ || nickname != peer_)
        return;
    if (message.child(u"end", kNamespace) != nullptr) {
        peerGone();
        return;
    }
    const XmlElement* data = message.child(u"data", kNamespace);
    if (data == nullptr)
        return; // not ours to read
    const auto decoded =
        QByteArray::fromBase64Encoding(data->text.toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded || decoded.decoded.isEmpty())
        return;
    incoming_ += decoded.decoded;
    Q_EMIT readyRead();
}

void RelayTransport::peerGone()
{
    if (shut_)
        return;
    shut_ = true;
    sendSoon_.stop();
    Q_EMIT disconnected();
}
