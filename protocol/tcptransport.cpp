#include "tcptransport.h"

#include "wsaerrors.h"

#include <QTcpSocket>

TcpTransport::TcpTransport(QTcpSocket* socket, QObject* parent) : StreamTransport(parent), socket_(socket)
{
    socket_->setParent(this);
    connect(socket_, &QTcpSocket::connected, this, &StreamTransport::connected);
    connect(socket_, &QTcpSocket::readyRead, this, &StreamTransport::readyRead);
    connect(socket_, &QTcpSocket::bytesWritten, this, &StreamTransport::bytesWritten);
    connect(socket_, &QTcpSocket::disconnected, this, &StreamTransport::disconnected);
    connect(socket_, &QTcpSocket::errorOccurred, this, [this](QAbstractSocket::SocketError error) {
        // A peer's close or reset also arrives as `disconnected`, which says it all.
        if (error != QAbstractSocket::RemoteHostClosedError)
            Q_EMIT failed(WsaErrors::fromQt(error));
    });
}

void TcpTransport::connectTo(const QHostAddress& address, quint16 port)
{
    socket_->connectToHost(address, port);
}

void TcpTransport::write(QByteArrayView bytes)
{
    socket_->write(bytes.data(), bytes.size());
}

void TcpTransport::flush()
{
    socket_->flush();
}

QByteArray TcpTransport::read(qint64 maxSize)
{
    return socket_->read(maxSize);
}

qint64 TcpTransport::bytesAvailable() const
{
    return socket_->bytesAvailable();
}

qint64 TcpTransport::bytesToWrite() const
{
    return socket_->bytesToWrite();
}

void TcpTransport::shutdown()
{
    socket_->disconnect(this);
    socket_->flush();
    socket_->abort();
}

QHostAddress TcpTransport::peerAddress() const
{
    return socket_->peerAddress();
}
