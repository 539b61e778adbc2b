#pragma once

#include "framescore.h"
#include "gamerules.h"
#include "scoresheet.h"

#include <QWidget>

#include <array>

// The marks and running totals over the ruled score sheet, four players by ten frames, painted
// from the game's score sheet whenever it is shown or told that the sheet changed.
class ScoreCard : public QWidget {
    Q_OBJECT

public:
    static constexpr int kSlots = Rules::kPlayerSlots;
    static constexpr int kFrames = Rules::kFrames;

    // What one frame shows: a glyph index per box (A, B, and C in frame 10), -1 for none.
    struct Marks {
        int boxA = -1;
        int boxB = -1;
        int boxC = -1;
    };
    // The three digit cells of a running total (hundreds, tens, units), -1 for a blank cell.
    using TotalCells = std::array<int, 3>;

    explicit ScoreCard(const ScoreSheet& sheet, QWidget* parent = nullptr);

    // The y of a player's row: kind 1 to 3 the marks, 4 the running total.
    static int gettop(int slot, int kind);
    static Marks marksOf(const TFrameScore& frame, bool tenthFrame);
    static TotalCells figurefour(int total);
    // Where digit cell 0 to 2 of a frame's running total starts.
    static constexpr int totalCellLeft(int frame, int cell) { return 26 * frame - 23 + 7 * cell; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const ScoreSheet& sheet_;
};
