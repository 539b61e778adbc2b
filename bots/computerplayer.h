#pragma once

#include "level.h"
#include "turnplanner.h"

#include <QObject>

#include <vector>

class GameSession;

// A computer player: plays a game session the way a person does, from the tiles it is dealt,
// with the session's own actions, so the host treats it as anybody else. Each time fresh tiles
// arrive it plans its words with a TurnPlanner, and lays and sends each word when the turn's
// clock reaches the time planned for it.
class ComputerPlayer : public QObject {
    Q_OBJECT

public:
    // The session must outlive the player.
    ComputerPlayer(GameSession& session, Level level, const Solver& solver, quint32 seed,
                   QObject* parent = nullptr);

    Level level() const { return level_; }

private:
    void plan();
    void sendWhatIsDue();
    // Seconds of the turn gone by, by the session's clock.
    int secondsGone() const;

    GameSession& session_;
    Level level_;
    TurnPlanner planner_;
    std::vector<TimedWord> words_; // still to send, in order
    bool typing_ = false;
};
