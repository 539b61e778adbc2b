#include "computeropponents.h"

#include "gamesession.h"

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

void ComputerOpponents::seat(int count, Level level, const QString& address, const QString& port)
{
    // Players of another level, and those beyond the count, make way.
    std::erase_if(players_, [level](const Player& p) { return p.level != level; });
    while (count >= 0 && players_.size() > static_cast<std::size_t>(count))
        players_.pop_back();
    while (players_.size() < static_cast<std::size_t>(std::max(count, 0)))
        join(level, address, port);
    tellIfReady();
}

void ComputerOpponents::join(Level level, const QString& address, const QString& port)
{
    auto session = std::make_unique<GameSession>(version_);
    session->second = second;
    const quint32 playerSeed =
        seed ? *seed + static_cast<quint32>(players_.size()) : QRandomGenerator::global()->generate();
    auto player = std::make_unique<ComputerPlayer>(*session, level, solver_, playerSeed);
    GameSession* joining = session.get();
    connect(joining, &GameSession::seated, this, [this, joining] {
        // A seat among the spectators is no use to a player.
        if (joining->localSlot() > Rules::kPlayerSlots)
            leave(joining);
        tellIfReady();
    });
    for (const auto gone : {&GameSession::connectionClosed, &GameSession::gameFull})
        connect(joining, gone, this, [this, joining] { leave(joining); });
    connect(joining, &GameSession::connectionFailed, this, [this, joining] { leave(joining); });
    const QString name = Levels::playerName(level, static_cast<int>(players_.size()) + 1);
    players_.push_back({std::move(session), std::move(player), level});
    joining->connectTo(address, port, name, false);
}

void ComputerOpponents::leave(const GameSession* session)
{
    // Signalled by the session itself: it goes once its handler has returned.
    const auto it = std::find_if(players_.begin(), players_.end(),
                                 [session](const Player& p) { return p.session.get() == session; });
    if (it == players_.end())
        return;
    it->player.release()->deleteLater();
    it->session.release()->deleteLater();
    players_.erase(it);
    tellIfReady();
}

void ComputerOpponents::tellIfReady()
{
    if (isReady())
        Q_EMIT ready();
}
