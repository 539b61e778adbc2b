// The rules of the game: what a word leads to and counts as, the marks of the sheet, closing a
// frame, the winners, and the bowling arithmetic of totals and the running score.
#include "bowlingscore.h"
#include "gamerules.h"

#include <QTest>

#include <map>

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

using Rules::Closing;
using Rules::Mark;
using Rules::Next;
using Rules::WordResult;
using Marks = std::array<Mark, 3>;
using Scores = std::array<qint32, Rules::kPlayerSlots>;

constexpr Mark kBlank{};
constexpr Mark kMiss{Mark::Miss};
constexpr Mark kStrike{Mark::Strike};
constexpr Mark kSpare{Mark::Spare};
constexpr Mark roll(int pins)
{
    return {Mark::Roll, pins};
}

} // namespace

Q_DECLARE_METATYPE(Next)
Q_DECLARE_METATYPE(WordResult)
Q_DECLARE_METATYPE(Marks)
Q_DECLARE_METATYPE(TFrameScore)
Q_DECLARE_METATYPE(Scores)

class TestRules : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void whatAWordLeadsTo_data();
    void whatAWordLeadsTo();
    void whatAWordCountsAs_data();
    void whatAWordCountsAs();
    void marksOfTheSheet_data();
    void marksOfTheSheet();
    void closingAFrame();
    void winners_data();
    void winners();
    void openFramesAddUp();
    void strikesWaitForTwoRolls();
    void twelveStrikesMake300();
    void spareTakesTheNextRoll();
    void frameTenHasNoBonus();
    void runningScoreAddsOpenPins();
    void runningScoreCountsFrameOneToo();
    void missingRollAfterSpareIsReported();
};

void TestRules::whatAWordLeadsTo_data()
{
    QTest::addColumn<int>("frame");
    QTest::addColumn<int>("word");
    QTest::addColumn<TFrameScore>("rolls");
    QTest::addColumn<Next>("next");
    QTest::newRow("strike") << 1 << 1 << TFrameScore{10, -1, -1, -1} << Next::FrameOver;
    QTest::newRow("strike in frame 9") << 9 << 1 << TFrameScore{10, -1, -1, -1} << Next::FrameOver;
    QTest::newRow("first word leaves pins") << 4 << 1 << TFrameScore{9, -1, -1, -1} << Next::SameSet;
    QTest::newRow("strike in frame 10") << 10 << 1 << TFrameScore{10, -1, -1, -1} << Next::BonusSet2;
    QTest::newRow("second strike in frame 10") << 10 << 2 << TFrameScore{10, 10, -1, -1} << Next::BonusSet3;
    QTest::newRow("spare in frame 10") << 10 << 2 << TFrameScore{4, 6, -1, -1} << Next::BonusSet3;
    QTest::newRow("spare before frame 10") << 9 << 2 << TFrameScore{4, 6, -1, -1} << Next::FrameOver;
    QTest::newRow("open frame") << 3 << 2 << TFrameScore{4, 5, -1, -1} << Next::FrameOver;
    QTest::newRow("open frame 10") << 10 << 2 << TFrameScore{4, 5, -1, -1} << Next::FrameOver;
    QTest::newRow("strike, then a shorter word") << 10 << 2 << TFrameScore{10, 7, -1, -1} << Next::SameSet;
    QTest::newRow("third word") << 10 << 3 << TFrameScore{10, 7, 3, -1} << Next::FrameOver;
    QTest::newRow("more pins than tiles") << 2 << 1 << TFrameScore{11, -1, -1, -1} << Next::Inconsistent;
    QTest::newRow("a fourth word") << 10 << 4 << TFrameScore{10, 10, 10, -1} << Next::Inconsistent;
}

