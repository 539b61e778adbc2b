#include "playcontroller.h"

#include "computeropponents.h"
#include "desktopsession.h"
#include "gameaddress.h"
#include "gamesession.h"
#include "hostedgame.h"
#include "hostroute.h"
#include "joinattempt.h"
#include "lobbygame.h"
#include "lobbyroute.h"
#include "missedwords.h"
#include "reconnection.h"
#include "relaytransport.h"
#include "tally.h"
#include "tserver.h"
#include "visiblehost.h"

namespace {

const QString kLocalHost = QStringLiteral("127.0.0.1");
constexpr std::chrono::milliseconds kLocalAnswer{1000};

// Lets go of a join attempt from inside one of its own signals.
void dispose(std::unique_ptr<JoinAttempt>& attempt)
{
    if (attempt != nullptr)
        attempt.release()->deleteLater();
}

} // namespace

// A QObject only to go with deleteLater(): it may be what tells of its own end.
struct PlayController::LobbyHosting : QObject {
    LobbyHosting(TServer& host, const LobbyAddress& lobby) : lobby(lobby), game(host, link, lobby) {}

    LobbyAddress lobby;
    XmppConnection link;
    LobbyGame game;
};

PlayController::PlayController(GameSession& session, TServer& host, QObject* parent)
    : QObject(parent),
      session_(session),
      host_(host)
{
    // The lobby tests this marker to see whether the game runs; nothing else uses it.
    const QString marker = sessionScopedName(QStringLiteral("Pinfall"));
    QLocalServer::removeServer(marker);
    programMarker_.listen(marker);
    lobby_.setHostName(kLocalHost);
    lobby_.setPortName(QStringLiteral("9001"));

    // Once the window has read the player's settings for the seat.
    connect(&session_, &GameSession::seated, this, &PlayController::showHostedGame, Qt::QueuedConnection);
    connect(&session_, &GameSession::connectionClosed, this, &PlayController::hostWent);
    connect(&session_, &GameSession::connectionFailed, this, [this](const QString& why) {
        if (!reconnection_->isTrying())
            Q_EMIT notice(why); // a try to get back in that failed is not news yet
    });
    reconnection_ = std::make_unique<Reconnection>(
        session_, [this] { return routeBack_ ? routeBack_() : std::unique_ptr<HostRoute>(); });
    connect(reconnection_.get(), &Reconnection::trying, this, [this] {
        Q_EMIT notice(QStringLiteral("Connection lost; reconnecting…"));
        Q_EMIT reconnectingChanged(true);
    });
    connect(reconnection_.get(), &Reconnection::back, this, [this] { Q_EMIT reconnectingChanged(false); });
    connect(reconnection_.get(), &Reconnection::gaveUp, this, [this](const QString& why) {
        leave();
        Q_EMIT notice(why);
        Q_EMIT reconnectingChanged(false);
        hostOwnGame();
    });
    connect(&session_, &GameSession::frameEnded, this, &PlayController::tellMissedWords);
    connect(&session_, &GameSession::gameEnded, this, &PlayController::countInTally);
    connect(&session_, &GameSession::ownStrike, this, [this] {
        if (tally_ != nullptr)
            tally_->countStrike();
    });
    connect(&session_, &GameSession::rosterChanged, this, [this] {
        if (tally_ != nullptr)
            tally_->setPlayersInGame(session_.opponentNames());
    });
}

PlayController::~PlayController()
{
    // The computer players leave while their host is still there.
    computers_.reset();
}

void PlayController::start(const QStringList& params)
{
    if (params.isEmpty()) {
        Q_EMIT notice(QStringLiteral("Loading Solo Game..Please wait."));
        if (host(kSoloName))
            Q_EMIT soloGameStarted();
        return;
    }
    Q_EMIT notice(QStringLiteral("Loading Multi-player Game.. Please Wait."));
    if (params.size() < 3)
        return;
    if (params[2] == QStringLiteral("true"))
        host(params[0]);
    else
        join(params[0], GameAddress{params[1], gamePort.toUShort()});
    try {
        lobby_.open();
    } catch (const ESockException&) {
        // No lobby: nothing is lost.
    }
}

