// The main window and its session: start-up from the command line, hosting or joining, what
// the session reports, the roster's menu, and the end of the connection.
#include "colorvalue.h"
#include "computeropponents.h"
#include "faultreport.h"
#include "gamesettings.h"
#include "hostedgame.h"
#include "missedwords.h"
#include "picturebutton.h"
#include "soundplayer.h"
#include "tabout.h"
#include "tchat.h"
#include "tgamestart.h"
#include "tphrases.h"
#include "tserver.h"
#include "tspylist.h"
#include "ttallylist.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>

void Tchat::followSession()
{
    const auto guardedSlot = [](auto draw) { return [draw] { FaultReport::guard(draw); }; };
    connect(&session_, &GameSession::rosterChanged, this, guardedSlot([this] { drawRoster(); }));
    connect(&session_, &GameSession::boardChanged, this, guardedSlot([this] { drawBoard(); }));
    connect(&session_, &GameSession::clockTicked, this, guardedSlot([this] { drawClock(true); }));
    connect(&session_, &GameSession::gameStarted, this, guardedSlot([this] { drawGameStart(); }));
    connect(&session_, &GameSession::lineAdded, this, [this](const QString& text, quint32 colour) {
        addlinetochat(text, ColorValue::toQColor(colour));
    });
    connect(&session_, &GameSession::sound, this, [this](const QString& name) { playsounds(name); });
    connect(&session_, &GameSession::seated, this, guardedSlot([this] {
        joiningFromWindow_ = false;
        loadinifile();
        showHostedGame();
    }));
    connect(&session_, &GameSession::optionsChanged, this, guardedSlot([this] {
        settings_.typeWords = session_.options.typeWords;
        optionChosen();
    }));
    connect(&session_, &GameSession::ownStrike, this, [this] {
        if (tally_ != nullptr)
            tally_->tally().countStrike();
    });
    connect(&session_, &GameSession::gameEnded, this,
            [this](const GameResult& result) { countInTally(result); });
    connect(&session_, &GameSession::gameFull, this, [this] {
        if (joiningFromWindow_)
            joinFailed(QStringLiteral("Game is full"));
        else
            gameIsFull();
    });
    connect(&session_, &GameSession::frameEnded, this, guardedSlot([this] { tellMissedWords(); }));
    connect(&session_, &GameSession::connectionFailed, this, [this](const QString& why) {
        if (joiningFromWindow_)
            joinFailed(why);
        else
            offerRetry(why, [this] { session_.retry(); });
    });
    connect(&session_, &GameSession::connectionClosed, this, &QWidget::close);
}

void Tchat::tellMissedWords()
{
    if (!settings_.showMissedWords)
        return;
    static const QColor kMissedWordsColour(0, 128, 0);
    QList<QByteArray> played;
    for (const QString& word : session_.seat(session_.localSlot()).words)
        played << word.toLatin1().toLower();
    const QString line = MissedWords::of(solver_, session_.frameLetters(), played).line();
    if (!line.isEmpty())
        addlinetochat(line, kMissedWordsColour);
}

void Tchat::setCompanions(TServer& host, Tgamestart& gamestart, Tphrases& phrases, Tspylist& spylist)
{
    host_ = &host;
    gamestart_ = &gamestart;
    phrases_ = &phrases;
    spylist_ = &spylist;
    connect(spylist_, &Tspylist::removeRequested, this,
            [this](int slot) { FaultReport::guard([&] { kicking(slot); }); });
    connect(phrases_, &Tphrases::phrasesChosen, this, [this](const QStringList& chosen) {
        for (std::size_t k = 0; k < settings_.phrases.size(); ++k)
            settings_.phrases[k] = chosen.value(static_cast<qsizetype>(k));
        applySettings();
        if (!settingsPath_.isEmpty())
            writePhrases(IniFile(settingsPath_), settings_.phrases);
    });
    connect(gamestart_, &Tgamestart::startRequested, this, [this](const QByteArray& seconds, bool team) {
        FaultReport::guard([&] { startRequested(seconds, team); });
    });
}

void Tchat::setAbout(Tabout& about)
{
    about_ = &about;
}

void Tchat::setTally(Ttallylist& tally)
{
    tally_ = &tally;
}

void Tchat::loadchecklist()
{
    if (tally_ != nullptr)
        tally_->tally().setPlayersInGame(session_.opponentNames());
}

