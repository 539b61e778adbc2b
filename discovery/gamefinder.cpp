#include "gamefinder.h"

#include <algorithm>

GameFinder::GameFinder(DiscoveryNetwork network, QObject* parent)
    : QObject(parent),
      socket_(std::move(network))
{
    forget_.setSingleShot(true);
    connect(&forget_, &QTimer::timeout, this, &GameFinder::forgetSilentGames);
    connect(&socket_, &DiscoverySocket::arrived, this, &GameFinder::arrived);
}

bool GameFinder::start()
{
    if (!socket_.open())
        return false;
    ask();
    return true;
}

void GameFinder::stop()
{
    socket_.close();
    forget_.stop();
    if (!heard_.isEmpty()) {
        heard_.clear();
        Q_EMIT gamesChanged();
    }
}

void GameFinder::ask()
{
    socket_.sendToAll(Discovery::query());
}

QList<FoundGame> GameFinder::games() const
{
    QList<FoundGame> games;
    for (const Heard& heard : heard_)
        games << heard.found;
    return games;
}

void GameFinder::arrived(const Discovery::Datagram& datagram, const QHostAddress& sender)
{
    const auto sameInstance = [](QByteArray instance) {
        return [instance = std::move(instance)](const Heard& heard) {
            return heard.found.game.instance == instance;
        };
    };
    if (const auto* gone = std::get_if<GameGone>(&datagram)) {
        if (heard_.removeIf(sameInstance(gone->instance)) > 0)
            Q_EMIT gamesChanged();
    } else if (const auto* game = std::get_if<GameAnnouncement>(&datagram)) {
        const FoundGame found{*game, sender};
        const auto known = std::find_if(heard_.begin(), heard_.end(), sameInstance(game->instance));
        const bool changed =
            known == heard_.end() || known->found.game != found.game || known->found.address != found.address;
        if (known == heard_.end())
            heard_.append({found, QDeadlineTimer(forgetAfter)});
        else
            *known = {found, QDeadlineTimer(forgetAfter)};
        if (changed)
            Q_EMIT gamesChanged();
    }
    watchForSilence();
}

void GameFinder::forgetSilentGames()
{
    if (heard_.removeIf([](const Heard& heard) { return heard.silence.hasExpired(); }) > 0)
        Q_EMIT gamesChanged();
    watchForSilence();
}

void GameFinder::watchForSilence()
{
    if (heard_.isEmpty()) {
        forget_.stop();
        return;
    }
    const auto first = std::min_element(heard_.begin(), heard_.end(), [](const Heard& a, const Heard& b) {
        return a.silence.deadline() < b.silence.deadline();
    });
    forget_.start(std::chrono::milliseconds(std::max<qint64>(first->silence.remainingTime(), 0)));
}
