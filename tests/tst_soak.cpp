// pinfall-host through twenty games in a row, on a fast clock: four players, three quiet
// spectators, a spectator who leaves and comes back every frame and one who floods the chat
// at every game. Every total the host reports is checked against a bowling scorer of the
// test's own, fed with the rolls the players saw accepted.
#include "hostprocess.h"
#include "scriptedclient.h"
#include "wordfinder.h"

#include <QFile>
#include <QHash>
#include <QRandomGenerator>

#include <algorithm>
#include <array>
#include <memory>
#include <optional>

namespace {

constexpr int kGames = 20;
constexpr int kPlayers = 4;
constexpr int kQuietSpectators = 3;
constexpr int kFrames = 10;
constexpr int kReplyMs = 10000; // generous: the sanitizers and a busy machine slow everything

// The pins of each roll of each frame, 0 for a roll that was never made.
using Rolls = std::array<std::array<int, 3>, kFrames>;

// Ten-pin scoring from the rolls alone: a strike counts ten and the next two rolls, a spare
// ten and the next roll, the tenth frame the pins of its own rolls.
std::array<int, kFrames> referenceTotals(const Rolls& frames)
{
    QList<int> rolls;
    for (int frame = 0; frame < kFrames - 1; ++frame) {
        rolls << frames[frame][0];
        if (frames[frame][0] != 10)
            rolls << frames[frame][1];
    }
    rolls << frames[9][0] << frames[9][1] << frames[9][2];
    std::array<int, kFrames> totals{};
    int total = 0;
    qsizetype at = 0;
    for (int frame = 0; frame < kFrames; ++frame) {
        if (frame == kFrames - 1) {
            total += rolls[at] + rolls[at + 1] + rolls[at + 2];
        } else if (rolls[at] == 10) {
            total += 10 + rolls[at + 1] + rolls[at + 2];
            at += 1;
        } else {
            const int pins = rolls[at] + rolls[at + 1];
            total += pins == 10 ? 10 + rolls[at + 2] : pins;
            at += 2;
        }
        totals[frame] = total;
    }
    return totals;
}

// The cumulative totals of every player slot in a CMD_postscores message.
QMap<int, QList<int>> reportedTotals(const QByteArray& postscores)
{
    QMap<int, QList<int>> totals;
    for (const QByteArray& field : postscores.split('+')) {
        if (!field.contains('#'))
            continue;
        const QList<QByteArray> parts = field.split('#'); // slot, then frame and total in turn
        for (qsizetype i = 2; i < parts.size(); i += 2)
            totals[parts[0].toInt()] << parts[i].toInt();
    }
    return totals;
}

// How a player means to play a frame. The lazy ones leave the frame to the clock.
enum class Plan { Strike, Spare, Open, OneWordOnly, NoWord };

class Soak {
public:
    Soak(quint16 port, const WordFinder& words) : port_(port), words_(words) {}

    bool seat()
    {
        for (int slot = 1; slot <= kPlayers + kQuietSpectators; ++slot) {
            const QByteArray name = (slot <= kPlayers ? "Player" : "Watcher") + QByteArray::number(slot);
            if (seats_[slot - 1].join(port_, name) != slot)
                return false;
        }
        return true;
    }

    void playGame(int game);
    qsizetype floodsCutOff() const { return floodsCutOff_; }
    bool everybodyStillConnected() const
    {
        return std::all_of(seats_.begin(), seats_.end(),
                           [](const ScriptedClient& seat) { return seat.isOpen(); });
    }

private:
    ScriptedClient& player(int slot) { return seats_[slot - 1]; }
    void floodTheChat();
    void leaveAndComeBack();
    void playFrame(int slot, int frame);
    // Sends a word and records the pins the host counted for it; false if it was refused.
    bool roll(int slot, const QByteArray& word);
    Plan choosePlan();
    QByteArray someWord(const QByteArray& letters);
    void checkScores(const QByteArray& postscores);

