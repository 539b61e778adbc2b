#pragma once

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QTcpSocket>

// A participant that speaks the game protocol by script, for wire-level tests of the host.
// It reads with its own framing, so the host's bytes are checked by code that is not the host's.
class ScriptedClient {
public:
    // Connects to 127.0.0.1:port and waits for the host's first message; false if none came.
    bool connectTo(quint16 port);
    // Connects and logs in; returns the slot the host gave, 0 on failure.
    int join(quint16 port, const QByteArray& name, const QByteArray& version = "1.0.7");

    void send(const QByteArray& bytes);
    // Sends a word made from the current tiles (the deal, or the bonus set last received).
    void sendWord(const QByteArray& word);
    QList<int> positionsFor(const QByteArray& word) const;

    // Waits until a message that starts with `prefix` arrives and returns it (empty on time-out).
    // Messages before it stay readable through received().
    QByteArray waitFor(const QByteArray& prefix, int timeoutMs = 5000);
    // Messages received so far (without their terminators), oldest first.
    const QList<QByteArray>& received() const { return messages_; }
    QList<QByteArray> receivedStarting(const QByteArray& prefix) const;
    void clear()
    {
        messages_.clear();
        seen_ = 0;
    }
    // Lets the event loop run a little, reading whatever arrives.
    void settle(int ms = 50);

    bool waitClosed(int timeoutMs = 5000);
    bool isOpen() const { return socket_.state() == QAbstractSocket::ConnectedState; }
    void close() { socket_.abort(); }

    int slot() const { return slot_; }
    // The letters of the tiles still on the rack, in position order.
    QByteArray rackLetters() const;

private:
    void readAll();
    void takeLetters(const QByteArray& message);

    QTcpSocket socket_;
    QByteArray pending_;
    QList<QByteArray> messages_;
    qsizetype seen_ = 0; // messages already scanned for letters
    int slot_ = 0;
    QMap<int, char> tiles_; // by position, as last dealt, less the tiles of accepted words
    QList<int> lastWord_;   // positions of the word sent last; gone once the host accepts it
};
