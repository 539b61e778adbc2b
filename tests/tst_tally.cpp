// The tally window and its file: games counted against followed opponents, sessions, the
// average, following and dropping players, and a tally file that is never lost.
#include "boxanswerer.h"
#include "lzrw1.h"
#include "tallygrid.h"
#include "ttallylist.h"

#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

QStringList column(const TallyGrid& grid, int row)
{
    QStringList cells;
    for (int c = 0; c < TallyGrid::kColumns; ++c)
        cells << grid.cell(c, row);
    return cells;
}

QStringList counts(std::initializer_list<int> values)
{
    QStringList cells;
    for (const int value : values)
        cells << QString::number(value);
    return cells;
}

// The grid text inside a tally file.
QByteArray gridText(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QByteArray text;
    Tlzrw1::decompressBytes(file.readAll(), text);
    return text;
}

struct Tally {
    QTemporaryDir folder;
    QStringList reports;
    std::unique_ptr<Ttallylist> window;
    QStringList inGame;

    QString file() const { return folder.filePath(QStringLiteral("Pinfall1tally.tld")); }

    void open()
    {
        window = std::make_unique<Ttallylist>(file(), [this](const QString& text) { reports << text; });
        window->loadchecklist = [this] { window->setPlayersInGame(inGame); };
    }
    void close() { window.reset(); }

    void follow(const QString& name)
    {
        window->setPlayersInGame({name});
        auto* list = window->findChild<QListWidget*>(QStringLiteral("checklist"));
        list->item(0)->setCheckState(Qt::Checked); // the user ticks the name
    }
    const TallyGrid& grid() const { return window->grid(); }
};

} // namespace

class TestTally : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void firstStartWritesOneRow();
    void gamesCountAgainstFollowedOpponents();
    void sessionColumnsStartAgain();
    void averageDropsTheRemainder();
    void droppingAPlayerAsksFirst();
    void resetAsksFirst();
    void gamesAreSavedAtOnceAndWhole();
    void damagedFilesAreReported();
    void gridTextLayout();
};

void TestTally::firstStartWritesOneRow()
{
    Tally tally;
    tally.open();
    for (const char* label : {"mylabel_1", "mylabel_2", "mylabel_3", "mylabel_4", "mylabel_5"})
        QCOMPARE(tally.window->shown(label), QStringLiteral("0"));
    QCOMPARE(tally.window->followed(), QStringList{});
    QVERIFY(!QFile::exists(tally.file()));
    tally.close();
    QCOMPARE(gridText(tally.file()), QByteArray("9\r\n1\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n"));
    QVERIFY(tally.reports.isEmpty());
}

