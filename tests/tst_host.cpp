// The host over loopback, seen by scripted participants byte for byte. The game clock is
// ticked by hand, so frames end exactly when a test says so.
#include "faultreport.h"
#include "scriptedclient.h"
#include "tserver.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

constexpr int kPause = 5;

struct Host {
    QTemporaryDir folder;
    QStringList reports;
    std::unique_ptr<TServer> server;

    explicit Host(std::chrono::milliseconds seatKept = std::chrono::minutes(1))
    {
        HostSettings settings;
        settings.seatKept = seatKept;
        settings.second = std::chrono::hours(1); // the clock moves only when a test ticks it
        settings.seed = 7;
        settings.pauseBetweenFrames = [] { return kPause; };
        settings.report = [this](const QString& text) { reports << text; };
        settings.dictionary.workingFolder = folder.path();
        settings.dictionary.fallbackFolder = folder.path();
        server = std::make_unique<TServer>(std::move(settings));
        server->startListening(QStringLiteral("0"));
    }

    quint16 port() const { return server->listeningPort(); }

    void tick(int seconds)
    {
        for (int i = 0; i < seconds; ++i)
            server->timer1Timer();
    }
};

struct Table {
    Host host;
    std::vector<std::unique_ptr<ScriptedClient>> clients;

    explicit Table(std::chrono::milliseconds seatKept = std::chrono::minutes(1)) : host(seatKept) {}

    // Joins `count` participants named P1, P2, ...; returns false if any did not get its slot.
    bool join(int count)
    {
        for (int i = 0; i < count; ++i) {
            auto client = std::make_unique<ScriptedClient>();
            const int expected = static_cast<int>(clients.size()) + 1;
            if (client->join(host.port(), "P" + QByteArray::number(expected)) != expected)
                return false;
            clients.push_back(std::move(client));
        }
        settle();
        return true;
    }

    ScriptedClient& operator[](int slot) { return *clients.at(static_cast<std::size_t>(slot - 1)); }

    void settle()
    {
        QTest::qWait(60);
        for (auto& client : clients)
            client->settle(0);
    }

    void clearAll()
    {
        for (auto& client : clients)
            client->clear();
    }

    // Starts a game from slot 1 with the given deal words (set 2, set 3, then frame 1 on).
    bool start(const QList<QByteArray>& words, const QByteArray& seconds = "60", bool team = false)
    {
        host.server->fixNextWords(words);
        (*this)[1].send("CMD_startgame+P1+" + seconds + (team ? "+t+\xFF" : "+f+\xFF"));
        for (auto& client : clients) {
            if (client->waitFor("CMD_nextplayer+").isEmpty())
                return false;
        }
        return true;
    }
};

// The values of one slot's blocks in a CMD_postscores.
struct SlotReport {
    int score = 0;
    QList<int> rolls;
    QList<QByteArray> words;
    QList<int> totals;
};

SlotReport reportFor(const QByteArray& postscores, int slot)
{
    const QList<QByteArray> fields = postscores.split('+');
    if (fields.size() < 12)
        return {};
    const qsizetype base = fields.at(1) == "10" ? 6 : 4;
    const QList<QByteArray> roll = fields.at(base + 2 * (slot - 1)).split('*');
    const QList<QByteArray> totals = fields.at(base + 2 * (slot - 1) + 1).split('#');
    SlotReport report;
    report.score = roll.at(1).toInt();
    report.rolls = {roll.at(2).toInt(), roll.at(3).toInt(), roll.at(4).toInt()};
    report.words = roll.mid(5);
    for (qsizetype i = 2; i < totals.size(); i += 2)
        report.totals.append(totals.at(i).toInt());
    return report;
}

const QList<QByteArray> kBonusWords{"bandleader", "zoologists"};

} // namespace

class TestHost : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void slotsAreGivenLowestFirstAndReused();
    void tenthConnectionIsTurnedAway();
    void loginIntroducesEverybody();
    void otherVersionIsAdmittedAndReported();
    void latecomerIsBroughtUpToDate();
    void departureIsAnnouncedOnce();
    void onlySlotOneRemovesParticipants();
    void justWatchRules();
    void everybodyGetsTheSameDeal();
    void frameEndsWhenTheClockRunsOut();
    void winnerComesAfterThePause();
    void winnerRules();
    void secondStartBeginsAgain();
    void openFrameFromTwoWords();
    void strikesCountTheNextTwoRolls();
    void perfectGameIs300();
    void frameTenBonusSets();
    void timeUpAfterOneWord();
    void slotsThatPlayedNothing();
    void wordInThePauseScoresAgain();
    void refusedWordsGiveTilesBack();
    void claimsOfAnotherSlotAreIgnored();
    void outOfRangeNumbersReachNoTable();
    void floodingConnectionIsCut();
    void brokenNumberEndsOnlyItsMessage();
    void aDroppedPlayerComesBackWithItsToken_data();
    void aDroppedPlayerComesBackWithItsToken();
};

