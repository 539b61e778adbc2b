#pragma once

#include "level.h"
#include "solver.h"

#include <QByteArray>
#include <QByteArrayView>

#include <optional>
#include <random>
#include <vector>

// A word and when it is sent, in seconds since the turn began.
struct TimedWord {
    QByteArray word;
    double at = 0;
};

// How a player of one level gets on with a rack, worked out in advance: each word it knows is
// seen after a while that grows with its length and rarity, with a random spread; a strike is
// sent as soon as it is seen; otherwise the player settles on a first word at a point of the
// turn that depends on the level, then looks at what is left for the second. Typing takes
// time, and nothing is sent after the turn's end. Only the tiles are known, never the answer.
class TurnPlanner {
public:
    // Every word is planned at least this long before the turn's end, so that it reaches the
    // host before the host's clock runs out.
    static constexpr double kMargin = 1.0;

    TurnPlanner(const LevelTraits& level, const Solver& solver, quint32 seed);

    // The words to send on `rack` between second `now` and `end` of the turn, when `wordsLeft`
    // words (1 or 2) of the frame are still to be played with these tiles. Fewer words, or
    // none, when the player finds nothing in time.
    std::vector<TimedWord> plan(QByteArrayView rack, int wordsLeft, double now, double end);

private:
    // When each word of the rack is seen, from `now`; never for a word the level does not know.
    std::vector<double> seenTimes(const RackWords& rack, double now);
    double typing(QByteArrayView word) const;
    bool knows(const FoundWord& word) const { return word.familiarity <= level_.knows; }
    std::optional<TimedWord> strike(const RackWords& rack, const std::vector<double>& seen,
                                    double before) const;
    // The one word left to play: a word of all the tiles as soon as it is seen, else the
    // longest seen by the time the turn is nearly over.
    std::optional<TimedWord> lastWord(const RackWords& rack, double now, double end,
                                      std::optional<QByteArrayView> alreadySeen);

    const LevelTraits& level_;
    const Solver& solver_;
    std::mt19937 random_;
};