bool PlayController::host(const QString& playerName)
{
    try {
        hostGame(host_, session_, gamePort, playerName);
        return true;
    } catch (const ESockException& error) {
        const QString report = QString::fromStdString(error.what());
        if (portTaken(report))
            askWhetherAGameHoldsThePort(hostingFailure(report));
        else
            Q_EMIT hostingFailed(hostingFailure(report), false);
        return false;
    }
}

bool PlayController::portTaken(const QString& report)
{
    return report.contains(QLatin1String("Binding"));
}

QString PlayController::hostingFailure(const QString& report) const
{
    return portTaken(report)
               ? QStringLiteral("Could not host a game on port %1: another program holds it.").arg(gamePort)
               : QStringLiteral("Could not host a game on port %1: %2.").arg(gamePort, report);
}

void PlayController::askWhetherAGameHoldsThePort(const QString& why)
{
    // A game that holds the port answers a connection with a slot, or with "Game is full".
    // One on this machine answers at once: the player is not kept waiting for other programs.
    probe_ = std::make_unique<JoinAttempt>(kLocalHost, gamePort, std::min(answerTimeout, kLocalAnswer));
    const auto told = [this, why] {
        const bool gameHoldsIt = probe_->hostAnswered();
        dispose(probe_); // the slot it was given is let go without a word to the players
        Q_EMIT hostingFailed(why, gameHoldsIt);
    };
    connect(probe_.get(), &JoinAttempt::slotGiven, this, told);
    connect(probe_.get(), &JoinAttempt::failed, this, told);
    probe_->start();
}

void PlayController::hostOwnGame()
{
    try {
        hostGame(host_, session_, gamePort, visible_ ? visibleName_ : kSoloName);
    } catch (const ESockException& error) {
        Q_EMIT withoutGame(hostingFailure(QString::fromStdString(error.what())));
    }
}

void PlayController::join(const QString& playerName, const GameAddress& where)
{
    dispose(attempt_); // a newer choice replaces a join still waiting
    routeTried_.reset();
    attempt_ = std::make_unique<JoinAttempt>(where.host, QString::number(where.port), answerTimeout);
    connect(attempt_.get(), &JoinAttempt::slotGiven, this, [this, playerName] { joined(playerName); });
    connect(attempt_.get(), &JoinAttempt::failed, this, &PlayController::attemptFailed);
    attempt_->start();
}

void PlayController::joinLocalGame(const QString& playerName)
{
    join(playerName, GameAddress{kLocalHost, gamePort.toUShort()});
}

void PlayController::joinByCode(const QString& playerName, const LobbyAddress& lobby, const InviteCode& code)
{
    dispose(attempt_);
    routeTried_ = std::make_unique<LobbyRoute>(lobby, code);
    connect(routeTried_.get(), &HostRoute::failed, this, &PlayController::attemptFailed);
    connect(routeTried_.get(), &LobbyRoute::reached, this, [this, playerName](RelayTransport* relay) {
        attempt_ = std::make_unique<JoinAttempt>(QString(), QString(), answerTimeout);
        connect(attempt_.get(), &JoinAttempt::slotGiven, this, [this, playerName] { joined(playerName); });
        connect(attempt_.get(), &JoinAttempt::failed, this, &PlayController::attemptFailed);
        attempt_->startOver(relay, routeTried_->code().shown());
    });
    routeTried_->reach(playerName);
}

void PlayController::joined(const QString& playerName)
{
    std::unique_ptr<JoinAttempt> attempt = std::move(attempt_);
    std::unique_ptr<LobbyRoute> route = std::move(routeTried_);
    leave();
    if (route) {
        routeBack_ = [lobby = route->lobby(), code = route->code()] {
            return std::make_unique<LobbyRoute>(lobby, code);
        };
    } else {
        routeBack_ = [address = attempt->address(), port = attempt->port()] {
            return std::make_unique<AddressRoute>(address, port);
        };
    }
    session_.joinThrough(*attempt, playerName);
    dispose(attempt);
    if (route) {
        // The lobby carries the game from now on: losing it is said before the host's going.
        route_ = std::move(route);
        disconnect(route_.get(), nullptr, this, nullptr);
        connect(route_.get(), &HostRoute::failed, this, &PlayController::notice);
    }
}

