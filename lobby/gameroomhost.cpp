#include "gameroomhost.h"

#include "chatroom.h"
#include "relaytransport.h"
#include "xmppconnection.h"

#include <QRandomGenerator>

#include <algorithm>

GameRoomHost::GameRoomHost(XmppConnection& connection, const LobbyAddress& lobby, QObject* parent)
    : QObject(parent),
      connection_(connection),
      lobby_(lobby)
{}

GameRoomHost::~GameRoomHost() = default;

void GameRoomHost::open(const QString& hostName, const GameListing& listing, bool listedPublicly)
{
    hostName_ = hostName;
    listing_ = listing;
    listedPublicly_ = listedPublicly;
    tries_ = 0;
    tryNextCode();
}

void GameRoomHost::tryNextCode()
{
    if (++tries_ > kTriesForACode) {
        Q_EMIT failed(QStringLiteral("The lobby has no free room for a new game."));
        return;
    }
    code_ = InviteCode::random(*QRandomGenerator::system());
    room_ =
        std::make_unique<ChatRoom>(connection_, code_->roomName() + QLatin1Char('@') + lobby_.roomsDomain());
    connect(room_.get(), &ChatRoom::joined, this, &GameRoomHost::roomJoined);
    connect(room_.get(), &ChatRoom::refused, this, [this](const QString& why) { Q_EMIT failed(why); });
    connect(room_.get(), &ChatRoom::occupantChanged, this, [this](const QString& nickname) {
        // An occupant's first presence is their arrival; later ones change nothing here.
        const QPointer<RelayTransport>& known = relays_[nickname];
        if ((known != nullptr && !known->isClosed()) || !room_->madeByUs())
            return;
        auto* relay = new RelayTransport(*room_, nickname, this); // the host's connection takes it
        relays_[nickname] = relay;
        Q_EMIT participantArrived(relay);
    });
    listing_.code = code_->shown();
    room_->join(hostName_, listing_.toElement());
}

int GameRoomHost::participants() const
{
    return static_cast<int>(std::ranges::count_if(relays_, [](const QPointer<RelayTransport>& relay) {
        return relay != nullptr && !relay->isClosed();
    }));
}

void GameRoomHost::roomJoined()
{
    if (!room_->madeByUs()) { // another game holds this code
        room_->leave();
        tryNextCode();
        return;
    }
    setListedPublicly(listedPublicly_);
    Q_EMIT opened(*code_);
}

void GameRoomHost::setListedPublicly(bool listed)
{
    listedPublicly_ = listed;
    if (!room_ || !room_->isJoined())
        return; // the room lists it, or not, once it is open
    if (!listed) {
        if (lobbyRoom_)
            lobbyRoom_->leave(); // the room drops the listing with the presence
        lobbyRoom_.reset();
        return;
    }
    if (lobbyRoom_)
        return;
    lobbyRoom_ =
        std::make_unique<ChatRoom>(connection_, kLobbyRoom + QLatin1Char('@') + lobby_.roomsDomain());
    // Named by the code in the lobby room, where host names may repeat.
    lobbyRoom_->join(code_->roomName(), listing_.toElement());
}

void GameRoomHost::setListing(const GameListing& listing)
{
    listing_ = listing;
    if (!code_ || !room_)
        return;
    listing_.code = code_->shown();
    room_->setStatus(listing_.toElement());
    if (lobbyRoom_)
        lobbyRoom_->setStatus(listing_.toElement());
}
