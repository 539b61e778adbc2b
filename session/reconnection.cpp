#include "reconnection.h"

#include "gamesession.h"
#include "hostroute.h"

Reconnection::Reconnection(GameSession& session, RouteMaker makeRoute, QObject* parent)
    : QObject(parent),
      session_(session),
      makeRoute_(std::move(makeRoute))
{
    wait_.setSingleShot(true);
    connect(&wait_, &QTimer::timeout, this, &Reconnection::tryAgain);
    connect(&session_, &GameSession::connectionLost, this, &Reconnection::lost);
    connect(&session_, &GameSession::returned, this, [this] {
        if (trying_)
            finish(true);
    });
    connect(&session_, &GameSession::connectionFailed, this, [this](const QString& why) {
        if (trying_)
            failed(why);
    });
    connect(&session_, &GameSession::seatGone, this, [this] {
        if (trying_)
            finish(false, QStringLiteral("Your seat in the game is gone: you were away too long."));
    });
}

Reconnection::~Reconnection() = default;

void Reconnection::stop()
{
    if (trying_)
        finish(false, QStringLiteral("You stopped trying to get back into the game."));
}

void Reconnection::forget()
{
    trying_ = false;
    wait_.stop();
    if (route_)
        route_.release()->deleteLater();
}

void Reconnection::lost()
{
    trying_ = true;
    tries_ = 0;
    if (route_)
        route_.release()->deleteLater(); // its end may be what told of the loss
    Q_EMIT trying();
    wait_.start(second * kWaits[0]);
}

void Reconnection::tryAgain()
{
    if (route_)
        route_.release()->deleteLater();
    route_ = makeRoute_();
    if (!route_) {
        finish(false, QStringLiteral("There is no way back to that game."));
        return;
    }
    connect(route_.get(), &HostRoute::failed, this, [this](const QString& why) {
        if (trying_)
            failed(why);
    });
    session_.prepareReturn();
    route_->join(session_, session_.playerName());
}

void Reconnection::failed(const QString& why)
{
    if (wait_.isActive())
        return; // this try has been given up already
    if (++tries_ >= kWaits.size()) {
        finish(false, why); // "Could not join the game …: why."
        return;
    }
    wait_.start(second * kWaits[tries_]);
}

void Reconnection::finish(bool succeeded, const QString& why)
{
    trying_ = false;
    wait_.stop();
    if (succeeded)
        Q_EMIT back();
    else
        Q_EMIT gaveUp(why);
}
