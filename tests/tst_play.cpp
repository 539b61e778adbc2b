// The controller without a window: hosting and joining, a join that fails, a host that goes
// away or removes a participant, and a port another program holds. Every player is a session,
// a host and a controller in this process, on loopback.
#include "gameaddress.h"
#include "gamesession.h"
#include "internetlobby.h"
#include "invitecode.h"
#include "playcontroller.h"
#include "prosodyfixture.h"
#include "singleinstance.h"
#include "tickedhost.h"

#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>

namespace {

constexpr int kWait = 10000;

HostSettings keepingSeats(HostSettings settings, std::chrono::milliseconds seatKept)
{
    settings.seatKept = seatKept;
    return settings;
}

struct Player {
    QTemporaryDir folder;
    GameSession session{QStringLiteral("1.0.7")};
    TServer host;
    PlayController play{session, host};
    QStringList notices;
    QStringList joinFailures;

    explicit Player(std::chrono::milliseconds seatKept = std::chrono::minutes(1))
        : host(keepingSeats(tickedHostSettings(folder.path(), 7), seatKept))
    {
        play.gamePort = QStringLiteral("0");
        play.answerTimeout = std::chrono::milliseconds(500);
        play.setReconnectionSecond(std::chrono::milliseconds(20));
        QObject::connect(&play, &PlayController::notice, [this](const QString& text) { notices << text; });
        QObject::connect(&play, &PlayController::joinFailed,
                         [this](const QString& why) { joinFailures << why; });
    }

    bool seatedAt(int slot)
    {
        return QTest::qWaitFor([&] { return session.localSlot() == slot && session.seat(slot).taken; },
                               kWait);
    }
    GameAddress address() const { return {QStringLiteral("127.0.0.1"), host.listeningPort()}; }
};

// Bob hosts; Ann hosts a game of her own, then joins his.
struct TwoPlayers {
    Player bob;
    Player ann;

    TwoPlayers()
    {
        bob.play.start({"Bob", "10.255.255.1", "true"});
        ann.play.start({});
    }

    bool annJoined()
    {
        if (!bob.seatedAt(1) || !ann.seatedAt(1))
            return false;
        ann.play.join(QStringLiteral("Ann"), bob.address());
        return ann.seatedAt(2) &&
               QTest::qWaitFor([&] { return bob.session.seat(2).name == QStringLiteral("Ann"); }, kWait);
    }
};

} // namespace

class TestPlay : public QObject {
    Q_OBJECT
    ProsodyFixture lobby_;

private Q_SLOTS:
    void initTestCase() { QVERIFY(lobby_.start()); }
    void joiningLeavesTheGameHostedHere();
    void aFailedJoinKeepsTheGame_data();
    void aFailedJoinKeepsTheGame();
    void theHostGoingAwayBringsBackAGameOfOnesOwn_data();
    void theHostGoingAwayBringsBackAGameOfOnesOwn();
    void aTakenPortSaysWhetherAGameHoldsIt();
    void aGameOnTheLobbyIsJoinedByItsCode_data();
    void aGameOnTheLobbyIsJoinedByItsCode();
    void aSecondCopyHandsItsLinksToTheFirst();
    void aDroppedConnectionGetsBackIntoTheSeat_data();
    void aDroppedConnectionGetsBackIntoTheSeat();
    void aComputerPlayerGetsBackIntoItsSeat();
};

void TestPlay::joiningLeavesTheGameHostedHere()
{
    TwoPlayers game;
    QVERIFY(game.annJoined());
    QVERIFY(!game.ann.session.isHost());
    QCOMPARE(game.ann.host.listeningPort(), 0); // her own game is over
    QVERIFY(game.ann.play.isInGameAt(game.bob.address()));
    QVERIFY(game.bob.play.othersInHostedGame());
    QVERIFY(!game.ann.play.othersInHostedGame());
    QVERIFY(game.ann.joinFailures.isEmpty());
}

