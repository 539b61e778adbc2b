#pragma once

#include "gamelisting.h"
#include "invitecode.h"
#include "lobbyaddress.h"

#include <QMap>
#include <QObject>
#include <QPointer>

#include <memory>

class ChatRoom;
class RelayTransport;
class XmppConnection;

// An internet game's room as its host keeps it: the room its invite code names, made by the
// host (a code another game holds is given up for a fresh one), the host's presence there
// carrying the game's listing, and a relay connection for each occupant who comes in, for the
// host to seat as it seats a TCP connection. While the game is public its listing is in the
// lobby room too.
class GameRoomHost : public QObject {
    Q_OBJECT

public:
    static inline const QString kLobbyRoom = QStringLiteral("pinfall");
    static constexpr int kTriesForACode = 5;

    GameRoomHost(XmppConnection& connection, const LobbyAddress& lobby, QObject* parent = nullptr);
    ~GameRoomHost() override;

    // Opens a room under a fresh code once the connection is online. `listing` without its code.
    void open(const QString& hostName, const GameListing& listing, bool listedPublicly);
    void setListing(const GameListing& listing);
    // Lists the open game in the lobby room, or takes it out; the game's room stays as it is.
    void setListedPublicly(bool listed);
    bool listedPublicly() const { return listedPublicly_; }
    const std::optional<InviteCode>& code() const { return code_; }
    // The occupants whose relays are open: those who would lose the game with the room.
    int participants() const;

Q_SIGNALS:
    void opened(const InviteCode& code);
    void failed(const QString& reason);
    // Somebody entered the game's room: their relay, parented to this object.
    void participantArrived(RelayTransport* relay);

private:
    void tryNextCode();
    void roomJoined();

    XmppConnection& connection_;
    LobbyAddress lobby_;
    QString hostName_;
    GameListing listing_;
    bool listedPublicly_ = false;
    int tries_ = 0;
    std::optional<InviteCode> code_;
    std::unique_ptr<ChatRoom> room_;
    std::unique_ptr<ChatRoom> lobbyRoom_;
    QMap<QString, QPointer<RelayTransport>> relays_; // by occupant
};
