#pragma once

#include "gameroomguest.h"
#include "hostroute.h"
#include "invitecode.h"
#include "lobbyaddress.h"
#include "xmppconnection.h"

class RelayTransport;

// A game on a lobby, reached by its invite code: the route signs in as a guest of its own,
// enters the game's room and hands the session the relay to the host. Each step has its time
// limit (signing in, entering the room, and then the host's greeting), and a lobby that goes
// away later is said as well, since the session only sees its host leave.
class LobbyRoute final : public HostRoute {
    Q_OBJECT

public:
    LobbyRoute(const LobbyAddress& lobby, const InviteCode& code, QObject* parent = nullptr);

    void join(GameSession& session, const QString& playerName) override;
    QString failure(const QString& reason) const override;
    // Signs in and enters the game's room under `playerName`; reached() gives the relay.
    void reach(const QString& playerName);
    InviteCode code() const { return code_; }
    LobbyAddress lobby() const { return lobby_; }

    XmppConnection& connection() { return connection_; }

Q_SIGNALS:
    // The relay to the host, for a session or a join attempt to take.
    void reached(RelayTransport* toHost);

private:
    LobbyAddress lobby_;
    InviteCode code_;
    XmppConnection connection_;
    GameRoomGuest guest_;
};