void TestPlay::aFailedJoinKeepsTheGame_data()
{
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QString>("reason");
    QTest::newRow("nothing listens") << "none"
                                     << "nothing is listening at that address and port";
    QTest::newRow("never answers") << "silent"
                                   << "the host did not answer";
    QTest::newRow("hangs up") << "close"
                              << "the host closed the connection";
}

void TestPlay::aFailedJoinKeepsTheGame()
{
    QFETCH(QString, answer);
    QFETCH(QString, reason);
    TwoPlayers game;
    QVERIFY(game.annJoined());

    QTcpServer elsewhere;
    QVERIFY(elsewhere.listen(QHostAddress::LocalHost));
    const GameAddress where{QStringLiteral("127.0.0.1"), elsewhere.serverPort()};
    if (answer == QStringLiteral("none"))
        elsewhere.close();
    else if (answer == QStringLiteral("close"))
        QObject::connect(&elsewhere, &QTcpServer::newConnection,
                         [&] { delete elsewhere.nextPendingConnection(); });
    game.ann.play.join(QStringLiteral("Ann"), where);
    QVERIFY(game.ann.play.isJoining());
    QTRY_COMPARE_WITH_TIMEOUT(game.ann.joinFailures.size(), 1, kWait);
    QCOMPARE(
        game.ann.joinFailures.front(),
        QStringLiteral("Could not join the game at 127.0.0.1, port %1: %2.").arg(where.port).arg(reason));
    QVERIFY(!game.ann.play.isJoining());
    // Still in Bob's game, in the same seat, and Bob still sees her.
    QVERIFY(game.ann.session.loggedIn());
    QCOMPARE(game.ann.session.localSlot(), 2);
    QVERIFY(game.ann.play.isInGameAt(game.bob.address()));
    QTest::qWait(50);
    QCOMPARE(game.bob.session.seat(2).name, QStringLiteral("Ann"));
    QCOMPARE(game.ann.host.listeningPort(), 0); // no game of her own meanwhile
}

void TestPlay::theHostGoingAwayBringsBackAGameOfOnesOwn_data()
{
    QTest::addColumn<bool>("removed");
    QTest::newRow("host leaves") << false;
    QTest::newRow("host removes her") << true;
}

void TestPlay::theHostGoingAwayBringsBackAGameOfOnesOwn()
{
    QFETCH(bool, removed);
    TwoPlayers game;
    QVERIFY(game.annJoined());
    if (removed)
        game.bob.session.remove(2);
    else
        game.bob.play.leave();
    const QString told = removed ? QStringLiteral("You were removed from the game.")
                                 : QStringLiteral("The host has left, and the game is over.");
    QTRY_VERIFY_WITH_TIMEOUT(game.ann.notices.contains(told), kWait);
    QVERIFY(game.ann.seatedAt(1));
    QVERIFY(game.ann.session.isHost());
    QCOMPARE(game.ann.session.playerName(), PlayController::kSoloName);
    QVERIFY(game.ann.host.listeningPort() != 0);
    // Bob's game goes on without her, or has ended.
    QCOMPARE(game.bob.session.loggedIn(), removed);
    QVERIFY(!game.bob.session.seat(2).taken);
}

void TestPlay::aTakenPortSaysWhetherAGameHoldsIt()
{
    Player bob;
    bob.play.start({"Bob", "10.255.255.1", "true"});
    QVERIFY(bob.seatedAt(1));
    QTcpServer other;
    QVERIFY(other.listen(QHostAddress::Any));

    Player ann;
    QSignalSpy refused(&ann.play, &PlayController::hostingFailed);
    for (const quint16 port : {bob.host.listeningPort(), other.serverPort()}) {
        ann.play.gamePort = QString::number(port);
        QVERIFY(!ann.play.host(QStringLiteral("Ann")));
        QTRY_COMPARE_WITH_TIMEOUT(refused.size(), port == other.serverPort() ? 2 : 1, kWait);
        QCOMPARE(refused.back().at(0).toString(),
                 QStringLiteral("Could not host a game on port %1: another program holds it.").arg(port));
        QCOMPARE(refused.back().at(1).toBool(), port == bob.host.listeningPort());
    }
    // Asking left no trace in Bob's game; joining it takes a seat.
    QVERIFY(!bob.session.seat(2).taken);
    ann.play.gamePort = QString::number(bob.host.listeningPort());
    ann.play.joinLocalGame(QStringLiteral("Ann"));
    QVERIFY(ann.seatedAt(2));
}

