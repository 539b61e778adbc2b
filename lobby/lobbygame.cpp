#include "lobbygame.h"

#include "relaytransport.h"
#include "tserver.h"
#include "tsock.h"

LobbyGame::LobbyGame(TServer& host, XmppConnection& connection, const LobbyAddress& lobby, QObject* parent)
    : QObject(parent),
      host_(host),
      room_(connection, lobby)
{
    connect(&room_, &GameRoomHost::participantArrived, &host_, [this](RelayTransport* relay) {
        auto* sock = new TSock(&host_);
        sock->adoptConnected(relay);
        host_.admit(sock);
    });
    connect(&host_, &TServer::summaryChanged, this, [this] { room_.setListing(listing()); });
}

void LobbyGame::open(const QString& hostName, const QString& version, bool listedPublicly)
{
    hostName_ = hostName;
    version_ = version;
    room_.open(hostName, listing(), listedPublicly);
}

GameListing LobbyGame::listing() const
{
    const TServer::Summary summary = host_.summary();
    return {.code = {}, // the room adds it
            .version = version_,
            .hostName = hostName_,
            .players = summary.players,
            .spectators = summary.spectators,
            .frame = summary.frame};
}
