#include "visiblehost.h"

#include "gamerules.h"
#include "tserver.h"

VisibleHost::VisibleHost(const TServer& host, DiscoveryNetwork network, QByteArray version, QObject* parent)
    : QObject(parent),
      host_(host),
      version_(std::move(version)),
      beacon_(std::move(network))
{
    connect(&host_, &TServer::summaryChanged, this, &VisibleHost::describe);
}

bool VisibleHost::show(const QString& hostName)
{
    hostName_ = hostName.toLatin1().left(Rules::kLongestName);
    describe();
    return beacon_.setVisible(true);
}

void VisibleHost::describe()
{
    const TServer::Summary summary = host_.summary();
    GameAnnouncement game;
    game.version = version_;
    game.port = host_.listeningPort();
    game.players = summary.players;
    game.spectators = summary.spectators;
    game.frame = summary.frame;
    game.hostName = hostName_;
    beacon_.setGame(game);
}
