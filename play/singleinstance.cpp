#include "singleinstance.h"

#include "desktopsession.h"

#include <QLocalSocket>

namespace {

constexpr int kWaitMs = 1000;
constexpr char kRestore[] = "restore\n";

} // namespace

SingleInstance::SingleInstance(const QString& identifier, QObject* parent)
    : QObject(parent),
      name_(sessionScopedName(identifier))
{
    connect(&server_, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* later = server_.nextPendingConnection()) {
            connect(later, &QLocalSocket::disconnected, later, &QObject::deleteLater);
            connect(later, &QLocalSocket::readyRead, this, [this, later] {
                if (later->readAll().contains(kRestore))
                    Q_EMIT restoreRequested();
            });
        }
    });
}

bool SingleInstance::CheckPrevInstance()
{
    QLocalSocket first;
    first.connectToServer(name_);
    if (first.waitForConnected(kWaitMs)) {
        first.write(kRestore);
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
