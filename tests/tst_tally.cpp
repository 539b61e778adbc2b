// The tally and its file, without a window: games counted against followed opponents,
// sessions, the average, dropping players, the bytes of the file, counts the file holds as
// other text, and a tally file that is never lost and whose damage is reported.
#include "lzrw1.h"
#include "tally.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

QString countsText(const GamesTogether& games)
{
    return QStringList{games.games.text(), games.theirWins.text(), games.myWins.text(),
                       games.neitherWon.text()}
        .join(u' ');
}

// "Ann 1 1 0 0 1 1 0 0": the name, then games, their wins, the user's, neither's, all time and
// this session; so a whole opponent compares at once.
QString opponentText(const OpponentTally& opponent)
{
    return opponent.name + u' ' + countsText(opponent.allTime) + u' ' + countsText(opponent.session);
}

QStringList opponentTexts(const Tally& tally)
{
    QStringList texts;
    for (const OpponentTally& opponent : tally.opponents())
        texts << opponentText(opponent);
    return texts;
}

// Games, wins, perfect games, strikes, average, the sum of the scores.
QString ownText(const Tally& tally)
{
    const OwnTotals& own = tally.own();
    return QStringList{own.games.text(),   own.wins.text(),    own.perfectGames.text(),
                       own.strikes.text(), own.average.text(), own.scoreSum.text()}
        .join(u' ');
}

QByteArray packed(const QByteArray& text)
{
    return Tlzrw1::compressBytes(text, Tlzrw1::Mode::Fast);
}

QByteArray unpacked(const QByteArray& bytes)
{
    QByteArray text;
    Tlzrw1::decompressBytes(bytes, text);
    return text;
}

QByteArray readAll(const QString& path)
{
    QFile in(path);
    return in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray();
}

// A game as the main window reports it: who was in it, the user's strikes, and who won
// (nobody named: the user).
struct Game {
    QStringList inGame;
    std::optional<QString> winner;
    int strikes = 0;
    int score = 0;
};

struct TallyFolder {
    QTemporaryDir folder;
    QStringList reports;
    std::unique_ptr<Tally> tally;

    QString file() const { return folder.filePath(QStringLiteral("Pinfall1tally.tld")); }
    void open()
    {
        tally.reset(); // saved before it is read again
        tally = std::make_unique<Tally>(file(), [this](const QString& text) { reports << text; });
    }
    void write(const QByteArray& bytes) const
    {
        QFile out(file());
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(bytes);
    }
    void play(const Game& game)
    {
        tally->setPlayersInGame(game.inGame);
        for (int strike = 0; strike < game.strikes; ++strike)
            tally->countStrike();
        if (game.score == 300)
            tally->countPerfectGame();
        if (game.winner)
            tally->countGameWonBy(*game.winner);
        else
            tally->countGameWon();
        tally->addFinalScore(game.score);
    }
    void follow(const QStringList& names) const
    {
        for (const QString& name : names)
            tally->follow(name);
    }
};

const QString addtomine = QStringLiteral("addtomine");

} // namespace

class TestTally : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void firstStartWritesOneRow();
    void sameGamesWriteTheSameFile();
    void gamesCountAgainstFollowedOpponents_data();
    void gamesCountAgainstFollowedOpponents();
    void averageDropsTheRemainder_data();
    void averageDropsTheRemainder();
    void droppingKeepsTheOthers();
    void countsThatAreNotNumbers();
    void damagedFilesAreReported_data();
    void damagedFilesAreReported();
};

void TestTally::firstStartWritesOneRow()
{
    TallyFolder folder;
    folder.open();
    QCOMPARE(ownText(*folder.tally), QStringLiteral("0 0 0 0 0 0"));
    QVERIFY(!QFile::exists(folder.file()));
    folder.tally.reset();
    QCOMPARE(unpacked(readAll(folder.file())),
             QByteArray("9\r\n1\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n"));
    QVERIFY(folder.reports.isEmpty());
}

