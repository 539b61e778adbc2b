#pragma once

#include "gameroomhost.h"

#include <QObject>

class TServer;

// The game this program hosts, opened to a lobby: each participant who enters the game's room
// is seated by the host over their relay exactly as a TCP connection is (log-in, judging, flood
// limits and all), and the room's listing follows the host's roster and frame.
class LobbyGame : public QObject {
    Q_OBJECT

public:
    LobbyGame(TServer& host, XmppConnection& connection, const LobbyAddress& lobby,
              QObject* parent = nullptr);

    void open(const QString& hostName, const QString& version, bool listedPublicly);
    GameRoomHost& room() { return room_; }

private:
    GameListing listing() const;

    TServer& host_;
    GameRoomHost room_;
    QString hostName_;
    QString version_;
};