void TestPlay::aGameOnTheLobbyIsJoinedByItsCode_data()
{
    QTest::addColumn<bool>("listed");
    QTest::newRow("by invitation") << false;
    QTest::newRow("listed") << true;
}

// Bob puts his game on the lobby; Ann, in a game of her own, first tries a code nobody has and
// stays where she is, then joins Bob's by its code. A listed game is in the lobby's list too.
void TestPlay::aGameOnTheLobbyIsJoinedByItsCode()
{
    QFETCH(bool, listed);
    const LobbyAddress lobby{.domain = lobby_.domain(), .port = lobby_.port()};
    Player bob;
    Player ann;
    bob.play.start({});
    ann.play.start({});
    QVERIFY(bob.seatedAt(1) && ann.seatedAt(1));
    std::optional<InviteCode> opened;
    QObject::connect(&bob.play, &PlayController::lobbyGameOpened,
                     [&opened](const InviteCode& code) { opened = code; });
    const auto hosting = [](bool listedPublicly) {
        return listedPublicly ? Hosting::InternetListed : Hosting::InternetByInvitation;
    };
    bob.play.setHosting(hosting(listed), QStringLiteral("Bob"), lobby);
    QTRY_VERIFY_WITH_TIMEOUT(opened, kWait);
    const InviteCode code = *opened;
    QTRY_COMPARE(bob.session.seat(1).name, QStringLiteral("Bob")); // no longer "You"

    InternetLobby lookout;
    lookout.enter(lobby, QStringLiteral("Lookout"));
    QTRY_COMPARE_WITH_TIMEOUT(lookout.state(), InternetLobby::State::In, kWait);
    QCOMPARE(lookout.games().size(), listed ? 1 : 0);

    ann.play.joinByCode(QStringLiteral("Ann"), lobby, *InviteCode::parse(u"AAA-AAA"));
    QVERIFY(ann.play.isJoining());
    QTRY_COMPARE_WITH_TIMEOUT(ann.joinFailures.size(), 1, kWait);
    QCOMPARE(ann.joinFailures.front(), QStringLiteral("No game has the code AAA-AAA."));
    QVERIFY(!ann.play.isJoining());
    QVERIFY(ann.session.isHost() && ann.session.loggedIn());

    ann.play.joinByCode(QStringLiteral("Ann"), lobby, code);
    QVERIFY(ann.seatedAt(2));
    QTRY_COMPARE(bob.session.seat(2).name, QStringLiteral("Ann"));
    QCOMPARE(ann.host.listeningPort(), 0); // her own game is over
    QSignalSpy bobHears(&bob.session, &GameSession::lineAdded);
    ann.session.say(QStringLiteral("hello Bob"), 0); // the lobby still carries her game
    QTRY_VERIFY_WITH_TIMEOUT(!bobHears.isEmpty(), kWait);
    QVERIFY(bobHears.last().first().toString().contains(QLatin1String("hello Bob")));

    // Listed the other way round: the list follows, and Ann plays on.
    bob.play.setHosting(hosting(!listed), QStringLiteral("Bob"), lobby);
    QCOMPARE(bob.play.hosting(), hosting(!listed));
    QTRY_COMPARE_WITH_TIMEOUT(lookout.games().size(), listed ? 0 : 1, kWait);
    ann.session.say(QStringLiteral("still here"), 0);
    QTRY_VERIFY_WITH_TIMEOUT(bobHears.last().first().toString().contains(QLatin1String("still here")), kWait);
    QVERIFY(bob.play.lobbyPlayersInGame());

    // Hosting on the local network instead takes the game off the lobby, and Ann with it.
    bob.play.setHosting(Hosting::LocalNetwork, QStringLiteral("Bob"), std::nullopt);
    QCOMPARE(bob.play.hosting(), Hosting::LocalNetwork);
    QTRY_VERIFY_WITH_TIMEOUT(ann.notices.contains(QStringLiteral("The host has left, and the game is over.")),
                             kWait);
    QTRY_VERIFY_WITH_TIMEOUT(lookout.games().isEmpty(), kWait);
    QVERIFY(!bob.play.lobbyPlayersInGame());
    QVERIFY(bob.session.isHost() && bob.session.loggedIn()); // his game goes on
}

