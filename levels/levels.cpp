#include "levels.h"

namespace {

constexpr std::array<const char*, Levels::kAll.size()> kNames{"Novice", "Casual", "Club", "Expert", "Master"};

} // namespace

namespace Levels {

QString nameOf(Level level)
{
    return QString::fromLatin1(kNames[static_cast<std::size_t>(level)]);
}

std::optional<Level> fromName(const QString& name)
{
    for (const Level level : kAll) {
        if (name.compare(nameOf(level), Qt::CaseInsensitive) == 0)
            return level;
    }
    return std::nullopt;
}

} // namespace Levels
