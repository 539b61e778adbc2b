#pragma once

// A real Prosody set up as a lobby by tools/lobby-server.sh: on a free loopback port, with its
// configuration, certificate, storage, log and pid in a temporary folder. It can be stopped,
// killed outright and started again on the same port and data, as a lobby that goes away and
// comes back. Needs PINFALL_SOURCE_DIR, where the script is found.
#include <QHostAddress>
#include <QProcess>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/prctl.h>
#include <unistd.h>

class ProsodyFixture {
public:
    ProsodyFixture()
    {
        QTcpServer probe;
        if (probe.listen(QHostAddress::LocalHost))
            port_ = probe.serverPort();
        // What goes wrong is said on stderr by the script or Prosody; the test shows it.
        process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process_.setChildProcessModifier([] {
            // A process group of its own, so kill() ends Prosody with the script; and a SIGTERM,
            // which stops Prosody cleanly, should the test die without its destructor.
            ::setsid();
            ::prctl(PR_SET_PDEATHSIG, SIGTERM);
        });
    }
    ~ProsodyFixture() { stop(); }
    ProsodyFixture(const ProsodyFixture&) = delete;
    ProsodyFixture& operator=(const ProsodyFixture&) = delete;

    QString domain() const { return QStringLiteral("localhost"); }
    QString guestDomain() const { return QStringLiteral("guest.") + domain(); }
    QString roomsDomain() const { return QStringLiteral("rooms.") + domain(); }
    QHostAddress address() const { return QHostAddress(QHostAddress::LocalHost); }
    quint16 port() const { return port_; }
    // The lobby's self-signed certificate, the one authority a client needs to trust.
    QString caFile() const { return data_.filePath(QStringLiteral("lobby.crt")); }
    QString dataDir() const { return data_.path(); }

    // Starts the lobby, or starts it again after stop() or kill(); true once it accepts
    // connections.
    bool start()
    {
        if (port_ == 0 || !data_.isValid())
            return false;
        stop();
        QByteArray said;
        const QByteArray ready =
            "lobby ready on " + domain().toLatin1() + ':' + QByteArray::number(port_) + '\n';
        process_.start(QStringLiteral("bash"),
                       {QStringLiteral(PINFALL_SOURCE_DIR "/tools/lobby-server.sh"),
                        QStringLiteral("--domain"), domain(), QStringLiteral("--port"),
                        QString::number(port_), QStringLiteral("--data"), data_.path()});
        return QTest::qWaitFor(
                   [&] {
                       said += process_.readAllStandardOutput();
                       return said.contains(ready) || process_.state() == QProcess::NotRunning;
                   },
                   kWaitMs) &&
               said.contains(ready);
    }

    // Stops Prosody as an administrator would; true if it shut down cleanly.
    bool stop()
    {
        if (process_.state() == QProcess::NotRunning)
            return true;
        process_.terminate();
        if (finished())
            return process_.exitStatus() == QProcess::NormalExit && process_.exitCode() == 0;
        kill();
        return false;
    }

    // Ends Prosody at once, as a crash or a pulled cable at the lobby would.
    void kill()
    {
        if (process_.state() == QProcess::NotRunning)
            return;
        ::kill(-static_cast<pid_t>(process_.processId()), SIGKILL);
        finished();
    }

private:
    static constexpr int kWaitMs = 20000;

    // The event loop keeps running meanwhile, so clients in the test see the lobby go.
    bool finished()
    {
        return QTest::qWaitFor([this] { return process_.state() == QProcess::NotRunning; }, kWaitMs);
    }

    QTemporaryDir data_;
    QProcess process_;
    quint16 port_ = 0;
};