void TestHost::slotsAreGivenLowestFirstAndReused()
{
    Table table;
    QVERIFY(table.join(3));
    table[2].close();
    QVERIFY(!table[1].waitFor("CMD_playerdisconnected+2+P2").isEmpty());
    ScriptedClient newcomer;
    QCOMPARE(newcomer.join(table.host.port(), "Newcomer"), 2);
    QCOMPARE(table.host.server->slotCount(), 3);
}

void TestHost::tenthConnectionIsTurnedAway()
{
    Table table;
    QVERIFY(table.join(9));
    table.clearAll();
    ScriptedClient tenth;
    QVERIFY(tenth.connectTo(table.host.port()));
    QCOMPARE(tenth.received(), QList<QByteArray>{"CMD_full+"});
    QVERIFY(tenth.waitClosed());
    table.settle();
    for (int slot = 1; slot <= 9; ++slot)
        QCOMPARE(table[slot].received(), QList<QByteArray>{});
    QCOMPARE(table.host.server->slotCount(), 9);
}

void TestHost::loginIntroducesEverybody()
{
    Table table;
    QVERIFY(table.join(2));
    table.clearAll();
    ScriptedClient third;
    QVERIFY(third.connectTo(table.host.port()));
    QCOMPARE(third.waitFor("CMD_sendlogininfo+"), QByteArray("CMD_sendlogininfo+3"));
    third.send("CMD_logininfo+3+1.0.7+Ann+Lee\xFF\xFF");
    QVERIFY(!third.waitFor("CMD_existingplayers+2+P2").isEmpty());
    QCOMPARE(third.received().first(2),
             (QList<QByteArray>{"CMD_newplayerinfo+3+Ann+Lee", "CMD_existingplayers+1+P1"}));
    QVERIFY(third.waitFor("CMD_seattoken+").startsWith("CMD_seattoken+3+")); // a player's seat
    table.settle();
    QCOMPARE(table[1].received(), QList<QByteArray>{"CMD_newplayerinfo+3+Ann+Lee"});
    QCOMPARE(table[2].received(), QList<QByteArray>{"CMD_newplayerinfo+3+Ann+Lee"});

    // A name beyond the longest is cut, for everybody and for good.
    table.clearAll();
    ScriptedClient fourth;
    QVERIFY(fourth.connectTo(table.host.port()));
    QVERIFY(!fourth.waitFor("CMD_sendlogininfo+4").isEmpty());
    fourth.send("CMD_logininfo+4+1.0.7+" + QByteArray(275, 'x') + "\xFF\xFF");
    const QByteArray cut = "CMD_newplayerinfo+4+" + QByteArray(Rules::kLongestName, 'x');
    QCOMPARE(fourth.waitFor("CMD_newplayerinfo+4+"), cut);
    table.settle();
    QCOMPARE(table[1].received(), QList<QByteArray>{cut});
}

void TestHost::otherVersionIsAdmittedAndReported()
{
    Table table;
    QVERIFY(table.join(1));
    ScriptedClient old;
    QCOMPARE(old.join(table.host.port(), "Old", "1.0.6"), 2);
    QVERIFY(!old.waitFor("CMD_wrongversion+").isEmpty());
    QVERIFY(!table[1].waitFor("CMD_havewrongversion+Old").isEmpty());
    QVERIFY(table.host.server->player(2).connected);
}

void TestHost::latecomerIsBroughtUpToDate()
{
    Table table;
    QVERIFY(table.join(1));
    QVERIFY(table.start(kBonusWords + QList<QByteArray>{"abdicating"}, "45", true));
    table.host.tick(3);
    ScriptedClient late;
    QCOMPARE(late.join(table.host.port(), "Late"), 2);
    QCOMPARE(late.waitFor("CMD_loadstats+"), QByteArray("CMD_loadstats+2+45+t+46+0+0+0+0+"));
    late.settle();
    QVERIFY(late.receivedStarting("CMD_theletters+").isEmpty());
}

void TestHost::departureIsAnnouncedOnce()
{
    Table table;
    QVERIFY(table.join(3));
    table.clearAll();
    table[3].close();
    table.settle();
    QTest::qWait(100);
    table.settle();
    QCOMPARE(table[1].receivedStarting("CMD_playerdisconnected"),
             QList<QByteArray>{"CMD_playerdisconnected+3+P3"});
    QCOMPARE(table[2].receivedStarting("CMD_playerdisconnected"),
             QList<QByteArray>{"CMD_playerdisconnected+3+P3"});
    QVERIFY(!table.host.server->player(3).connected);
    QVERIFY(table.host.server->player(3).name.isEmpty());
}

void TestHost::onlySlotOneRemovesParticipants()
{
    Table table;
    QVERIFY(table.join(3));
    table[2].send("CMD_kickhim+2+3+\xFF");
    table[2].send("CMD_kickhim+1+3+\xFF"); // claims to be slot 1
    table.settle();
    QVERIFY(table[3].isOpen());

    table[1].send("CMD_kickhim+1+3+\xFF");
    QVERIFY(table[3].waitClosed());
    QVERIFY(!table[2].waitFor("CMD_playerdisconnected+3+P3").isEmpty());
    table.settle();
    QCOMPARE(table[1].receivedStarting("CMD_playerdisconnected"),
             QList<QByteArray>{"CMD_playerdisconnected+3+P3"});
}

