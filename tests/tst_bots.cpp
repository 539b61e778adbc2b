// Computer players in whole games against the real host over loopback, on a clock the test
// moves: nothing waits for real seconds.
#include "computerplayer.h"
#include "gamesession.h"
#include "tickedhost.h"
#include "tserver.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <limits>
#include <memory>
#include <vector>

namespace {

constexpr int kSecondsPerTurn = 60;

// A host on its own, a person who starts the game and then only watches, and computer players.
class ComputerTable {
public:
    ComputerTable() : host_(tickedHostSettings(folder_.path(), 9))
    {
        host_.startListening(QStringLiteral("0"));
        join(starter_, QStringLiteral("Starter"));
    }

    void addPlayer(Level level, quint32 seed)
    {
        auto& session = *sessions_.emplace_back(std::make_unique<GameSession>(QStringLiteral("1.0.7")));
        players_.push_back(std::make_unique<ComputerPlayer>(session, level, solver_, seed));
        join(session, Levels::playerName(level, static_cast<int>(sessions_.size())));
    }

    // Starts a game the starter does not play, and moves the clock a second at a time until
    // somebody has won; false if no winner came within the seconds a game can last.
    bool playGame()
    {
        starter_.startGame(QByteArray::number(kSecondsPerTurn), false);
        if (!QTest::qWaitFor([&] { return starter_.gameRunning(); }, 5000))
            return false;
        starter_.setWatching(1, true);
        constexpr int kLongestGame = Rules::kFrames * (kSecondsPerTurn + 4 + 5) + 10;
        for (int second = 0; second < kLongestGame && starter_.gameRunning(); ++second) {
            QTest::qWait(2); // what was sent arrives
            for (auto& session : sessions_)
                session->tick();
            host_.timer1Timer();
        }
        // Each participant reads the host's messages at its own pace.
        return QTest::qWaitFor(
            [&] {
                return !starter_.winners().isEmpty() &&
                       std::all_of(sessions_.begin(), sessions_.end(),
                                   [](const auto& s) { return !s->winners().isEmpty(); });
            },
            5000);
    }

    const TServer& host() const { return host_; }
    const GameSession& starter() const { return starter_; }
    const std::vector<std::unique_ptr<GameSession>>& sessions() const { return sessions_; }
    const Solver& solver() const { return solver_; }

private:
    void join(GameSession& session, const QString& name)
    {
        session.second = std::chrono::hours(1);
        session.connectTo(QStringLiteral("127.0.0.1"), QString::number(host_.listeningPort()), name, false);
        QVERIFY(QTest::qWaitFor([&] { return session.seat(session.localSlot()).name == name; }, 5000));
    }

    QTemporaryDir folder_;
    TServer host_;
    Solver solver_;
    GameSession starter_{QStringLiteral("1.0.7")};
    std::vector<std::unique_ptr<GameSession>> sessions_;
    std::vector<std::unique_ptr<ComputerPlayer>> players_;
};

} // namespace

class TestBots : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void threeLevelsPlayAWholeGameEverybodyAgreesOn();
    void aComputerPlaysFromItsTilesAlone();
    void wordsArePlannedBeforeTheTurnEnds();
    void aStrikeGoesAsSoonAsItIsSeen();
};

void TestBots::threeLevelsPlayAWholeGameEverybodyAgreesOn()
{
    ComputerTable table;
    table.addPlayer(Level::Novice, 1);
    table.addPlayer(Level::Club, 2);
    table.addPlayer(Level::Master, 3);
    QVERIFY(table.playGame());

    for (int slot = 2; slot <= Rules::kPlayerSlots; ++slot) {
        const qint32 hostScore = table.host().player(slot).score;
        const TFrameScore tenth = table.host().player(slot).frames[Rules::kFrames - 1];
        QCOMPARE(tenth.total, hostScore);
        // Every player hit pins in every frame: a computer player that stood still would not.
        for (const TFrameScore& frame : table.host().player(slot).frames)
            QVERIFY2(frame.roll1 > 0, qPrintable(QStringLiteral("slot %1").arg(slot)));
        QCOMPARE(table.starter().seat(slot).score, hostScore);
        for (const auto& session : table.sessions()) {
            QCOMPARE(session->seat(slot).score, hostScore);
            QCOMPARE(session->sheet().frame(slot, Rules::kFrames).total, hostScore);
        }
    }
    // The master knows the deal words: it strikes more often than not.
    int strikes = 0;
    for (const TFrameScore& frame : table.host().player(4).frames)
        strikes += frame.roll1 == Rules::kPins ? 1 : 0;
    QVERIFY2(strikes > Rules::kFrames / 2, qPrintable(QString::number(strikes)));
}

