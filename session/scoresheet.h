#pragma once

#include "framescore.h"
#include "gamerules.h"

#include <array>

// The score sheet's numbers: every player's rolls and running total, frame by frame, as the
// host reported them (and the local player's own rolls as they are accepted).
class ScoreSheet {
public:
    // Rolls of a frame nobody has played: blank boxes.
    static constexpr TFrameScore kBlankFrame{13, 14, 14, -1};

    ScoreSheet() { reset(); }

    // Every frame of every player blank again.
    void reset();
    // kBlankFrame for a slot or frame that is not on the sheet.
    const TFrameScore& frame(int slot, int frame) const;
    // A slot or frame that is not on the sheet is ignored.
    void setRolls(int slot, int frame, const TFrameScore& rolls);
    void setTotal(int slot, int frame, int total);

private:
    static bool onSheet(int slot, int frame);

    std::array<std::array<TFrameScore, Rules::kFrames>, Rules::kPlayerSlots> frames_{};
};
