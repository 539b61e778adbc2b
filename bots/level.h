#pragma once

#include "levels.h"
#include "wordindex.h"

#include <QString>

#include <array>

// What a level knows and how it plays. Times are in seconds of the turn.
struct LevelTraits {
    Level level;
    Familiarity knows;       // the rarest words it knows: a SCOWL size
    double searchSeconds;    // the time it takes to see a common five-letter word, on average
    double commitShare;      // the share of the turn it looks for a strike before it settles
    bool plansAhead;         // picks its first word for the second word it leaves
    double secondsPerLetter; // typing
};

namespace Levels {

const LevelTraits& traits(Level level);
const std::array<LevelTraits, kAll.size()>& all();
// The name a computer player logs in with: what it is, and which level.
QString playerName(Level level, int number);

} // namespace Levels
