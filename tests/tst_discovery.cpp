// Finding games on the local network, on loopback and a port of the test's own.
#include "gameaddress.h"
#include "gamefinder.h"
#include "gamesession.h"
#include "loopbacknetwork.h"
#include "tserver.h"
#include "visiblehost.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QUdpSocket>

namespace {

constexpr auto kWait = 5000;

GameAnnouncement waitingGame(int players)
{
    return {"", "1.0.7", 4321, players, 0, 0, "Ann"};
}

// A finder that has found a visible game of one player waiting.
struct FoundGameOfOne {
    explicit FoundGameOfOne(const DiscoveryNetwork& network) : finder(network), beacon(network) {}

    bool ready()
    {
        beacon.setGame(waitingGame(1));
        return finder.start() && beacon.setVisible(true) &&
               QTest::qWaitFor([this] { return finder.games().size() == 1; }, kWait);
    }

    GameFinder finder;
    GameBeacon beacon;
};

} // namespace

class TestDiscovery : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void datagramsReadBackExactly();
    void brokenDatagramsReadAsNothing_data();
    void brokenDatagramsReadAsNothing();
    void aVisibleGameIsFoundFollowedAndGone();
    void aSilentGameIsForgotten();
    void aHiddenGameIsNotFound();
    void aHostsRosterIsAnnounced();
    void typedAddressesRead_data();
    void typedAddressesRead();

private:
    DiscoveryNetwork network_ = loopbackNetwork();
};

void TestDiscovery::datagramsReadBackExactly()
{
    const GameAnnouncement game{"9f3a", "1.0.7", 7780, 3, 2, 7, "Ann+Bob"};
    QCOMPARE(Discovery::read(Discovery::announcement(game)), Discovery::Datagram(game));
    QCOMPARE(Discovery::read(Discovery::query()), Discovery::Datagram(GamesQuery{}));
    QCOMPARE(Discovery::read(Discovery::goodbye("9f3a")), Discovery::Datagram(GameGone{"9f3a"}));
    // A name that cannot travel as it is goes as "?" where it could not.
    const GameAnnouncement odd{"1", "1", 1, 0, 0, 0, "A\x01\xFF" + QByteArray(40, 'b')};
    const auto read = Discovery::read(Discovery::announcement(odd));
    QVERIFY(read.has_value());
    QCOMPARE(std::get<GameAnnouncement>(*read).hostName, "A??" + QByteArray(Rules::kLongestName - 3, 'b'));
    QVERIFY(Discovery::announcement(game).size() <= Discovery::kLongestDatagram);
}

void TestDiscovery::brokenDatagramsReadAsNothing_data()
{
    QTest::addColumn<QByteArray>("datagram");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("no terminator") << QByteArray("CMD_findgames");
    QTest::newRow("two messages") << QByteArray("CMD_findgames\xFF"
                                                "CMD_findgames\xFF");
    QTest::newRow("a query with fields") << QByteArray("CMD_findgames+1\xFF");
    QTest::newRow("a game message") << QByteArray("CMD_startgame+Ann+60+f+\xFF");
    QTest::newRow("no name") << QByteArray("CMD_gamehere+9f+1.0.7+7772+1+0+0+\xFF");
    QTest::newRow("port 0") << QByteArray("CMD_gamehere+9f+1.0.7+0+1+0+0+Ann\xFF");
    QTest::newRow("five players") << QByteArray("CMD_gamehere+9f+1.0.7+7772+5+0+0+Ann\xFF");
    QTest::newRow("six spectators") << QByteArray("CMD_gamehere+9f+1.0.7+7772+1+6+0+Ann\xFF");
    QTest::newRow("frame 11") << QByteArray("CMD_gamehere+9f+1.0.7+7772+1+0+11+Ann\xFF");
    QTest::newRow("a frame that is a word") << QByteArray("CMD_gamehere+9f+1.0.7+7772+1+0+x+Ann\xFF");
    QTest::newRow("an id with a blank") << QByteArray("CMD_gamehere+9 f+1.0.7+7772+1+0+0+Ann\xFF");
    QTest::newRow("a long name") << QByteArray("CMD_gamehere+9f+1.0.7+7772+1+0+0+" + QByteArray(25, 'a') +
                                               "\xFF");
    QTest::newRow("a name with a tab") << QByteArray("CMD_gamehere+9f+1.0.7+7772+1+0+0+A\tB\xFF");
    QTest::newRow("a goodbye with more") << QByteArray("CMD_gamegone+9f+1\xFF");
    QTest::newRow("too long") << QByteArray("CMD_gamegone+" + QByteArray(600, 'a') + "\xFF");
}

void TestDiscovery::brokenDatagramsReadAsNothing()
{
    QFETCH(QByteArray, datagram);
    QCOMPARE(Discovery::read(datagram), std::nullopt);

    // Nor do they change what a finder knows.
    FoundGameOfOne found(network_);
    QVERIFY(found.ready());
    QUdpSocket stranger;
    stranger.writeDatagram(datagram, QHostAddress::LocalHost, network_.port);
    stranger.writeDatagram(Discovery::goodbye("not-this-one"), QHostAddress::LocalHost, network_.port);
    QTest::qWait(50);
    QCOMPARE(found.finder.games().size(), 1);
    QCOMPARE(found.finder.games().front().game, found.beacon.game());
}