void PlayController::attemptFailed(const QString& why)
{
    dispose(attempt_);
    if (routeTried_)
        routeTried_.release()->deleteLater(); // it may be the one telling
    Q_EMIT joinFailed(why);
    // A join from the command line had no game to go back to.
    if (!session_.loggedIn() && host_.listeningPort() == 0)
        hostOwnGame();
}

bool PlayController::isInGameAt(const GameAddress& where) const
{
    return !session_.isHost() && session_.loggedIn() && session_.hostAddress() == where.host &&
           session_.hostPort() == QString::number(where.port);
}

bool PlayController::isReconnecting() const
{
    return reconnection_->isTrying();
}

void PlayController::stopReconnecting()
{
    reconnection_->stop();
}

void PlayController::setReconnectionSecond(std::chrono::milliseconds second)
{
    reconnection_->second = second;
}

void PlayController::leave()
{
    disconnect(startWhenSeated_);
    reconnection_->forget();
    computers_.reset(); // they leave while their host is still there
    closeLobbyGame();
    if (visibleHost_ != nullptr)
        visibleHost_->hide();
    session_.leave();
    if (route_)
        route_.release()->deleteLater(); // its lobby connection may be what told of the end
    if (host_.listeningPort() != 0)
        host_.stopHosting();
}

void PlayController::hostOnLobby(const LobbyAddress& lobby, bool listedPublicly, const QString& playerName)
{
    // Already there: only the listing changes, and nobody who came by the lobby is put out.
    if (lobbyHosting_ && lobbyHosting_->lobby == lobby && session_.isHost()) {
        lobbyHosting_->game.room().setListedPublicly(listedPublicly);
        return;
    }
    closeLobbyGame();
    // Others would see the solo game's "You": a game of one's own starts afresh under the name
    // they will see, as long as nobody is in it and nothing is being played.
    const bool renamed =
        session_.playerName() != playerName && !session_.gameRunning() && !othersInHostedGame();
    if (!session_.isHost() || renamed) {
        leave();
        if (!host(playerName))
            return; // hostingFailed() says why
    }
    lobbyHosting_ = std::make_unique<LobbyHosting>(host_, lobby);
    LobbyGame& game = lobbyHosting_->game;
    connect(&game.room(), &GameRoomHost::opened, this, &PlayController::lobbyGameOpened);
    connect(&game.room(), &GameRoomHost::failed, this, &PlayController::lobbyGameLost);
    game.room().setListedPublicly(listedPublicly); // until it opens, a later choice replaces it
    connect(&lobbyHosting_->link, &XmppConnection::online, &game,
            [this, &game, name = session_.playerName()] {
                game.open(name, session_.version(), game.room().listedPublicly());
            });
    connect(&lobbyHosting_->link, &XmppConnection::closed, this, [this](const QString& why) {
        if (!why.isEmpty())
            lobbyGameLost(why);
    });
    connectAsGuest(lobbyHosting_->link, lobby);
}

void PlayController::closeLobbyGame()
{
    if (lobbyHosting_)
        lobbyHosting_.release()->deleteLater(); // it may be the one telling
}

void PlayController::lobbyGameLost(const QString& why)
{
    closeLobbyGame(); // a later choice of the internet opens it afresh
    Q_EMIT lobbyGameFailed(why);
}

void PlayController::setHosting(Hosting hosting, const QString& playerName,
                                const std::optional<LobbyAddress>& lobby)
{
    if (!onTheInternet(hosting))
        closeLobbyGame();
    setVisible(hosting == Hosting::LocalNetwork, playerName);
    if (onTheInternet(hosting) && lobby)
        hostOnLobby(*lobby, hosting == Hosting::InternetListed, playerName);
}

Hosting PlayController::hosting() const
{
    if (lobbyHosting_)
        return lobbyHosting_->game.room().listedPublicly() ? Hosting::InternetListed
                                                           : Hosting::InternetByInvitation;
    return visible_ ? Hosting::LocalNetwork : Hosting::Unseen;
}

