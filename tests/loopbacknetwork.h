#pragma once

#include "discoverynetwork.h"

#include <QUdpSocket>

// A network of the test's own: a free UDP port, and the loopback broadcast address.
inline DiscoveryNetwork loopbackNetwork()
{
    QUdpSocket probe;
    probe.bind(QHostAddress::LocalHost, 0);
    DiscoveryNetwork network;
    network.port = probe.localPort();
    network.targets = {QHostAddress(QStringLiteral("127.255.255.255"))};
    return network;
}
