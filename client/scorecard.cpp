#include "scorecard.h"

#include "artwork.h"

#include <QPainter>

namespace {

int glyphOf(const Rules::Mark& mark)
{
    switch (mark.kind) {
    case Rules::Mark::Roll:
        // The digit, or a shade the sheet keeps for blank boxes; nothing for a value without a glyph.
        return mark.roll >= 0 && mark.roll <= Artwork::kBlankShade ? mark.roll : -1;
    case Rules::Mark::Miss:
        return Artwork::kMiss;
    case Rules::Mark::Strike:
        return Artwork::kStrike;
    case Rules::Mark::Spare:
        return Artwork::kSpare;
    case Rules::Mark::Blank:
        break;
    }
    return -1;
}

} // namespace

ScoreCard::ScoreCard(const ScoreSheet& sheet, QWidget* parent) : QWidget(parent), sheet_(sheet)
{}

int ScoreCard::gettop(int slot, int kind)
{
    if (slot < 1 || slot > kSlots || kind < 1 || kind > 4)
        return 0;
    return (kind == 4 ? 22 : 2) + 40 * (slot - 1);
}

ScoreCard::Marks ScoreCard::marksOf(const TFrameScore& f, bool tenthFrame)
{
    const std::array<Rules::Mark, 3> boxes = Rules::marksOf(f, tenthFrame);
    return {glyphOf(boxes[0]), glyphOf(boxes[1]), glyphOf(boxes[2])};
}

ScoreCard::TotalCells ScoreCard::figurefour(int total)
{
    if (total < 0)
        return {-1, -1, -1};
    const int hundreds = total / 100 % 10;
    const int tens = total % 100 / 10;
    return {total >= 100 ? hundreds : -1, total >= 100 || tens > 0 ? tens : -1, total % 10};
}

void ScoreCard::paintEvent(QPaintEvent*)
{
    // Only the marks: the ruled sheet beneath shows the blank boxes. Blanks painted here as well
    // would cover the sheet's rules wherever a scaled screen rounds the two apart.
    QPainter painter(this);
    const auto draw = [&painter](int glyph, int x, int y) {
        if (glyph >= 0)
            painter.drawPixmap(x, y, Artwork::littleGlyph(glyph));
    };
    for (int slot = 1; slot <= kSlots; ++slot) {
        const int marksTop = gettop(slot, 1);
        const int totalTop = gettop(slot, 4);
        for (int frame = 1; frame <= kFrames; ++frame) {
            const bool tenth = frame == kFrames;
            const TFrameScore& scores = sheet_.frame(slot, frame);
            const Marks marks = marksOf(scores, tenth);
            draw(marks.boxA, 26 * frame - 23, marksTop);
            draw(marks.boxB, 26 * frame - 10, marksTop);
            if (tenth)
                draw(marks.boxC, 263, marksTop);
            // The digit cells keep to the frame's right, so that totals of neighbouring frames
            // stay apart.
            const TotalCells cells = figurefour(scores.total);
            for (int cell = 0; cell < 3; ++cell)
                draw(cells[static_cast<std::size_t>(cell)], totalCellLeft(frame, cell), totalTop);
        }
    }
}
