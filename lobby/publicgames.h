#pragma once

#include "gamelisting.h"
#include "lobbyaddress.h"

#include <QList>
#include <QObject>

#include <memory>
#include <optional>

class ChatRoom;
class XmppConnection;

// The public games of a lobby as their hosts list them in the lobby room: this side enters the
// room under a nickname and follows the hosts' presence there.
class PublicGames : public QObject {
    Q_OBJECT

public:
    PublicGames(XmppConnection& connection, const LobbyAddress& lobby, QObject* parent = nullptr);
    ~PublicGames() override;

    // Enters the lobby room once the connection is online.
    void watch(const QString& nickname);
    bool isWatching() const;
    // The games listed now, by host name.
    QList<GameListing> listings() const;
    // The first of them with a player's place free, if any.
    std::optional<GameListing> firstWithFreePlace() const;

Q_SIGNALS:
    // The list is in (after entering the room) or has changed.
    void changed();
    void failed(const QString& reason);

private:
    XmppConnection& connection_;
    LobbyAddress lobby_;
    std::unique_ptr<ChatRoom> room_;
};
