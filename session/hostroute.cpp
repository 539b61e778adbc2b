#include "hostroute.h"

#include "gamesession.h"
#include "joinattempt.h"

AddressRoute::AddressRoute(QString address, QString port, QObject* parent)
    : HostRoute(parent),
      address_(std::move(address)),
      port_(std::move(port))
{}

void AddressRoute::join(GameSession& session, const QString& playerName)
{
    session.connectTo(address_, port_, playerName, false);
}

QString AddressRoute::failure(const QString& reason) const
{
    return JoinAttempt::failure(address_, port_, reason);
}