void TestTally::gamesCountAgainstFollowedOpponents()
{
    Tally tally;
    tally.open();
    tally.follow(QStringLiteral("Ann"));
    tally.follow(QStringLiteral("Lee"));
    tally.follow(QStringLiteral("Max"));
    QCOMPARE(tally.window->followed(), (QStringList{"Ann", "Lee", "Max"}));

    // Ann wins a game with Lee and Zoe (not followed) in it; Max was not there.
    tally.inGame = {"Ann", "Lee", "Zoe"};
    tally.window->addgame(QStringLiteral("Ann"));
    QCOMPARE(tally.window->shown("mylabel_1"), QStringLiteral("1"));
    QCOMPARE(tally.window->shown("mylabel_2"), QStringLiteral("0"));
    QCOMPARE(column(tally.grid(), 1), QStringList{"Ann"} + counts({1, 1, 0, 0, 1, 1, 0, 0}));
    QCOMPARE(column(tally.grid(), 2), QStringList{"Lee"} + counts({1, 0, 0, 1, 1, 0, 0, 1}));
    QCOMPARE(column(tally.grid(), 3), QStringList{"Max"} + counts({0, 0, 0, 0, 0, 0, 0, 0}));

    // The user wins; Lee left before the end (the roster reads "<Waiting>", so Lee is not there).
    tally.inGame = {"Ann", "Max"};
    tally.window->addgame(QString::fromLatin1(Ttallylist::kWinnerIsMe));
    QCOMPARE(tally.window->shown("mylabel_2"), QStringLiteral("1"));
    QCOMPARE(column(tally.grid(), 1), QStringList{"Ann"} + counts({2, 1, 1, 0, 2, 1, 1, 0}));
    QCOMPARE(column(tally.grid(), 2), QStringList{"Lee"} + counts({1, 0, 0, 1, 1, 0, 0, 1}));
    QCOMPARE(column(tally.grid(), 3), QStringList{"Max"} + counts({1, 0, 1, 0, 1, 0, 1, 0}));

    // The detail panel of the selected player follows.
    tally.window->findChild<QListWidget*>(QStringLiteral("listbox_tally"))->setCurrentRow(0);
    QCOMPARE(tally.window->shown("label_hisnametop"), QStringLiteral("Ann's Tally"));
    QCOMPARE(tally.window->shown("label_hisname"), QStringLiteral("Ann Wins:"));
    QCOMPARE(tally.window->shown("label_3"), QStringLiteral("1"));

    // Strikes and perfect games count for the user alone.
    tally.window->addtomineincrease(4);
    tally.window->addtomineincrease(3);
    QCOMPARE(tally.window->shown("mylabel_4"), QStringLiteral("1"));
    QCOMPARE(tally.window->shown("mylabel_3"), QStringLiteral("1"));

    tally.window->show();
    QDir().mkpath(QStringLiteral(PINFALL_ARTIFACTS));
    QVERIFY(tally.window->grab().save(QStringLiteral(PINFALL_ARTIFACTS "/tally.png")));
}

void TestTally::sessionColumnsStartAgain()
{
    Tally tally;
    tally.open();
    tally.follow(QStringLiteral("Ann"));
    tally.inGame = {"Ann"};
    tally.window->addgame(QStringLiteral("Ann"));
    tally.close();
    tally.open();
    QCOMPARE(tally.window->followed(), QStringList{"Ann"});
    QCOMPARE(column(tally.grid(), 1), QStringList{"Ann"} + counts({1, 1, 0, 0, 0, 0, 0, 0}));
    QCOMPARE(tally.window->shown("mylabel_1"), QStringLiteral("1"));
}

void TestTally::averageDropsTheRemainder()
{
    Tally tally;
    tally.open();
    tally.window->figureave(40); // no game counted yet: the sum grows, the average waits
    QCOMPARE(tally.grid().cell(6, 0), QStringLiteral("40"));
    QCOMPARE(tally.window->shown("mylabel_5"), QStringLiteral("0"));
    Tally fresh;
    fresh.open();
    fresh.window->addgame(QStringLiteral("Ann"));
    fresh.window->figureave(150);
    fresh.window->addgame(QString::fromLatin1(Ttallylist::kWinnerIsMe));
    fresh.window->figureave(101);
    QCOMPARE(fresh.window->shown("mylabel_5"), QStringLiteral("125"));
    QCOMPARE(fresh.grid().cell(6, 0), QStringLiteral("251"));
}