void TestDiscovery::aVisibleGameIsFoundFollowedAndGone()
{
    FoundGameOfOne found(network_);
    QVERIFY(found.ready());
    GameFinder& finder = found.finder;
    GameBeacon& beacon = found.beacon;
    QCOMPARE(finder.games().front().address, QHostAddress(QHostAddress::LocalHost));
    QCOMPARE(finder.games().front().game.hostName, "Ann");

    // A change is told at once, and the game stays one game.
    beacon.setGame(waitingGame(2));
    QTRY_COMPARE_WITH_TIMEOUT(finder.games().front().game.players, 2, kWait);
    QCOMPARE(finder.games().size(), 1);

    beacon.setVisible(false);
    QTRY_COMPARE_WITH_TIMEOUT(finder.games().size(), 0, kWait);

    // A finder that starts later asks, and a visible host answers.
    QVERIFY(beacon.setVisible(true));
    GameFinder latecomer(network_);
    QVERIFY(latecomer.start());
    QTRY_COMPARE_WITH_TIMEOUT(latecomer.games().size(), 1, kWait);
}

void TestDiscovery::aSilentGameIsForgotten()
{
    GameFinder finder(network_);
    finder.forgetAfter = std::chrono::milliseconds(200);
    QVERIFY(finder.start());
    // A host that went without a goodbye.
    QUdpSocket lost;
    lost.writeDatagram(Discovery::announcement({"dead", "1.0.7", 7772, 1, 0, 3, "Gone"}),
                       QHostAddress::LocalHost, network_.port);
    QTRY_COMPARE_WITH_TIMEOUT(finder.games().size(), 1, kWait);
    QTRY_COMPARE_WITH_TIMEOUT(finder.games().size(), 0, kWait);
}

void TestDiscovery::aHiddenGameIsNotFound()
{
    GameBeacon hidden(network_);
    hidden.setGame(waitingGame(1));
    GameBeacon shown(network_);
    shown.setGame(waitingGame(3));
    QVERIFY(shown.setVisible(true));
    GameFinder finder(network_);
    QVERIFY(finder.start());
    QTRY_COMPARE_WITH_TIMEOUT(finder.games().size(), 1, kWait);
    finder.ask();
    QTest::qWait(100);
    QCOMPARE(finder.games().size(), 1);
    QCOMPARE(finder.games().front().game.players, 3);
}

void TestDiscovery::aHostsRosterIsAnnounced()
{
    QTemporaryDir folder;
    HostSettings settings;
    settings.dictionary.workingFolder = folder.path();
    settings.dictionary.fallbackFolder = folder.path();
    TServer host(settings);
    host.startListening(QStringLiteral("0"));
    VisibleHost visible(host, network_, "1.0.7");
    GameFinder finder(network_);
    QVERIFY(finder.start());
    QVERIFY(visible.show(QStringLiteral("Ann")));
    QTRY_COMPARE_WITH_TIMEOUT(finder.games().size(), 1, kWait);
    QCOMPARE(finder.games().front().game.port, host.listeningPort());
    QCOMPARE(finder.games().front().game.players, 0);

    GameSession player(QStringLiteral("1.0.7"));
    player.connectTo(QStringLiteral("127.0.0.1"), QString::number(host.listeningPort()),
                     QStringLiteral("Bob"), false);
    QTRY_COMPARE_WITH_TIMEOUT(finder.games().front().game.players, 1, kWait);
    player.startGame("60", false);
    QTRY_COMPARE_WITH_TIMEOUT(finder.games().front().game.frame, 1, kWait);

    // Its player goes to play elsewhere: the game ends for everybody in it.
    QSignalSpy closed(&player, &GameSession::connectionClosed);
    host.stopHosting();
    QCOMPARE(host.summary(), TServer::Summary{});
    QCOMPARE(host.listeningPort(), 0);
    QVERIFY(closed.wait(kWait));
}

void TestDiscovery::typedAddressesRead_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("host"); // empty: not an address
    QTest::addColumn<int>("port");
    QTest::newRow("name") << " games.example.org "
                          << "games.example.org" << 7772;
    QTest::newRow("name and port") << "192.168.1.20:7780"
                                   << "192.168.1.20" << 7780;
    QTest::newRow("highest port") << "host:65535"
                                  << "host" << 65535;
    QTest::newRow("IPv6") << "fe80::1"
                          << "fe80::1" << 7772;
    QTest::newRow("IPv6 and port") << "[fe80::1]:7780"
                                   << "fe80::1" << 7780;
    QTest::newRow("nothing") << "  "
                             << "" << 0;
    QTest::newRow("port alone") << ":7780"
                                << "" << 0;
    QTest::newRow("colon, no port") << "host:"
                                    << "" << 0;
    QTest::newRow("port 0") << "host:0"
                            << "" << 0;
    QTest::newRow("port too large") << "host:65536"
                                    << "" << 0;
    QTest::newRow("port no number") << "host:http"
                                    << "" << 0;
    QTest::newRow("space inside") << "my host"
                                  << "" << 0;
    QTest::newRow("bracket not closed") << "[fe80::1:7780"
                                        << "" << 0;
    QTest::newRow("after the bracket") << "[fe80::1]7780"
                                       << "" << 0;
}

void TestDiscovery::typedAddressesRead()
{
    QFETCH(QString, typed);
    QFETCH(QString, host);
    QFETCH(int, port);
    const std::optional<GameAddress> read = GameAddress::parse(typed, 7772);
    QCOMPARE(read.has_value(), !host.isEmpty());
    if (!read)
        return;
    QCOMPARE(read->host, host);
    QCOMPARE(read->port, port);
    // Shown as it would be typed again.
    QCOMPARE(GameAddress::parse(read->text(7772), 7772), read);
}

QTEST_GUILESS_MAIN(TestDiscovery)
#include "tst_discovery.moc"
