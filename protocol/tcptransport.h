#pragma once

#include "streamtransport.h"

class QTcpSocket;

// A TCP connection under a TSock.
class TcpTransport final : public StreamTransport {
    Q_OBJECT

public:
    // Takes over `socket`, connected or not.
    explicit TcpTransport(QTcpSocket* socket, QObject* parent = nullptr);

    void connectTo(const QHostAddress& address, quint16 port);

    void write(QByteArrayView bytes) override;
    void flush() override;
    QByteArray read(qint64 maxSize) override;
    qint64 bytesAvailable() const override;
    qint64 bytesToWrite() const override;
    void shutdown() override;
    QHostAddress peerAddress() const override;

private:
    QTcpSocket* socket_;
};
