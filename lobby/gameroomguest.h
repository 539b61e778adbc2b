#pragma once

#include "invitecode.h"
#include "lobbyaddress.h"

#include <QObject>

#include <memory>

class ChatRoom;
class RelayTransport;
class XmppConnection;

// Joining an internet game by its invite code: entering the room the code names under the
// player's name, finding the host there by the game's listing in its presence, and opening the
// relay to it, over which the game's log-in then goes as over TCP.
class GameRoomGuest : public QObject {
    Q_OBJECT

public:
    GameRoomGuest(XmppConnection& connection, const LobbyAddress& lobby, QObject* parent = nullptr);
    ~GameRoomGuest() override;

    void join(const InviteCode& code, const QString& playerName);
    void leave();

Q_SIGNALS:
    // The relay to the host, parented to this object until a session takes it.
    void reached(RelayTransport* toHost);
    void failed(const QString& reason);

private:
    void roomJoined();

    XmppConnection& connection_;
    LobbyAddress lobby_;
    std::optional<InviteCode> code_;
    std::unique_ptr<ChatRoom> room_;
};
