// Whole games played by game sessions alone, through the real host over loopback: no window,
// and every check is about what the sessions hold.
#include "gamesession.h"
#include "hostedgame.h"
#include "messages.h"
#include "tickedhost.h"
#include "tserver.h"
#include "wordfinder.h"

#include <QSignalSpy>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>

#include <climits>
#include <memory>
#include <vector>

namespace {

const QByteArray kDeal = "abdicating";
const QList<QByteArray> kBonusWords{"bandleader", "zoologists"};

bool waitFor(const std::function<bool()>& condition)
{
    return QTest::qWaitFor(condition, 10000);
}

// The host, and a session for each participant; the first one hosts.
class Table {
public:
    Table() : host_(std::make_unique<TServer>(tickedHostSettings(folder_.path(), 3))) {}

    // The first participant hosts in its own program, unless the host runs on its own.
    void hostAlone() { host_->startListening(QStringLiteral("0")); }

    GameSession& seat(const QString& name)
    {
        auto& session = sessions_.emplace_back(std::make_unique<GameSession>(QStringLiteral("1.0.7")));
        if (sessions_.size() == 1 && host_->listeningPort() == 0)
            hostGame(*host_, *session, QStringLiteral("0"), name);
        else
            session->connectTo(QStringLiteral("127.0.0.1"), QString::number(host_->listeningPort()), name,
                               false);
        const int slot = static_cast<int>(sessions_.size());
        const QString seated = name.left(Rules::kLongestName);
        (void)waitFor(
            [&] { return everybody([&](const GameSession& s) { return s.seat(slot).name == seated; }); });
        return *session;
    }

    void leave(GameSession& session)
    {
        std::erase_if(sessions_, [&](const auto& kept) { return kept.get() == &session; });
    }

    // Every frame deals kDeal, and the bonus sets of frame 10 are kBonusWords.
    bool start(const QByteArray& secondsPerTurn, bool teamGame)
    {
        QList<QByteArray> words = kBonusWords;
        for (int frame = 1; frame <= Rules::kFrames; ++frame)
            words << kDeal;
        host_->fixNextWords(words);
        sessions_.front()->startGame(secondsPerTurn, teamGame);
        return waitFor(
            [&] { return everybody([](const GameSession& s) { return s.myTurn() || s.localSlot() > 4; }); });
    }

    // Ticks the host's clock until every session shows `status`.
    bool tickUntil(const QString& status)
    {
        for (int second = 0; second < 200; ++second) {
            if (everybody([&](const GameSession& s) { return s.status() == status; }))
                return true;
            host_->timer1Timer();
            QTest::qWait(1);
        }
        return false;
    }

    // Ends the frame: time runs out for whoever still plays, and the pause passes.
    bool endFrame()
    {
        if (!tickUntil(QStringLiteral("Posting Scores.. Please Wait.")))
            return false;
        for (int second = 0; second < 5; ++second)
            host_->timer1Timer();
        return true;
    }

    template <typename Predicate> bool everybody(Predicate predicate) const
    {
        return std::all_of(sessions_.begin(), sessions_.end(), [&](const auto& s) { return predicate(*s); });
    }

    const std::vector<std::unique_ptr<GameSession>>& sessions() const { return sessions_; }

private:
    QTemporaryDir folder_;
    std::unique_ptr<TServer> host_;
    std::vector<std::unique_ptr<GameSession>> sessions_;
};

// Lays `word` letter by letter and sends it; true once the host has answered it.
bool play(GameSession& session, const QByteArray& word)
{
    if (!waitFor([&] { return session.myTurn(); }))
        return false;
    QSignalSpy sounds(&session, &GameSession::sound);
    for (const char letter : word)
        session.typeLetter(letter);
    if (session.rack().laidCount() != word.size())
        return false;
    session.sendWord();
    const QStringList answers{"strike", "goodword", "badword"};
    return waitFor([&] {
        return std::any_of(sounds.begin(), sounds.end(), [&](const QList<QVariant>& sound) {
            return answers.contains(sound.front().toString());
        });
    });
}

QByteArray without(QByteArray letters, const QByteArray& used)
{
    for (const char letter : used)
        letters.remove(letters.indexOf(letter), 1);
    return letters;
}

int rollSum(const TFrameScore& frame)
{
    return frame.roll1 + frame.roll2;
}

} // namespace

