#include "scorecard.h"

#include "artwork.h"

#include <QPainter>

namespace {

bool valid(int slot, int frame)
{
    return slot >= 1 && slot <= ScoreCard::kSlots && frame >= 1 && frame <= ScoreCard::kFrames;
}

// A roll drawn as itself: the digit, or the mark the rules chose; nothing for a value without a glyph.
int glyphOf(int roll)
{
    return roll >= 0 && roll <= Artwork::kBlankShade ? roll : -1;
}

int firstBall(int roll)
{
    return roll == 0 ? Artwork::kMiss : glyphOf(roll);
}

} // namespace

ScoreCard::ScoreCard(QWidget* parent) : QWidget(parent)
{
    reset();
}

void ScoreCard::reset()
{
    for (auto& row : framescores_)
        row.fill(kBlankFrame);
    update();
}

const TFrameScore& ScoreCard::framescores(int slot, int frame) const
{
    static const TFrameScore none = kBlankFrame;
    return valid(slot, frame)
               ? framescores_[static_cast<std::size_t>(slot - 1)][static_cast<std::size_t>(frame - 1)]
               : none;
}

TFrameScore& ScoreCard::entry(int slot, int frame)
{
    return framescores_[static_cast<std::size_t>(slot - 1)][static_cast<std::size_t>(frame - 1)];
}

void ScoreCard::setRolls(int slot, int frame, int roll1, int roll2, int roll3)
{
    if (!valid(slot, frame))
        return;
    TFrameScore& scores = entry(slot, frame);
    scores.roll1 = roll1;
    scores.roll2 = roll2;
    scores.roll3 = roll3;
    update();
}

void ScoreCard::setTotal(int slot, int frame, int total)
{
    if (!valid(slot, frame))
        return;
    entry(slot, frame).total = total;
    update();
}

int ScoreCard::gettop(int slot, int kind)
{
    if (slot < 1 || slot > kSlots || kind < 1 || kind > 4)
        return 0;
    return (kind == 4 ? 22 : 2) + 40 * (slot - 1);
}

ScoreCard::Marks ScoreCard::marksOf(const TFrameScore& f, bool tenthFrame)
{
    Marks marks;
    if (!tenthFrame) {
        if (f.roll1 == 10) {
            marks.boxB = Artwork::kStrike; // box A keeps its blank
            return marks;
        }
        marks.boxA = firstBall(f.roll1);
        marks.boxB = makeTen(f.roll1, f.roll2) ? Artwork::kSpare : firstBall(f.roll2);
        return marks;
    }
    marks.boxA = f.roll1 == 10 ? Artwork::kStrike : firstBall(f.roll1);
    if (f.roll2 == 10)
        marks.boxB = Artwork::kStrike;
    else if (makeTen(f.roll1, f.roll2) && f.roll1 != 10)
        marks.boxB = Artwork::kSpare;
    else
        marks.boxB = firstBall(f.roll2);
    // The slash of the third ball looks at the second and third balls only.
    if (f.roll3 == 10)
        marks.boxC = Artwork::kStrike;
    else if (makeTen(f.roll2, f.roll3) && f.roll2 != 10)
        marks.boxC = Artwork::kSpare;
    else
        marks.boxC = firstBall(f.roll3);
    return marks;
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
    QPainter painter(this);
    const auto draw = [&painter](int glyph, int x, int y) {
        if (glyph >= 0)
            painter.drawPixmap(x, y, Artwork::littleGlyph(glyph));
    };
    for (int slot = 1; slot <= kSlots; ++slot) {
        const int marksTop = gettop(slot, 1);
        const int totalTop = gettop(slot, 4);
        for (int frame = 1; frame <= kFrames; ++frame) {
            const int boxA = 26 * frame - 23;
            const int boxB = 26 * frame - 10;
            const bool tenth = frame == kFrames;
            // Blank boxes first; the marks of the frame go over them.
            draw(Artwork::kBlankPaper, boxA, marksTop);
            draw(Artwork::kBlankShade, boxB, marksTop);
            if (tenth)
                draw(Artwork::kBlankShade, 263, marksTop);
            const TFrameScore& scores = framescores(slot, frame);
            const Marks marks = marksOf(scores, tenth);
            draw(marks.boxA, boxA, marksTop);
            draw(marks.boxB, boxB, marksTop);
            if (tenth)
                draw(marks.boxC, 263, marksTop);
            // The digit cells overlap by a pixel: all three blanks first, then the digits in order.
            const TotalCells cells = figurefour(scores.total);
            for (int cell = 0; cell < 3; ++cell)
                draw(Artwork::kBlankPaper, 26 * frame - 25 + 8 * cell, totalTop);
            for (int cell = 0; cell < 3; ++cell)
                draw(cells[static_cast<std::size_t>(cell)], 26 * frame - 25 + 8 * cell, totalTop);
        }
    }
}