void TestHost::justWatchRules()
{
    Table table;
    QVERIFY(table.join(3));
    table[2].send("CMD_justwatch+2+1\xFF"); // outside a game: ignored
    table[2].send("CMD_justwatch+2+2\xFF"); // playing again: always taken
    QVERIFY(!table[1].waitFor("CMD_justwatching+2+2").isEmpty());
    table.settle();
    QVERIFY(table[1].receivedStarting("CMD_justwatching+2+1").isEmpty());

    QVERIFY(table.start(kBonusWords + QList<QByteArray>{"abdicating", "abdicating"}));
    table.clearAll();
    table[2].send("CMD_justwatch+3+1\xFF"); // somebody else: only slot 1 may
    table[2].send("CMD_justwatch+5+1\xFF"); // not a player slot
    table[1].send("CMD_justwatch+3+1\xFF");
    QVERIFY(!table[3].waitFor("CMD_justwatching+3+1").isEmpty());
    table.settle();
    QCOMPARE(table[2].receivedStarting("CMD_justwatching+"), QList<QByteArray>{"CMD_justwatching+3+1"});
    QVERIFY(table.host.server->player(3).watching);
    QVERIFY(!table.host.server->player(2).watching);

    // From the next deal on, slot 3 sits out and is not waited for.
    table.host.tick(64 + kPause);
    table.settle();
    QCOMPARE(table.host.server->player(3).letterset, 0);
    QCOMPARE(table.host.server->player(3).rolls, 4);
    table[3].sendWord("bat");
    table.settle();
    QVERIFY(table[3].receivedStarting("CMD_goodword").isEmpty());
}

