#include "gamerules.h"

namespace Rules {

void setRoll(TFrameScore& frame, int word, qint32 pins)
{
    switch (word) {
    case 1:
        frame.roll1 = pins;
        break;
    case 2:
        frame.roll2 = pins;
        break;
    case 3:
        frame.roll3 = pins;
        break;
    default:
        break;
    }
}

Next afterWord(int frame, int word, const TFrameScore& rolls)
{
    const bool lastFrame = frame == kFrames;
    switch (word) {
    case 1:
        if (rolls.roll1 < kPins)
            return Next::SameSet;
        if (rolls.roll1 == kPins)
            return lastFrame ? Next::BonusSet2 : Next::FrameOver;
        break;
    case 2:
        if (!lastFrame)
            return Next::FrameOver;
        if (rolls.roll2 == kPins || makeTen(rolls.roll1, rolls.roll2))
            return Next::BonusSet3;
        // After a strike the third word comes from what is left of the bonus set.
        return rolls.roll1 == kPins ? Next::SameSet : Next::FrameOver;
    case 3:
        return Next::FrameOver;
    default:
        break;
    }
    return Next::Inconsistent;
}

WordResult resultOf(int frame, int word, const TFrameScore& rolls)
{
    const bool lastFrame = frame == kFrames;
    if (word == 1 && rolls.roll1 == kPins)
        return WordResult::Strike;
    if (word <= 2 && makeTen(rolls.roll1, rolls.roll2))
        return WordResult::Spare;
    if (lastFrame && word == 3 && makeTen(rolls.roll2, rolls.roll3))
        return WordResult::BonusSpare;
    if (lastFrame && ((word == 2 && rolls.roll2 == kPins) || (word == 3 && rolls.roll3 == kPins)))
        return WordResult::BonusStrike;
    return WordResult::Pins;
}

int wordsLeftForTiles(int frame, const TFrameScore& rolls)
{
    const bool freshBonusSet = frame == kFrames && rolls.roll1 == kPins && rolls.roll2 < 0;
    return rolls.roll1 < 0 || freshBonusSet ? 2 : 1;
}

void closeFrame(TFrameScore& frame, bool lastFrame, Closing why)
{
    const auto zeroIfMissing = [](qint32& value) {
        if (value == -1)
            value = 0;
    };
    switch (why) {
    case Closing::NoPlayer:
        for (qint32* value : {&frame.roll1, &frame.roll2, &frame.roll3, &frame.total})
            zeroIfMissing(*value);
        return;
    case Closing::NoWord:
        if (frame.roll1 != -1)
            return;
        [[fallthrough]]; // a frame without a word closes as at time-up
    case Closing::TimeUp:
        zeroIfMissing(frame.roll1);
        if (lastFrame || frame.roll1 != kPins)
            zeroIfMissing(frame.roll2);
        if (lastFrame)
            zeroIfMissing(frame.roll3);
        return;
    }
}

QList<int> winners(const std::array<qint32, kPlayerSlots>& scores, bool teamGame)
{
    const auto score = [&scores](int slot) { return scores[static_cast<std::size_t>(slot - 1)]; };
    if (teamGame) {
        const qint64 odd = qint64{score(1)} + score(3);
        const qint64 even = qint64{score(2)} + score(4);
        if (odd > even)
            return {1, 3};
        if (odd < even)
            return {2, 4};
        return {1, 3, 2, 4};
    }
    int best = 1;
    for (int slot = 2; slot <= kPlayerSlots; ++slot) {
        if (score(slot) > score(best))
            best = slot;
    }
    QList<int> named{best};
    for (int slot = 1; slot <= kPlayerSlots; ++slot) {
        if (slot != best && score(slot) == score(best))
            named.append(slot);
    }
    return named;
}

namespace {

Mark ball(qint32 roll)
{
    return roll == 0 ? Mark{Mark::Miss} : Mark{Mark::Roll, roll};
}

// A box after another: a strike of its own, the slash of a spare with the box before, or the ball.
Mark following(qint32 before, qint32 roll)
{
    if (roll == kPins)
        return {Mark::Strike};
    if (makeTen(before, roll) && before != kPins)
        return {Mark::Spare};
    return ball(roll);
}

} // namespace

std::array<Mark, 3> marksOf(const TFrameScore& frame, bool lastFrame)
{
    if (!lastFrame) {
        if (frame.roll1 == kPins)
            return {Mark{}, Mark{Mark::Strike}, Mark{}}; // box A stays blank
        return {ball(frame.roll1), makeTen(frame.roll1, frame.roll2) ? Mark{Mark::Spare} : ball(frame.roll2),
                Mark{}};
    }
    // Each slash in the last frame looks at its own ball and the one before only.
    return {frame.roll1 == kPins ? Mark{Mark::Strike} : ball(frame.roll1),
            following(frame.roll1, frame.roll2), following(frame.roll2, frame.roll3)};
}

} // namespace Rules
