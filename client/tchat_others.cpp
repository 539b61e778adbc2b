// The main window and other people's games: the "Play with Others" window's choices go to the
// controller, and what the controller reports comes back to the player.
#include "chatpane.h"
#include "faultreport.h"
#include "gameaddress.h"
#include "hostingchoice.h"
#include "hostingfailedbox.h"
#include "internetpanel.h"
#include "playcontroller.h"
#include "playwithothers.h"
#include "tchat.h"

#include <QMessageBox>
#include <QPushButton>
#include <QScreen>

#include <algorithm>

namespace {

const QString kLeavingEndsTheirGame =
    QStringLiteral("Others are in the game you host, and leaving it ends it for them. Leave anyway?");

} // namespace

void Tchat::setOthers(PlayWithOthers& window)
{
    others_ = &window;
    connect(others_, &PlayWithOthers::joinRequested, this,
            [this](const QString& name, const GameAddress& where) {
                FaultReport::guard([&] { joinElsewhere(name, where); });
            });
    connect(others_, &PlayWithOthers::hostingChosen, this, [this](Hosting hosting, const QString& name) {
        FaultReport::guard([&] { hostingChosen(hosting, name); });
    });
    connect(&others_->internet(), &InternetPanel::joinRequested, this,
            [this](const LobbyAddress& lobby, const InviteCode& code) {
                FaultReport::guard([&] { joinByCode(lobby, code); });
            });
}

void Tchat::followPlay()
{
    connect(play_, &PlayController::notice, this,
            [this](const QString& text) { chatPane().addLine(text, noticeColour); });
    connect(play_, &PlayController::missedWords, this,
            [this](const QString& line) { chatPane().addLine(line, QColor(0, 128, 0)); });
    connect(play_, &PlayController::soloGameStarted, this, [this] {
        if (download_ != nullptr)
            download_->show(); // the way to games with others
    });
    connect(play_, &PlayController::joinFailed, this, [this](const QString& why) {
        chatPane().addLine(why, noticeColour);
        if (others_ != nullptr)
            others_->showFailure(why);
    });
    connect(play_, &PlayController::withoutGame, this, [this](const QString& why) {
        chatPane().addLine(why, noticeColour);
        showOthers();
    });
    connect(play_, &PlayController::visibilityFailed, this, [this](const QString& why) {
        if (others_ != nullptr)
            others_->showFailure(why);
    });
    connect(play_, &PlayController::lobbyGameOpened, this, [this](const InviteCode& code) {
        chatPane().addLine(
            QStringLiteral("Friends join your game with its invite code, %1.").arg(code.shown()),
            noticeColour);
        if (others_ != nullptr)
            others_->hostingChoice().showInviteCode(code);
    });
    connect(play_, &PlayController::lobbyGameFailed, this, [this](const QString& why) {
        chatPane().addLine(why, noticeColour);
        if (others_ != nullptr) {
            others_->showHosting(play_->hosting()); // off the internet
            others_->showFailure(why);
        }
    });
    connect(play_, &PlayController::reconnectingChanged, this, &Tchat::showReconnecting);
    connect(play_, &PlayController::hostingFailed, this, [this](const QString& why, bool gameHoldsIt) {
        FaultReport::guard([&] { hostingFailed(why, gameHoldsIt); });
    });
}

void Tchat::showOthers()
{
    if (others_ == nullptr)
        return;
    if (others_->isHidden()) {
        // Over the main window, but whole on its screen: the window is taller than the board.
        QRect place = others_->frameGeometry();
        place.moveCenter(frameGeometry().center());
        const QRect screen = this->screen()->availableGeometry();
        place.moveLeft(
            std::clamp(place.left(), screen.left(), std::max(screen.left(), screen.right() - place.width())));
        place.moveTop(
            std::clamp(place.top(), screen.top(), std::max(screen.top(), screen.bottom() - place.height())));
        others_->move(place.topLeft());
    }
    others_->show();
    others_->raise();
    others_->activateWindow();
}

void Tchat::hostingFailed(const QString& why, bool gameHoldsIt)
{
    chatPane().addLine(why, noticeColour);
    const AfterHostingFailed choice = askAfterHostingFailed(this, why, gameHoldsIt);
    const QString name = others_ != nullptr && !others_->playerName().isEmpty() ? others_->playerName()
                                                                                : PlayController::kSoloName;
    switch (choice) {
    case AfterHostingFailed::Retry:
        // Tried again once this box is gone, so that tries do not pile up boxes on the stack.
        QMetaObject::invokeMethod(
            this, [this, name] { play_->host(name); }, Qt::QueuedConnection);
        break;
    case AfterHostingFailed::JoinGameHere:
        play_->joinLocalGame(name);
        break;
    case AfterHostingFailed::PlayWithOthers:
        showOthers();
        break;
    }
}

