#pragma once

#include <QObject>
#include <QString>

class GameSession;

// How a participant's session reaches a game's host: at an address and port, or through a
// lobby. The route starts the session's join; what the session cannot tell itself, a route
// that failed before the host was reached, it says.
class HostRoute : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

    // Starts `session` joining the host under `playerName`.
    virtual void join(GameSession& session, const QString& playerName) = 0;
    // What a player reads when the join fails for `reason`: "Could not join the game …: why."
    virtual QString failure(const QString& reason) const = 0;

Q_SIGNALS:
    // The host could not be reached this way, or could no longer be: why, in plain words.
    void failed(const QString& why);
};

// A host at an address and TCP port: the session connects there itself.
class AddressRoute final : public HostRoute {
    Q_OBJECT

public:
    AddressRoute(QString address, QString port, QObject* parent = nullptr);

    void join(GameSession& session, const QString& playerName) override;
    QString failure(const QString& reason) const override;

private:
    QString address_;
    QString port_;
};
