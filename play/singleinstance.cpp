#include "singleinstance.h"

#include "desktopsession.h"

#include <QLocalSocket>

namespace {

constexpr int kWaitMs = 1000;
constexpr char kRestore[] = "restore";
constexpr QLatin1StringView kOpen("open ");
constexpr qsizetype kLongestLine = 4096; // a link, with room to spare

} // namespace

SingleInstance::SingleInstance(const QString& identifier, QObject* parent)
    : QObject(parent),
      name_(sessionScopedName(identifier))
{
    connect(&server_, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* later = server_.nextPendingConnection()) {
            connect(later, &QLocalSocket::disconnected, later, &QObject::deleteLater);
            connect(later, &QLocalSocket::readyRead, this, [this, later] {
                while (later->canReadLine()) {
                    const QString line = QString::fromUtf8(later->readLine(kLongestLine)).trimmed();
                    if (line == QLatin1String(kRestore))
                        Q_EMIT restoreRequested();
                    else if (line.startsWith(kOpen))
                        Q_EMIT linkOpened(line.mid(kOpen.size()));
                }
                if (later->bytesAvailable() > kLongestLine)
                    later->abort(); // no line of ours is that long
            });
        }
    });
}

bool SingleInstance::CheckPrevInstance(const QStringList& links)
{
    QLocalSocket first;
    first.connectToServer(name_);
    if (first.waitForConnected(kWaitMs)) {
        first.write(QByteArray(kRestore) + '\n');
        for (const QString& link : links)
            first.write(QByteArray(kOpen.data(), kOpen.size()) + link.simplified().toUtf8() + '\n');
        first.waitForBytesWritten(kWaitMs);
        first.disconnectFromServer();
        return true;
    }
    // Nobody answers: a name left behind by a copy that crashed may still be there.
    QLocalServer::removeServer(name_);
    server_.setSocketOptions(QLocalServer::UserAccessOption);
    server_.listen(name_);
    return false;
}
