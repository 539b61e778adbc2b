#pragma once

#include "wordindex.h"

#include <QString>

#include <array>
#include <optional>

// How strong a computer player is.
enum class Level { Novice, Casual, Club, Expert, Master };

// What a level knows and how it plays. Times are in seconds of the turn.
struct LevelTraits {
    Level level;
    const char* name;
    Familiarity knows;       // the rarest words it knows: a SCOWL size
    double searchSeconds;    // the time it takes to see a common five-letter word, on average
    double commitShare;      // the share of the turn it looks for a strike before it settles
    bool plansAhead;         // picks its first word for the second word it leaves
    double secondsPerLetter; // typing
};

namespace Levels {

inline constexpr Level kDefault = Level::Casual;

const LevelTraits& traits(Level level);
const std::array<LevelTraits, 5>& all();
QString nameOf(Level level);
// A level by its name, in any case.
std::optional<Level> fromName(const QString& name);
// The name a computer player logs in with: what it is, and which level.
QString playerName(Level level, int number);

} // namespace Levels
