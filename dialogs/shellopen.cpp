#include "shellopen.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QProcess>
#include <QUrl>

namespace ShellOpen {

bool open(const QString& file, const QStringList& arguments)
{
    return opener()(file, arguments);
}

Opener& opener()
{
    static Opener platform = [](const QString& file, const QStringList& arguments) {
        const QFileInfo info(file);
        if (!info.exists())
            return false;
        if (info.isExecutable())
            return QProcess::startDetached(info.absoluteFilePath(), arguments, {});
        return QDesktopServices::openUrl(QUrl::fromLocalFile(info.absoluteFilePath()));
    };
    return platform;
}

} // namespace ShellOpen
