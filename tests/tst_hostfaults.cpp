// Participants that vanish, stall or squat must not break the game for anybody else. Each
// scenario runs against the host over loopback; after it, the same check shows that the game
// still works: a newcomer is told about everyone, a game starts and deals to all, and chat
// reaches all.
#include "faultreport.h"
#include "scriptedclient.h"
#include "tserver.h"

#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>

#include <functional>
#include <memory>
#include <vector>

#ifndef Q_OS_WIN
#include <sys/socket.h>
#endif

namespace {

constexpr std::chrono::milliseconds kLoginTimeout{400};

struct Lobby {
    QTemporaryDir folder;
    QStringList faults;
    std::unique_ptr<TServer> server;
    std::vector<std::unique_ptr<ScriptedClient>> seated; // logged in, and staying

    Lobby()
    {
        FaultReport::setSink([this](const QString& text) { faults << text; });
        HostSettings settings;
        settings.seed = 3;
        settings.loginTimeout = kLoginTimeout;
        settings.report = [this](const QString& text) { faults << text; };
        settings.dictionary.workingFolder = folder.path();
        settings.dictionary.fallbackFolder = folder.path();
        server = std::make_unique<TServer>(std::move(settings));
        server->startListening(QStringLiteral("0"));
    }
    ~Lobby() { FaultReport::setSink({}); }

    quint16 port() const { return server->listeningPort(); }

    ScriptedClient& seat(const QByteArray& name)
    {
        auto& client = seated.emplace_back(std::make_unique<ScriptedClient>());
        client->join(port(), name);
        return *client;
    }
};

// A connection that never logs in; it reads nothing either.
std::unique_ptr<QTcpSocket> squat(quint16 port)
{
    auto socket = std::make_unique<QTcpSocket>();
    socket->setReadBufferSize(1);
    socket->connectToHost(QStringLiteral("127.0.0.1"), port);
    // The host runs in this thread: wait with the event loop running, never blocked. A socket
    // that does not connect shows up in the checks of the scenario that asked for it.
    static_cast<void>(
        QTest::qWaitFor([&] { return socket->state() == QAbstractSocket::ConnectedState; }, 5000));
    return socket;
}

// Ends a connection with a reset rather than an orderly close.
void reset(QTcpSocket& socket)
{
#ifndef Q_OS_WIN
    const linger abrupt{1, 0};
    ::setsockopt(static_cast<int>(socket.socketDescriptor()), SOL_SOCKET, SO_LINGER, &abrupt, sizeof abrupt);
#endif
    socket.abort();
}

// How many of the messages a participant has received so far start with `prefix`.
qsizetype countOf(ScriptedClient& client, const QByteArray& prefix)
{
    client.settle(0);
    return client.receivedStarting(prefix).size();
}

QByteArray chatLine(int slot, int length)
{
    return "CMD_chat+" + QByteArray::number(slot) + '+' + QByteArray(length, 'x') + "|clBlack\xFF";
}

using Scenario = std::function<void(Lobby&)>;

void closeBeforeLoginOneAfterAnother(Lobby& lobby)
{
    for (int i = 0; i < 3; ++i)
        squat(lobby.port())->close();
}

// Opens `count` connections together, then ends them all before any logs in.
void endTogetherBeforeLogin(Lobby& lobby, int count, void (*end)(QTcpSocket&))
{
    std::vector<std::unique_ptr<QTcpSocket>> squatters;
    for (int i = 0; i < count; ++i)
        squatters.push_back(squat(lobby.port()));
    QTest::qWait(50);
    for (auto& squatter : squatters)
        end(*squatter);
}

void closeBeforeLoginAtOnce(Lobby& lobby)
{
    endTogetherBeforeLogin(lobby, 5, [](QTcpSocket& socket) { socket.close(); });
}

void resetBeforeLogin(Lobby& lobby)
{
    endTogetherBeforeLogin(lobby, 3, reset);
}

void resetAmidBroadcasts(Lobby& lobby)
{
    ScriptedClient& chatter = *lobby.seated.front();
    ScriptedClient leaver;
    const int slot = leaver.join(lobby.port(), "Leaver");
    QByteArray burst;
    for (int i = 0; i < 100; ++i)
        burst += chatLine(chatter.slot(), 200);
    chatter.send(burst);
    QVERIFY(!leaver.waitFor("CMD_chat+").isEmpty());
    leaver.close(); // with the rest of the burst unread: a reset
    for (auto& stayer : lobby.seated) {
        QVERIFY(!stayer->waitFor("CMD_playerdisconnected+" + QByteArray::number(slot) + "+Leaver").isEmpty());
        QTRY_COMPARE(countOf(*stayer, "CMD_chat+"), 100);
    }
}

void participantStopsReading(Lobby& lobby)
{
    ScriptedClient& chatter = *lobby.seated.front();
    QTcpSocket stalled;
    stalled.connectToHost(QStringLiteral("127.0.0.1"), lobby.port());
    QVERIFY(QTest::qWaitFor([&] { return stalled.bytesAvailable() > 0; }, 5000));
    const QByteArray hello = stalled.readAll();
    const int slot = hello.sliced(hello.indexOf('+') + 1).chopped(1).toInt();
    stalled.write("CMD_logininfo+" + QByteArray::number(slot) + "+1.0.7+Stalled\xFF\xFF");
    stalled.setReadBufferSize(1); // from now on it takes nothing more
    // Far more than the platform's buffers hold, in lines the host takes whole.
    constexpr int kLines = 160;
    for (int i = 0; i < kLines; ++i) {
        chatter.send(chatLine(chatter.slot(), 60000));
        QTest::qWait(1);
    }
    for (auto& stayer : lobby.seated)
        QVERIFY(!stayer->waitFor("CMD_playerdisconnected+" + QByteArray::number(slot) + "+Stalled", 20000)
                     .isEmpty());
    QVERIFY(!lobby.server->player(slot).connected);
    for (auto& stayer : lobby.seated)
        QTRY_COMPARE_WITH_TIMEOUT(countOf(*stayer, "CMD_chat+"), kLines, 20000);
}

void squattersFillEverySlot(Lobby& lobby)
{
    std::vector<std::unique_ptr<QTcpSocket>> squatters;
    while (static_cast<int>(lobby.seated.size() + squatters.size()) < TServer::kLastSlot)
        squatters.push_back(squat(lobby.port()));
    ScriptedClient turnedAway;
    QVERIFY(turnedAway.connectTo(lobby.port()));
    QCOMPARE(turnedAway.received(), QList<QByteArray>{"CMD_full+"});
    // Their time to log in runs out, and the game has room again.
    for (int slot = 3; slot <= TServer::kLastSlot; ++slot)
        QTRY_VERIFY(!lobby.server->player(slot).connected);
}

} // namespace