void TestPlay::aSecondCopyHandsItsLinksToTheFirst()
{
    const QString identifier = QStringLiteral("pinfall-test-%1").arg(QCoreApplication::applicationPid());
    SingleInstance first(identifier);
    QVERIFY(!first.CheckPrevInstance());
    QSignalSpy restored(&first, &SingleInstance::restoreRequested);
    QSignalSpy opened(&first, &SingleInstance::linkOpened);
    SingleInstance second(identifier);
    QVERIFY(
        second.CheckPrevInstance({QStringLiteral("pinfall://join/K7Q-4PZ"), QStringLiteral("two\nlines")}));
    QTRY_COMPARE_WITH_TIMEOUT(opened.size(), 2, kWait);
    QCOMPARE(restored.size(), 1);
    QCOMPARE(opened[0].first().toString(), QStringLiteral("pinfall://join/K7Q-4PZ"));
    QCOMPARE(opened[1].first().toString(), QStringLiteral("two lines")); // one link, one line
}

void TestPlay::aDroppedConnectionGetsBackIntoTheSeat_data()
{
    QTest::addColumn<bool>("throughLobby");
    QTest::addColumn<QString>("drop");
    QTest::newRow("back in seconds") << false << "player";
    QTest::newRow("back in seconds, lobby") << true << "player";
    QTest::newRow("seat given up") << false << "late";
    QTest::newRow("host gone") << false << "host";
    QTest::newRow("host gone, lobby") << true << "host";
    QTest::newRow("host crashed") << false << "crash";
    QTest::newRow("host crashed, she stops trying") << false << "stop";
}

