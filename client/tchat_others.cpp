// The main window and other people's games: the "Play with Others" window's joins, leaving the
// game this program is in for another, and making the game hosted here visible.
#include "computeropponents.h"
#include "faultreport.h"
#include "gameaddress.h"
#include "playwithothers.h"
#include "tchat.h"
#include "tserver.h"
#include "visiblehost.h"

#include <QMessageBox>

namespace {

const QString kLeavingEndsTheirGame =
    QStringLiteral("Others are in the game you host, and leaving it ends it for them. Leave anyway?");

} // namespace

void Tchat::setOthers(PlayWithOthers& window, VisibleHost& visibleHost)
{
    others_ = &window;
    visibleHost_ = &visibleHost;
    others_->setOwnGame(visibleHost_->beacon().game().instance);
    connect(others_, &PlayWithOthers::joinRequested, this,
            [this](const QString& name, const GameAddress& where) {
                FaultReport::guard([&] { joinElsewhere(name, where); });
            });
    connect(others_, &PlayWithOthers::hostHereToggled, this,
            [this](bool on, const QString& name) { FaultReport::guard([&] { hostHereToggled(on, name); }); });
}

void Tchat::showOthers()
{
    if (others_ == nullptr)
        return;
    if (others_->isHidden())
        others_->move(frameGeometry().center() - others_->rect().center());
    others_->show();
    others_->raise();
    others_->activateWindow();
}

void Tchat::joinElsewhere(const QString& playerName, const GameAddress& where)
{
    if (!session_.isHost() && session_.loggedIn() && session_.hostAddress() == where.host &&
        session_.hostPort() == QString::number(where.port)) {
        others_->showFailure(QStringLiteral("You are in that game already."));
        return;
    }
    if (othersWouldLoseTheirGame(kLeavingEndsTheirGame))
        return;
    settings_.playerName = playerName;
    settings_.joinAddress = others_->address();
    saveinifile(); // the name and the address, before the game's settings are read again
    leaveGame();
    others_->hide();
    addlinetochat(QStringLiteral("Loading Multi-player Game.. Please Wait."), noticeColour);
    joiningFromWindow_ = true;
    session_.connectTo(where.host, QString::number(where.port), playerName, false);
}

void Tchat::hostHereToggled(bool on, const QString& playerName)
{
    settings_.playerName = playerName;
    settings_.hostHere = on;
    saveinifile();
    if (!on) {
        visibleHost_->hide();
        return;
    }
    if (session_.isHost()) {
        showHostedGame();
        return;
    }
    // In somebody else's game, hosting here means leaving it for a game of one's own.
    if (session_.loggedIn() &&
        QMessageBox::question(this, windowTitle(),
                              QStringLiteral("To host here you leave the game you are in. Leave it?")) !=
            QMessageBox::Yes) {
        settings_.hostHere = false;
        others_->remember(playerName, others_->address(), false);
        saveinifile();
        return;
    }
    leaveGame();
    host(playerName); // shown once the player is seated
}

void Tchat::leaveGame()
{
    disconnect(startWhenSeated_);
    computers_.reset(); // they leave while their host is still there
    visibleHost_->hide();
    session_.leave();
    if (host_->listeningPort() != 0)
        host_->stopHosting();
}

void Tchat::joinFailed(const QString& why)
{
    joiningFromWindow_ = false;
    session_.leave();
    addlinetochat(why, noticeColour);
    // Back to a game of one's own, so that the window always has one to show: a solo game, or
    // the one the player lets others find.
    host(others_->hostHere() ? others_->playerName() : kSoloName);
    others_->showFailure(why);
}

void Tchat::showHostedGame()
{
    if (others_ == nullptr || !others_->hostHere() || !session_.isHost() || host_->listeningPort() == 0)
        return;
    const QString name = others_->playerName();
    // Others would see the solo game's "You" in their roster and their tally: while the player
    // is alone, the game starts afresh under the name they will see, and is shown once seated.
    // Not from inside the session's own signal.
    if (session_.playerName() == kSoloName && !name.isEmpty() && name != kSoloName &&
        !session_.gameRunning() && !othersAreInHostedGame()) {
        QMetaObject::invokeMethod(
            this,
            [this, name] {
                FaultReport::guard([&] {
                    leaveGame();
                    host(name);
                });
            },
            Qt::QueuedConnection);
        return;
    }
    if (!visibleHost_->show(session_.playerName()))
        others_->showFailure(QStringLiteral("Others cannot find your game: %1").arg(visibleHost_->error()));
}
