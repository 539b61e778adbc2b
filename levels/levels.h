#pragma once

#include <QString>

#include <array>
#include <optional>

// How strong a computer player is.
enum class Level { Novice, Casual, Club, Expert, Master };

namespace Levels {

inline constexpr Level kDefault = Level::Casual;
// Weakest first, the order in which they are offered.
inline constexpr std::array<Level, 5> kAll{Level::Novice, Level::Casual, Level::Club, Level::Expert,
                                           Level::Master};

QString nameOf(Level level);
// A level by its name, in any case.
std::optional<Level> fromName(const QString& name);

} // namespace Levels
