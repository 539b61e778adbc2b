#pragma once

#include "gamelisting.h"
#include "lobbyaddress.h"
#include "xmppconnection.h"

#include <QObject>
#include <QStringList>

#include <memory>

class ChatRoom;

// The lobby as a player sees it: connected only while wanted, in the lobby room under the
// player's name, with the public games listed there, who else is in, and what they say. It
// always says where it stands, in words for the player.
class InternetLobby : public QObject {
    Q_OBJECT

public:
    enum class State { Off, Connecting, In, Failed };

    explicit InternetLobby(QObject* parent = nullptr);
    ~InternetLobby() override;

    // A name as the lobby and the game take it: at most 24 characters of the game's single-byte
    // character set, without the message separators; empty when nothing of it is left.
    static QString fitName(const QString& typed);

    // Connects and enters the lobby room under `playerName`.
    void enter(const LobbyAddress& lobby, const QString& playerName);
    // After a failure, or with another name: the same lobby again.
    void retry(const QString& playerName);
    void leave();

    State state() const { return state_; }
    // "Connecting to lobby.example.org…", "In the lobby: 12 players, 3 games", or why not.
    QString statusText() const { return status_; }
    LobbyAddress lobby() const { return lobby_; }
    QString playerName() const { return playerName_; }
    // The public games, by host name, and the people in the room besides the player.
    QList<GameListing> games() const;
    QStringList people() const;

    void say(const QString& text);

    XmppConnection& connection() { return connection_; }

Q_SIGNALS:
    // The state, the status, the games or the people changed.
    void changed();
    void said(const QString& nickname, const QString& text);

private:
    void roomJoined();
    void fail(const QString& why);
    void setStatus(State state, const QString& text);
    void tellWhoIsIn();

    LobbyAddress lobby_;
    QString playerName_;
    XmppConnection connection_;
    std::unique_ptr<ChatRoom> room_;
    State state_ = State::Off;
    QString status_;
};