void Tchat::showReconnecting(bool reconnecting)
{
    if (reconnecting_ == nullptr) {
        reconnecting_ =
            new QMessageBox(QMessageBox::Information, windowTitle(),
                            QStringLiteral("Connection lost; reconnecting…"), QMessageBox::NoButton, this);
        reconnecting_->setObjectName(QStringLiteral("reconnecting"));
        reconnecting_->setWindowModality(Qt::NonModal); // the board stays as it was, to look at
        QPushButton* stop = reconnecting_->addButton(QStringLiteral("Stop"), QMessageBox::RejectRole);
        connect(stop, &QPushButton::clicked, play_, &PlayController::stopReconnecting);
    }
    reconnecting_->setVisible(reconnecting);
}

void Tchat::joinElsewhere(const QString& playerName, const GameAddress& where)
{
    if (play_->isInGameAt(where)) {
        others_->showFailure(QStringLiteral("You are in that game already."));
        return;
    }
    if (othersWouldLoseTheirGame(kLeavingEndsTheirGame))
        return;
    settings_.playerName = playerName;
    settings_.joinAddress = others_->address();
    saveinifile(); // the name and the address, before the game's settings are read again
    others_->hide();
    chatPane().addLine(QStringLiteral("Loading Multi-player Game.. Please Wait."), noticeColour);
    play_->join(playerName, where); // the game goes on until the new host gives a place
}

void Tchat::openLink(const QString& link)
{
    const std::optional<InviteCode> code = InviteCode::fromJoinLink(link);
    if (!code || others_ == nullptr)
        return;
    InternetPanel& internet = others_->internet();
    internet.setCode(*code);
    const std::optional<LobbyAddress> lobby = LobbyAddress::parse(internet.lobbyText());
    if (!lobby) {
        showOthers();
        others_->showFailure(QStringLiteral("Type the internet lobby's address, then join %1 with its code.")
                                 .arg(code->shown()));
        return;
    }
    joinByCode(*lobby, *code);
}

void Tchat::joinByCode(const LobbyAddress& lobby, const InviteCode& code)
{
    if (othersWouldLoseTheirGame(kLeavingEndsTheirGame))
        return;
    const QString name = InternetLobby::fitName(others_->playerName());
    if (name.isEmpty()) {
        others_->showFailure(QStringLiteral("Type the name the others will see first."));
        return;
    }
    settings_.playerName = name;
    settings_.lobbyAddress = others_->internet().lobbyText();
    saveinifile();
    others_->hide(); // as for a game at an address: a failure brings it back with the reason
    chatPane().addLine(QStringLiteral("Joining %1…").arg(code.shown()), noticeColour);
    play_->joinByCode(name, lobby, code); // the game goes on until the new host gives a place
}

void Tchat::hostingChosen(Hosting hosting, const QString& playerName)
{
    const QString name = onTheInternet(hosting) ? InternetLobby::fitName(playerName) : playerName;
    if (hosting != Hosting::Unseen && name.isEmpty()) {
        others_->showHosting(play_->hosting());
        others_->showFailure(QStringLiteral("Type the name the others will see first."));
        return;
    }
    if (!hostingMayChange(hosting)) {
        others_->showHosting(play_->hosting());
        return;
    }
    const std::optional<LobbyAddress> lobby =
        onTheInternet(hosting) ? others_->internet().chosenLobby() : std::nullopt;
    settings_.playerName = name;
    settings_.hostHere = hosting == Hosting::LocalNetwork;
    settings_.lobbyAddress = others_->internet().lobbyText();
    saveinifile();
    if (lobby && !onTheInternet(play_->hosting()))
        others_->hostingChoice().showOpening(lobby->domain); // until the code comes
    play_->setHosting(hosting, name, lobby);
    others_->showHosting(play_->hosting());
}

bool Tchat::hostingMayChange(Hosting hosting)
{
    auto agrees = [this](const QString& question) {
        // Over Play with Others, where the choice was made.
        return QMessageBox::question(others_, windowTitle(), question) == QMessageBox::Yes;
    };
    // In somebody else's game, hosting here means leaving it for a game of one's own.
    if (hosting != Hosting::Unseen && !session_.isHost() && session_.loggedIn())
        return agrees(QStringLiteral("To host here you leave the game you are in. Leave it?"));
    if (onTheInternet(play_->hosting()) && !onTheInternet(hosting) && play_->lobbyPlayersInGame())
        return agrees(QStringLiteral("Those who came in through the internet lobby would leave the game. "
                                     "Stop hosting on the internet?"));
    return true;
}