void TestRules::whatAWordLeadsTo()
{
    QFETCH(int, frame);
    QFETCH(int, word);
    QFETCH(TFrameScore, rolls);
    QFETCH(Next, next);
    QCOMPARE(Rules::afterWord(frame, word, rolls), next);
    // The words the tiles in hand are for: the word just made and those still to come.
    const std::map<Next, int> wordsLeft{{Next::SameSet, 1}, {Next::BonusSet2, 2}, {Next::BonusSet3, 1}};
    if (wordsLeft.contains(next))
        QCOMPARE(Rules::wordsLeftForTiles(frame, rolls), wordsLeft.at(next));
}

void TestRules::whatAWordCountsAs_data()
{
    QTest::addColumn<int>("frame");
    QTest::addColumn<int>("word");
    QTest::addColumn<TFrameScore>("rolls");
    QTest::addColumn<WordResult>("result");
    // Rolls not yet made hold the sheet's blank values.
    QTest::newRow("strike") << 3 << 1 << TFrameScore{10, 14, 14, -1} << WordResult::Strike;
    QTest::newRow("spare") << 3 << 2 << TFrameScore{4, 6, 14, -1} << WordResult::Spare;
    QTest::newRow("open frame") << 3 << 2 << TFrameScore{4, 5, 14, -1} << WordResult::Pins;
    QTest::newRow("frame 10: strike") << 10 << 1 << TFrameScore{10, 14, 14, -1} << WordResult::Strike;
    QTest::newRow("frame 10: second strike")
        << 10 << 2 << TFrameScore{10, 10, 14, -1} << WordResult::BonusStrike;
    QTest::newRow("frame 10: strike, then pins") << 10 << 2 << TFrameScore{10, 4, 14, -1} << WordResult::Pins;
    QTest::newRow("frame 10: strike after a spare")
        << 10 << 3 << TFrameScore{4, 6, 10, -1} << WordResult::BonusStrike;
    QTest::newRow("frame 10: third word makes ten with the second")
        << 10 << 3 << TFrameScore{10, 4, 6, -1} << WordResult::BonusSpare;
    QTest::newRow("frame 10: third word") << 10 << 3 << TFrameScore{4, 6, 3, -1} << WordResult::Pins;
    QTest::newRow("a third word before frame 10 is no bonus")
        << 9 << 3 << TFrameScore{4, 6, 10, -1} << WordResult::Pins;
    QTest::newRow("ten pins with a second word before frame 10")
        << 9 << 2 << TFrameScore{10, 10, 14, -1} << WordResult::Pins;
}

void TestRules::whatAWordCountsAs()
{
    QFETCH(int, frame);
    QFETCH(int, word);
    QFETCH(TFrameScore, rolls);
    QFETCH(WordResult, result);
    QCOMPARE(Rules::resultOf(frame, word, rolls), result);
}

void TestRules::marksOfTheSheet_data()
{
    QTest::addColumn<TFrameScore>("rolls");
    QTest::addColumn<bool>("lastFrame");
    QTest::addColumn<Marks>("marks");
    QTest::newRow("strike: box A blank")
        << TFrameScore{10, -1, -1, -1} << false << Marks{kBlank, kStrike, kBlank};
    QTest::newRow("spare") << TFrameScore{3, 7, -1, -1} << false << Marks{roll(3), kSpare, kBlank};
    QTest::newRow("open, a miss") << TFrameScore{0, 4, -1, -1} << false << Marks{kMiss, roll(4), kBlank};
    QTest::newRow("no roll yet") << TFrameScore{} << false << Marks{roll(-1), roll(-1), kBlank};
    QTest::newRow("hostile rolls make no spare")
        << TFrameScore{-2147483647 - 1, -2147483647 - 1, -1, -1} << false
        << Marks{roll(-2147483647 - 1), roll(-2147483647 - 1), kBlank};
    QTest::newRow("frame 10: three strikes")
        << TFrameScore{10, 10, 10, -1} << true << Marks{kStrike, kStrike, kStrike};
    QTest::newRow("frame 10: spare, then a strike")
        << TFrameScore{4, 6, 10, -1} << true << Marks{roll(4), kSpare, kStrike};
    QTest::newRow("frame 10: strike, then a spare of the bonus set")
        << TFrameScore{10, 3, 7, -1} << true << Marks{kStrike, roll(3), kSpare};
    QTest::newRow("frame 10: strike, then a miss")
        << TFrameScore{10, 0, 5, -1} << true << Marks{kStrike, kMiss, roll(5)};
    QTest::newRow("frame 10: a strike is no slash for the box after")
        << TFrameScore{10, 10, 0, -1} << true << Marks{kStrike, kStrike, kMiss};
    QTest::newRow("frame 10: open") << TFrameScore{6, 3, 0, -1} << true << Marks{roll(6), roll(3), kMiss};
}

