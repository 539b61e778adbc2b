#include "discoverynetwork.h"

#include <QNetworkDatagram>
#include <QNetworkInterface>

DiscoveryNetwork DiscoveryNetwork::fromEnvironment()
{
    DiscoveryNetwork network;
    const QString listed = qEnvironmentVariable("PINFALL_DISCOVERY_TO");
    for (const QString& entry : listed.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        // "address" or "address:port": a port moves discovery off its own, for tests side by side.
        const QStringList parts = entry.trimmed().split(QLatin1Char(':'));
        const QHostAddress address(parts.front());
        bool isNumber = false;
        const uint port = parts.value(1).toUInt(&isNumber);
        if (address.isNull() || parts.size() > 2 ||
            (parts.size() == 2 && (!isNumber || port == 0 || port > 65535)))
            continue;
        network.targets << address;
        if (parts.size() == 2)
            network.port = static_cast<quint16>(port);
    }
    return network;
}

QList<QHostAddress> DiscoveryNetwork::destinations() const
{
    if (!targets.isEmpty())
        return targets;
    QList<QHostAddress> found;
    for (const QNetworkInterface& candidate : QNetworkInterface::allInterfaces()) {
        const auto flags = candidate.flags();
        if (!flags.testFlag(QNetworkInterface::IsRunning) || flags.testFlag(QNetworkInterface::IsLoopBack))
            continue;
        for (const QNetworkAddressEntry& entry : candidate.addressEntries()) {
            if (entry.ip().protocol() == QAbstractSocket::IPv4Protocol && !entry.broadcast().isNull())
                found << entry.broadcast();
        }
    }
    found << QHostAddress(QHostAddress::Broadcast);
    return found;
}

DiscoverySocket::DiscoverySocket(DiscoveryNetwork network, QObject* parent)
    : QObject(parent),
      network_(std::move(network))
{
    connect(&socket_, &QUdpSocket::readyRead, this, &DiscoverySocket::readAll);
}

bool DiscoverySocket::open()
{
    if (isOpen())
        return true;
    return socket_.bind(QHostAddress::AnyIPv4, network_.port,
                        QAbstractSocket::ShareAddress | QAbstractSocket::ReuseAddressHint);
}

void DiscoverySocket::sendToAll(const QByteArray& datagram)
{
    if (!isOpen())
        return;
    for (const QHostAddress& destination : network_.destinations())
        socket_.writeDatagram(datagram, destination, network_.port);
}

void DiscoverySocket::readAll()
{
    while (socket_.hasPendingDatagrams()) {
        // A datagram longer than ours is cut here and then fails to read.
        const QNetworkDatagram datagram = socket_.receiveDatagram(Discovery::kLongestDatagram + 1);
        if (const std::optional<Discovery::Datagram> read = Discovery::read(datagram.data()))
            Q_EMIT arrived(*read, datagram.senderAddress());
    }
}
