// The marks and totals of the score sheet: the rules, and what is drawn where.
#include "artwork.h"
#include "scorecard.h"

#include <QImage>
#include <QPainter>
#include <QTest>

#include <limits>

namespace {

using Marks = ScoreCard::Marks;

QList<int> boxes(const Marks& marks)
{
    return {marks.boxA, marks.boxB, marks.boxC};
}

QList<int> frameMarks(int roll1, int roll2, int roll3, bool tenth)
{
    return boxes(ScoreCard::marksOf({roll1, roll2, roll3, -1}, tenth));
}

// The colours of an image's pixels, row by row (images also differ in metadata that does not show).
QList<QRgb> pixels(const QImage& image)
{
    QList<QRgb> colours;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            colours << image.pixel(x, y);
    }
    return colours;
}

// What a box of the sheet must show: the blank of the box, and the glyph over it.
QList<QRgb> expectedBox(int blank, int glyph)
{
    QImage image(9, 13, QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&image);
    painter.drawPixmap(0, 0, Artwork::littleGlyph(blank));
    if (glyph >= 0)
        painter.drawPixmap(0, 0, Artwork::littleGlyph(glyph));
    return pixels(image);
}

} // namespace

class TestScoreCard : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void framesOneToNine();
    void frameTen();
    void rollsOfAnyNumber();
    void runningTotals();
    void rowsOfTheSheet();
    void drawnCellsFollowTheTable();
};

void TestScoreCard::framesOneToNine()
{
    QCOMPARE(frameMarks(10, -1, -1, false), (QList<int>{-1, Artwork::kStrike, -1})); // box A keeps its blank
    QCOMPARE(frameMarks(5, 5, -1, false), (QList<int>{5, Artwork::kSpare, -1}));
    QCOMPARE(frameMarks(0, 0, -1, false), (QList<int>{Artwork::kMiss, Artwork::kMiss, -1}));
    QCOMPARE(frameMarks(3, 4, -1, false), (QList<int>{3, 4, -1}));
    QCOMPARE(frameMarks(0, 10, -1, false), (QList<int>{Artwork::kMiss, Artwork::kSpare, -1}));
    QCOMPARE(frameMarks(13, 14, 14, false), (QList<int>{13, 14, -1})); // a blank frame
}

void TestScoreCard::frameTen()
{
    QCOMPARE(frameMarks(10, 10, 10, true),
             (QList<int>{Artwork::kStrike, Artwork::kStrike, Artwork::kStrike}));
    QCOMPARE(frameMarks(10, 3, 7, true), (QList<int>{Artwork::kStrike, 3, Artwork::kSpare}));
    QCOMPARE(frameMarks(5, 5, 5, true), (QList<int>{5, Artwork::kSpare, Artwork::kSpare}));
    QCOMPARE(frameMarks(0, 4, -1, true), (QList<int>{Artwork::kMiss, 4, -1}));
    QCOMPARE(frameMarks(10, 0, 0, true), (QList<int>{Artwork::kStrike, Artwork::kMiss, Artwork::kMiss}));
}

void TestScoreCard::rollsOfAnyNumber()
{
    // Whatever a host reports, two rolls make a spare only when they really add up to ten.
    constexpr int kLow = std::numeric_limits<int>::min() + 5; // twice this wraps round to ten
    constexpr int kHigh = std::numeric_limits<int>::max();
    QCOMPARE(frameMarks(kLow, kLow, -1, false), (QList<int>{-1, -1, -1}));
    QCOMPARE(frameMarks(kHigh, kHigh, -1, false), (QList<int>{-1, -1, -1}));
    QCOMPARE(frameMarks(kLow, kLow, kLow, true), (QList<int>{-1, -1, -1}));
    QCOMPARE(frameMarks(3, kHigh, kHigh, true), (QList<int>{3, -1, -1}));
}

void TestScoreCard::runningTotals()
{
    QCOMPARE(ScoreCard::figurefour(7), (ScoreCard::TotalCells{-1, -1, 7}));
    QCOMPARE(ScoreCard::figurefour(40), (ScoreCard::TotalCells{-1, 4, 0}));
    QCOMPARE(ScoreCard::figurefour(105), (ScoreCard::TotalCells{1, 0, 5}));
    QCOMPARE(ScoreCard::figurefour(300), (ScoreCard::TotalCells{3, 0, 0}));
    QCOMPARE(ScoreCard::figurefour(0), (ScoreCard::TotalCells{-1, -1, 0}));
    QCOMPARE(ScoreCard::figurefour(-1), (ScoreCard::TotalCells{-1, -1, -1}));
}

