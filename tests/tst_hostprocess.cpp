// pinfall-host as its own process: four players and a spectator play a whole game through it,
// and a logout, Ctrl+C or kill ends it cleanly. pinfall-bot's players sit down at it and leave
// with it.
#include "gamefinder.h"
#include "hostprocess.h"
#include "scriptedclient.h"
#include "wordfinder.h"

#include <QProcess>
#include <QTest>
#include <QUdpSocket>

#include <csignal>

class TestHostProcess : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void rejectsBadOptions();
    void answersHelpAndVersion();
    void hostsAWholeGame();
    void endsCleanlyWhenSignalled_data();
    void endsCleanlyWhenSignalled();
    void botRejectsBadOptions();
    void botsSitDownAndLeaveWithTheHost();
    void anAnnouncedHostIsFoundUntilItEnds();
};

void TestHostProcess::rejectsBadOptions()
{
    for (const QStringList& options : {QStringList{"--pause", "7"}, QStringList{"--second", "0"}}) {
        HostProcess host;
        QCOMPARE(host.start(options), quint16(0));
        QTRY_COMPARE(host.process.state(), QProcess::NotRunning);
        QCOMPARE(host.process.exitCode(), 2);
    }
}

void TestHostProcess::answersHelpAndVersion()
{
    const QList<std::pair<QString, QByteArray>> requests{{"--version", "pinfall-host " PINFALL_VERSION "\n"},
                                                         {"--help", "Usage: "}};
    for (const auto& [request, answer] : requests) {
        QProcess asked;
        asked.start(QStringLiteral(PINFALL_HOST_PATH), {request});
        QVERIFY(asked.waitForFinished(20000));
        QCOMPARE(asked.exitCode(), 0);
        const QByteArray said = asked.readAllStandardOutput();
        QVERIFY2(said.startsWith(answer), said.constData());
    }
}

void TestHostProcess::hostsAWholeGame()
{
    const WordFinder words(QStringLiteral(PINFALL_WORD_LIST));
    QVERIFY(words.loaded());
    HostProcess host;
    const quint16 port = host.start({"--pause", "5", "--second", "20"});
    QVERIFY(port != 0);

    std::array<ScriptedClient, 5> participants; // four players, then a spectator
    for (int slot = 1; slot <= 5; ++slot)
        QCOMPARE(participants[slot - 1].join(port, "P" + QByteArray::number(slot)), slot);
    ScriptedClient& starter = participants[0];
    starter.send("CMD_startgame+P1+60+f+\xFF");

    for (int frame = 1; frame <= 10; ++frame) {
        for (int slot = 1; slot <= 4; ++slot) {
            ScriptedClient& player = participants[slot - 1];
            const QByteArray opened =
                "CMD_nextplayer+" + QByteArray::number(slot) + '+' + QByteArray::number(frame) + '+';
            QCOMPARE(player.waitFor("CMD_nextplayer+"), opened);
            // A ten-letter word from the rack is a strike.
            const QByteArray word = words.usingAll(player.rackLetters());
            QCOMPARE(word.size(), 10);
            player.sendWord(word);
            QVERIFY(!player.waitFor("CMD_goodword+").isEmpty());
        }
        QCOMPARE(participants[4].waitFor("CMD_nextplayer+"),
                 "CMD_nextplayer+1+" + QByteArray::number(frame) + '+');
    }
    // Frame 10 gives each player a bonus set; nobody plays it, so the clock ends the frame.
    for (ScriptedClient& participant : participants) {
        const QByteArray scores = participant.waitFor("CMD_postscores+10+", 20000);
        QVERIFY(!scores.isEmpty());
        const QList<QByteArray> fields = scores.split('+');
        for (int slot = 1; slot <= 4; ++slot)
            QVERIFY(fields.at(6 + 2 * (slot - 1) + 1).endsWith("#9#260#10#270"));
        QCOMPARE(participant.waitFor("CMD_winner+", 20000), QByteArray("CMD_winner+1+2+3+4+"));
    }
    QCOMPARE(participants[4].receivedStarting("CMD_goodword").size(), 0);
}

void TestHostProcess::endsCleanlyWhenSignalled_data()
{
    QTest::addColumn<int>("signalNumber");
    QTest::addColumn<bool>("ignoredAtStart");
    QTest::newRow("SIGTERM (logout, kill)") << SIGTERM << false;
    QTest::newRow("SIGINT (Ctrl+C)") << SIGINT << false;
    QTest::newRow("SIGHUP (terminal closed)") << SIGHUP << false;
    QTest::newRow("SIGHUP under nohup, then SIGTERM") << SIGHUP << true;
}