// The golden file was written by the tally of an earlier build after the same games: a file
// never changes form between builds. Every game is saved at once.
void TestTally::sameGamesWriteTheSameFile()
{
    TallyFolder folder;
    folder.open();
    folder.follow({"Ann", "Lee", "Max", "Bob"});
    folder.play({{"Ann", "Lee", "Zoe"}, QStringLiteral("Ann"), 3, 150});
    folder.play({{"Ann", "Max"}, std::nullopt, 12, 300});
    folder.tally->drop(3);
    folder.play({{"Ann", "Lee", "Zoe"}, QStringLiteral("Zoe"), 1, 101});
    folder.open(); // the next run
    folder.play({{"Lee", "Max"}, QStringLiteral("Lee"), 2, 77});
    // Compared and read while the tally is still open, as after a program killed now.
    QCOMPARE(readAll(folder.file()).toHex(), readAll(QFINDTESTDATA("golden/Pinfall1tally.tld")).toHex());
    QCOMPARE(QDir(folder.folder.path()).entryList(QDir::Files), QStringList{"Pinfall1tally.tld"});
    const Tally next(folder.file(), {});
    QCOMPARE(ownText(next), QStringLiteral("4 1 1 18 157 628"));
    QCOMPARE(opponentTexts(next),
             (QStringList{"Ann 3 1 1 1 0 0 0 0", "Lee 3 1 0 2 0 0 0 0", "Max 2 0 1 1 0 0 0 0"}));
    QVERIFY(folder.reports.isEmpty());
}

void TestTally::gamesCountAgainstFollowedOpponents_data()
{
    QTest::addColumn<QStringList>("inGame");
    QTest::addColumn<std::optional<QString>>("winner"); // none: the user
    QTest::addColumn<QString>("ownWins");
    QTest::addColumn<QStringList>("opponents"); // Ann, Lee, addtomine are followed

    // Zoe is not followed, and addtomine was not there.
    QTest::newRow("a followed opponent wins")
        << QStringList{"Ann", "Lee", "Zoe"} << std::optional<QString>("Ann") << "0"
        << QStringList{"Ann 1 1 0 0 1 1 0 0", "Lee 1 0 0 1 1 0 0 1", "addtomine 0 0 0 0 0 0 0 0"};
    // Lee left before the end: the roster read "<Waiting>", so he is not among the players.
    QTest::newRow("the user wins") << QStringList{"Ann", "addtomine"} << std::optional<QString>() << "1"
                                   << QStringList{"Ann 1 0 1 0 1 0 1 0", "Lee 0 0 0 0 0 0 0 0",
                                                  "addtomine 1 0 1 0 1 0 1 0"};
    QTest::newRow("a player not followed wins")
        << QStringList{"Ann", "Zoe"} << std::optional<QString>("Zoe") << "0"
        << QStringList{"Ann 1 0 0 1 1 0 0 1", "Lee 0 0 0 0 0 0 0 0", "addtomine 0 0 0 0 0 0 0 0"};
    QTest::newRow("an opponent called addtomine wins")
        << QStringList{"Ann", "addtomine"} << std::optional<QString>(addtomine) << "0"
        << QStringList{"Ann 1 0 0 1 1 0 0 1", "Lee 0 0 0 0 0 0 0 0", "addtomine 1 1 0 0 1 1 0 0"};
}

void TestTally::gamesCountAgainstFollowedOpponents()
{
    QFETCH(QStringList, inGame);
    QFETCH(std::optional<QString>, winner);
    QFETCH(QString, ownWins);
    QFETCH(QStringList, opponents);
    TallyFolder folder;
    folder.open();
    folder.follow({"Ann", "Lee", addtomine});
    folder.play({inGame, winner, 0, 0});
    QCOMPARE(folder.tally->own().games.text(), QStringLiteral("1"));
    QCOMPARE(folder.tally->own().wins.text(), ownWins);
    QCOMPARE(opponentTexts(*folder.tally), opponents);
}

void TestTally::averageDropsTheRemainder_data()
{
    QTest::addColumn<QByteArray>("sumBefore"); // as the tally file holds it
    QTest::addColumn<QList<int>>("scores");
    QTest::addColumn<bool>("counted"); // a game counted before each score
    QTest::addColumn<QString>("sumAndAverage");

    QTest::newRow("no game counted") << QByteArray("0") << QList<int>{40} << false << "40 0";
    QTest::newRow("150 and 101") << QByteArray("0") << QList<int>{150, 101} << true << "251 125";
    QTest::newRow("a sum too big to grow")
        << QByteArray("9223372036854775807") << QList<int>{40} << true << "40 40";
}