void TestRules::marksOfTheSheet()
{
    QFETCH(TFrameScore, rolls);
    QFETCH(bool, lastFrame);
    QFETCH(Marks, marks);
    QCOMPARE(Rules::marksOf(rolls, lastFrame), marks);
}

void TestRules::closingAFrame()
{
    const TFrameScore none{};
    const struct {
        Closing why;
        bool lastFrame;
        TFrameScore before;
        TFrameScore after;
    } cases[] = {
        {Closing::TimeUp, false, none, {0, 0, -1, -1}},
        {Closing::TimeUp, false, {6, -1, -1, -1}, {6, 0, -1, -1}},
        {Closing::TimeUp, false, {10, -1, -1, -1}, {10, -1, -1, -1}}, // a strike keeps its second roll empty
        {Closing::TimeUp, true, none, {0, 0, 0, -1}},
        {Closing::TimeUp, true, {10, -1, -1, -1}, {10, 0, 0, -1}},
        {Closing::TimeUp, true, {3, 4, -1, -1}, {3, 4, 0, -1}},
        {Closing::NoWord, false, none, {0, 0, -1, -1}},
        {Closing::NoWord, true, none, {0, 0, 0, -1}},
        {Closing::NoWord, false, {10, -1, -1, -1}, {10, -1, -1, -1}}, // a frame with a word is left alone
        {Closing::NoWord, true, {3, 4, -1, -1}, {3, 4, -1, -1}},
        {Closing::NoPlayer, false, {10, -1, -1, -1}, {10, 0, 0, 0}}, // nothing stays unknown
        {Closing::NoPlayer, true, {3, 4, -1, 17}, {3, 4, 0, 17}},
    };
    for (const auto& [why, lastFrame, before, after] : cases) {
        TFrameScore frame = before;
        Rules::closeFrame(frame, lastFrame, why);
        QCOMPARE(frame, after);
    }
}

void TestRules::winners_data()
{
    QTest::addColumn<Scores>("scores");
    QTest::addColumn<bool>("teamGame");
    QTest::addColumn<QList<int>>("winners");
    QTest::newRow("best alone") << Scores{90, 120, 80, 100} << false << QList<int>{2};
    QTest::newRow("the last slot") << Scores{90, 120, 80, 121} << false << QList<int>{4};
    QTest::newRow("a tie: the lowest first") << Scores{90, 120, 120, 100} << false << QList<int>{2, 3};
    QTest::newRow("nobody scored: all four") << Scores{0, 0, 0, 0} << false << QList<int>{1, 2, 3, 4};
    QTest::newRow("slots 1 and 3 win") << Scores{100, 90, 80, 89} << true << QList<int>{1, 3};
    QTest::newRow("slots 2 and 4 win") << Scores{100, 90, 80, 91} << true << QList<int>{2, 4};
    QTest::newRow("teams tie") << Scores{100, 90, 80, 90} << true << QList<int>{1, 3, 2, 4};
}

void TestRules::winners()
{
    QFETCH(Scores, scores);
    QFETCH(bool, teamGame);
    QFETCH(QList<int>, winners);
    QCOMPARE(Rules::winners(scores, teamGame), winners);
}

