#include "scoresheet.h"

void ScoreSheet::reset()
{
    for (auto& row : frames_)
        row.fill(kBlankFrame);
}

bool ScoreSheet::onSheet(int slot, int frame)
{
    return slot >= 1 && slot <= Rules::kPlayerSlots && frame >= 1 && frame <= Rules::kFrames;
}

const TFrameScore& ScoreSheet::frame(int slot, int frame) const
{
    static constexpr TFrameScore kNone = kBlankFrame;
    return onSheet(slot, frame)
               ? frames_[static_cast<std::size_t>(slot - 1)][static_cast<std::size_t>(frame - 1)]
               : kNone;
}

void ScoreSheet::setRolls(int slot, int frame, const TFrameScore& rolls)
{
    if (!onSheet(slot, frame))
        return;
    TFrameScore& kept = frames_[static_cast<std::size_t>(slot - 1)][static_cast<std::size_t>(frame - 1)];
    kept.roll1 = rolls.roll1;
    kept.roll2 = rolls.roll2;
    kept.roll3 = rolls.roll3;
}

void ScoreSheet::setTotal(int slot, int frame, int total)
{
    if (onSheet(slot, frame))
        frames_[static_cast<std::size_t>(slot - 1)][static_cast<std::size_t>(frame - 1)].total = total;
}
