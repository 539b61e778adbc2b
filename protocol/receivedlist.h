#pragma once

#include "fieldreader.h"
#include "messagereader.h"

#include <QByteArray>
#include <QHash>
#include <QObject>
#include <QPointer>
#include <QQueue>
#include <QTimer>

#include <chrono>
#include <functional>

class TSock;

// The received-message queue of one window. Messages from all of the window's connections
// wait here in arrival order; a tick takes the first one, cuts its command word at the first
// "+" and hands the fields to the handler registered for that word. Messages with an unknown
// or empty command word are dropped. The tick timer runs only while messages are waiting, so
// an idle program does not wake up.
class ReceivedList : public QObject {
    Q_OBJECT

public:
    // `from` is the connection the message came on; null once that connection is gone, or for
    // messages appended without one.
    using Handler = std::function<void(FieldReader& fields, TSock* from)>;

    explicit ReceivedList(std::chrono::milliseconds tick, QObject* parent = nullptr);

    void setHandler(const QByteArray& command, Handler handler);

    // Queues each message that the bytes read from a connection complete. Returns false when
    // the connection holds more than MessageReader::kMaxHeld bytes without a terminator; the
    // owner should close it.
    bool receive(TSock* from, QByteArrayView bytes);

    // Drops the unfinished piece held for a connection that has closed.
    void forget(const QObject* sock);

    // Drops every message still waiting from that connection.
    void dropFrom(const QObject* sock);

    // How many messages from that connection are waiting.
    qsizetype pendingFrom(const QObject* sock) const { return pending_.value(sock); }
    // Whether a message with that command word from that connection is waiting.
    bool holds(const QObject* sock, QByteArrayView command) const;

    void append(QByteArray message, TSock* from = nullptr);

    // What one tick does: dispatches the first waiting message, if any.
    void dispatchNext();

    qsizetype size() const { return queue_.size(); }
    bool isTicking() const { return timer_.isActive(); }

private:
    struct Entry {
        QByteArray text;
        QPointer<TSock> from;
        const QObject* source; // the connection it came on, for counting even once it is gone
    };

    QQueue<Entry> queue_;
    QHash<QByteArray, Handler> handlers_;
    QHash<const QObject*, MessageReader> readers_; // by connection
    QHash<const QObject*, qsizetype> pending_;     // waiting messages, by connection
    QTimer timer_;
};