    quint16 port_;
    const WordFinder& words_;
    std::array<ScriptedClient, kPlayers + kQuietSpectators> seats_;
    std::unique_ptr<ScriptedClient> leaver_;
    QRandomGenerator random_{20261208};
    std::array<Rolls, kPlayers> rolls_{};
    qsizetype floodsCutOff_ = 0;
};

void Soak::playGame(int game)
{
    floodTheChat();
    if (QTest::currentTestFailed())
        return;
    rolls_ = {};
    player(1).send("CMD_startgame+Player1+60+f+\xFF");
    for (int frame = 1; frame <= kFrames; ++frame) {
        for (int slot = 1; slot <= kPlayers; ++slot) {
            const QByteArray opened =
                "CMD_nextplayer+" + QByteArray::number(slot) + '+' + QByteArray::number(frame) + '+';
            QVERIFY2(player(slot).waitFor(opened, kReplyMs) == opened,
                     qPrintable(QStringLiteral("game %1").arg(game)));
        }
        leaveAndComeBack();
        if (QTest::currentTestFailed())
            return;
        for (int slot = 1; slot <= kPlayers; ++slot) {
            playFrame(slot, frame);
            if (QTest::currentTestFailed())
                return;
        }
        const QByteArray ended = "CMD_postscores+" + QByteArray::number(frame) + '+';
        for (int slot = 1; slot <= kPlayers; ++slot)
            QVERIFY2(!player(slot).waitFor(ended, kReplyMs).isEmpty(),
                     qPrintable(QStringLiteral("frame %1").arg(frame)));
    }
    // A spectator's report of the last frame carries every player's totals.
    checkScores(player(kPlayers + 1).waitFor("CMD_postscores+10+", kReplyMs));

    std::array<int, kPlayers> finals{};
    for (int slot = 1; slot <= kPlayers; ++slot)
        finals[slot - 1] = referenceTotals(rolls_[slot - 1])[kFrames - 1];
    const int best = *std::max_element(finals.begin(), finals.end());
    QByteArray winners = "CMD_winner+";
    for (int slot = 1; slot <= kPlayers; ++slot) {
        if (finals[slot - 1] == best)
            winners += QByteArray::number(slot) + '+';
    }
    for (ScriptedClient& seat : seats_) {
        QCOMPARE(seat.waitFor("CMD_winner+", kReplyMs), winners);
        seat.clear(); // the next game starts only when the test says so
    }
}

void Soak::floodTheChat()
{
    ScriptedClient flooder;
    const int slot = flooder.join(port_, "Flooder");
    QVERIFY(slot > kPlayers);
    QByteArray flood;
    for (int line = 0; line < 4 * 256; ++line)
        flood += "CMD_chat+" + QByteArray::number(slot) + "+buy my pins " + QByteArray::number(line) +
                 "|clRed\xFF";
    flooder.send(flood);
    QVERIFY(flooder.waitClosed(kReplyMs));
    ++floodsCutOff_;
}

void Soak::leaveAndComeBack()
{
    leaver_.reset(); // gone without a word, as a dropped line goes
    leaver_ = std::make_unique<ScriptedClient>();
    QVERIFY(leaver_->join(port_, "Leaver") > kPlayers);
    // Back in the middle of a game: the host tells it where the game stands.
    QVERIFY(!leaver_->waitFor("CMD_loadstats+", kReplyMs).isEmpty());
}

Plan Soak::choosePlan()
{
    const quint32 dice = random_.bounded(100U);
    if (dice < 30)
        return Plan::Strike;
    if (dice < 55)
        return Plan::Spare;
    if (dice < 96)
        return Plan::Open;
    return dice < 98 ? Plan::OneWordOnly : Plan::NoWord;
}

QByteArray Soak::someWord(const QByteArray& letters)
{
    const QList<QByteArray> candidates = words_.usingSome(letters);
    return candidates.isEmpty() ? QByteArray()
                                : candidates[random_.bounded(static_cast<int>(candidates.size()))];
}

bool Soak::roll(int slot, const QByteArray& word)
{
    ScriptedClient& bowler = player(slot);
    bowler.sendWord(word);
    const QByteArray accepted = bowler.waitFor("CMD_goodword+", kReplyMs);
    const QList<QByteArray> fields = accepted.split('+'); // slot, frame, score, word number, pins
    if (fields.size() < 6 || fields[5].toInt() != word.size()) {
        qWarning("refused or miscounted: %s -> %s", word.constData(), accepted.constData());
        return false;
    }
    const int frame = fields[2].toInt();
    const int number = fields[4].toInt();
    if (frame < 1 || frame > kFrames || number < 1 || number > 3)
        return false;
    rolls_[slot - 1][frame - 1][number - 1] = fields[5].toInt();
    return true;
}

void Soak::playFrame(int slot, int frame)
{
    ScriptedClient& bowler = player(slot);
    const Plan plan = choosePlan();
    if (plan == Plan::NoWord)
        return;
    const QByteArray rack = bowler.rackLetters();
    QByteArray first = plan == Plan::Strike ? words_.usingAll(rack) : someWord(rack);
    QByteArray second;
    if (plan == Plan::Spare) {
        if (const auto pair = words_.split(rack)) {
            first = pair->first;
            second = pair->second;
        }
    }
    QVERIFY(!first.isEmpty());
    QVERIFY(roll(slot, first));
    if (plan == Plan::OneWordOnly)
        return;
    const QByteArray opened = "CMD_theletters+" + QByteArray::number(slot) + '+';
    if (first.size() == 10) {
        if (frame < kFrames)
            return;
        QVERIFY(!bowler.waitFor(opened, kReplyMs).isEmpty()); // a fresh set for the bonus rolls
    }
    if (second.isEmpty())
        second = random_.bounded(2U) == 0 ? words_.usingAll(bowler.rackLetters()) : QByteArray();
    if (second.isEmpty())
        second = someWord(bowler.rackLetters());
    if (second.isEmpty())
        return; // nothing left to make: the clock ends the frame
    QVERIFY(roll(slot, second));
    if (frame < kFrames)
        return;
    const bool earnedThird = first.size() == 10 || first.size() + second.size() == 10;
    if (!earnedThird)
        return;
    if (second.size() == 10 || first.size() + second.size() == 10)
        QVERIFY(!bowler.waitFor(opened, kReplyMs).isEmpty());
    const QByteArray rack3 = bowler.rackLetters();
    const QByteArray third = random_.bounded(2U) == 0 ? words_.usingAll(rack3) : someWord(rack3);
    if (!third.isEmpty())
        QVERIFY(roll(slot, third));
}

void Soak::checkScores(const QByteArray& postscores)
{
    const QMap<int, QList<int>> reported = reportedTotals(postscores);
    for (int slot = 1; slot <= kPlayers; ++slot) {
        const std::array<int, kFrames> expected = referenceTotals(rolls_[slot - 1]);
        const QList<int> mine(expected.begin(), expected.end());
        QCOMPARE(reported.value(slot), mine);
    }
}

// Resident memory of a process, in KiB, from the kernel's account.
qint64 residentKiB(qint64 pid)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    }
    return -1;
}

} // namespace

