#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QObject>

// The byte stream under a TSock. TcpTransport carries a TCP connection; tests and the fuzzer
// put streams of their own under a connection, so the host can be driven through every way a
// connection ends without the network.
//
// Signals may be emitted from inside write() or flush(), as a socket does when the platform
// reports a broken pipe: users must expect a connection to end in the middle of a send.
class StreamTransport : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

    // Queues the bytes; they leave in order.
    virtual void write(QByteArrayView bytes) = 0;
    // Hands the platform what it takes now.
    virtual void flush() = 0;
    // Takes at most `maxSize` of the received bytes.
    virtual QByteArray read(qint64 maxSize) = 0;
    virtual qint64 bytesAvailable() const = 0;
    // Bytes queued that the platform has not taken yet.
    virtual qint64 bytesToWrite() const = 0;
    // Hands the platform what it takes now and drops the connection. No signal follows.
    virtual void shutdown() = 0;
    virtual QHostAddress peerAddress() const = 0;

Q_SIGNALS:
    void connected();
    void readyRead();
    void bytesWritten();
    // The peer closed or reset the connection.
    void disconnected();
    // Any other failure, as a Windows Sockets error number.
    void failed(int wsaError);
};