class TestSession : public QObject {
    Q_OBJECT

    WordFinder words_{QStringLiteral(PINFALL_WORD_LIST)};
    std::pair<QByteArray, QByteArray> spare_; // two words that use up the deal
    std::pair<QByteArray, QByteArray> open_;  // two words that leave pins standing

private Q_SLOTS:
    void initTestCase();
    void fourPlayersPlayAWholeGame();
    void latecomerSitsOutTheFrameInProgress();
    void leaverFreesTheSeat();
    void teamGameIsWonByATeam();
    void teamTotalsCloseATeamGame_data();
    void teamTotalsCloseATeamGame();
    void slotOneLeadsWhicheverProgramHosts();
    void failedJoinsSayWhyAndMayBeTriedAgain();
    void whatTheBoardSaysOfAWord_data();
    void whatTheBoardSaysOfAWord();
};

void TestSession::initTestCase()
{
    QVERIFY(words_.loaded());
    const auto split = words_.split(kDeal);
    QVERIFY(split);
    spare_ = *split;
    // Two short words from the deal that leave pins standing.
    for (const QByteArray& first : words_.usingSome(kDeal)) {
        for (const QByteArray& second : words_.usingSome(without(kDeal, first))) {
            if (first.size() >= 2 && second.size() >= 2 && first.size() + second.size() < Rules::kPins)
                open_ = {first, second};
        }
    }
    QVERIFY(!open_.first.isEmpty());
}

void TestSession::fourPlayersPlayAWholeGame()
{
    Table table;
    GameSession& bob = table.seat(QStringLiteral("Bob"));
    GameSession& ann = table.seat(QStringLiteral("Ann"));
    GameSession& lee = table.seat(QStringLiteral("Lee"));
    GameSession& sue = table.seat(QStringLiteral("Sue"));
    sue.options.clearRefusedWord = true;
    QVERIFY(bob.isHost() && !ann.isHost());
    QCOMPARE(ann.opponentNames(), (QStringList{"Bob", "Lee", "Sue"}));
    QVERIFY(bob.allPlacesTaken());
    QSignalSpy bobsStrikes(&bob, &GameSession::ownStrike);
    QSignalSpy annsEnd(&ann, &GameSession::gameEnded);

    QVERIFY(table.start("60", false));
    for (int frame = 1; frame <= Rules::kFrames; ++frame) {
        QVERIFY2(play(bob, kDeal), qPrintable(QString::number(frame)));
        QVERIFY(play(ann, spare_.first));
        QCOMPARE(ann.rack().laidCount(), 0); // the second word starts afresh
        QVERIFY(ann.myTurn());
        QVERIFY(play(ann, spare_.second));
        QVERIFY(play(lee, open_.first));
        QVERIFY(play(lee, open_.second));
        QVERIFY(!lee.myTurn());
        // Sue's word is refused and goes back to her rack; she plays no other.
        QVERIFY(play(sue, "gn"));
        QCOMPARE(sue.status(), QStringLiteral("Invalid Word"));
        QVERIFY(sue.refusalShown());
        QCOMPARE(sue.rack().laidCount(), 0);
        QVERIFY(sue.myTurn());
        if (frame == Rules::kFrames) {
            // A strike and a spare in frame 10 bring bonus sets; whatever is dealt is played whole.
            for (int bonus = 0; bonus < 2; ++bonus) {
                QVERIFY(waitFor(
                    [&] { return bob.myTurn() && bob.rack().standingLetters().size() == Rack::kTiles; }));
                QVERIFY(play(bob, words_.usingAll(bob.rack().standingLetters())));
            }
            QVERIFY(
                waitFor([&] { return ann.myTurn() && ann.rack().standingLetters().size() == Rack::kTiles; }));
            QVERIFY(play(ann, words_.usingAll(ann.rack().standingLetters())));
        }
        QVERIFY(table.endFrame());
        // After the frame every session holds the same sheet: the host's.
        for (const auto& session : table.sessions())
            QCOMPARE(session->sheet().frame(3, frame), lee.sheet().frame(3, frame));
        QCOMPARE(bob.sheet().frame(1, frame).roll1, Rules::kPins);
        QCOMPARE(rollSum(ann.sheet().frame(2, frame)), Rules::kPins);
        QCOMPARE(rollSum(lee.sheet().frame(3, frame)), int(open_.first.size() + open_.second.size()));
    }

    QVERIFY(waitFor(
        [&] { return table.everybody([](const GameSession& s) { return !s.winners().isEmpty(); }); }));
    const int firstRoll = int(spare_.first.size());
    const int open = int(open_.first.size() + open_.second.size());
    for (const auto& session : table.sessions()) {
        QCOMPARE(session->winners(), QList<int>{1});
        QCOMPARE(session->seat(1).score, 300);
        QCOMPARE(session->seat(2).score, 9 * (Rules::kPins + firstRoll) + 2 * Rules::kPins);
        QCOMPARE(session->seat(3).score, Rules::kFrames * open);
        QCOMPARE(session->seat(4).score, 0);
        QCOMPARE(session->sheet().frame(1, 10), (TFrameScore{10, 10, 10, 300}));
        QVERIFY(!session->myTurn() && !session->gameRunning());
    }
    QCOMPARE(bob.status(), QStringLiteral("You have Won the Game!"));
    QCOMPARE(ann.status(), QStringLiteral("Bob has Won the Game!"));
    QCOMPARE(bobsStrikes.size(), 12);
    QCOMPARE(annsEnd.size(), 1);
    const auto result = annsEnd.front().front().value<GameResult>();
    QCOMPARE(result.soleWinnerName, std::optional<QString>(QStringLiteral("Bob")));
    QCOMPARE(result.ownTotal, ann.seat(2).score);
}