void TestScoreCard::rowsOfTheSheet()
{
    QCOMPARE((QList<int>{ScoreCard::gettop(1, 1), ScoreCard::gettop(2, 2), ScoreCard::gettop(3, 3),
                         ScoreCard::gettop(4, 1)}),
             (QList<int>{2, 42, 82, 122}));
    QCOMPARE((QList<int>{ScoreCard::gettop(1, 4), ScoreCard::gettop(4, 4)}), (QList<int>{22, 142}));
    QCOMPARE(ScoreCard::gettop(5, 1), 0);
    QCOMPARE(ScoreCard::gettop(1, 5), 0);
}

void TestScoreCard::drawnCellsFollowTheTable()
{
    ScoreSheet table;
    ScoreCard card(table);
    card.resize(273, 160);
    table.setRolls(2, 4, {5, 5, -1});
    table.setTotal(2, 4, 105);
    table.setTotal(2, 5, 108);
    table.setRolls(3, 10, {10, 3, 7});
    table.setRolls(1, 9, {10, -1, -1});
    table.setRolls(7, 1, {1, 1, 1});  // no such player: ignored
    table.setRolls(1, 11, {1, 1, 1}); // no such frame: ignored
    const QImage sheet = card.grab().toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const auto box = [&sheet](int x, int y) { return pixels(sheet.copy(x, y, 9, 13)); };
    // Neighbouring digit cells share columns: compare the six each has alone.
    const auto cell = [&sheet](int frame, int digit, int y) {
        return pixels(sheet.copy(ScoreCard::totalCellLeft(frame, digit) + 1, y, 6, 13));
    };
    const auto expectedCell = [](int glyph) {
        QImage image(9, 13, QImage::Format_ARGB32_Premultiplied);
        QPainter painter(&image);
        painter.drawPixmap(0, 0, Artwork::littleGlyph(Artwork::kBlankPaper));
        if (glyph >= 0)
            painter.drawPixmap(0, 0, Artwork::littleGlyph(glyph));
        return pixels(image.copy(1, 0, 6, 13));
    };
    // Slot 2, frame 4: 5 then a spare, and 105 in the three digit cells.
    QCOMPARE(box(26 * 4 - 23, 42), expectedBox(Artwork::kBlankPaper, 5));
    QCOMPARE(box(26 * 4 - 10, 42), expectedBox(Artwork::kBlankShade, Artwork::kSpare));
    QCOMPARE(cell(4, 0, 62), expectedCell(1));
    QCOMPARE(cell(4, 1, 62), expectedCell(0));
    QCOMPARE(cell(4, 2, 62), expectedCell(5));
    // Three-digit totals of neighbouring frames do not run together: ink-free columns between.
    const QImage between = sheet.copy(26 * 5 - 26, 62, 4, 13);
    for (int x = 0; x < between.width(); ++x) {
        for (int y = 0; y < between.height(); ++y)
            QVERIFY2(qGray(between.pixel(x, y)) > 128, qPrintable(QStringLiteral("ink at column %1").arg(x)));
    }
    // Slot 3, frame 10: strike, 3, spare in boxes A, B and C.
    QCOMPARE(box(26 * 10 - 23, 82), expectedBox(Artwork::kBlankPaper, Artwork::kStrike));
    QCOMPARE(box(26 * 10 - 10, 82), expectedBox(Artwork::kBlankShade, 3));
    QCOMPARE(box(263, 82), expectedBox(Artwork::kBlankShade, Artwork::kSpare));
    // Slot 1, frame 9: a strike only in box B; box A stays blank, and so does the total.
    QCOMPARE(box(26 * 9 - 23, 2), expectedBox(Artwork::kBlankPaper, -1));
    QCOMPARE(box(26 * 9 - 10, 2), expectedBox(Artwork::kBlankShade, Artwork::kStrike));
    QCOMPARE(cell(9, 2, 22), expectedCell(-1));
    QCOMPARE(cell(9, 1, 22), expectedCell(-1));

    // Covered and uncovered, or reset: the sheet is drawn from the table again.
    QCOMPARE(pixels(card.grab().toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied)),
             pixels(sheet));
    table.reset();
    const QImage blank = card.grab().toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QCOMPARE(pixels(blank.copy(26 * 4 - 23, 42, 9, 13)), expectedBox(Artwork::kBlankPaper, -1));
    QCOMPARE(table.frame(2, 4), ScoreSheet::kBlankFrame);
    QCOMPARE(table.frame(7, 1), ScoreSheet::kBlankFrame);
}

QTEST_MAIN(TestScoreCard)
#include "tst_scorecard.moc"
