#pragma once

#include "discoverynetwork.h"

#include <QDeadlineTimer>
#include <QList>
#include <QObject>
#include <QTimer>

#include <chrono>

// A game heard of on the local network, and where to join it.
struct FoundGame {
    GameAnnouncement game;
    QHostAddress address; // whoever sent the announcement
};

// Looks for the games that are visible on the local network, only while it is started: asks
// once, then listens to the hosts' announcements. A game is known by its instance id, wherever
// it is heard from, and forgotten after its goodbye or a silence.
class GameFinder : public QObject {
    Q_OBJECT

public:
    explicit GameFinder(DiscoveryNetwork network, QObject* parent = nullptr);

    // False, with the reason in error(), when the discovery port cannot be had.
    bool start();
    void stop();
    bool isSearching() const { return socket_.isOpen(); }
    // Asks every visible host to announce itself now.
    void ask();
    QString error() const { return socket_.error(); }
    QList<FoundGame> games() const;

    std::chrono::milliseconds forgetAfter{10000};

Q_SIGNALS:
    void gamesChanged();

private:
    struct Heard {
        FoundGame found;
        QDeadlineTimer silence;
    };

    void arrived(const Discovery::Datagram& datagram, const QHostAddress& sender);
    void forgetSilentGames();
    void watchForSilence();

    DiscoverySocket socket_;
    QList<Heard> heard_;
    QTimer forget_; // runs only while a game is known, until the first one falls silent
};
