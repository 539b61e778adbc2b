#include "bowlingscore.h"

using Rules::kFrames;
using Rules::kPins;

namespace BowlingScore {
namespace {

qint32 pinsOf(qint32 roll)
{
    return roll == -1 ? 0 : roll;
}

} // namespace

void computeTotals(Frames& frames, int currentFrame, const Reporter& report)
{
    // frame(j) is frame j, counted from 1 as players do.
    const auto frame = [&frames](int j) -> TFrameScore& { return frames[static_cast<std::size_t>(j - 1)]; };
    for (int j = 1; j <= currentFrame && j <= kFrames; ++j) {
        const TFrameScore& f = frame(j);
        // A total built on an unknown one is unknown too (adding pins to -1 would give nonsense).
        if (j > 1 && frame(j - 1).total == -1) {
            frame(j).total = -1;
            continue;
        }
        qint32 total = 0;
        if (j == 1)
            total = f.roll1 + pinsOf(f.roll2);
        else if (j == kFrames)
            total = frame(kFrames - 1).total + f.roll1 + pinsOf(f.roll3) + pinsOf(f.roll2);
        else
            total = frame(j - 1).total + f.roll1 + pinsOf(f.roll2);

        if (j < kFrames && f.roll1 == kPins) {
            const TFrameScore& next = frame(j + 1);
            const bool nextIsPlayed = j < currentFrame;
            if (nextIsPlayed && next.roll1 != -1 && next.roll2 != -1)
                total += next.roll1 + next.roll2;
            else if (nextIsPlayed && next.roll1 == kPins && j + 2 <= currentFrame && frame(j + 2).roll1 != -1)
                total += kPins + frame(j + 2).roll1;
            else
                total = -1;
        } else if (j < kFrames && Rules::makeTen(f.roll1, f.roll2)) {
            const TFrameScore& next = frame(j + 1);
            if (next.roll1 != -1) {
                total += next.roll1;
            } else {
                total = -1;
                if (j + 1 < currentFrame && report)
                    report(QStringLiteral("error in spare scoring?"));
            }
        }
        frame(j).total = total;
    }
}

qint32 runningScore(const Frames& frames, int currentFrame)
{
    if (currentFrame < 1 || currentFrame > kFrames)
        return 0;
    int known = currentFrame;
    while (known > 1 && frames[known - 1].total <= 0)
        --known;
    const qint32 total = frames[known - 1].total;
    qint32 score = total > 0 ? total : 0;
    for (int j = total > 0 ? known + 1 : 1; j <= currentFrame; ++j) {
        const TFrameScore& f = frames[j - 1];
        score += pinsOf(f.roll1) + pinsOf(f.roll2) + pinsOf(f.roll3);
    }
    return score;
}

} // namespace BowlingScore