void TestTally::droppingAPlayerAsksFirst()
{
    Tally tally;
    tally.open();
    for (const char* name : {"Ann", "Lee", "Max"})
        tally.follow(QString::fromLatin1(name));
    tally.inGame = {"Ann", "Lee", "Max"};
    tally.window->addgame(QStringLiteral("Max"));
    auto* list = tally.window->findChild<QListWidget*>(QStringLiteral("listbox_tally"));
    {
        BoxAnswerer no(QMessageBox::No);
        list->item(1)->setCheckState(Qt::Unchecked);
        QCOMPARE(no.text(), QStringLiteral("This will delete Lee's Tally, Are you want to delete it?"));
    }
    QCOMPARE(list->item(1)->checkState(), Qt::Checked);
    QCOMPARE(tally.window->followed(), (QStringList{"Ann", "Lee", "Max"}));
    {
        BoxAnswerer yes(QMessageBox::Yes);
        list->item(1)->setCheckState(Qt::Unchecked);
    }
    QCOMPARE(tally.window->followed(), (QStringList{"Ann", "Max"}));
    QCOMPARE(tally.grid().rowCount(), 3);
    QCOMPARE(column(tally.grid(), 2), QStringList{"Max"} + counts({1, 1, 0, 0, 1, 1, 0, 0}));
    QCOMPARE(column(tally.grid(), 1), QStringList{"Ann"} + counts({1, 0, 0, 1, 1, 0, 0, 1}));
}

void TestTally::resetAsksFirst()
{
    Tally tally;
    tally.open();
    tally.follow(QStringLiteral("Ann"));
    tally.window->addgame(QString::fromLatin1(Ttallylist::kWinnerIsMe));
    {
        BoxAnswerer no(QMessageBox::No);
        tally.window->button_resetClick();
        QCOMPARE(no.text(), QStringLiteral("Are you sure you want to reset the Tally?"));
    }
    QCOMPARE(tally.window->shown("mylabel_1"), QStringLiteral("1"));
    {
        BoxAnswerer yes(QMessageBox::Yes);
        tally.window->button_resetClick();
    }
    QCOMPARE(tally.window->shown("mylabel_1"), QStringLiteral("0"));
    QCOMPARE(tally.window->followed(), QStringList{});
    QCOMPARE(tally.grid().rowCount(), 1);
}

void TestTally::gamesAreSavedAtOnceAndWhole()
{
    Tally tally;
    tally.open();
    tally.follow(QStringLiteral("Ann"));
    tally.inGame = {"Ann"};
    tally.window->addgame(QStringLiteral("Ann"));
    tally.window->figureave(88);
    // Saved already, as if the program were killed now.
    QVERIFY(gridText(tally.file()).startsWith("9\r\n2\r\n0\r\nAnn\r\n1\r\n1\r\n"));
    QVERIFY(gridText(tally.file()).contains("88"));
    // No intermediate file is left anywhere.
    QCOMPARE(QDir(tally.folder.path()).entryList(QDir::Files), QStringList{"Pinfall1tally.tld"});
    QVERIFY(!QFile::exists(QStringLiteral("temp.txt")));
}

void TestTally::damagedFilesAreReported()
{
    Tally tally;
    QFile file(tally.file());
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("not a tally at all");
    file.close();
    tally.open();
    QCOMPARE(tally.reports,
             QStringList{tally.file() + ": Lzrw1 decompression : input stream contains no valid header !"});
    QCOMPARE(tally.window->shown("mylabel_1"), QStringLiteral("0"));
    tally.close();

    // A grid cut short: what was read counts, and the user is told.
    TallyGrid grid;
    QCOMPARE(
        grid.fromText("9\r\n2\r\n0\r\nAnn\r\n5\r\n"),
        std::optional<QString>(QStringLiteral("The tally is damaged: it ends after 3 of its 18 numbers.")));
    QCOMPARE(grid.cell(0, 1), QStringLiteral("Ann"));
    QCOMPARE(grid.cell(1, 0), QStringLiteral("5"));
    QVERIFY(grid.fromText("9\r\n999999999\r\n").has_value());
    QVERIFY(grid.fromText("").has_value());
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
    QCOMPARE(column(back, 1), (QStringList{"Ann", "1", "2", "3", "4", "", "6", "7", "8"}));
    back.moverow(1);
    QCOMPARE(back.rowCount(), 1);
    back.moverow(0); // the own row stays
    QCOMPARE(back.rowCount(), 1);
}

QTEST_MAIN(TestTally)
#include "tst_tally.moc"
