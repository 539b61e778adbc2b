#pragma once

// pinfall-host run as its own process on a free port, in a working folder of its own.
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

struct HostProcess {
    QTemporaryDir folder;
    QProcess process;

    // Starts pinfall-host on a free port and returns that port, 0 if it did not come up.
    quint16 start(const QStringList& extra = {})
    {
        process.setWorkingDirectory(folder.path());
        process.start(QStringLiteral(PINFALL_HOST_PATH), QStringList{"--port", "0"} + extra);
        QByteArray said;
        const QRegularExpression listening(QStringLiteral("listening on port (\\d+)"));
        QRegularExpressionMatch match;
        const bool up = QTest::qWaitFor(
            [&] {
                said += process.readAllStandardError();
                match = listening.match(QString::fromLatin1(said));
                return match.hasMatch() || process.state() == QProcess::NotRunning;
            },
            20000);
        return up && match.hasMatch() ? match.captured(1).toUShort() : 0;
    }

    ~HostProcess()
    {
        process.kill();
        process.waitForFinished();
    }
};
