#include "computeropponents.h"

#include "gamesession.h"
#include "hostroute.h"
#include "reconnection.h"

#include <QRandomGenerator>

ComputerOpponents::ComputerOpponents(QString version, QObject* parent)
    : QObject(parent),
      version_(std::move(version))
{}

ComputerOpponents::~ComputerOpponents() = default;

bool ComputerOpponents::isReady() const
{
    return std::all_of(players_.begin(), players_.end(), [](const Player& p) {
        return p.session->loggedIn() && p.session->localSlot() <= Rules::kPlayerSlots;
    });
}

bool ComputerOpponents::startGame(const QByteArray& secondsPerTurn)
{
    const auto leader = std::find_if(players_.begin(), players_.end(),
                                     [](const Player& p) { return p.session->localSlot() == 1; });
    if (leader == players_.end())
        return false;
    connect(leader->session.get(), &GameSession::gameEnded, this, &ComputerOpponents::startedGameEnded,
            Qt::SingleShotConnection);
    leader->session->startGame(secondsPerTurn, false);
    return true;
}

void ComputerOpponents::seat(int count, Level level, const RouteMaker& makeRoute)
{
    // Players of another level, and those beyond the count, make way.
    std::erase_if(players_, [level](const Player& p) { return p.level != level; });
    while (count >= 0 && players_.size() > static_cast<std::size_t>(count))
        players_.pop_back();
    while (players_.size() < static_cast<std::size_t>(std::max(count, 0)))
        join(level, makeRoute);
    tellIfReady();
}

void ComputerOpponents::join(Level level, const RouteMaker& makeRoute)
{
    std::unique_ptr<HostRoute> route = makeRoute();
    auto session = std::make_unique<GameSession>(version_);
    session->second = second;
    auto reconnection = std::make_unique<Reconnection>(*session, makeRoute);
    reconnection->second = second;
    const quint32 playerSeed =
        seed ? *seed + static_cast<quint32>(players_.size()) : QRandomGenerator::global()->generate();
    auto player = std::make_unique<ComputerPlayer>(*session, level, solver_, playerSeed);
    GameSession* joining = session.get();
    const HostRoute* way = route.get();
    const Reconnection* wayBack = reconnection.get();
    connect(joining, &GameSession::seated, this, [this, joining, way] {
        // A seat among the spectators is no use to a player.
        if (joining->localSlot() > Rules::kPlayerSlots) {
            leave(joining, way->failure(QStringLiteral("every player's seat is taken")));
            return;
        }
        Q_EMIT seated(joining->playerName(), joining->localSlot());
        tellIfReady();
    });
    connect(joining, &GameSession::gameFull, this,
            [this, joining, way] { leave(joining, way->failure(QStringLiteral("the game is full"))); });
    // Once in a game, a connection that drops is the way back's to mend.
    connect(way, &HostRoute::failed, this, [this, joining, wayBack](const QString& why) {
        if (!joining->loggedIn() && !wayBack->isTrying())
            leave(joining, why);
    });
    connect(joining, &GameSession::connectionFailed, this, [this, joining, wayBack](const QString& why) {
        if (!wayBack->isTrying())
            leave(joining, why);
    });
    connect(wayBack, &Reconnection::gaveUp, this,
            [this, joining](const QString& why) { leave(joining, why); });
    connect(joining, &GameSession::connectionClosed, this, [this, joining] { leave(joining, {}); });
    // The lowest number nobody here has: a player that left frees its number.
    int number = 1;
    while (std::any_of(players_.begin(), players_.end(),
                       [&](const Player& p) { return p.name == naming(level, number); }))
        ++number;
    const QString name = naming(level, number);
    players_.push_back(
        {std::move(route), std::move(session), std::move(reconnection), std::move(player), level, name});
    players_.back().route->join(*joining, name);
}

void ComputerOpponents::leave(const GameSession* session, const QString& why)
{
    const auto it = std::find_if(players_.begin(), players_.end(),
                                 [session](const Player& p) { return p.session.get() == session; });
    if (it == players_.end())
        return;
    // Signalled by the session itself: it goes once its handler has returned, and then says so.
    auto gone = std::make_shared<Player>(std::move(*it));
    players_.erase(it);
    QMetaObject::invokeMethod(
        this,
        [this, gone, why]() mutable {
            const QString name = gone->name;
            gone.reset();
            Q_EMIT left(name, why);
            tellIfReady();
        },
        Qt::QueuedConnection);
}

void ComputerOpponents::tellIfReady()
{
    if (isReady())
        Q_EMIT ready();
}