class TestSoak : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void referenceScorerKnowsBowling();
    void twentyGamesInARow();
};

void TestSoak::referenceScorerKnowsBowling()
{
    Rolls perfect{};
    for (auto& frame : perfect)
        frame = {10, 0, 0};
    perfect[9] = {10, 10, 10};
    QCOMPARE(referenceTotals(perfect)[9], 300);

    Rolls spares{};
    spares.fill({5, 5, 0});
    spares[9] = {5, 5, 5};
    QCOMPARE(referenceTotals(spares)[0], 15);
    QCOMPARE(referenceTotals(spares)[9], 150);

    Rolls mixed{};
    mixed[0] = {10, 0, 0}; // strike, then a spare: 20
    mixed[1] = {7, 3, 0};  // spare, then 4: 14
    mixed[2] = {4, 2, 0};
    mixed[9] = {3, 6, 0}; // an open tenth frame has no third roll
    const auto totals = referenceTotals(mixed);
    QCOMPARE(totals[0], 20);
    QCOMPARE(totals[1], 34);
    QCOMPARE(totals[2], 40);
    QCOMPARE(totals[9], 49);
}

void TestSoak::twentyGamesInARow()
{
    const WordFinder words(QStringLiteral(PINFALL_WORD_LIST));
    QVERIFY(words.loaded());
    HostProcess host;
    // Under AddressSanitizer freed memory waits in a quarantine of up to 256 MiB before reuse,
    // which would read as growth; without it the host's own use shows.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("ASAN_OPTIONS"),
                       environment.value(QStringLiteral("ASAN_OPTIONS")) +
                           QStringLiteral(":quarantine_size_mb=0:thread_local_quarantine_size_kb=0"));
    host.process.setProcessEnvironment(environment);
    const quint16 port = host.start({"--pause", "5", "--second", "10"});
    QVERIFY(port != 0);
    Soak soak(port, words);
    QVERIFY(soak.seat());

    qint64 afterSecondGame = 0;
    for (int game = 1; game <= kGames; ++game) {
        soak.playGame(game);
        if (QTest::currentTestFailed())
            return;
        QVERIFY2(soak.everybodyStillConnected(), qPrintable(QStringLiteral("after game %1").arg(game)));
        if (game == 2)
            afterSecondGame = residentKiB(host.process.processId());
    }
    const qint64 afterLastGame = residentKiB(host.process.processId());
    QCOMPARE(soak.floodsCutOff(), kGames);
    qInfo("host resident memory: %lld KiB after game 2, %lld KiB after game %d", afterSecondGame,
          afterLastGame, kGames);
    QVERIFY(afterSecondGame > 0);
    QVERIFY2(afterLastGame <= afterSecondGame + afterSecondGame / 10,
             "the host's memory grows game after game");
}

QTEST_GUILESS_MAIN(TestSoak)
#include "tst_soak.moc"