void TestRules::openFramesAddUp()
{
    QCOMPARE(scored(framesOf({{3, 4}}), 1), (QList<int>{7}));
    QCOMPARE(scored(framesOf({{3, 4}, {0, 0}, {5, -1}}), 3), (QList<int>{7, 7, 12}));
}

void TestRules::strikesWaitForTwoRolls()
{
    QCOMPARE(scored(framesOf({{10}}), 1), (QList<int>{-1}));
    QCOMPARE(scored(framesOf({{10}, {10}}), 2), (QList<int>{-1, -1}));
    QCOMPARE(scored(framesOf({{10}, {10}, {10}}), 3), (QList<int>{30, -1, -1}));
    QCOMPARE(scored(framesOf({{10}, {10}, {10}, {3, 4}}), 4), (QList<int>{30, 53, 70, 77}));
    QCOMPARE(scored(framesOf({{10}, {3, 4}}), 2), (QList<int>{17, 24}));
    // A player who left after one word of frame 4: frame 3 waits, and so does frame 4.
    QCOMPARE(scored(framesOf({{10}, {10}, {10}, {3}}), 4), (QList<int>{30, 53, -1, -1}));
}

void TestRules::twelveStrikesMake300()
{
    Frames perfect = framesOf({{10}, {10}, {10}, {10}, {10}, {10}, {10}, {10}, {10}, {10, 10, 10}});
    const QList<int> totals = scored(perfect, 10);
    QCOMPARE(totals, (QList<int>{30, 60, 90, 120, 150, 180, 210, 240, 270, 300}));
    QVERIFY(Rules::isPerfectGame(totals.last()));
    for (const qint32 lastRoll : {9, 11}) { // a pin short, or more than a set holds: only 300 is perfect
        perfect[9].roll3 = lastRoll;
        QVERIFY(!Rules::isPerfectGame(scored(perfect, 10).last()));
    }
}

void TestRules::spareTakesTheNextRoll()
{
    const Frames frames = framesOf({{1, 2}, {3, 4}, {0, 0}, {2, 2}, {4, 6}, {6, 1}});
    QCOMPARE(scored(frames, 6), (QList<int>{3, 10, 10, 14, 30, 37}));
    QCOMPARE(scored(framesOf({{4, 6}}), 1), (QList<int>{-1}));
}

void TestRules::frameTenHasNoBonus()
{
    Frames open =
        framesOf({{0, 0}, {0, 0}, {0, 0}, {0, 0}, {0, 0}, {0, 0}, {0, 0}, {0, 0}, {2, 3}, {6, 3, 0}});
    QCOMPARE(scored(open, 10).last(), 5 + 9);
    Frames strikeThenTimeUp = open;
    strikeThenTimeUp[9] = {10, 0, 0, -1};
    QCOMPARE(scored(strikeThenTimeUp, 10).last(), 5 + 10);
}

void TestRules::runningScoreAddsOpenPins()
{
    Frames frames = framesOf({{10}, {10}, {10}, {3}});
    BowlingScore::computeTotals(frames, 4, {});
    QCOMPARE(BowlingScore::runningScore(frames, 4), 53 + 10 + 3); // 53 known, then the bare pins

    frames = framesOf({{3, 4}, {10}});
    BowlingScore::computeTotals(frames, 2, {});
    QCOMPARE(BowlingScore::runningScore(frames, 2), 17);
}

void TestRules::runningScoreCountsFrameOneToo()
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

void TestRules::missingRollAfterSpareIsReported()
{
    QStringList reports;
    scored(framesOf({{4, 6}, {-1, -1}, {1, 1}}), 3, &reports);
    QCOMPARE(reports, QStringList{"error in spare scoring?"});
    reports.clear();
    scored(framesOf({{4, 6}, {-1, -1}}), 2, &reports); // the next roll may still come
    QVERIFY(reports.isEmpty());
}

QTEST_GUILESS_MAIN(TestRules)
#include "tst_rules.moc"