void TestHost::everybodyGetsTheSameDeal()
{
    Table table;
    QVERIFY(table.join(6)); // four players and two spectators
    table.host.server->fixNextWords(kBonusWords + QList<QByteArray>{"abdicating"});
    table[1].send("CMD_startgame+P1+60+f+\xFF");
    QList<QByteArray> deals;
    for (int slot = 1; slot <= 6; ++slot) {
        deals << table[slot].waitFor("CMD_theletters+0+");
        QCOMPARE(table[slot].waitFor("CMD_nextplayer+"),
                 "CMD_nextplayer+" + QByteArray::number(slot <= 4 ? slot : 1) + "+1+");
    }
    for (const QByteArray& deal : deals)
        QCOMPARE(deal, deals.first());
    const QList<QByteArray> fields = deals.first().split('+');
    QCOMPARE(fields.size(), 22);
    // The pairs come in position order, so their order tells nothing of the word to find.
    QByteArray letters;
    QList<int> positions;
    for (int i = 2; i < 22; i += 2) {
        positions << fields[i].toInt();
        letters += fields[i + 1];
    }
    QCOMPARE(positions, (QList<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
    const LetterSet& dealt = table.host.server->masterLetters(1);
    QCOMPARE(letters, QByteArray(dealt.data(), static_cast<qsizetype>(dealt.size())));
    QVERIFY(letters != "abdicating");
    std::sort(letters.begin(), letters.end());
    QCOMPARE(letters, QByteArray("aabcdgiint"));
    QCOMPARE(table[1].waitFor("CMD_startgame+"), QByteArray("CMD_startgame+P1+60+f+"));
}

void TestHost::frameEndsWhenTheClockRunsOut()
{
    Table table;
    QVERIFY(table.join(1));
    QVERIFY(table.start(kBonusWords + QList<QByteArray>{"abdicating", "abdicating"}));
    QCOMPARE(table.host.server->secondsLeft(), 64);
    table.host.tick(63);
    table.settle();
    QVERIFY(table[1].receivedStarting("CMD_timeisup").isEmpty());
    table.host.tick(1);
    QVERIFY(!table[1].waitFor("CMD_timeisup+").isEmpty());
    const QByteArray scores = table[1].waitFor("CMD_postscores+1+abdicating+abdicating+");
    QVERIFY(!scores.isEmpty());
    QCOMPARE(reportFor(scores, 1).rolls, (QList<int>{0, 0, -1}));
    QCOMPARE(table.host.server->secondsLeft(), kPause);

    // After the pause comes the next deal.
    table.host.tick(kPause);
    QCOMPARE(table[1].waitFor("CMD_nextplayer+"), QByteArray("CMD_nextplayer+1+2+"));
}

void TestHost::winnerComesAfterThePause()
{
    Table table;
    QVERIFY(table.join(1));
    QVERIFY(table.start(kBonusWords, "45"));
    for (int frame = 1; frame <= 10; ++frame) {
        QVERIFY(!table[1].waitFor("CMD_theletters+0+").isEmpty());
        table.host.tick(49);
        QVERIFY(!table[1].waitFor("CMD_postscores+" + QByteArray::number(frame) + '+').isEmpty());
        table.host.tick(frame < 10 ? kPause : kPause - 1);
    }
    table.settle();
    QVERIFY(table[1].receivedStarting("CMD_winner").isEmpty());
    table.host.tick(1);
    QCOMPARE(table[1].waitFor("CMD_winner+"), QByteArray("CMD_winner+1+2+3+4+"));
    QVERIFY(!table.host.server->gameOn());
}

void TestHost::winnerRules()
{
    // Team game, equal totals: everybody wins.
    {
        Table table;
        QVERIFY(table.join(2));
        QVERIFY(table.start(kBonusWords, "45", true));
        for (int frame = 1; frame <= 10; ++frame)
            table.host.tick(49 + kPause);
        QCOMPARE(table[2].waitFor("CMD_winner+"), QByteArray("CMD_winner+1+3+2+4+"));
    }
    // Single game: the one ahead wins, a tie names both, lowest slot first.
    for (const bool tie : {false, true}) {
        Table table;
        QVERIFY(table.join(3));
        QVERIFY(table.start(kBonusWords + QList<QByteArray>{"abdicating"}, "45"));
        table[3].sendWord("bat");
        QVERIFY(!table[3].waitFor("CMD_goodword+").isEmpty());
        if (tie) {
            table[2].sendWord("bat");
            QVERIFY(!table[2].waitFor("CMD_goodword+").isEmpty());
        }
        table.host.tick(49 + kPause);
        for (int frame = 2; frame <= 10; ++frame)
            table.host.tick(49 + kPause);
        QCOMPARE(table[1].waitFor("CMD_winner+"),
                 tie ? QByteArray("CMD_winner+2+3+") : QByteArray("CMD_winner+3+"));
    }
}

void TestHost::secondStartBeginsAgain()
{
    Table table;
    QVERIFY(table.join(1));
    QVERIFY(table.start(kBonusWords + QList<QByteArray>{"abdicating"}));
    table[1].sendWord("bat");
    QVERIFY(!table[1].waitFor("CMD_goodword+").isEmpty());
    table.host.tick(64 + kPause);
    QCOMPARE(table[1].waitFor("CMD_nextplayer+"), QByteArray("CMD_nextplayer+1+2+"));
    QCOMPARE(table.host.server->player(1).score, 3);

    QVERIFY(table.start(kBonusWords + QList<QByteArray>{"abdicating"}));
    QCOMPARE(table.host.server->currentFrame(), 1);
    QCOMPARE(table.host.server->player(1).score, 0);
    QCOMPARE(table.host.server->player(1).frames[0].roll1, -1);
}

void TestHost::openFrameFromTwoWords()
{
    Table table;
    QVERIFY(table.join(1));
    QVERIFY(table.start(kBonusWords + QList<QByteArray>{"abdicating"}));
    const QByteArray b = QByteArray::number(table[1].positionsFor("b").at(0));
    table[1].sendWord("bat");
    QCOMPARE(table[1].waitFor("CMD_goodword+"), QByteArray("CMD_goodword+1+1+0+1+3+"));
    table[1].send("CMD_sendword+1+" + b + "\xFF");
    QCOMPARE(table[1].waitFor("CMD_worderror+"), QByteArray("CMD_worderror+1+")); // that tile is gone
    table[1].sendWord("acid");
    QCOMPARE(table[1].waitFor("CMD_goodword+"), QByteArray("CMD_goodword+1+1+0+2+4+"));
    QCOMPARE(table.host.server->player(1).rolls, 4);
    const SlotReport report = reportFor(table[1].waitFor("CMD_postscores+1+"), 1);
    QCOMPARE(report.rolls, (QList<int>{3, 4, -1}));
    QCOMPARE(report.words, (QList<QByteArray>{"bat", "acid", ""}));
    QCOMPARE(report.totals.first(), 7);
    QCOMPARE(report.score, 7);
}

void TestHost::strikesCountTheNextTwoRolls()
{
    Table table;
    QVERIFY(table.join(1));
    QVERIFY(
        table.start(kBonusWords + QList<QByteArray>{"abdicating", "abdicating", "abdicating", "abdicating"}));
    const QList<int> expectedScores{10, 20, 50};
    for (int frame = 1; frame <= 3; ++frame) {
        table[1].sendWord("abdicating");
        QVERIFY(!table[1].waitFor("CMD_goodword+").isEmpty());
        const SlotReport report = reportFor(table[1].waitFor("CMD_postscores+"), 1);
        QCOMPARE(report.rolls, (QList<int>{10, -1, -1}));
        QCOMPARE(report.score, expectedScores[frame - 1]);
        table.host.tick(kPause);
        QVERIFY(!table[1].waitFor("CMD_nextplayer+").isEmpty());
    }
    table[1].sendWord("bat");
    QVERIFY(!table[1].waitFor("CMD_goodword+").isEmpty());
    table[1].sendWord("acid");
    const SlotReport report = reportFor(table[1].waitFor("CMD_postscores+4+"), 1);
    QCOMPARE(report.totals.first(4), (QList<int>{30, 53, 70, 77}));
    QCOMPARE(report.score, 77);
}

void TestHost::perfectGameIs300()
{
    Table table;
    QVERIFY(table.join(1));
    QList<QByteArray> words = kBonusWords;
    for (int frame = 1; frame <= 10; ++frame)
        words << "abdicating";
    QVERIFY(table.start(words));
    // CMD_goodword carries the score as it stood at the end of the frame before.
    const QList<int> scoreBefore{0, 10, 20, 50, 80, 110, 140, 170, 200, 230};
    const auto strike = [&](int frame, int word) {
        return "CMD_goodword+1+" + QByteArray::number(frame) + '+' +
               QByteArray::number(scoreBefore[frame - 1]) + '+' + QByteArray::number(word) + "+10+";
    };
    for (int frame = 1; frame <= 10; ++frame) {
        if (frame > 1)
            QVERIFY(!table[1].waitFor("CMD_nextplayer+1+" + QByteArray::number(frame) + '+').isEmpty());
        table[1].sendWord("abdicating");
        QCOMPARE(table[1].waitFor("CMD_goodword+"), strike(frame, 1));
        if (frame < 10) {
            QVERIFY(!table[1].waitFor("CMD_postscores+").isEmpty());
            table.host.tick(kPause);
        }
    }
    // The bonus sets come to the player alone, in position order.
    QByteArray set2 = "CMD_theletters+1";
    for (int position = 1; position <= 10; ++position)
        set2 += '+' + QByteArray::number(position) + '+' + table.host.server->masterLetters(2)[position - 1];
    QCOMPARE(table[1].waitFor("CMD_theletters+1+"), set2);
    table[1].sendWord("bandleader");
    QCOMPARE(table[1].waitFor("CMD_goodword+"), strike(10, 2));
    QVERIFY(!table[1].waitFor("CMD_theletters+1+").isEmpty());
    table[1].sendWord("zoologists");
    QCOMPARE(table[1].waitFor("CMD_goodword+"), strike(10, 3));
    const QByteArray scores =
        table[1].waitFor("CMD_postscores+10+zoologists+abdicating+bandleader+zoologists+");
    QVERIFY(!scores.isEmpty());
    const SlotReport report = reportFor(scores, 1);
    QCOMPARE(report.totals, (QList<int>{30, 60, 90, 120, 150, 180, 210, 240, 270, 300}));
    QCOMPARE(report.rolls, (QList<int>{10, 10, 10}));
    QCOMPARE(report.words, (QList<QByteArray>{"abdicating", "bandleader", "zoologists"}));
    QCOMPARE(report.score, 300);
    table.host.tick(kPause);
    QCOMPARE(table[1].waitFor("CMD_winner+"), QByteArray("CMD_winner+1+"));
}

void TestHost::frameTenBonusSets()
{
    Table table;
    QVERIFY(table.join(3));
    QList<QByteArray> words = kBonusWords;
    for (int frame = 1; frame <= 9; ++frame)
        words << "abdicating";
    words << "bandleader";
    QVERIFY(table.start(words, "45"));
    for (int frame = 1; frame <= 9; ++frame)
        table.host.tick(49 + kPause);
    for (int slot = 1; slot <= 3; ++slot) {
        QVERIFY(!table[slot].waitFor("CMD_nextplayer+" + QByteArray::number(slot) + "+10+").isEmpty());
        table[slot].clear();
    }

    // A spare brings set 3 for a third word.
    table[1].sendWord("band");
    QVERIFY(!table[1].waitFor("CMD_goodword+").isEmpty());
    table[1].sendWord("leader");
    QVERIFY(!table[1].waitFor("CMD_goodword+").isEmpty());
    QVERIFY(!table[1].waitFor("CMD_theletters+1+").isEmpty());
    QCOMPARE(table.host.server->player(1).letterset, 3);
    table[1].sendWord("zoo");
    QVERIFY(!table[1].waitFor("CMD_goodword+").isEmpty());
    QCOMPARE(table.host.server->player(1).rolls, 4);

    // An open frame 10 ends after its second word.
    table[2].sendWord("bad");
    QVERIFY(!table[2].waitFor("CMD_goodword+").isEmpty());
    table[2].sendWord("ran");
    QVERIFY(!table[2].waitFor("CMD_goodword+").isEmpty());
    QCOMPARE(table.host.server->player(2).rolls, 4);

    // A strike, then a shorter word: the third word comes from what is left of set 2.
    table[3].sendWord("bandleader");
    QVERIFY(!table[3].waitFor("CMD_goodword+").isEmpty());
    QVERIFY(!table[3].waitFor("CMD_theletters+3+").isEmpty());
    table[3].sendWord("band");
    QCOMPARE(table[3].waitFor("CMD_goodword+"), QByteArray("CMD_goodword+3+10+0+2+4+"));
    QCOMPARE(table.host.server->player(3).letterset, 2);
    table[3].sendWord("leader");
    QCOMPARE(table[3].waitFor("CMD_goodword+"), QByteArray("CMD_goodword+3+10+0+3+6+"));

    const QByteArray scores = table[3].waitFor("CMD_postscores+10+");
    QCOMPARE(reportFor(scores, 1).rolls, (QList<int>{4, 6, 3}));
    QCOMPARE(reportFor(scores, 1).totals.last(), 13);
    QCOMPARE(reportFor(scores, 2).rolls, (QList<int>{3, 3, -1}));
    QCOMPARE(reportFor(scores, 2).totals.last(), 6);
    QCOMPARE(reportFor(scores, 3).rolls, (QList<int>{10, 4, 6}));
    QCOMPARE(reportFor(scores, 3).totals.last(), 20);
    table.settle();
    QVERIFY(table[2].receivedStarting("CMD_theletters+").isEmpty());
    QCOMPARE(table[1].receivedStarting("CMD_theletters+1+").size(), 0); // only the one set 3 above
}

void TestHost::timeUpAfterOneWord()
{
    Table table;
    QVERIFY(table.join(1));
    QVERIFY(table.start(kBonusWords + QList<QByteArray>{"abdicating"}));
    table[1].sendWord("bat");
    QVERIFY(!table[1].waitFor("CMD_goodword+").isEmpty());
    table.host.tick(64);
    QVERIFY(!table[1].waitFor("CMD_timeisup+").isEmpty());
    const SlotReport report = reportFor(table[1].waitFor("CMD_postscores+"), 1);
    QCOMPARE(report.rolls, (QList<int>{3, 0, -1}));
    QCOMPARE(report.totals.first(), 3);
}

void TestHost::slotsThatPlayedNothing()
{
    struct Expected {
        int slot;
        QList<int> rolls;
        QList<int> totals; // of the frames played so far
    };
    const auto check = [](const QByteArray& postscores, const QList<Expected>& slots) {
        for (const auto& [slot, rolls, totals] : slots) {
            QCOMPARE(reportFor(postscores, slot).rolls, rolls);
            QCOMPARE(reportFor(postscores, slot).totals.first(totals.size()), totals);
        }
    };
    Table table;
    QVERIFY(table.join(3));
    QVERIFY(table.start(kBonusWords + QList<QByteArray>{"abdicating", "abdicating"}));
    // Frame 1 runs out: slot 2 sits out from the next deal on, slot 3 strikes and leaves, slot 4
    // was never taken.
    table[2].send("CMD_justwatch+2+1\xFF");
    table[3].sendWord("abdicating");
    QVERIFY(!table[3].waitFor("CMD_goodword+").isEmpty());
    table[3].send("CMD_leaving+3+\xFF");
    table[3].close();
    QVERIFY(!table[1].waitFor("CMD_playerdisconnected+3+").isEmpty());
    table.host.tick(64);
    check(table[1].waitFor("CMD_postscores+1+"),
          {{1, {0, 0, -1}, {0}}, {2, {0, 0, -1}, {0}}, {3, {10, 0, 0}, {0}}, {4, {0, 0, 0}, {0}}});
    // Frame 2 ends as soon as slot 1 has played: nobody else is waited for.
    table.host.tick(kPause);
    QVERIFY(!table[1].waitFor("CMD_nextplayer+1+2+").isEmpty());
    table[1].sendWord("bat");
    QVERIFY(!table[1].waitFor("CMD_goodword+").isEmpty());
    table[1].sendWord("acid");
    check(
        table[1].waitFor("CMD_postscores+2+"),
        {{1, {3, 4, -1}, {0, 7}}, {2, {0, 0, -1}, {0, 0}}, {3, {0, 0, 0}, {10, 10}}, {4, {0, 0, 0}, {0, 0}}});
}

void TestHost::wordInThePauseScoresAgain()
{
    Table table;
    QVERIFY(table.join(2));
    QVERIFY(table.start(kBonusWords + QList<QByteArray>{"abdicating"}));
    table[1].sendWord("abdicating"); // slot 1 is done at once
    QVERIFY(!table[1].waitFor("CMD_goodword+").isEmpty());
    table.host.tick(64);
    QVERIFY(!table[2].waitFor("CMD_postscores+").isEmpty());
    table.host.tick(2); // into the pause
    table[2].sendWord("bat");
    QCOMPARE(table[2].waitFor("CMD_goodword+"), QByteArray("CMD_goodword+2+1+0+1+3+"));
    table[2].sendWord("acid");
    const QByteArray again = table[2].waitFor("CMD_postscores+1+");
    QVERIFY(!again.isEmpty());
    QCOMPARE(reportFor(again, 2).rolls, (QList<int>{3, 4, -1}));
    QCOMPARE(table.host.server->secondsLeft(), kPause); // the pause starts again
}

void TestHost::refusedWordsGiveTilesBack()
{
    Table table;
    QVERIFY(table.join(1));
    QVERIFY(table.start(kBonusWords + QList<QByteArray>{"abdicating"}));
    const int a = table[1].positionsFor("a").at(0);
    const int g = table[1].positionsFor("g").at(0);
    const auto word = [](const QList<int>& positions) {
        QByteArray message = "CMD_sendword+1";
        for (const int position : positions)
            message += '+' + QByteArray::number(position);
        return message + '\xFF';
    };
    table[1].send(word({a, a})); // the same tile twice
    table[1].send(word({g}));    // a one-letter word that is not "i" or "a"
    table[1].send(word({}));     // no letters at all
    for (int i = 0; i < 3; ++i)
        QCOMPARE(table[1].waitFor("CMD_worderror+"), QByteArray("CMD_worderror+1+"));
    QCOMPARE(table.host.server->player(1).letters[0], table.host.server->masterLetters(1));
    QCOMPARE(table.host.server->player(1).rolls, 0);

    table[1].send(word({a})); // "a" is always a word
    QCOMPARE(table[1].waitFor("CMD_goodword+"), QByteArray("CMD_goodword+1+1+0+1+1+"));
    table[1].sendWord("i");
    QCOMPARE(table[1].waitFor("CMD_goodword+"), QByteArray("CMD_goodword+1+1+0+2+1+"));
}

void TestHost::claimsOfAnotherSlotAreIgnored()
{
    Table table;
    QVERIFY(table.join(2));
    table[2].send("CMD_chat+1+I am slot one|clRed\xFF");
    table[2].send("CMD_action+1+waves|clRed\xFF");
    table[2].send("CMD_logininfo+1+1.0.7+Mallory\xFF\xFF");
    table[2].send("CMD_startgame+P2+60+f+\xFF");
    table[2].send("CMD_chat+2+hello|clRed\xFF");
    QCOMPARE(table[1].waitFor("CMD_chat+"), QByteArray("CMD_chat+P2 chats: hello|clRed"));
    table.settle();
    QVERIFY(table[1].receivedStarting("CMD_action").isEmpty());
    QVERIFY(table[1].receivedStarting("CMD_startgame").isEmpty());
    QCOMPARE(table.host.server->player(1).name, QByteArray("P1"));
    QVERIFY(!table.host.server->gameOn());

    QVERIFY(table.start(kBonusWords + QList<QByteArray>{"abdicating"}));
    table[2].send("CMD_sendword+1+" + QByteArray::number(table[2].positionsFor("a").at(0)) + "\xFF");
    table.settle();
    QCOMPARE(table.host.server->player(1).rolls, 0);
    QVERIFY(table[1].receivedStarting("CMD_goodword").isEmpty());
    QVERIFY(table[2].receivedStarting("CMD_goodword").isEmpty());
}

void TestHost::outOfRangeNumbersReachNoTable()
{
    Table table;
    QVERIFY(table.join(1));
    QVERIFY(table.start(kBonusWords + QList<QByteArray>{"abdicating"}));
    for (const char* message :
         {"CMD_kickhim+1+0+\xFF", "CMD_kickhim+1+99+\xFF", "CMD_kickhim+1+-5+\xFF", "CMD_justwatch+0+1\xFF",
          "CMD_justwatch+-2147483648+1\xFF", "CMD_chat+2147483647+x|clRed\xFF", "CMD_sendword+0+1\xFF",
          "CMD_sendword+77+1\xFF", "CMD_logininfo+-1+1.0.7+x\xFF"})
        table[1].send(message);
    table[1].send("CMD_sendword+1+11+1\xFF");
    QCOMPARE(table[1].waitFor("CMD_worderror+"), QByteArray("CMD_worderror+1+"));
    table[1].send("CMD_sendword+1+1+0\xFF");
    QCOMPARE(table[1].waitFor("CMD_worderror+"), QByteArray("CMD_worderror+1+"));
    QCOMPARE(table.host.server->player(1).letters[0], table.host.server->masterLetters(1));
    QVERIFY(table[1].isOpen());
}

void TestHost::floodingConnectionIsCut()
{
    Table table;
    QVERIFY(table.join(3));
    QByteArray flood;
    for (int i = 0; i < 2000; ++i)
        flood += "CMD_chat+2+spam|clRed\xFF";
    table[2].send(flood);
    QVERIFY(table[2].waitClosed());
    QVERIFY(!table[1].waitFor("CMD_playerdisconnected+2+P2").isEmpty());
    table[3].send("CMD_chat+3+still here|clRed\xFF");
    QVERIFY(!table[1].waitFor("CMD_chat+P3 chats: still here").isEmpty());

    // A message that never ends is cut off too.
    table[3].send(QByteArray(70 * 1024, 'x'));
    QVERIFY(table[3].waitClosed());
    QVERIFY(!table[1].waitFor("CMD_playerdisconnected+3+P3").isEmpty());
    QVERIFY(table[1].isOpen());
}

void TestHost::brokenNumberEndsOnlyItsMessage()
{
    QStringList reports;
    const FaultReport::Sink previous =
        FaultReport::setSink([&reports](const QString& text) { reports << text; });
    Table table;
    QVERIFY(table.join(1));
    table[1].send("CMD_chat+one+hi|clRed\xFF"
                  "CMD_chat+1+hi|clRed\xFF");
    QCOMPARE(table[1].waitFor("CMD_chat+"), QByteArray("CMD_chat+P1 chats: hi|clRed"));
    QCOMPARE(reports, QStringList{"'one' is not a valid integer value"});
    // An unknown seconds per turn becomes 90.
    QVERIFY(table.start(kBonusWords, "abc"));
    QCOMPARE(table.host.server->secondsLeft(), 94);
    FaultReport::setSink(previous);
}

void TestHost::aDroppedPlayerComesBackWithItsToken_data()
{
    QTest::addColumn<bool>("rightToken");
    QTest::addColumn<bool>("leavesOnPurpose");
    QTest::addColumn<int>("awayMs");
    QTest::addColumn<bool>("seatBack");
    QTest::newRow("back in time") << true << false << 0 << true;
    QTest::newRow("a wrong token") << false << false << 0 << false;
    QTest::newRow("back too late") << true << false << 1500 << false;
    QTest::newRow("left on purpose") << true << true << 0 << false;
}

// P2 plays a word and drops; the seat waits (a newcomer gets another place) until P2's program
// comes back with its token, and P2 plays on in the same frame with the tiles it had.
void TestHost::aDroppedPlayerComesBackWithItsToken()
{
    QFETCH(bool, rightToken);
    QFETCH(bool, leavesOnPurpose);
    QFETCH(int, awayMs);
    QFETCH(bool, seatBack);
    Table table(std::chrono::milliseconds(1000));
    QVERIFY(table.join(2));
    const QByteArray token = table[2].waitFor("CMD_seattoken+2+").split('+').value(2);
    QVERIFY(token.size() >= 8);
    QVERIFY(table.start(kBonusWords + QList<QByteArray>{"abdicating", "abdicating"}));
    table[2].sendWord("bat");
    QVERIFY(!table[2].waitFor("CMD_goodword+2+").isEmpty());
    table.host.tick(10);
    table.clearAll();
    if (leavesOnPurpose)
        table[2].send("CMD_leaving+2+\xFF");
    table[2].close();
    const QByteArray toldFirst = leavesOnPurpose ? "CMD_playerdisconnected+2+P2" : "CMD_playeraway+2+P2";
    QCOMPARE(table[1].waitFor("CMD_player"), toldFirst);
    ScriptedClient newcomer;
    QCOMPARE(newcomer.join(table.host.port(), "New"), leavesOnPurpose ? 2 : 3);
    QCOMPARE(table.host.server->summary().players, leavesOnPurpose ? 2 : 3); // a kept seat is not free
    QTest::qWait(awayMs);

    ScriptedClient back;
    QVERIFY(back.connectTo(table.host.port()));
    const QByteArray arrival = back.waitFor("CMD_sendlogininfo+").split('+').value(1);
    back.send("CMD_returning+" + arrival + '+' + (rightToken ? token : "0123456789abcdef") + "+\xFF");
    if (!seatBack) {
        QCOMPARE(back.waitFor("CMD_seatgone"), QByteArray("CMD_seatgone+"));
        QCOMPARE(table.host.server->player(2).away, !rightToken); // a wrong token changes nothing
        return;
    }
    QCOMPARE(back.waitFor("CMD_sendlogininfo+2"), QByteArray("CMD_sendlogininfo+2"));
    back.send("CMD_logininfo+2+1.0.7+P2\xFF\xFF");
    QCOMPARE(back.waitFor("CMD_seattoken+"), "CMD_seattoken+2+" + token + '+');
    const QList<QByteArray> frame = back.waitFor("CMD_backinframe+").split('+');
    QCOMPARE(frame.mid(1, 3), (QList<QByteArray>{"2", "1", "50"}));  // slot, frame, seconds left
    QCOMPARE(frame.mid(4, 3), (QList<QByteArray>{"3", "-1", "-1"})); // "bat" knocked down 3
    QCOMPARE(frame.value(7).count('-'), 3);
    const LetterSet& dealt = table.host.server->masterLetters(1);
    QCOMPARE(frame.value(8), QByteArray(dealt.data(), static_cast<qsizetype>(dealt.size())));
    QCOMPARE(table[1].waitFor("CMD_newplayerinfo+2+"), QByteArray("CMD_newplayerinfo+2+P2"));
    QCOMPARE(table.host.server->summary().players, 3);
    // Its words count where it left off: "acid", from the tiles it still has, is the second.
    QByteArray tiles = frame.value(7);
    QByteArray word = "CMD_sendword+2";
    for (const char letter : QByteArray("acid")) {
        const qsizetype at = tiles.indexOf(letter);
        QVERIFY(at >= 0);
        tiles[at] = '-';
        word += '+' + QByteArray::number(at + 1);
    }
    back.send(word + "\xFF");
    QCOMPARE(back.waitFor("CMD_goodword+"), QByteArray("CMD_goodword+2+1+0+2+4+"));
}

QTEST_GUILESS_MAIN(TestHost)
#include "tst_host.moc"