void TestSession::latecomerSitsOutTheFrameInProgress()
{
    Table table;
    GameSession& bob = table.seat(QStringLiteral("Bob"));
    table.seat(QStringLiteral("Ann"));
    QVERIFY(table.start("45", true));
    QVERIFY(play(bob, kDeal));

    GameSession& lee = table.seat(QStringLiteral("Lee"));
    QVERIFY(waitFor([&] { return lee.sitsOutFrame(); }));
    QVERIFY(!lee.myTurn());
    QCOMPARE(lee.secondsPerTurn(), 45);
    QVERIFY(lee.teamGame());
    QVERIFY(lee.clockRuns());

    QVERIFY(table.endFrame());
    QVERIFY(waitFor([&] { return lee.myTurn(); }));
    QVERIFY(!lee.sitsOutFrame());
    QCOMPARE(lee.seat(1).score, bob.seat(1).score);
    QVERIFY(play(lee, kDeal));
    QCOMPARE(lee.sheet().frame(3, 2).roll1, Rules::kPins);
}

void TestSession::leaverFreesTheSeat()
{
    Table table;
    GameSession& bob = table.seat(QStringLiteral("Bob"));
    GameSession& ann = table.seat(QStringLiteral("Ann"));
    GameSession& lee = table.seat(QStringLiteral("Lee"));
    QSignalSpy lines(&bob, &GameSession::lineAdded);
    QVERIFY(table.start("60", false));
    QVERIFY(play(ann, spare_.first));

    table.leave(ann);
    QVERIFY(waitFor([&] { return !bob.seat(2).taken && !lee.seat(2).taken; }));
    QVERIFY(std::any_of(lines.begin(), lines.end(), [](const QList<QVariant>& line) {
        return line.front() == QStringLiteral("Ann disconnected.");
    }));
    QCOMPARE(bob.opponentNames(), QStringList{"Lee"});
    QVERIFY(!bob.allPlacesTaken());
    // The game goes on for those still there.
    QVERIFY(play(bob, kDeal));
    QVERIFY(play(lee, kDeal));
    QVERIFY(table.endFrame());
    QVERIFY(waitFor([&] { return bob.myTurn() && lee.myTurn(); }));
}

