// The program as its own process: one copy per desktop session, two copies in two sessions
// meeting in one game, and a copy ended from outside.
#include <QFile>
#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QUuid>

#include <csignal>
#include <memory>

namespace {

// One run of build/pinfall in a desktop session of its own choosing.
class Copy {
public:
    Copy(const QString& session, const QString& port = QStringLiteral("0"))
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        environment.insert(QStringLiteral("XDG_SESSION_ID"), session);
        environment.insert(QStringLiteral("PINFALL_PORT"), port);
        environment.insert(QStringLiteral("PINFALL_ECHO_CHAT"), QStringLiteral("1"));
        process_.setProcessEnvironment(environment);
        process_.setWorkingDirectory(folder_.path());
    }

    ~Copy()
    {
        process_.kill();
        process_.waitForFinished();
    }

    void start(const QStringList& arguments = {}) { process_.start(QStringLiteral(PINFALL_PATH), arguments); }

    // Starts a copy of the program placed in the folder, which then holds its settings and tally
    // as well (they go beside the program wherever that can be written).
    bool startFromItsFolder()
    {
        const QString program = file(QStringLiteral("pinfall"));
        if (!QFile::copy(QStringLiteral(PINFALL_PATH), program))
            return false;
        process_.start(program);
        return true;
    }

    QString file(const QString& name) const { return folder_.filePath(name); }

    bool said(const QString& line, int timeoutMs = 20000)
    {
        return QTest::qWaitFor(
            [&] {
                said_ += QString::fromLocal8Bit(process_.readAllStandardError());
                return said_.split(QLatin1Char('\n')).contains(line);
            },
            timeoutMs);
    }

    QProcess& process() { return process_; }
    QString output() const { return said_; }

private:
    QTemporaryDir folder_;
    QProcess process_;
    QString said_;
};

QString newSession()
{
    return QStringLiteral("test-") + QUuid::createUuid().toString(QUuid::Id128);
}

quint16 freePort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

} // namespace

class TestProgram : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void oneCopyPerSession();
    void twoCopiesMeetInOneGame();
    void helpAndVersionNeedNoDesktop();
    void signalEndsItAsExitDoes_data();
    void signalEndsItAsExitDoes();
};

void TestProgram::oneCopyPerSession()
{
    const QString session = newSession();
    Copy first(session);
    first.start();
    QVERIFY2(first.said(QStringLiteral("You are Connected.")), qPrintable(first.output()));

    Copy second(session);
    second.start({"Ann", "127.0.0.1", "false"}); // whatever its command line
    QVERIFY(second.process().waitForFinished(20000));
    QCOMPARE(second.process().exitStatus(), QProcess::NormalExit);
    QCOMPARE(second.process().exitCode(), 0);
    QVERIFY(!second.output().contains(QStringLiteral("Loading")));
    QCOMPARE(first.process().state(), QProcess::Running);

    // Another session has a copy of its own.
    Copy elsewhere(newSession());
    elsewhere.start();
    QVERIFY(elsewhere.said(QStringLiteral("You are Connected.")));

    // Once the first copy has gone, even without cleaning up, a new one starts normally.
    first.process().kill();
    QVERIFY(first.process().waitForFinished());
    Copy third(session);
    third.start();
    QVERIFY2(third.said(QStringLiteral("You are Connected.")), qPrintable(third.output()));
}

void TestProgram::twoCopiesMeetInOneGame()
{
    const QString port = QString::number(freePort());
    Copy bob(newSession(), port);
    bob.start({"Bob", "127.0.0.1", "true"});
    QVERIFY2(bob.said(QStringLiteral("You are Connected.")), qPrintable(bob.output()));
    Copy ann(newSession(), port);
    ann.start({"Ann", "127.0.0.1", "false"});
    QVERIFY2(ann.said(QStringLiteral("Bob is Connected.")), qPrintable(ann.output()));
    QVERIFY(ann.output().contains(QStringLiteral("You are Connected.")));
    QVERIFY2(bob.said(QStringLiteral("Ann is Connected.")), qPrintable(bob.output()));

    // The host's program ends: the joined one stays, in a game of its own on the freed port.
    bob.process().kill();
    QVERIFY2(ann.said(QStringLiteral("The host has left, and the game is over.")), qPrintable(ann.output()));
    QVERIFY2(QTest::qWaitFor(
                 [&] {
                     ann.said({}, 0);
                     return ann.output().count(QStringLiteral("You are Connected.")) == 2;
                 },
                 20000),
             qPrintable(ann.output()));
    QCOMPARE(ann.process().state(), QProcess::Running);
}

