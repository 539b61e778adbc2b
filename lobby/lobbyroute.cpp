#include "lobbyroute.h"

#include "gamesession.h"
#include "joinattempt.h"
#include "relaytransport.h"

LobbyRoute::LobbyRoute(const LobbyAddress& lobby, const InviteCode& code, QObject* parent)
    : HostRoute(parent),
      lobby_(lobby),
      code_(code),
      guest_(connection_, lobby)
{
    connect(&guest_, &GameRoomGuest::reached, this, &LobbyRoute::reached);
    connect(&guest_, &GameRoomGuest::failed, this, &HostRoute::failed);
    connect(&connection_, &XmppConnection::closed, this, [this](const QString& why) {
        if (!why.isEmpty())
            Q_EMIT failed(why);
    });
}

void LobbyRoute::join(GameSession& session, const QString& playerName)
{
    connect(this, &LobbyRoute::reached, &session, [this, &session, playerName](RelayTransport* relay) {
        session.joinOver(relay, playerName, code_.shown());
    });
    reach(playerName);
}

void LobbyRoute::reach(const QString& playerName)
{
    connect(&connection_, &XmppConnection::online, this,
            [this, playerName] { guest_.join(code_, playerName); });
    connectAsGuest(connection_, lobby_);
}

QString LobbyRoute::failure(const QString& reason) const
{
    return JoinAttempt::failure(code_.shown(), reason);
}
