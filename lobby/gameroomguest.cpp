#include "gameroomguest.h"

#include "chatroom.h"
#include "gamelisting.h"
#include "relaytransport.h"
#include "xmppconnection.h"

#include <QRandomGenerator>

GameRoomGuest::GameRoomGuest(XmppConnection& connection, const LobbyAddress& lobby, QObject* parent)
    : QObject(parent),
      connection_(connection),
      lobby_(lobby)
{}

GameRoomGuest::~GameRoomGuest() = default;

void GameRoomGuest::join(const InviteCode& code, const QString& playerName)
{
    code_ = code;
    room_ =
        std::make_unique<ChatRoom>(connection_, code.roomName() + QLatin1Char('@') + lobby_.roomsDomain());
    connect(room_.get(), &ChatRoom::joined, this, &GameRoomGuest::roomJoined);
    connect(room_.get(), &ChatRoom::refused, this, &GameRoomGuest::failed);
    // The room knows each guest by a nickname of its own: a player back on a new connection
    // must not clash with the old one, which the lobby may not yet have seen go.
    room_->join(playerName + QLatin1Char('~') +
                QString::number(QRandomGenerator::global()->bounded(0x10000), 16));
}

void GameRoomGuest::leave()
{
    if (room_)
        room_->leave();
}

void GameRoomGuest::roomJoined()
{
    // The room tells everyone already in it before it tells us we are in.
    const QMap<QString, XmlElement>& occupants = room_->occupants();
    for (auto occupant = occupants.begin(); occupant != occupants.end(); ++occupant) {
        if (GameListing::fromPresence(occupant.value())) {
            Q_EMIT reached(new RelayTransport(*room_, occupant.key(), this));
            return;
        }
    }
    room_->leave(); // an empty room, or one without a game: ours to give back
    Q_EMIT failed(QStringLiteral("No game has the code %1.").arg(code_->shown()));
}
