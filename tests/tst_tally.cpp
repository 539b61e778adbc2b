// The tally and its file, without a window: games counted against followed opponents,
// sessions, the average, dropping players, and a tally file that is never lost and whose
// damage is reported.
#include "lzrw1.h"
#include "tally.h"
#include "tallygrid.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

// A grid row as one line of text, "Ann 1 0 ...", so a whole row compares at once.
QString rowText(const TallyGrid& grid, int row)
{
    QStringList cells;
    for (int c = 0; c < TallyGrid::kColumns; ++c)
        cells << grid.cell(c, row);
    return cells.join(u' ');
}

QStringList rowTexts(const TallyGrid& grid)
{
    QStringList rows;
    for (int row = 1; row < grid.rowCount(); ++row)
        rows << rowText(grid, row);
    return rows;
}

QByteArray packed(const QByteArray& text)
{
    return Tlzrw1::compressBytes(text, Tlzrw1::Mode::Fast);
}

struct TallyFolder {
    QTemporaryDir folder;
    QStringList reports;
    std::unique_ptr<Tally> tally;

    QString file() const { return folder.filePath(QStringLiteral("Pinfall1tally.tld")); }
    void open()
    {
        tally = std::make_unique<Tally>(file(), [this](const QString& text) { reports << text; });
    }
    void write(const QByteArray& bytes) const
    {
        QFile out(file());
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(bytes);
    }
    // The grid text inside the tally file.
    QByteArray gridText() const
    {
        QFile in(file());
        if (!in.open(QIODevice::ReadOnly))
            return {};
        QByteArray text;
        Tlzrw1::decompressBytes(in.readAll(), text);
        return text;
    }
    void play(const QStringList& inGame, const QString& winner)
    {
        tally->setPlayersInGame(inGame);
        tally->addgame(winner);
    }
};

const QString me = QString::fromLatin1(Tally::kWinnerIsMe);

} // namespace

class TestTally : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void firstStartWritesOneRow();
    void gamesCountAgainstFollowedOpponents_data();
    void gamesCountAgainstFollowedOpponents();
    void savedAtOnceAndReadWithANewSession();
    void averageDropsTheRemainder_data();
    void averageDropsTheRemainder();
    void droppingKeepsTheOthers();
    void damagedFilesAreReported_data();
    void damagedFilesAreReported();
    void gridTextLayout();
};

void TestTally::firstStartWritesOneRow()
{
    TallyFolder folder;
    folder.open();
    QCOMPARE(rowText(folder.tally->grid(), 0), QStringLiteral("0 0 0 0 0 0 0 0 0"));
    QCOMPARE(folder.tally->followed(), QStringList{});
    QVERIFY(!QFile::exists(folder.file()));
    folder.tally.reset();
    QCOMPARE(folder.gridText(), QByteArray("9\r\n1\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n"));
    QVERIFY(folder.reports.isEmpty());
}

void TestTally::gamesCountAgainstFollowedOpponents_data()
{
    QTest::addColumn<QStringList>("inGame");
    QTest::addColumn<QString>("winner");
    QTest::addColumn<QString>("ownWins");
    QTest::addColumn<QStringList>("rows"); // Ann, Lee and Max are followed

    // Zoe is not followed, and Max was not there.
    QTest::newRow("a followed opponent wins")
        << QStringList{"Ann", "Lee", "Zoe"} << "Ann"
        << "0" << QStringList{"Ann 1 1 0 0 1 1 0 0", "Lee 1 0 0 1 1 0 0 1", "Max 0 0 0 0 0 0 0 0"};
    // Lee left before the end: the roster read "<Waiting>", so he is not among the players.
    QTest::newRow("the user wins") << QStringList{"Ann", "Max"} << me << "1"
                                   << QStringList{"Ann 1 0 1 0 1 0 1 0", "Lee 0 0 0 0 0 0 0 0",
                                                  "Max 1 0 1 0 1 0 1 0"};
    QTest::newRow("a player not followed wins")
        << QStringList{"Ann", "Zoe"} << "Zoe"
        << "0" << QStringList{"Ann 1 0 0 1 1 0 0 1", "Lee 0 0 0 0 0 0 0 0", "Max 0 0 0 0 0 0 0 0"};
}

void TestTally::gamesCountAgainstFollowedOpponents()
{
    QFETCH(QStringList, inGame);
    QFETCH(QString, winner);
    QFETCH(QString, ownWins);
    QFETCH(QStringList, rows);
    TallyFolder folder;
    folder.open();
    for (const char* name : {"Ann", "Lee", "Max"})
        folder.tally->follow(QString::fromLatin1(name));
    folder.play(inGame, winner);
    QCOMPARE(folder.tally->grid().cell(1, 0), QStringLiteral("1"));
    QCOMPARE(folder.tally->grid().cell(2, 0), ownWins);
    QCOMPARE(rowTexts(folder.tally->grid()), rows);
}