void TestSession::teamGameIsWonByATeam()
{
    Table table;
    GameSession& bob = table.seat(QStringLiteral("Bob"));
    for (const char* name : {"Ann", "Lee", "Sue"})
        table.seat(QString::fromLatin1(name));
    QVERIFY(table.start("60", true));
    QVERIFY(table.everybody([](const GameSession& s) { return s.teamGame(); }));
    // Bob alone knocks pins down: his team (slots 1 and 3) wins together.
    for (int frame = 1; frame <= Rules::kFrames; ++frame) {
        QVERIFY(play(bob, kDeal));
        QVERIFY(table.endFrame());
    }
    QVERIFY(waitFor(
        [&] { return table.everybody([](const GameSession& s) { return !s.winners().isEmpty(); }); }));
    for (const auto& session : table.sessions())
        QCOMPARE(session->winners(), (QList<int>{1, 3}));
    QCOMPARE(table.sessions()[2]->status(), QStringLiteral("Bob and You have Won the Game!"));
    QCOMPARE(table.sessions()[1]->status(), QStringLiteral("Bob and Lee have Won the Game!"));
}

void TestSession::teamTotalsCloseATeamGame_data()
{
    QTest::addColumn<bool>("teamGame");
    QTest::addColumn<QList<int>>("scores"); // of slots 1 to 4
    QTest::addColumn<QList<int>>("winners");
    QTest::addColumn<QString>("totals"); // none in a single game
    QTest::newRow("team game, slots 1 and 3 ahead")
        << true << QList<int>{246, 7, 300, 0} << QList<int>{1, 3} << "Slots 1 and 3: 546 / Slots 2 and 4: 7";
    QTest::newRow("team game, slots 2 and 4 ahead")
        << true << QList<int>{10, 120, 20, 187} << QList<int>{2, 4}
        << "Slots 1 and 3: 30 / Slots 2 and 4: 307";
    QTest::newRow("team game, a hostile host's scores") // summed without overflowing
        << true << QList<int>{INT_MAX, 10, INT_MAX, INT_MIN} << QList<int>{1, 3}
        << "Slots 1 and 3: 4294967294 / Slots 2 and 4: -2147483638";
    QTest::newRow("single game") << false << QList<int>{246, 7, 300, 0} << QList<int>{3} << QString();
}

void TestSession::teamTotalsCloseATeamGame()
{
    QFETCH(bool, teamGame);
    QFETCH(QList<int>, scores);
    QFETCH(QList<int>, winners);
    QFETCH(QString, totals);
    GameSession session(QStringLiteral("1.0.7"));
    const auto tell = [&session](const QByteArray& message) {
        session.queue().append(message.chopped(1)); // the queue holds messages without their end byte
        QTRY_COMPARE(session.queue().size(), 0);
    };
    tell(ToClient::startgame("Bob", 60, teamGame ? "t" : "f"));
    std::array<PlayerReport, 4> players;
    for (int slot = 1; slot <= 4; ++slot) {
        players[slot - 1].slot = slot;
        players[slot - 1].score = scores[slot - 1];
        players[slot - 1].totals.fill(-1);
    }
    tell(ToClient::postscores(Rules::kFrames, kDeal, QList<QByteArray>{kDeal} + kBonusWords, players));
    const QString lastFrameWords = session.wordsLine();
    QSignalSpy lines(&session, &GameSession::lineAdded);
    tell(ToClient::winner(winners));
    const QVariant notice = QVariant::fromValue(quint32{GameSession::kNoticeColour});
    QList<QVariantList> expected{{session.status(), notice}};
    if (!totals.isEmpty())
        expected << QVariantList{totals, notice};
    QCOMPARE(QList<QVariantList>(lines), expected);
    QCOMPARE(session.wordsLine(), totals.isEmpty() ? lastFrameWords : totals);
}

void TestSession::slotOneLeadsWhicheverProgramHosts()
{
    Table table;
    table.hostAlone();
    GameSession& first = table.seat(QString(40, QLatin1Char('n'))); // a name cut before it is sent
    GameSession& second = table.seat(QStringLiteral("Ann"));
    QCOMPARE(first.playerName().size(), Rules::kLongestName);
    QVERIFY(!first.isHost());
    QVERIFY(first.leads());
    QVERIFY(!second.leads());
    QTRY_COMPARE(second.seat(1).name, QString(Rules::kLongestName, QLatin1Char('n')));
    QVERIFY(table.start("60", false));
    first.remove(2);
    QVERIFY(waitFor([&] { return !first.seat(2).taken; }));
}

