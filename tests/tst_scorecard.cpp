// The marks and totals of the score sheet: the rules, and what is drawn where.
#include "artwork.h"
#include "scorecard.h"
#include "typeface.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QTest>
#include <QtMath>

#include <algorithm>
#include <cstdlib>
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

// The largest difference of two equally large pictures in any channel of any pixel. The same
// glyph laid on the same paper through two paths may come out a level apart at its smoothed
// edges, which nobody sees; another glyph differs by far more.
int largestDifference(const QImage& drawn, const QImage& expected)
{
    int largest = 0;
    for (int y = 0; y < drawn.height(); ++y) {
        for (int x = 0; x < drawn.width(); ++x) {
            const QRgb a = drawn.pixel(x, y);
            const QRgb b = expected.pixel(x, y);
            largest = std::max({largest, std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                                std::abs(qBlue(a) - qBlue(b))});
        }
    }
    return largest;
}
constexpr int kRounding = 2;

// What a box of the sheet must show: the blank of the box, and the glyph over it.
QImage expectedBox(int blank, int glyph)
{
    QImage image(9, 13, QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&image);
    painter.drawPixmap(0, 0, Artwork::littleGlyph(blank));
    if (glyph >= 0)
        painter.drawPixmap(0, 0, Artwork::littleGlyph(glyph));
    return image;
}

// The ruled sheet with the marks laid over it where the main window lays them.
class MarkedSheet : public QWidget {
public:
    static constexpr QPoint kMarksAt{101, 23}; // the first frame's left rule, under the heading

    explicit MarkedSheet(const ScoreSheet& table) : card(table, this)
    {
        resize(554, 205);
        card.setGeometry(QRect(kMarksAt, QSize(273, 160)));
    }

    // The sheet as a screen that shows `scale` pixels for each of the window's would show it.
    QImage drawn(qreal scale = 1)
    {
        QImage image(size() * scale, QImage::Format_ARGB32_Premultiplied);
        image.setDevicePixelRatio(scale);
        render(&image);
        return image;
    }

    ScoreCard card;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        Artwork::paintScoreSheet(painter);
    }
};

