#include "tallycounts.h"

#include <limits>

TallyCount TallyCount::fromText(const QString& text)
{
    bool isNumber = false;
    const qint64 number = text.toLongLong(&isNumber);
    TallyCount count(number);
    if (!isNumber || count.text() != text)
        count.found_ = text;
    return count;
}

std::optional<qint64> TallyCount::number() const
{
    if (!found_)
        return number_;
    bool isNumber = false;
    const qint64 number = found_->toLongLong(&isNumber);
    return isNumber ? std::optional<qint64>(number) : std::nullopt;
}

void TallyCount::increase()
{
    const std::optional<qint64> now = number();
    const bool grows =
        now && *now >= std::numeric_limits<int>::min() && *now < std::numeric_limits<int>::max();
    *this = TallyCount(grows ? *now + 1 : 1);
}
