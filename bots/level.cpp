#include "level.h"

namespace {

// Tuned with bench_levels: in 60-second turns the mean scores rise from about 100 to 270.
constexpr std::array<LevelTraits, 5> kLevels{{
    {Level::Novice, "Novice", 20, 9.0, 0.25, false, 0.45},
    {Level::Casual, "Casual", 55, 4.5, 0.4, false, 0.35},
    {Level::Club, "Club", 55, 6.0, 0.45, true, 0.3},
    {Level::Expert, "Expert", 70, 3.5, 0.55, true, 0.25},
    {Level::Master, "Master", 95, 2.0, 0.6, true, 0.2},
}};

} // namespace

namespace Levels {

const std::array<LevelTraits, 5>& all()
{
    return kLevels;
}

const LevelTraits& traits(Level level)
{
    return kLevels[static_cast<std::size_t>(level)];
}

QString nameOf(Level level)
{
    return QString::fromLatin1(traits(level).name);
}

std::optional<Level> fromName(const QString& name)
{
    for (const LevelTraits& level : kLevels) {
        if (name.compare(QLatin1String(level.name), Qt::CaseInsensitive) == 0)
            return level.level;
    }
    return std::nullopt;
}

QString playerName(Level level, int number)
{
    return QStringLiteral("%1 Bot %2").arg(nameOf(level)).arg(number);
}

} // namespace Levels