void TestProgram::helpAndVersionNeedNoDesktop()
{
    const QString session = newSession();
    Copy running(session);
    running.start();
    QVERIFY2(running.said(QStringLiteral("You are Connected.")), qPrintable(running.output()));

    const QList<std::pair<QString, QByteArray>> requests{
        {"--version", "pinfall " PINFALL_VERSION "\n"},
        {"-v", "pinfall " PINFALL_VERSION "\n"},
        {"--help", "Usage: pinfall [NAME ADDRESS true|false]\n"},
        {"-h", "Usage: pinfall"}};
    for (const auto& [request, answer] : requests) {
        // No display of any kind, and a copy already running in the same session.
        QProcessEnvironment bare = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
            bare.remove(QString::fromLatin1(name));
        bare.insert(QStringLiteral("XDG_SESSION_ID"), session);
        QProcess asked;
        asked.setProcessEnvironment(bare);
        asked.start(QStringLiteral(PINFALL_PATH), {request});
        QVERIFY(asked.waitForFinished(20000));
        QCOMPARE(asked.exitCode(), 0);
        const QByteArray said = asked.readAllStandardOutput();
        QVERIFY2(said.startsWith(answer), said.constData());
    }
    QCOMPARE(running.process().state(), QProcess::Running);
}

void TestProgram::signalEndsItAsExitDoes_data()
{
    QTest::addColumn<int>("signalNumber");
    QTest::newRow("SIGTERM (logout, kill)") << SIGTERM;
    QTest::newRow("SIGINT (Ctrl+C)") << SIGINT;
    QTest::newRow("SIGHUP (terminal closed)") << SIGHUP;
}

void TestProgram::signalEndsItAsExitDoes()
{
    QFETCH(int, signalNumber);
    const quint16 port = freePort();
    Copy copy(newSession(), QString::number(port));
    // A window placed off the screen is moved back onto it, so closing it saves the settings.
    QFile settings(copy.file(QStringLiteral("varolobby.ini")));
    QVERIFY(settings.open(QIODevice::WriteOnly));
    settings.write("[Pinfall]\r\nLeft=-7000\r\n");
    settings.close();
    // Started with the signal at its default action, whatever this test inherited.
    copy.process().setChildProcessModifier([signalNumber] {
        struct sigaction action {};
        action.sa_handler = SIG_DFL;
        ::sigaction(signalNumber, &action, nullptr);
    });
    QVERIFY(copy.startFromItsFolder());
    QVERIFY2(copy.said(QStringLiteral("You are Connected.")), qPrintable(copy.output()));
    // The settings are read as the line is written; the host's greeting to a second visitor
    // comes after the window has been moved back.
    QTcpSocket visitor;
    visitor.connectToHost(QHostAddress::LocalHost, port);
    QVERIFY(visitor.waitForReadyRead(20000));
    const QString workingFile = copy.file(QStringLiteral("English"));
    QVERIFY(QFile::exists(workingFile));

    QCOMPARE(::kill(static_cast<pid_t>(copy.process().processId()), signalNumber), 0);
    QVERIFY(copy.process().waitForFinished(20000));
    QCOMPARE(copy.process().exitStatus(), QProcess::NormalExit);
    QCOMPARE(copy.process().exitCode(), 0);
    QVERIFY(!QFile::exists(workingFile));
    QVERIFY(QFile::exists(copy.file(QStringLiteral("Pinfall1tally.tld")))); // saved as its window goes
    QVERIFY(settings.open(QIODevice::ReadOnly));
    QVERIFY(settings.readAll().contains("\nPlaysounds=true"));
}

QTEST_GUILESS_MAIN(TestProgram)
#include "tst_program.moc"