bool PlayController::lobbyPlayersInGame() const
{
    return lobbyHosting_ && lobbyHosting_->game.room().participants() > 0;
}

void PlayController::hostWent()
{
    const bool removed = session_.removedByHost();
    leave();
    Q_EMIT notice(removed ? QStringLiteral("You were removed from the game.")
                          : QStringLiteral("The host has left, and the game is over."));
    hostOwnGame();
}

void PlayController::rememberVisible(bool visible, const QString& playerName)
{
    visible_ = visible;
    if (!playerName.isEmpty())
        visibleName_ = playerName;
}

void PlayController::setVisible(bool visible, const QString& playerName)
{
    rememberVisible(visible, playerName);
    if (!visible) {
        if (visibleHost_ != nullptr)
            visibleHost_->hide();
        return;
    }
    if (session_.isHost()) {
        showHostedGame();
        return;
    }
    // In somebody else's game, hosting here means leaving it for a game of one's own.
    leave();
    host(visibleName_); // shown once the player is seated
}

void PlayController::showHostedGame()
{
    if (visibleHost_ == nullptr || !visible_ || !session_.isHost() || host_.listeningPort() == 0)
        return;
    // Others would see the solo game's "You" in their roster and their tally: while the player
    // is alone, the game starts afresh under the name they will see, and is shown once seated.
    // Not from inside the session's own signal.
    if (session_.playerName() == kSoloName && !visibleName_.isEmpty() && visibleName_ != kSoloName &&
        !session_.gameRunning() && !othersInHostedGame()) {
        QMetaObject::invokeMethod(
            this,
            [this] {
                leave();
                host(visibleName_);
            },
            Qt::QueuedConnection);
        return;
    }
    if (!visibleHost_->show(session_.playerName()))
        Q_EMIT visibilityFailed(
            QStringLiteral("Others cannot find your game: %1").arg(visibleHost_->error()));
}

void PlayController::startGame(const QByteArray& secondsPerTurn, bool teamGame, int computerPlayers,
                               Level level)
{
    // The computer players are made at the first start that asks for any.
    if (computers_ == nullptr && computerPlayers == 0) {
        session_.startGame(secondsPerTurn, teamGame);
        return;
    }
    if (computers_ == nullptr)
        computers_ = std::make_unique<ComputerOpponents>(session_.version());
    // A player that cannot join gives up and is no longer waited for, so ready() comes either
    // way. A second start asked for meanwhile replaces the first.
    disconnect(startWhenSeated_);
    startWhenSeated_ = connect(
        computers_.get(), &ComputerOpponents::ready, this,
        [this, secondsPerTurn, teamGame] { session_.startGame(secondsPerTurn, teamGame); },
        Qt::SingleShotConnection);
    computers_->seat(computerPlayers, level, [address = session_.hostAddress(), port = session_.hostPort()] {
        return std::make_unique<AddressRoute>(address, port);
    });
}

int PlayController::ownComputerPlayers() const
{
    return computers_ != nullptr ? computers_->count() : 0;
}

bool PlayController::othersInHostedGame() const
{
    // The program's own computer players lose nothing.
    const bool othersPlay = session_.opponentNames().size() > ownComputerPlayers();
    return session_.isHost() && (othersPlay || !session_.spectators().isEmpty());
}

void PlayController::tellMissedWords()
{
    if (!showMissedWords)
        return;
    QList<QByteArray> played;
    for (const QString& word : session_.seat(session_.localSlot()).words)
        played << word.toLatin1().toLower();
    const QString line = MissedWords::of(solver_, session_.frameLetters(), played).line();
    if (!line.isEmpty())
        Q_EMIT missedWords(line);
}

void PlayController::countInTally(const GameResult& result)
{
    if (tally_ == nullptr)
        return;
    if (Rules::isPerfectGame(result.ownTotal))
        tally_->countPerfectGame();
    if (result.winners.size() == 1 && result.winners.front() == result.ownSlot)
        tally_->countGameWon();
    else if (result.soleWinnerName)
        tally_->countGameWonBy(*result.soleWinnerName);
    tally_->addFinalScore(result.ownTotal);
}