void TestTally::averageDropsTheRemainder()
{
    QFETCH(QByteArray, sumBefore);
    QFETCH(QList<int>, scores);
    QFETCH(bool, counted);
    QFETCH(QString, sumAndAverage);
    TallyFolder folder;
    folder.write(packed("9\r\n1\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n" + sumBefore + "\r\n0\r\n0\r\n"));
    folder.open();
    for (const int score : scores) {
        if (counted)
            folder.tally->countGameWon();
        folder.tally->addFinalScore(score);
    }
    const OwnTotals& own = folder.tally->own();
    QCOMPARE(own.scoreSum.text() + u' ' + own.average.text(), sumAndAverage);
}

void TestTally::droppingKeepsTheOthers()
{
    TallyFolder folder;
    folder.open();
    folder.follow({"Ann", "Lee", "Max"});
    folder.play({{"Ann", "Lee", "Max"}, QStringLiteral("Max"), 0, 0});
    folder.tally->drop(1);
    folder.tally->drop(2); // nobody there
    QCOMPARE(opponentTexts(*folder.tally), (QStringList{"Ann 1 0 0 1 1 0 0 1", "Max 1 1 0 0 1 1 0 0"}));
}

// A file edited by hand: own games "x", wins blank, perfect games "007", strikes at the
// largest int, the sum "abc"; Ann's games blank, the user's wins and neither's "x". The text
// written afterwards is what an earlier build wrote for the same file and game.
void TestTally::countsThatAreNotNumbers()
{
    TallyFolder folder;
    folder.write(packed("9\r\n2\r\n0\r\nAnn\r\nx\r\n\r\n\r\n7\r\n007\r\nx\r\n2147483647\r\nx\r\n5\r\n3\r\n"
                        "abc\r\n\r\n0\r\n\r\n0\r\n\r\n"));
    folder.open();
    QCOMPARE(ownText(*folder.tally), QStringLiteral("x  007 2147483647 5 abc")); // shown as found
    QCOMPARE(opponentTexts(*folder.tally), QStringList{"Ann  7 x x 0 0 0 0"});
    folder.follow({"Ann"});
    folder.tally->countPerfectGame();
    folder.play({{"Ann"}, std::nullopt, 1, 90});
    folder.tally.reset();
    QCOMPARE(
        unpacked(readAll(folder.file())),
        QByteArray("9\r\n2\r\n0\r\nAnn\r\n1\r\n1\r\n1\r\n7\r\n8\r\n1\r\n1\r\nx\r\n90\r\n1\r\n90\r\n0\r\n0"
                   "\r\n1\r\n0\r\n0\r\n"));
    QVERIFY(folder.reports.isEmpty());
}

void TestTally::damagedFilesAreReported_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("report"); // after the file's name and ": "
    QTest::addColumn<QStringList>("opponents");
    QTest::addColumn<QString>("games");

    QTest::newRow("no container") << QByteArray("not a tally at all")
                                  << "Lzrw1 decompression : input stream contains no valid header !"
                                  << QStringList{} << "0";
    // What was read counts.
    QTest::newRow("a grid cut short")
        << packed("9\r\n2\r\n0\r\nAnn\r\n5") << "The tally is damaged: it ends after 3 of its 18 numbers."
        << QStringList{"Ann     0 0 0 0"} << "5";
    QTest::newRow("a grid of no size")
        << packed("9\r\n999999999\r\n") << "The tally is damaged: its size is not readable." << QStringList{}
        << "0";
}

void TestTally::damagedFilesAreReported()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, report);
    QFETCH(QStringList, opponents);
    QFETCH(QString, games);
    TallyFolder folder;
    folder.write(bytes);
    folder.open();
    QCOMPARE(folder.reports, QStringList{folder.file() + QStringLiteral(": ") + report});
    QCOMPARE(opponentTexts(*folder.tally), opponents);
    QCOMPARE(folder.tally->own().games.text(), games);
}

QTEST_GUILESS_MAIN(TestTally)
#include "tst_tally.moc"
