#pragma once

#include "gamebeacon.h"

#include <QObject>

class TServer;

// A host's game made visible on the local network under a name: the beacon is told of every
// change of the host's roster and game.
class VisibleHost : public QObject {
    Q_OBJECT

public:
    // The host must outlive this object.
    VisibleHost(const TServer& host, DiscoveryNetwork network, QByteArray version, QObject* parent = nullptr);

    // False, with the reason in error(), when the discovery port cannot be had.
    bool show(const QString& hostName);
    void hide() { beacon_.setVisible(false); }
    bool isVisible() const { return beacon_.isVisible(); }
    QString error() const { return beacon_.error(); }
    GameBeacon& beacon() { return beacon_; }

private:
    void describe();

    const TServer& host_;
    QByteArray version_;
    QByteArray hostName_;
    GameBeacon beacon_;
};