// Whether a rule runs down the sheet at x, unbroken from `top` to `bottom` (in the window's
// pixels): whether one of the image's columns about x is ink all the way.
bool ruledDown(const QImage& image, int x, int top, int bottom)
{
    const qreal scale = image.devicePixelRatio();
    for (int column = qFloor((x - 1) * scale); column <= qCeil((x + 1) * scale); ++column) {
        bool unbroken = true;
        for (int y = qCeil(top * scale); y < qFloor(bottom * scale) && unbroken; ++y)
            unbroken = qGray(image.pixel(column, y)) < 200;
        if (unbroken)
            return true;
    }
    return false;
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
    void rulesStayWholeOnScaledScreens();
    void writesInTheProjectsTypeface();
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
    MarkedSheet view(table);
    table.setRolls(2, 4, {5, 5, -1});
    table.setTotal(2, 4, 105);
    table.setTotal(2, 5, 108);
    table.setRolls(3, 10, {10, 3, 7});
    table.setRolls(1, 9, {10, -1, -1});
    table.setRolls(4, 1, {0, 4, -1});
    table.setRolls(7, 1, {1, 1, 1});  // no such player: ignored
    table.setRolls(1, 11, {1, 1, 1}); // no such frame: ignored
    const QImage sheet = view.drawn();
    const auto piece = [&sheet](int x, int y, int width) {
        return sheet.copy(MarkedSheet::kMarksAt.x() + x, MarkedSheet::kMarksAt.y() + y, width, 13);
    };
    const auto box = [&piece](int x, int y) { return piece(x, y, 9); };
    // Neighbouring digit cells share columns: compare the six each has alone.
    const auto cell = [&piece](int frame, int digit, int y) {
        return piece(ScoreCard::totalCellLeft(frame, digit) + 1, y, 6);
    };
    const auto expectedCell = [](int glyph) {
        return expectedBox(Artwork::kBlankPaper, glyph).copy(1, 0, 6, 13);
    };
    struct Seen {
        const char* where;
        QImage drawn;
        QImage expected;
    };
    const QList<Seen> seen{
        // Slot 2, frame 4: 5 then a spare, and 105 in the three digit cells.
        {"2/4 box A", box(26 * 4 - 23, 42), expectedBox(Artwork::kBlankPaper, 5)},
        {"2/4 box B", box(26 * 4 - 10, 42), expectedBox(Artwork::kBlankShade, Artwork::kSpare)},
        {"2/4 hundreds", cell(4, 0, 62), expectedCell(1)},
        {"2/4 tens", cell(4, 1, 62), expectedCell(0)},
        {"2/4 units", cell(4, 2, 62), expectedCell(5)},
        // Slot 3, frame 10: strike, 3, spare in boxes A, B and C.
        {"3/10 box A", box(26 * 10 - 23, 82), expectedBox(Artwork::kBlankPaper, Artwork::kStrike)},
        {"3/10 box B", box(26 * 10 - 10, 82), expectedBox(Artwork::kBlankShade, 3)},
        {"3/10 box C", box(263, 82), expectedBox(Artwork::kBlankShade, Artwork::kSpare)},
        // Slot 1, frame 9: a strike only in box B; box A stays blank, and so does the total.
        {"1/9 box A", box(26 * 9 - 23, 2), expectedBox(Artwork::kBlankPaper, -1)},
        {"1/9 box B", box(26 * 9 - 10, 2), expectedBox(Artwork::kBlankShade, Artwork::kStrike)},
        {"1/9 units", cell(9, 2, 22), expectedCell(-1)},
        {"1/9 tens", cell(9, 1, 22), expectedCell(-1)},
        // Slot 4, frame 1: a miss, then 4.
        {"4/1 box A", box(26 - 23, 122), expectedBox(Artwork::kBlankPaper, Artwork::kMiss)},
        {"4/1 box B", box(26 - 10, 122), expectedBox(Artwork::kBlankShade, 4)},
    };
    for (const Seen& one : seen)
        QVERIFY2(largestDifference(one.drawn, one.expected) <= kRounding, one.where);
    // Three-digit totals of neighbouring frames do not run together: ink-free columns between,
    // beside the rule.
    const QImage between = piece(26 * 4 + 1, 62, 3);
    for (int x = 0; x < between.width(); ++x) {
        for (int y = 0; y < between.height(); ++y)
            QVERIFY2(qGray(between.pixel(x, y)) > 128, qPrintable(QStringLiteral("ink at column %1").arg(x)));
    }

    // Covered and uncovered, or reset: the sheet is drawn from the table again.
    QCOMPARE(pixels(view.drawn()), pixels(sheet));
    table.reset();
    QCOMPARE_LE(largestDifference(view.drawn().copy(MarkedSheet::kMarksAt.x() + 26 * 4 - 23,
                                                    MarkedSheet::kMarksAt.y() + 42, 9, 13),
                                  expectedBox(Artwork::kBlankPaper, -1)),
                kRounding);
    QCOMPARE(table.frame(2, 4), ScoreSheet::kBlankFrame);
    QCOMPARE(table.frame(7, 1), ScoreSheet::kBlankFrame);
}

void TestScoreCard::rulesStayWholeOnScaledScreens()
{
    // Every mark and three-digit total there is room for, on a screen that scales by one and a
    // half, where a pixel of the window falls between two of the screen's.
    ScoreSheet table;
    for (int slot = 1; slot <= ScoreCard::kSlots; ++slot) {
        for (int frame = 1; frame <= ScoreCard::kFrames; ++frame) {
            table.setRolls(slot, frame, {8, 2, 10});
            table.setTotal(slot, frame, 288);
        }
    }
    MarkedSheet view(table);
    const QImage sheet = view.drawn(1.5);
    QList<int> rules; // the left rule of every frame, and the right one of frame 10
    for (int frame = 1; frame <= ScoreCard::kFrames; ++frame)
        rules << 26 * (frame - 1);
    rules << view.card.width();
    constexpr int kRowsBottom = 183;
    for (const int x : rules) {
        QVERIFY2(ruledDown(sheet, MarkedSheet::kMarksAt.x() + x, MarkedSheet::kMarksAt.y(), kRowsBottom),
                 qPrintable(QStringLiteral("the rule at %1 is broken").arg(x)));
    }
}

void TestScoreCard::writesInTheProjectsTypeface()
{
    // The tests see only the fonts the project installs (build/fonts.conf): the typeface the
    // windows name, and it again for the desktop's font that they do not name. A font this
    // machine has besides, like the DejaVu that comes with Debian, stays out of sight.
    QCOMPARE(QFontInfo(Typeface::bold(12)).family(), Typeface::family());
    QVERIFY(QFontInfo(Typeface::bold(12)).bold());
    QCOMPARE(QFontInfo(QGuiApplication::font()).family(), Typeface::family());
    for (const QString& family : QFontDatabase::families())
        QVERIFY2(QFontInfo(QFont(family)).family().startsWith(QStringLiteral("Liberation ")),
                 qPrintable(family));
}

QTEST_MAIN(TestScoreCard)
#include "tst_scorecard.moc"
