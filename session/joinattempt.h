#pragma once

#include "messagereader.h"
#include "tsock.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <chrono>

class StreamTransport;

// Asks a host for a place while the game one is in goes on: it connects and waits until the
// host gives a slot or turns the connection away. Only then does the player leave the old
// game; the session that plays the new one takes the connection over (GameSession::joinThrough).
class JoinAttempt : public QObject {
    Q_OBJECT

public:
    JoinAttempt(QString address, QString port, std::chrono::milliseconds timeout, QObject* parent = nullptr);

    // Connects; the answer comes as a signal, never from inside this call.
    void start();
    // Asks over a stream that is connected already (a lobby's relay to the game `gameName`),
    // which the attempt then owns.
    void startOver(StreamTransport* stream, const QString& gameName);
    QString address() const { return address_; }
    QString port() const { return port_; }
    // The game's name when it was reached by one rather than at an address.
    QString gameName() const { return gameName_; }
    // Whether a game host answered, with a slot or with "Game is full".
    bool hostAnswered() const { return hostAnswered_; }

    // After slotGiven: the connection, and what the host has sent on it so far.
    StreamTransport* takeConnection() { return sock_.release(); }
    QByteArray received() const { return received_; }

    // What a player reads when a join fails: "Could not join the game at A, port P: why."
    static QString failure(const QString& address, const QString& port, const QString& reason);
    // The same for a game reached by its name: "Could not join the game K7Q-4PZ: why."
    static QString failure(const QString& gameName, const QString& reason);

Q_SIGNALS:
    void slotGiven();
    void failed(const QString& why);

private:
    void readArrived();
    void connectionInfo(TSocketInfo kind, const QString& text);
    void fail(const QString& reason);

    QString address_;
    QString port_;
    QString gameName_;
    TSock sock_;
    MessageReader reader_;
    QByteArray received_;
    QTimer answerTimer_;
    bool hostAnswered_ = false;
    bool finished_ = false;
};
