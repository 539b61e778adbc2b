#pragma once

#include "framescore.h"
#include "gamerules.h"

#include <QWidget>

#include <array>

// The marks and running totals over the ruled score sheet, four players by ten frames. It
// shows what the host reported (and the local player's own rolls as they are accepted) and
// paints everything from its table, so the sheet survives being covered.
class ScoreCard : public QWidget {
    Q_OBJECT

public:
    static constexpr int kSlots = Rules::kPlayerSlots;
    static constexpr int kFrames = Rules::kFrames;
    // Rolls of a frame nobody has played: blank boxes.
    static constexpr TFrameScore kBlankFrame{13, 14, 14, -1};

    // What one frame shows: a glyph index per box (A, B, and C in frame 10), -1 for none.
    struct Marks {
        int boxA = -1;
        int boxB = -1;
        int boxC = -1;
    };
    // The three digit cells of a running total (hundreds, tens, units), -1 for a blank cell.
    using TotalCells = std::array<int, 3>;

    explicit ScoreCard(QWidget* parent = nullptr);

    // Every frame of every player blank again.
    void reset();
    const TFrameScore& framescores(int slot, int frame) const;
    void setRolls(int slot, int frame, int roll1, int roll2, int roll3);
    void setTotal(int slot, int frame, int total);

    // The y of a player's row: kind 1 to 3 the marks, 4 the running total.
    static int gettop(int slot, int kind);
    static Marks marksOf(const TFrameScore& frame, bool tenthFrame);
    static TotalCells figurefour(int total);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    TFrameScore& entry(int slot, int frame);

    std::array<std::array<TFrameScore, kFrames>, kSlots> framescores_{};
};