void TestHostProcess::endsCleanlyWhenSignalled()
{
    QFETCH(int, signalNumber);
    QFETCH(bool, ignoredAtStart);
    HostProcess host;
    // The host starts with the signal at its default action, or ignored as nohup leaves SIGHUP,
    // whatever this test inherited.
    host.process.setChildProcessModifier([signalNumber, ignoredAtStart] {
        struct sigaction action {};
        action.sa_handler = ignoredAtStart ? SIG_IGN : SIG_DFL;
        ::sigaction(signalNumber, &action, nullptr);
    });
    QVERIFY(host.start() != 0);
    const QString workingFile = host.folder.filePath(QStringLiteral("English"));
    QVERIFY(QFile::exists(workingFile));

    const auto pid = static_cast<pid_t>(host.process.processId());
    QCOMPARE(::kill(pid, signalNumber), 0);
    if (ignoredAtStart) {
        QVERIFY(!host.process.waitForFinished(500));
        QCOMPARE(::kill(pid, SIGTERM), 0);
    }
    QVERIFY(host.process.waitForFinished(20000));
    QCOMPARE(host.process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(host.process.exitCode(), 0);
    QVERIFY(!QFile::exists(workingFile));
}

void TestHostProcess::botRejectsBadOptions()
{
    const QList<std::pair<QStringList, QByteArray>> cases{
        {{"--level", "Grandmaster"}, "the levels are Novice, Casual, Club, Expert, Master"},
        {{"--count", "5"}, "--count takes 1 to 4"}};
    for (const auto& [options, complaint] : cases) {
        QProcess bot;
        bot.start(QStringLiteral(PINFALL_BOT_PATH), options);
        QVERIFY(bot.waitForFinished(20000));
        QCOMPARE(bot.exitCode(), 2);
        const QByteArray said = bot.readAllStandardError();
        QVERIFY2(said.contains(complaint), said.constData());
    }
}

void TestHostProcess::botsSitDownAndLeaveWithTheHost()
{
    HostProcess host;
    const quint16 port = host.start();
    QVERIFY(port != 0);
    ScriptedClient watcher;
    QCOMPARE(watcher.join(port, "Watcher"), 1);

    QProcess bot;
    bot.start(QStringLiteral(PINFALL_BOT_PATH),
              {"--count", "2", "--port", QString::number(port), "127.0.0.1"});
    QStringList seated;
    for (int player = 1; player <= 2; ++player)
        seated << QString::fromLatin1(watcher.waitFor("CMD_newplayerinfo+", 20000).split('+').value(2));
    seated.sort();
    QCOMPARE(seated, QStringList({"Casual Bot 1", "Casual Bot 2"}));

    host.process.terminate();
    QVERIFY(bot.waitForFinished(20000));
    QCOMPARE(bot.exitStatus(), QProcess::NormalExit);
    QCOMPARE(bot.exitCode(), 0);
}

void TestHostProcess::anAnnouncedHostIsFoundUntilItEnds()
{
    QUdpSocket probe; // a discovery port of the test's own, on loopback
    QVERIFY(probe.bind(QHostAddress::LocalHost, 0));
    const QString discovery = QStringLiteral("127.255.255.255:%1").arg(probe.localPort());
    probe.close();
    qputenv("PINFALL_DISCOVERY_TO", discovery.toLatin1());
    GameFinder finder(DiscoveryNetwork::fromEnvironment());
    QVERIFY(finder.start());

    HostProcess host;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("PINFALL_DISCOVERY_TO"), discovery);
    host.process.setProcessEnvironment(environment);
    const quint16 port = host.start({"--announce", "--name", "Den"});
    QVERIFY(port != 0);
    QTRY_COMPARE_WITH_TIMEOUT(finder.games().size(), 1, 10000);
    QCOMPARE(finder.games().front().game.port, port);
    QCOMPARE(finder.games().front().game.hostName, "Den");
    host.process.terminate();
    QTRY_COMPARE_WITH_TIMEOUT(finder.games().size(), 0, 10000);
}

QTEST_GUILESS_MAIN(TestHostProcess)
#include "tst_hostprocess.moc"
