#pragma once

#include "streamtransport.h"

#include <algorithm>

// A connection's stream held in memory and played by a test: what the peer sends arrives
// when the test says so; what the program writes is dropped, or counted as waiting while the
// peer has stopped reading; and the peer can close, reset, or vanish so that the program's
// next write meets a broken pipe and the connection ends inside that write.
class MemoryTransport final : public StreamTransport {
public:
    static constexpr int kConnectionReset = 10054; // WSAECONNRESET

    void write(QByteArrayView bytes) override
    {
        if (vanished_) {
            peerResets();
            return;
        }
        if (!reading_)
            held_ += bytes.size();
    }
    void flush() override {}
    QByteArray read(qint64 maxSize) override
    {
        const qint64 size = std::min<qint64>(maxSize, incoming_.size());
        QByteArray taken = incoming_.first(size);
        incoming_.remove(0, size);
        return taken;
    }
    qint64 bytesAvailable() const override { return incoming_.size(); }
    qint64 bytesToWrite() const override { return held_; }
    void shutdown() override { shut_ = true; }
    QHostAddress peerAddress() const override { return QHostAddress(QHostAddress::LocalHost); }

    // The peer's side.
    void deliver(QByteArrayView bytes)
    {
        if (shut_)
            return;
        incoming_ += bytes;
        Q_EMIT readyRead();
    }
    void peerCloses()
    {
        if (!shut_)
            Q_EMIT disconnected();
    }
    void peerResets()
    {
        if (shut_)
            return;
        Q_EMIT failed(kConnectionReset);
        if (!shut_)
            Q_EMIT disconnected();
    }
    void vanish() { vanished_ = true; }
    void stopReading() { reading_ = false; }
    void resumeReading()
    {
        reading_ = true;
        held_ = 0;
        if (!shut_)
            Q_EMIT bytesWritten();
    }

private:
    QByteArray incoming_;
    qint64 held_ = 0;
    bool reading_ = true;
    bool vanished_ = false;
    bool shut_ = false;
};