void TestSession::failedJoinsSayWhyAndMayBeTriedAgain()
{
    QTcpServer probe; // a port nobody listens on: taken for a moment and let go
    QVERIFY(probe.listen(QHostAddress::LocalHost, 0));
    const QString port = QString::number(probe.serverPort());
    probe.close();
    GameSession ann(QStringLiteral("1.0.7"));
    QSignalSpy failed(&ann, &GameSession::connectionFailed);
    ann.connectTo(QStringLiteral("127.0.0.1"), port, QStringLiteral("Ann"), false);
    QVERIFY(failed.wait());
    QVERIFY(failed.front().front().toString().startsWith(
        QStringLiteral(
            "Could not join the game at 127.0.0.1, port %1: nothing is listening at that address and port")
            .arg(port)));
    QVERIFY(!ann.loggedIn());

    // The host comes up later: trying again reaches it.
    QTemporaryDir folder;
    TServer host(tickedHostSettings(folder.path(), 3));
    host.startListening(port);
    ann.retry();
    QVERIFY(waitFor([&] { return ann.loggedIn() && ann.seat(1).name == QStringLiteral("Ann"); }));
    QCOMPARE(failed.size(), 1);

    QTcpServer silent; // accepts, and never says a word
    QVERIFY(silent.listen(QHostAddress::LocalHost, 0));
    GameSession lee(QStringLiteral("1.0.7"));
    lee.answerTimeout = std::chrono::milliseconds(100);
    QSignalSpy gaveUp(&lee, &GameSession::connectionFailed);
    lee.connectTo(QStringLiteral("127.0.0.1"), QString::number(silent.serverPort()), QStringLiteral("Lee"),
                  false);
    QVERIFY(gaveUp.wait());
    QCOMPARE(gaveUp.front().front().toString(),
             QStringLiteral("Could not join the game at 127.0.0.1, port %1: the host did not answer.")
                 .arg(silent.serverPort()));
}

void TestSession::whatTheBoardSaysOfAWord_data()
{
    QTest::addColumn<int>("frame");
    QTest::addColumn<QList<int>>("pins"); // of the frame's words, the last one told
    QTest::addColumn<QString>("status");
    QTest::addColumn<QString>("sound");
    QTest::addColumn<int>("strikes");
    const QString unchanged = QStringLiteral("Create a word.");
    QTest::newRow("spare") << 3 << QList<int>{6, 4} << "You got a Spare!"
                           << "goodword" << 0;
    QTest::newRow("frame 10: strike") << 10 << QList<int>{10} << "You got a Strike!"
                                      << "strike" << 1;
    QTest::newRow("frame 10: second strike") << 10 << QList<int>{10, 10} << unchanged << "strike" << 1;
    QTest::newRow("frame 10: strike after a spare")
        << 10 << QList<int>{4, 6, 10} << unchanged << "strike" << 1;
    QTest::newRow("frame 10: strike, then pins") << 10 << QList<int>{10, 4} << "You knocked down 4 pins."
                                                 << "goodword" << 0;
    QTest::newRow("frame 10: a slash with the third word")
        << 10 << QList<int>{10, 4, 6} << unchanged << "goodword" << 0;
}

void TestSession::whatTheBoardSaysOfAWord()
{
    QFETCH(int, frame);
    QFETCH(QList<int>, pins);
    QFETCH(QString, status);
    QFETCH(QString, sound);
    QFETCH(int, strikes);
    GameSession session(QStringLiteral("1.0.7"));
    const auto tell = [&session](const QByteArray& message) {
        session.queue().append(message);
        QTRY_COMPARE(session.queue().size(), 0);
    };
    tell("CMD_sendlogininfo+2");
    for (qsizetype word = 1; word < pins.size(); ++word)
        tell(ToClient::goodword(2, frame, 0, static_cast<int>(word), pins[word - 1]));
    session.dismissRefusal(); // the board's line before the last word
    QSignalSpy sounds(&session, &GameSession::sound);
    QSignalSpy ownStrikes(&session, &GameSession::ownStrike);
    tell(ToClient::goodword(2, frame, 0, static_cast<int>(pins.size()), pins.last()));
    QCOMPARE(session.status(), status);
    QCOMPARE(sounds.size(), 1);
    QCOMPARE(sounds.front().front().toString(), sound);
    QCOMPARE(ownStrikes.size(), strikes);
}

QTEST_MAIN(TestSession)
#include "tst_session.moc"