// Ann plays the first word of a frame in Bob's game and her connection drops: she gets back
// into her seat and plays on, unless the seat was given up or Bob's program has gone, which
// she is told before she gets a game of her own.
void TestPlay::aDroppedConnectionGetsBackIntoTheSeat()
{
    QFETCH(bool, throughLobby);
    QFETCH(QString, drop);
    Player bob(drop == QStringLiteral("late") ? std::chrono::milliseconds(0) : std::chrono::minutes(1));
    Player ann;
    bob.play.start({"Bob", "10.255.255.1", "true"});
    ann.play.start({});
    QVERIFY(bob.seatedAt(1) && ann.seatedAt(1));
    if (throughLobby) {
        const LobbyAddress lobby{.domain = lobby_.domain(), .port = lobby_.port()};
        std::optional<InviteCode> opened;
        QObject::connect(&bob.play, &PlayController::lobbyGameOpened,
                         [&opened](const InviteCode& code) { opened = code; });
        bob.play.setHosting(Hosting::InternetByInvitation, QStringLiteral("Bob"), lobby);
        QTRY_VERIFY_WITH_TIMEOUT(opened, kWait);
        ann.play.joinByCode(QStringLiteral("Ann"), lobby, *opened);
    } else {
        ann.play.join(QStringLiteral("Ann"), bob.address());
    }
    QVERIFY(ann.seatedAt(2));
    bob.host.fixNextWords({"bandleader", "zoologists", "abdicating"});
    bob.session.startGame("60", false);
    QTRY_VERIFY_WITH_TIMEOUT(ann.session.myTurn(), kWait);
    ann.session.typeLetter('a');
    ann.session.sendWord();
    QTRY_COMPARE_WITH_TIMEOUT(bob.host.player(2).rolls, 1, kWait);
    QSignalSpy bobHears(&bob.session, &GameSession::lineAdded);

    if (drop == QStringLiteral("host")) {
        bob.play.leave();
        QTRY_VERIFY_WITH_TIMEOUT(
            ann.notices.contains(QStringLiteral("The host has left, and the game is over.")), kWait);
        QVERIFY(!ann.notices.contains(QStringLiteral("Connection lost; reconnecting…")));
        QVERIFY(ann.seatedAt(1) && ann.session.isHost());
        return;
    }
    const quint16 bobPort = bob.host.listeningPort();
    bob.host.player(2).sock->close();
    const bool crashed = drop == QStringLiteral("crash") || drop == QStringLiteral("stop");
    if (crashed)
        bob.host.stopHosting(); // with Ann's connection gone already, she is not told
    QTRY_VERIFY_WITH_TIMEOUT(ann.notices.contains(QStringLiteral("Connection lost; reconnecting…")), kWait);
    if (drop == QStringLiteral("stop")) {
        QVERIFY(ann.play.isReconnecting());
        ann.play.stopReconnecting();
        QCOMPARE(ann.notices.last(), QStringLiteral("You stopped trying to get back into the game."));
        QVERIFY(ann.seatedAt(1) && ann.session.isHost());
        QVERIFY(!ann.play.isReconnecting());
        return;
    }
    if (crashed) {
        QTRY_VERIFY_WITH_TIMEOUT(ann.session.isHost(), kWait);
        QCOMPARE(ann.notices.last(),
                 QStringLiteral("Could not join the game at 127.0.0.1, port %1: nothing is listening at that "
                                "address and port.")
                     .arg(bobPort));
        return;
    }
    if (drop == QStringLiteral("late")) {
        QTRY_VERIFY_WITH_TIMEOUT(
            ann.notices.contains(QStringLiteral("Your seat in the game is gone: you were away too long.")),
            kWait);
        QVERIFY(ann.seatedAt(1) && ann.session.isHost());
        QVERIFY(!bob.session.seat(2).taken);
        return;
    }
    QTRY_VERIFY_WITH_TIMEOUT(ann.session.loggedIn() && ann.session.myTurn(), kWait);
    QCOMPARE(ann.session.localSlot(), 2);
    QCOMPARE(ann.session.ownRolls().roll1, 1);
    QCOMPARE(ann.session.rack().standingLetters().size(), 9);
    QVERIFY(!ann.play.isReconnecting());
    QTRY_VERIFY_WITH_TIMEOUT(bob.session.seat(2).taken && !bob.session.seat(2).away, kWait);
    const auto heard = [&bobHears](const QString& line) {
        return std::any_of(bobHears.begin(), bobHears.end(),
                           [&line](const QList<QVariant>& said) { return said.first().toString() == line; });
    };
    QVERIFY(heard(QStringLiteral("Ann's connection dropped; the seat is kept for a minute.")));
    QVERIFY(heard(QStringLiteral("Ann is back in the game.")));
    // She plays on: her second word is the frame's second.
    ann.session.typeLetter('i');
    ann.session.sendWord();
    QTRY_COMPARE_WITH_TIMEOUT(bob.host.player(2).frames[0].roll2, 1, kWait);
}

// A computer player's connection drops: it is away for a moment, and back in its seat.
void TestPlay::aComputerPlayerGetsBackIntoItsSeat()
{
    Player bob;
    bob.play.start({"Bob", "10.255.255.1", "true"});
    QVERIFY(bob.seatedAt(1));
    bob.play.startGame("60", false, 1, Levels::kDefault);
    QTRY_VERIFY_WITH_TIMEOUT(bob.session.gameRunning() && bob.session.seat(2).taken, kWait);
    const QString name = bob.session.seat(2).name;
    bob.host.player(2).sock->close();
    QVERIFY(bob.host.player(2).away);
    QTRY_VERIFY_WITH_TIMEOUT(bob.host.player(2).connected && bob.session.seat(2).taken &&
                                 !bob.session.seat(2).away,
                             kWait);
    QCOMPARE(bob.session.seat(2).name, name);
    QCOMPARE(bob.play.ownComputerPlayers(), 1);
}

QTEST_GUILESS_MAIN(TestPlay)
#include "tst_play.moc"
