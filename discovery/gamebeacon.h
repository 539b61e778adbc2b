#pragma once

#include "discoverynetwork.h"

#include <QObject>
#include <QTimer>

#include <chrono>

// Makes a hosted game known on the local network, only while its user wants it visible: it
// announces the game when it becomes visible, on every change, in answer to every query and
// then again every few seconds (more often while the game waits for players), and says goodbye
// when it is hidden or destroyed.
class GameBeacon : public QObject {
    Q_OBJECT

public:
    explicit GameBeacon(DiscoveryNetwork network, QObject* parent = nullptr);
    ~GameBeacon() override;

    // False, with the reason in error(), when the discovery port cannot be had.
    bool setVisible(bool visible);
    bool isVisible() const { return socket_.isOpen(); }
    QString error() const { return socket_.error(); }
    // What to tell about the game; the instance id is the beacon's own.
    void setGame(GameAnnouncement game);
    const GameAnnouncement& game() const { return game_; }

    std::chrono::milliseconds waitingInterval{3000};
    std::chrono::milliseconds playingInterval{10000};

private:
    void announce();

    DiscoverySocket socket_;
    GameAnnouncement game_;
    QTimer repeat_;
};
