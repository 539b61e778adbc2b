// A game hosted on the lobby: a participant who joins by the invite code is seated by the host
// over the relay as over TCP, plays through it, and leaving the room is leaving the game.
#include "gameroomguest.h"
#include "gamesession.h"
#include "hostedgame.h"
#include "hostprocess.h"
#include "lobbygame.h"
#include "prosodyfixture.h"
#include "relaytransport.h"
#include "tickedhost.h"
#include "xmppconnection.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

class TestLobbyGame : public QObject {
    Q_OBJECT
    ProsodyFixture lobby_; // one lobby for every case

private Q_SLOTS:
    void initTestCase();
    void aParticipantPlaysThroughTheLobby();
    void theHeadlessHostGivesACodeToJoinBy();
};

namespace {

constexpr int kWait = 10'000;

bool signIn(XmppConnection& connection, const ProsodyFixture& lobby)
{
    QSignalSpy online(&connection, &XmppConnection::online);
    connection.connectToServer(QStringLiteral("127.0.0.1"), lobby.port(), {.domain = lobby.guestDomain()});
    return online.wait(kWait);
}

} // namespace

void TestLobbyGame::initTestCase()
{
    qRegisterMetaType<RelayTransport*>(); // the signals name it where it is only declared
    QVERIFY(lobby_.start());
}

void TestLobbyGame::aParticipantPlaysThroughTheLobby()
{
    const ProsodyFixture& lobby = lobby_;
    const LobbyAddress address{.domain = lobby.domain(), .port = lobby.port()};
    QTemporaryDir folder;
    TServer host(tickedHostSettings(folder.path(), 7));
    GameSession bob(QStringLiteral("1.0"));
    hostGame(host, bob, QStringLiteral("0"), QStringLiteral("Bob"));
    QTRY_VERIFY(bob.loggedIn());

    XmppConnection hostLink;
    XmppConnection annLink;
    QVERIFY(signIn(hostLink, lobby));
    QVERIFY(signIn(annLink, lobby));
    LobbyGame game(host, hostLink, address);
    QSignalSpy opened(&game.room(), &GameRoomHost::opened);
    game.open(QStringLiteral("Bob"), QStringLiteral("1.0"), false);
    QVERIFY(opened.wait(kWait));

    GameRoomGuest guest(annLink, address);
    QSignalSpy reached(&guest, &GameRoomGuest::reached);
    guest.join(*game.room().code(), QStringLiteral("Ann"));
    QVERIFY(reached.wait(kWait));
    GameSession ann(QStringLiteral("1.0"));
    ann.joinOver(reached.first().first().value<RelayTransport*>(), QStringLiteral("Ann"));
    QTRY_VERIFY_WITH_TIMEOUT(ann.loggedIn(), kWait);
    QCOMPARE(ann.localSlot(), 2);
    QTRY_COMPARE(bob.seat(2).name, QStringLiteral("Ann"));
    QTRY_COMPARE(ann.seat(1).name, QStringLiteral("Bob"));

    QSignalSpy bobHears(&bob, &GameSession::lineAdded);
    ann.say(QStringLiteral("hi from afar"), 0);
    QTRY_VERIFY_WITH_TIMEOUT(std::any_of(bobHears.begin(), bobHears.end(),
                                         [](const QVariantList& line) {
                                             return line.first().toString().contains(
                                                 QLatin1String("hi from afar"));
                                         }),
                             kWait);

    guest.leave(); // out of the room is out of the game
    QTRY_VERIFY_WITH_TIMEOUT(!bob.seat(2).taken, kWait);
}

void TestLobbyGame::theHeadlessHostGivesACodeToJoinBy()
{
    HostProcess host;
    QVERIFY(host.start({QStringLiteral("--lobby=localhost:%1").arg(lobby_.port()),
                        QStringLiteral("--invite")}) != 0);
    const QRegularExpression said(QStringLiteral("Invite code: (\\w{3}-\\w{3})"));
    QByteArray told;
    QRegularExpressionMatch code;
    QVERIFY(QTest::qWaitFor(
        [&] {
            told += host.process.readAllStandardError();
            code = said.match(QString::fromLatin1(told));
            return code.hasMatch();
        },
        kWait));

    XmppConnection annLink;
    QVERIFY(signIn(annLink, lobby_));
    GameRoomGuest guest(annLink, {.domain = lobby_.domain(), .port = lobby_.port()});
    QSignalSpy reached(&guest, &GameRoomGuest::reached);
    guest.join(*InviteCode::parse(code.captured(1)), QStringLiteral("Ann"));
    QVERIFY(reached.wait(kWait));
    GameSession ann(QStringLiteral(PINFALL_VERSION));
    ann.joinOver(reached.first().first().value<RelayTransport*>(), QStringLiteral("Ann"));
    QTRY_VERIFY_WITH_TIMEOUT(ann.loggedIn(), kWait);
    QCOMPARE(ann.localSlot(), 1); // the host has no player of its own
}

QTEST_GUILESS_MAIN(TestLobbyGame)
#include "tst_lobbygame.moc"