void Tchat::processparams(const QStringList& params)
{
    paramsProcessed_ = true; // the command line is read once
    button_start->hide();
    StartGame1->setEnabled(false);
    if (params.isEmpty()) {
        addlinetochat(QStringLiteral("Loading Solo Game..Please wait."), noticeColour);
        // Alone, the first game is a match against a computer player, unless the settings
        // hold another choice.
        if (gamestart_ != nullptr)
            gamestart_->setComputerPlayers(1);
        // The way to games with others, unless there is no game at all.
        if (host(kSoloName) && download_ != nullptr)
            download_->show();
        return;
    }
    addlinetochat(QStringLiteral("Loading Multi-player Game.. Please Wait."), noticeColour);
    if (params.size() < 3)
        return;
    if (params[2] == QStringLiteral("true"))
        host(params[0]);
    else
        session_.connectTo(params[1], gamePort_, params[0], false);
    Sock11.open();
}

bool Tchat::host(const QString& playerName)
{
    try {
        hostGame(*host_, session_, gamePort_, playerName);
        return true;
    } catch (const ESockException& error) {
        const QString why =
            QString::fromStdString(error.what()).contains(QLatin1String("Binding"))
                ? QStringLiteral("Could not host a game on port %1: another program holds it. "
                                 "Close that program and try again, or start Pinfall with "
                                 "PINFALL_PORT set to a free port.")
                      .arg(gamePort_)
                : QStringLiteral("Could not host a game on port %1: %2.")
                      .arg(gamePort_, QString::fromStdString(error.what()));
        offerRetry(why, [this, playerName] { host(playerName); });
        return false;
    }
}

void Tchat::offerRetry(const QString& why, const std::function<void()>& again)
{
    addlinetochat(why, noticeColour);
    const auto answer = QMessageBox::warning(this, windowTitle(), why,
                                             QMessageBox::Retry | QMessageBox::Close, QMessageBox::Retry);
    // Tried again once this box is gone, so that tries do not pile up boxes on the stack.
    if (answer == QMessageBox::Retry)
        QMetaObject::invokeMethod(this, again, Qt::QueuedConnection);
    else
        close();
}

void Tchat::JustWatch1Click()
{
    const int own = session_.localSlot();
    session_.setWatching(own, !session_.seat(own).watching);
}

void Tchat::label_playername1ContextPopup(int slot)
{
    for (QAction* item : {RemoveFromGame1, SettoJustWatch1, UnsetJustWatch1})
        item->setEnabled(session_.leads());
    if (!session_.seat(slot).taken)
        RemoveFromGame1->setEnabled(false);
    popupSlot_ = slot;
}

void Tchat::RemoveFromGame1Click()
{
    kicking(popupSlot_);
}

void Tchat::SettoJustWatch1Click()
{
    session_.setWatching(popupSlot_, true);
}

void Tchat::UnsetJustWatch1Click()
{
    session_.setWatching(popupSlot_, false);
}

void Tchat::kicking(int slot)
{
    session_.remove(slot);
}

void Tchat::button_startClick()
{
    if (!session_.loggedIn()) {
        QMessageBox::information(this, windowTitle(), QStringLiteral("You are not connected"));
        return;
    }
    if (session_.gameRunning() &&
        QMessageBox::question(this, windowTitle(),
                              QStringLiteral("A game is under way. Start a new one and end this one?")) !=
            QMessageBox::Yes)
        return;
    gamestart_->show();
    gamestart_->raise();
    gamestart_->activateWindow();
}

void Tchat::startRequested(const QByteArray& secondsPerTurn, bool teamGame)
{
    takeStartChoices();
    saveinifile();
    const int wanted = gamestart_->computerPlayers();
    // The computer players are made at the first start that asks for any.
    if (computers_ == nullptr && wanted == 0) {
        session_.startGame(secondsPerTurn, teamGame);
        return;
    }
    if (computers_ == nullptr)
        computers_ = std::make_unique<ComputerOpponents>(Tabout::version());
    // A player that cannot join gives up and is no longer waited for, so ready() comes either
    // way. A second start asked for meanwhile replaces the first.
    disconnect(startWhenSeated_);
    startWhenSeated_ = connect(
        computers_.get(), &ComputerOpponents::ready, this,
        [this, secondsPerTurn, teamGame] {
            FaultReport::guard([&] { session_.startGame(secondsPerTurn, teamGame); });
        },
        Qt::SingleShotConnection);
    computers_->seat(wanted, gamestart_->computerLevel(), session_.hostAddress(), session_.hostPort());
}

int Tchat::ownComputerPlayers() const
{
    return computers_ != nullptr ? computers_->count() : 0;
}

void Tchat::gameIsFull()
{
    QMessageBox::information(this, windowTitle(), QStringLiteral("Game is full"));
    close();
}

void Tchat::playsounds(const QString& name)
{
    if (sounds_ != nullptr && settings_.playSounds)
        sounds_->play(name);
}