Q_DECLARE_METATYPE(Scenario)

class TestHostFaults : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void gameSurvives_data();
    void gameSurvives();
};

void TestHostFaults::gameSurvives_data()
{
    QTest::addColumn<Scenario>("scenario");
    QTest::newRow("closed before log-in, one after another") << Scenario(closeBeforeLoginOneAfterAnother);
    QTest::newRow("closed before log-in, several at once") << Scenario(closeBeforeLoginAtOnce);
    QTest::newRow("reset before log-in") << Scenario(resetBeforeLogin);
    QTest::newRow("reset amid a stream of broadcasts") << Scenario(resetAmidBroadcasts);
    QTest::newRow("a participant that never reads") << Scenario(participantStopsReading);
    QTest::newRow("connections that never log in") << Scenario(squattersFillEverySlot);
}

void TestHostFaults::gameSurvives()
{
    QFETCH(Scenario, scenario);
    Lobby lobby;
    QCOMPARE(lobby.seat("Ann").slot(), 1);
    QCOMPARE(lobby.seat("Bob").slot(), 2);
    scenario(lobby);
    if (QTest::currentTestFailed())
        return;
    QTest::qWait(50);

    // A newcomer is told about everyone who is there, once each.
    ScriptedClient& newcomer = lobby.seat("Newcomer");
    QVERIFY(newcomer.slot() != 0);
    newcomer.settle(100);
    QCOMPARE(newcomer.receivedStarting("CMD_existingplayers+"),
             (QList<QByteArray>{"CMD_existingplayers+1+Ann", "CMD_existingplayers+2+Bob"}));

    // A game starts and deals to everybody.
    lobby.seated.front()->send("CMD_startgame+Ann+60+f+\xFF");
    for (auto& participant : lobby.seated) {
        QVERIFY(!participant->waitFor("CMD_theletters+0+").isEmpty());
        QVERIFY(!participant->waitFor("CMD_nextplayer+").isEmpty());
    }

    // Chat reaches all.
    newcomer.send("CMD_chat+" + QByteArray::number(newcomer.slot()) + "+hello|clBlack\xFF");
    for (auto& participant : lobby.seated)
        QCOMPARE(participant->waitFor("CMD_chat+Newcomer"),
                 QByteArray("CMD_chat+Newcomer chats: hello|clBlack"));
    QCOMPARE(lobby.faults, QStringList{});
}

QTEST_GUILESS_MAIN(TestHostFaults)
#include "tst_hostfaults.moc"