void TestTally::savedAtOnceAndReadWithANewSession()
{
    TallyFolder folder;
    folder.open();
    folder.tally->follow(QStringLiteral("Ann"));
    folder.play({"Ann"}, QStringLiteral("Ann"));
    folder.tally->figureave(88);
    // Read while the first is still there, as after a program killed now.
    const Tally next(folder.file(), {});
    QCOMPARE(rowText(next.grid(), 0), QStringLiteral("0 1 0 0 0 88 88 0 0"));
    QCOMPARE(rowTexts(next.grid()), QStringList{"Ann 1 1 0 0 0 0 0 0"});
    QCOMPARE(QDir(folder.folder.path()).entryList(QDir::Files), QStringList{"Pinfall1tally.tld"});
    QVERIFY(!QFile::exists(QStringLiteral("temp.txt")));
}

void TestTally::averageDropsTheRemainder_data()
{
    QTest::addColumn<QList<int>>("scores");
    QTest::addColumn<bool>("counted"); // a game counted before each score
    QTest::addColumn<int>("sum");
    QTest::addColumn<int>("average");

    QTest::newRow("no game counted") << QList<int>{40} << false << 40 << 0;
    QTest::newRow("150 and 101") << QList<int>{150, 101} << true << 251 << 125;
}

void TestTally::averageDropsTheRemainder()
{
    QFETCH(QList<int>, scores);
    QFETCH(bool, counted);
    QFETCH(int, sum);
    QFETCH(int, average);
    TallyFolder folder;
    folder.open();
    for (const int score : scores) {
        if (counted)
            folder.tally->addgame(me);
        folder.tally->figureave(score);
    }
    QCOMPARE(folder.tally->grid().cell(6, 0), QString::number(sum));
    QCOMPARE(folder.tally->grid().cell(5, 0), QString::number(average));
}

void TestTally::droppingKeepsTheOthers()
{
    TallyFolder folder;
    folder.open();
    for (const char* name : {"Ann", "Lee", "Max"})
        folder.tally->follow(QString::fromLatin1(name));
    folder.play({"Ann", "Lee", "Max"}, QStringLiteral("Max"));
    folder.tally->drop(1);
    folder.tally->drop(2); // nobody there
    QCOMPARE(rowTexts(folder.tally->grid()), (QStringList{"Ann 1 0 0 1 1 0 0 1", "Max 1 1 0 0 1 1 0 0"}));
}

void TestTally::damagedFilesAreReported_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("report"); // after the file's name and ": "
    QTest::addColumn<QStringList>("followed");
    QTest::addColumn<QString>("games");

    QTest::newRow("no container") << QByteArray("not a tally at all")
                                  << "Lzrw1 decompression : input stream contains no valid header !"
                                  << QStringList{} << "0";
    // What was read counts.
    QTest::newRow("a grid cut short")
        << packed("9\r\n2\r\n0\r\nAnn\r\n5\r\n") << "The tally is damaged: it ends after 3 of its 18 numbers."
        << QStringList{"Ann"} << "5";
    QTest::newRow("a grid of no size")
        << packed("9\r\n999999999\r\n") << "The tally is damaged: its size is not readable." << QStringList{}
        << "0";
}

void TestTally::damagedFilesAreReported()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, report);
    QFETCH(QStringList, followed);
    QFETCH(QString, games);
    TallyFolder folder;
    folder.write(bytes);
    folder.open();
    QCOMPARE(folder.reports, QStringList{folder.file() + QStringLiteral(": ") + report});
    QCOMPARE(folder.tally->followed(), followed);
    QCOMPARE(folder.tally->grid().cell(1, 0), games);
}

void TestTally::gridTextLayout()
{
    TallyGrid grid;
    grid.appendRow({"Ann", "1", "2", "3", "4", "", "6", "7", "8"});
    const QByteArray text = grid.toText();
    QCOMPARE(text, QByteArray("9\r\n2\r\n0\r\nAnn\r\n0\r\n1\r\n0\r\n2\r\n0\r\n3\r\n0\r\n4\r\n0\r\n\r\n0\r\n6"
                              "\r\n0\r\n7\r\n0\r\n8\r\n"));
    TallyGrid back;
    QCOMPARE(back.fromText(text), std::optional<QString>());
    QCOMPARE(rowText(back, 1), QStringLiteral("Ann 1 2 3 4  6 7 8"));
    back.moverow(1);
    QCOMPARE(back.rowCount(), 1);
    back.moverow(0); // the own row stays
    QCOMPARE(back.rowCount(), 1);
    QVERIFY(back.fromText("").has_value());
}

QTEST_GUILESS_MAIN(TestTally)
#include "tst_tally.moc"
