#pragma once

#include "computerplayer.h"
#include "level.h"
#include "solver.h"

#include <QObject>
#include <QString>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class GameSession;
class HostRoute;
class Reconnection;

// The computer players one program brings to a game. Each has a session of its own and joins
// the host like any participant; it stays for the next game and leaves when the host goes,
// when it is removed, or when this object asks it to. A player whose connection drops during
// a game tries to get back into its seat, as a person's program does.
class ComputerOpponents : public QObject {
    Q_OBJECT

public:
    explicit ComputerOpponents(QString version, QObject* parent = nullptr);
    ~ComputerOpponents() override;

    // Each player's own way to the host.
    using RouteMaker = std::function<std::unique_ptr<HostRoute>()>;

    // Brings the table to `count` players of `level` at the host: the missing ones join, each
    // by a route of its own, the extra ones leave, and players of another level make way for
    // new ones. ready() follows once every one of them has a player's seat or has given up.
    void seat(int count, Level level, const RouteMaker& makeRoute);
    void leaveAll() { seat(0, Levels::kDefault, {}); }
    int count() const { return static_cast<int>(players_.size()); }
    // Whether every player asked for is seated at a player slot.
    bool isReady() const;
    // Where no person leads the game (a host without a player of its own), the one of them in
    // the first slot starts a game; false when none of them is there.
    bool startGame(const QByteArray& secondsPerTurn);

    // The name player `number` (from 1) of a level logs in with.
    std::function<QString(Level, int)> naming = Levels::playerName;
    // For tests: the players' clock, as GameSession::second, and the seed of their first plan.
    std::chrono::milliseconds second{1000};
    std::optional<quint32> seed;

Q_SIGNALS:
    void ready();
    void seated(const QString& name, int slot);
    // The game startGame() started is over.
    void startedGameEnded();
    // A player has gone: `why` it could not join, or empty when the host went.
    void left(const QString& name, const QString& why);

private:
    struct Player {
        std::unique_ptr<HostRoute> route; // outlives the session that travels on it
        std::unique_ptr<GameSession> session;
        std::unique_ptr<Reconnection> reconnection;
        std::unique_ptr<ComputerPlayer> player;
        Level level;
        QString name;
    };

    void join(Level level, const RouteMaker& makeRoute);
    void leave(const GameSession* session, const QString& why);
    void tellIfReady();

    QString version_;
    Solver solver_;
    std::vector<Player> players_;
};
