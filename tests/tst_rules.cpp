// Bowling arithmetic: frame totals and the running score, from the rolls alone.
#include "bowlingscore.h"

#include <QTest>

namespace {

using BowlingScore::Frames;

// Frames from rolls, e.g. {{10}, {3, 4}}; unplayed frames and rolls stay -1.
Frames framesOf(std::initializer_list<std::initializer_list<int>> rolls)
{
    Frames frames{};
    std::size_t j = 0;
    for (const auto& frame : rolls) {
        const std::vector<int> r(frame);
        frames[j].roll1 = r.size() > 0 ? r[0] : -1;
        frames[j].roll2 = r.size() > 1 ? r[1] : -1;
        frames[j].roll3 = r.size() > 2 ? r[2] : -1;
        ++j;
    }
    return frames;
}

QList<int> totals(const Frames& frames, int upTo)
{
    QList<int> list;
    for (int j = 0; j < upTo; ++j)
        list.append(frames[static_cast<std::size_t>(j)].total);
    return list;
}

QList<int> scored(Frames frames, int currentFrame, QStringList* reports = nullptr)
{
    BowlingScore::computeTotals(frames, currentFrame, [reports](const QString& text) {
        if (reports != nullptr)
            reports->append(text);
    });
    return totals(frames, currentFrame);
}

} // namespace

class TestBowlingScore : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void openFramesAddUp();
    void strikesWaitForTwoRolls();
    void twelveStrikesMake300();
    void spareTakesTheNextRoll();
    void frameTenHasNoBonus();
    void runningScoreAddsOpenPins();
    void runningScoreCountsFrameOneToo();
    void missingRollAfterSpareIsReported();
};

void TestBowlingScore::openFramesAddUp()
{
    QCOMPARE(scored(framesOf({{3, 4}}), 1), (QList<int>{7}));
    QCOMPARE(scored(framesOf({{3, 4}, {0, 0}, {5, -1}}), 3), (QList<int>{7, 7, 12}));
}

void TestBowlingScore::strikesWaitForTwoRolls()
{
    QCOMPARE(scored(framesOf({{10}}), 1), (QList<int>{-1}));
    QCOMPARE(scored(framesOf({{10}, {10}}), 2), (QList<int>{-1, -1}));
    QCOMPARE(scored(framesOf({{10}, {10}, {10}}), 3), (QList<int>{30, -1, -1}));
    QCOMPARE(scored(framesOf({{10}, {10}, {10}, {3, 4}}), 4), (QList<int>{30, 53, 70, 77}));
    QCOMPARE(scored(framesOf({{10}, {3, 4}}), 2), (QList<int>{17, 24}));
    // A player who left after one word of frame 4: frame 3 waits, and so does frame 4.
    QCOMPARE(scored(framesOf({{10}, {10}, {10}, {3}}), 4), (QList<int>{30, 53, -1, -1}));
}

void TestBowlingScore::twelveStrikesMake300()
{
    const Frames perfect = framesOf({{10}, {10}, {10}, {10}, {10}, {10}, {10}, {10}, {10}, {10, 10, 10}});
    QCOMPARE(scored(perfect, 10), (QList<int>{30, 60, 90, 120, 150, 180, 210, 240, 270, 300}));
}

void TestBowlingScore::spareTakesTheNextRoll()
{
    const Frames frames = framesOf({{1, 2}, {3, 4}, {0, 0}, {2, 2}, {4, 6}, {6, 1}});
    QCOMPARE(scored(frames, 6), (QList<int>{3, 10, 10, 14, 30, 37}));
    QCOMPARE(scored(framesOf({{4, 6}}), 1), (QList<int>{-1}));
}

void TestBowlingScore::frameTenHasNoBonus()
{
    Frames open =
        framesOf({{0, 0}, {0, 0}, {0, 0}, {0, 0}, {0, 0}, {0, 0}, {0, 0}, {0, 0}, {2, 3}, {6, 3, 0}});
    QCOMPARE(scored(open, 10).last(), 5 + 9);
    Frames strikeThenTimeUp = open;
    strikeThenTimeUp[9] = {10, 0, 0, -1};
    QCOMPARE(scored(strikeThenTimeUp, 10).last(), 5 + 10);
}

void TestBowlingScore::runningScoreAddsOpenPins()
{
    Frames frames = framesOf({{10}, {10}, {10}, {3}});
    BowlingScore::computeTotals(frames, 4, {});
    QCOMPARE(BowlingScore::runningScore(frames, 4), 53 + 10 + 3); // 53 known, then the bare pins

    frames = framesOf({{3, 4}, {10}});
    BowlingScore::computeTotals(frames, 2, {});
    QCOMPARE(BowlingScore::runningScore(frames, 2), 17);
}

void TestBowlingScore::runningScoreCountsFrameOneToo()
{
    // With no total above 0 yet, frame 1's pins count like the others.
    for (const auto& [frames, current, expected] :
         {std::tuple{framesOf({{10}}), 1, 10}, std::tuple{framesOf({{10}, {10}}), 2, 20},
          std::tuple{framesOf({{0, 0}, {10}}), 2, 10}, std::tuple{framesOf({{0, 0}}), 1, 0}}) {
        Frames scoredFrames = frames;
        BowlingScore::computeTotals(scoredFrames, current, {});
        QCOMPARE(BowlingScore::runningScore(scoredFrames, current), expected);
    }
    QCOMPARE(BowlingScore::runningScore(framesOf({}), 0), 0);
    QCOMPARE(BowlingScore::runningScore(framesOf({}), 11), 0);
}

void TestBowlingScore::missingRollAfterSpareIsReported()
{
    QStringList reports;
    scored(framesOf({{4, 6}, {-1, -1}, {1, 1}}), 3, &reports);
    QCOMPARE(reports, QStringList{"error in spare scoring?"});
    reports.clear();
    scored(framesOf({{4, 6}, {-1, -1}}), 2, &reports); // the next roll may still come
    QVERIFY(reports.isEmpty());
}

QTEST_GUILESS_MAIN(TestBowlingScore)
#include "tst_bowlingscore.moc"
