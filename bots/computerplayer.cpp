#include "computerplayer.h"

#include "gamerules.h"
#include "gamesession.h"

#include <QScopedValueRollback>

ComputerPlayer::ComputerPlayer(GameSession& session, Level level, const Solver& solver, quint32 seed,
                               QObject* parent)
    : QObject(parent),
      session_(session),
      level_(level),
      planner_(Levels::traits(level), solver, seed)
{
    connect(&session_, &GameSession::newTiles, this, &ComputerPlayer::plan);
    connect(&session_, &GameSession::clockTicked, this, &ComputerPlayer::sendWhatIsDue);
    // After an accepted first word the turn comes back: the second may be due already.
    connect(&session_, &GameSession::boardChanged, this, &ComputerPlayer::sendWhatIsDue);
    connect(&session_, &GameSession::gameStarted, this, [this] { words_.clear(); });
}

int ComputerPlayer::secondsGone() const
{
    return session_.secondsPerTurn() - session_.secondsLeft();
}

void ComputerPlayer::plan()
{
    words_.clear();
    if (session_.sitsOutFrame())
        return;
    const QByteArray tiles = session_.rack().standingLetters();
    const int frame = session_.frame();
    const int wordsLeft = Rules::wordsLeftForTiles(frame, session_.ownRolls());
    // The session's turn ends on the tick that finds a second left.
    words_ = planner_.plan(tiles, wordsLeft, secondsGone(), session_.secondsPerTurn() - 1);
}

void ComputerPlayer::sendWhatIsDue()
{
    // Laying the tiles changes the board, which calls this again.
    if (typing_ || words_.empty() || !session_.myTurn() || words_.front().at > secondsGone())
        return;
    const QScopedValueRollback typing(typing_, true);
    const QByteArray word = words_.front().word;
    words_.erase(words_.begin());
    session_.clearWord();
    for (const char letter : word)
        session_.typeLetter(letter);
    if (session_.rack().laidCount() == word.size())
        session_.sendWord();
    else
        session_.clearWord(); // the tiles are not what the plan was made for: sit it out
}
