#include "datafolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>
#include <QTemporaryFile>

QString chooseDataFolder(const QString& programFolder, const QString& fallbackFolder)
{
    // Trying is the only sure test: permissions alone say nothing for root or for network drives.
    QTemporaryFile probe(QDir(programFolder).filePath(QStringLiteral("write-test-XXXXXX")));
    if (probe.open())
        return programFolder;
    QDir().mkpath(fallbackFolder);
    return fallbackFolder;
}

QString dataFolder()
{
    static const QString folder =
        chooseDataFolder(QCoreApplication::applicationDirPath(),
                         QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation));
    return folder;
}
