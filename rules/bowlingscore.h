#pragma once

#include "framescore.h"
#include "gamerules.h"

#include <QString>

#include <array>
#include <functional>

// Bowling arithmetic over one player's ten frames. Frames are numbered 1 to 10; -1 is a roll
// that did not happen or a total that cannot be known yet.
namespace BowlingScore {

using Frames = std::array<TFrameScore, Rules::kFrames>;
// Receives "error in spare scoring?", a report that should never be seen in play.
using Reporter = std::function<void(const QString&)>;

// Recomputes the totals of frames 1 to currentFrame from the rolls: a strike counts 10 plus
// the next two rolls, a spare 10 plus the next roll, frame 10 its rolls without bonus. A
// frame after one whose total is unknown has an unknown total as well.
void computeTotals(Frames& frames, int currentFrame, const Reporter& report);

// The last known total plus the bare pins of the frames after it up to currentFrame; with no
// total above 0 yet, the pins of frames 1 to currentFrame.
qint32 runningScore(const Frames& frames, int currentFrame);

} // namespace BowlingScore
