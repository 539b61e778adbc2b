#include "gamebeacon.h"

#include <QRandomGenerator>

GameBeacon::GameBeacon(DiscoveryNetwork network, QObject* parent)
    : QObject(parent),
      socket_(std::move(network))
{
    const quint64 id = QRandomGenerator::system()->generate64();
    game_.instance = QByteArray::number(id, 16);
    repeat_.setSingleShot(true);
    connect(&repeat_, &QTimer::timeout, this, &GameBeacon::announce);
    connect(&socket_, &DiscoverySocket::arrived, this, [this](const Discovery::Datagram& datagram) {
        if (std::holds_alternative<GamesQuery>(datagram))
            announce();
    });
}

GameBeacon::~GameBeacon()
{
    setVisible(false);
}

bool GameBeacon::setVisible(bool visible)
{
    if (visible == isVisible())
        return true;
    if (!visible) {
        repeat_.stop();
        socket_.sendToAll(Discovery::goodbye(game_.instance));
        socket_.close();
        return true;
    }
    if (!socket_.open())
        return false;
    announce();
    return true;
}

void GameBeacon::setGame(GameAnnouncement game)
{
    game.instance = game_.instance;
    if (game == game_)
        return;
    game_ = std::move(game);
    if (isVisible())
        announce();
}

void GameBeacon::announce()
{
    socket_.sendToAll(Discovery::announcement(game_));
    repeat_.start(game_.gameRunning() ? playingInterval : waitingInterval);
}
