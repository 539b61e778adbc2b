// The main window and its session: start-up from the command line, what
// the session reports, the roster's menu and the start of a game.
#include "boardview.h"
#include "chatpane.h"
#include "colorvalue.h"
#include "faultreport.h"
#include "gamesettings.h"
#include "invitecode.h"
#include "playcontroller.h"
#include "soundplayer.h"
#include "tabout.h"
#include "tchat.h"
#include "tgamestart.h"
#include "tphrases.h"
#include "tspylist.h"

#include <QAction>
#include <QMenu>
#include <QMessageBox>

void Tchat::followSession()
{
    const auto guardedSlot = [](auto draw) { return [draw] { FaultReport::guard(draw); }; };
    connect(&session_, &GameSession::rosterChanged, this, guardedSlot([this] { drawRoster(); }));
    connect(&session_, &GameSession::boardChanged, this, guardedSlot([this] { showWhereKeysGo(); }));
    connect(&session_, &GameSession::lineAdded, this, [this](const QString& text, quint32 colour) {
        chatPane().addLine(text, ColorValue::toQColor(colour));
    });
    connect(&session_, &GameSession::sound, this, [this](const QString& name) { playsounds(name); });
    connect(&session_, &GameSession::seated, this, guardedSlot([this] { loadinifile(); }));
    connect(&session_, &GameSession::optionsChanged, this, guardedSlot([this] {
        settings_.typeWords = session_.options.typeWords;
        optionChosen();
    }));
}

void Tchat::followBoard()
{
    connect(board_, &BoardView::startClicked, this,
            [this] { FaultReport::guard([this] { button_startClick(); }); });
    connect(board_, &BoardView::logoClicked, this, [this] {
        if (about_ != nullptr)
            about_->Label7Click();
    });
    ChatPane& pane = chatPane();
    connect(&pane, &ChatPane::lineEntered, this,
            [this](const QString& text) { FaultReport::guard([&] { sendit(text); }); });
    connect(&pane, &ChatPane::phraseActed, this, [this](const QString& action) {
        FaultReport::guard([&] { session_.act(action, settings_.actionColour); });
    });
    connect(&pane, &ChatPane::keysWanted, this, [this] {
        settings_.typeWords = false;
        FaultReport::guard([this] { optionChosen(); });
    });
}

void Tchat::drawRoster()
{
    int taken = 0;
    for (int slot = 1; slot <= kPlayerSlots; ++slot)
        taken += session_.seat(slot).taken ? 1 : 0;
    JustWatch1->setChecked(session_.seat(session_.localSlot()).watching);
    StartGame1->setEnabled(session_.leads());
    if (spylist_ != nullptr) {
        spylist_->setSpies(session_.spectators());
        spylist_->setRemoveEnabled(session_.leads());
    }
    if (gamestart_ != nullptr)
        gamestart_->setFreePlaces(kPlayerSlots - taken + play_->ownComputerPlayers());
}

void Tchat::showWhereKeysGo()
{
    chatPane().setKeysToBoard(session_.myTurn() && session_.options.typeWords);
}

void Tchat::setCompanions(PlayController& play, Tgamestart& gamestart, Tphrases& phrases, Tspylist& spylist)
{
    play_ = &play;
    followPlay();
    gamestart_ = &gamestart;
    phrases_ = &phrases;
    spylist_ = &spylist;
    connect(spylist_, &Tspylist::removeRequested, this,
            [this](int slot) { FaultReport::guard([&] { session_.remove(slot); }); });
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

void Tchat::processparams(const QStringList& params)
{
    paramsProcessed_ = true; // the command line is read once
    // Alone, the first game is a match against a computer player, unless the settings hold
    // another choice.
    if (params.isEmpty() && gamestart_ != nullptr)
        gamestart_->setComputerPlayers(1);
    // Started by a join link: a game of one's own until the link's game gives a seat.
    if (params.size() == 1 && InviteCode::fromJoinLink(params.front())) {
        play_->start({});
        openLink(params.front());
        return;
    }
    play_->start(params);
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
    gamestart_->keepChoices(settings_);
    saveinifile();
    play_->startGame(secondsPerTurn, teamGame, gamestart_->computerPlayers(), gamestart_->computerLevel());
}

void Tchat::playsounds(const QString& name)
{
    if (sounds_ != nullptr && settings_.playSounds)
        sounds_->play(name);
}