void TestBots::aComputerPlaysFromItsTilesAlone()
{
    // What the player sends is what a planner that is handed nothing but the tiles chooses.
    ComputerTable table;
    constexpr quint32 kSeed = 21;
    table.addPlayer(Level::Expert, kSeed);
    GameSession& session = *table.sessions().front();
    QByteArray tiles;
    QObject::connect(&session, &GameSession::newTiles, &session, [&] {
        if (session.frame() != 1 || !tiles.isEmpty())
            return;
        tiles = session.rack().standingLetters();
    });
    QVERIFY(table.playGame());

    TurnPlanner planner(Levels::traits(Level::Expert), table.solver(), kSeed);
    const std::vector<TimedWord> planned = planner.plan(tiles, 2, 0, kSecondsPerTurn - 1);
    QVERIFY(!planned.empty());
    const TFrameScore first = table.host().player(session.localSlot()).frames[0];
    QCOMPARE(first.roll1, planned[0].word.size());
    QCOMPARE(first.roll2,
             planned.size() > 1 ? planned[1].word.size() : (first.roll1 == Rules::kPins ? -1 : 0));
}

void TestBots::wordsArePlannedBeforeTheTurnEnds()
{
    const Solver solver;
    double closest = std::numeric_limits<double>::infinity(); // to the last moment allowed
    for (const LevelTraits& level : Levels::all()) {
        for (const double end : {44.0, 59.0, 119.0}) {
            for (const auto& [rack, wordsLeft] : {std::pair<QByteArray, int>{"abdicating", 2},
                                                  {"abdicatinz", 2},
                                                  {"abdicatinz", 1},
                                                  {"cating", 1}}) {
                for (const double now : {0.0, end / 2, end - 3}) {
                    for (quint32 seed = 1; seed <= 5; ++seed) {
                        TurnPlanner planner(level, solver, seed);
                        double before = now;
                        const std::vector<TimedWord> words = planner.plan(rack, wordsLeft, now, end);
                        QVERIFY(words.size() <= static_cast<std::size_t>(wordsLeft));
                        for (const TimedWord& word : words) {
                            QVERIFY2(
                                word.at >= before && word.at <= end - TurnPlanner::kMargin,
                                qPrintable(
                                    QStringLiteral("%1 at %2").arg(QLatin1String(word.word)).arg(word.at)));
                            before = word.at;
                            closest = std::min(closest, end - TurnPlanner::kMargin - word.at);
                        }
                    }
                }
            }
        }
    }
    // Words are planned up to the last moment, so the bound above is the one that holds them.
    QVERIFY2(closest < 0.5, qPrintable(QString::number(closest)));
}

void TestBots::aStrikeGoesAsSoonAsItIsSeen()
{
    // A player who sees every word at once and types in no time: a strike goes at once, any
    // other first word when the player settles, the level's share of the turn later.
    const LevelTraits atOnce{Level::Master, 95, 0.0, 0.5, false, 0.0};
    const Solver solver;
    TurnPlanner planner(atOnce, solver, 1);
    constexpr double kNow = 10;
    constexpr double kEnd = 59;
    const std::vector<TimedWord> strike = planner.plan("abdicating", 2, kNow, kEnd);
    const std::vector<TimedWord> settled = planner.plan("abdicatinz", 2, kNow, kEnd);
    QCOMPARE(strike.size(), 1U);
    QCOMPARE(strike.front().word.size(), Rules::kPins);
    QVERIFY(!settled.empty());
    QCOMPARE(settled.front().at - strike.front().at, atOnce.commitShare * (kEnd - kNow));
}

QTEST_GUILESS_MAIN(TestBots)
#include "tst_bots.moc"
