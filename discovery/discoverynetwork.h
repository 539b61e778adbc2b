#pragma once

#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QUdpSocket>

#include "announcement.h"

// Where discovery listens and where it sends. Every program that takes part binds the same UDP
// port, shared, so that a finder and a host on one machine both hear what is broadcast.
struct DiscoveryNetwork {
    static constexpr quint16 kPort = 7772;

    quint16 port = kPort;
    // Empty: the broadcast address of every running IPv4 interface but loopback, and the
    // limited broadcast address.
    QList<QHostAddress> targets;

    // The program's own: PINFALL_DISCOVERY_TO, addresses separated by commas, replaces the
    // targets (tests and scripts keep discovery on loopback with it); an address may carry a
    // ":port" that replaces the port.
    static DiscoveryNetwork fromEnvironment();
    QList<QHostAddress> destinations() const;
};

// One endpoint of discovery: sends datagrams to every destination and reads what arrives.
class DiscoverySocket : public QObject {
    Q_OBJECT

public:
    explicit DiscoverySocket(DiscoveryNetwork network, QObject* parent = nullptr);

    // False, with the reason in error(), when the port cannot be had.
    bool open();
    void close() { socket_.close(); }
    bool isOpen() const { return socket_.state() == QAbstractSocket::BoundState; }
    QString error() const { return socket_.errorString(); }
    void sendToAll(const QByteArray& datagram);

Q_SIGNALS:
    // A datagram that reads as one of ours; anything else is dropped unread.
    void arrived(const Discovery::Datagram& datagram, const QHostAddress& sender);

private:
    void readAll();

    DiscoveryNetwork network_;
    QUdpSocket socket_;
};
