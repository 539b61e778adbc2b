#include "publicgames.h"

#include "chatroom.h"
#include "gameroomhost.h"
#include "gamerules.h"

#include <algorithm>

PublicGames::PublicGames(XmppConnection& connection, const LobbyAddress& lobby, QObject* parent)
    : QObject(parent),
      connection_(connection),
      lobby_(lobby)
{}

PublicGames::~PublicGames() = default;

void PublicGames::watch(const QString& nickname)
{
    room_ = std::make_unique<ChatRoom>(connection_,
                                       GameRoomHost::kLobbyRoom + QLatin1Char('@') + lobby_.roomsDomain());
    // The room names everyone already there before it lets us in: the list is whole then.
    const auto tellIfIn = [this] {
        if (room_->isJoined())
            Q_EMIT changed();
    };
    connect(room_.get(), &ChatRoom::joined, this, &PublicGames::changed);
    connect(room_.get(), &ChatRoom::occupantChanged, this, tellIfIn);
    connect(room_.get(), &ChatRoom::occupantLeft, this, tellIfIn);
    connect(room_.get(), &ChatRoom::refused, this, &PublicGames::failed);
    connect(room_.get(), &ChatRoom::removed, this,
            [this] { Q_EMIT failed(QStringLiteral("The lobby put us out of its room")); });
    room_->join(nickname);
}

bool PublicGames::isWatching() const
{
    return room_ && room_->isJoined();
}

QList<GameListing> PublicGames::listings() const
{
    QList<GameListing> games;
    if (!room_)
        return games;
    for (const XmlElement& presence : room_->occupants()) {
        if (std::optional<GameListing> listing = GameListing::fromPresence(presence))
            games.append(std::move(*listing));
    }
    std::stable_sort(games.begin(), games.end(), [](const GameListing& a, const GameListing& b) {
        return a.hostName.compare(b.hostName, Qt::CaseInsensitive) < 0;
    });
    return games;
}

std::optional<GameListing> PublicGames::firstWithFreePlace() const
{
    const QList<GameListing> games = listings();
    const auto free = std::find_if(games.begin(), games.end(), [](const GameListing& game) {
        return game.players < Rules::kPlayerSlots;
    });
    return free == games.end() ? std::nullopt : std::optional(*free);
}
