#pragma once

#include "streamtransport.h"

#include <QByteArray>
#include <QPointer>
#include <QTimer>

class ChatRoom;
struct XmlElement;

// The game's bytes between the host and one participant, carried by the lobby as private
// messages within the game's room, base64 inside an element of our own namespace. Writes of one
// turn of the event loop leave together in one message. Only messages from the occupant it was
// made for arrive here: the server names the sender, so nobody else can speak for them. That
// occupant leaving the room or ending the relay, or this side leaving the room, is the
// connection closing; ending it here tells the other side.
class RelayTransport final : public StreamTransport {
    Q_OBJECT

public:
    static inline const QString kNamespace = QStringLiteral("urn:pinfall:relay");
    // Raw bytes in one message: in base64 they stay well inside the lobby's 64 KiB stanza limit.
    static constexpr qsizetype kMostBytesPerMessage = 32 * 1024;

    RelayTransport(ChatRoom& room, const QString& peerNickname, QObject* parent = nullptr);

    QString peerNickname() const { return peer_; }
    bool isClosed() const { return shut_; }

    void write(QByteArrayView bytes) override;
    void flush() override;
    QByteArray read(qint64 maxSize) override;
    qint64 bytesAvailable() const override { return incoming_.size(); }
    qint64 bytesToWrite() const override { return outgoing_.size(); }
    void shutdown() override;
    // The lobby hides where the peer is; a participant is known by the room alone.
    QHostAddress peerAddress() const override { return {}; }

private:
    void sendNow();
    void received(const QString& nickname, const XmlElement& message);
    void peerGone();

    QPointer<ChatRoom> room_;
    QString peer_;
    QByteArray incoming_;
    QByteArray outgoing_;
    QTimer sendSoon_; // runs while written bytes wait for the end of this turn of the loop
    bool shut_ = false;
};
