// The main window's options and their settings file, shared with the lobby.
#include "chatpane.h"
#include "colorvalue.h"
#include "faultreport.h"
#include "gamesettings.h"
#include "internetpanel.h"
#include "optionsmenu.h"
#include "playcontroller.h"
#include "playwithothers.h"
#include "tchat.h"
#include "tgamestart.h"

#include <QAction>
#include <QMenu>
#include <QScreen>

namespace {

// The options the board plays by.
PlayOptions playOptionsOf(const GameSettings& settings)
{
    return {.typeWords = settings.typeWords,
            .spaceShuffles = settings.spaceSorts,
            .newTurnSound = settings.turnSound == 1,
            .showRefusedWord = settings.showBadWord,
            .clearRefusedWord = settings.clearBadWords};
}

} // namespace

void Tchat::loadinifile()
{
    GameSettings stored = readGameSettings(IniFile(settingsPath_));
    settingsLoaded_ = true;
    for (std::size_t index = 0; index < stored.phrases.size(); ++index) {
        if (stored.phrases[index].isEmpty())
            stored.phrases[index] = settings_.phrases[index]; // the button keeps the phrase it has
    }
    settings_ = stored;
    savedGeometry_ = QRect(stored.left, stored.top, stored.width, stored.height);
    move(stored.left, stored.top);
    resize(stored.width, stored.height);
    savedGeometry_.setSize(size()); // the window may not go below its minimum size

    if (gamestart_ != nullptr) {
        gamestart_->showChoices(stored);
        gamestart_->keepChoices(settings_); // as the dialog brought them into its ranges
    }
    applySettings();
    play_->rememberVisible(stored.hostHere, stored.playerName);
    if (others_ != nullptr) {
        // The settings are read again at every game joined: the window shows what is in effect.
        others_->remember(stored.playerName, stored.joinAddress, play_->hosting());
        others_->internet().setLobbyText(stored.lobbyAddress);
    }
}

void Tchat::applySettings()
{
    options_->showSettings();
    ChatPane& pane = chatPane();
    pane.setTextSize(settings_.textSize);
    pane.setEntryColour(ColorValue::toQColor(settings_.textColour));
    pane.setPhrases(settings_.phrases);
    session_.options = playOptionsOf(settings_);
    showWhereKeysGo();
    if (play_ != nullptr)
        play_->showMissedWords = settings_.showMissedWords;
}

void Tchat::optionChosen()
{
    applySettings();
    saveinifile();
}

void Tchat::saveinifile()
{
    saveSettings(QRect(x(), y(), width(), height()));
}

void Tchat::saveSettings(const QRect& geometry)
{
    if (settingsPath_.isEmpty() || !settingsLoaded_)
        return;
    settings_.top = geometry.top();
    settings_.left = geometry.left();
    settings_.width = geometry.width();
    settings_.height = geometry.height();
    writeGameSettings(IniFile(settingsPath_), settings_);
}

void Tchat::TextColor1Click()
{
    if (const auto chosen =
            pickColour(ColorValue::toQColor(settings_.textColour), QStringLiteral("Text Color"))) {
        settings_.textColour = ColorValue::fromQColor(*chosen);
        optionChosen();
    }
}

void Tchat::ActionColor1Click()
{
    if (const auto chosen =
            pickColour(ColorValue::toQColor(settings_.actionColour), QStringLiteral("Action Color")))
        settings_.actionColour = ColorValue::fromQColor(*chosen);
    saveinifile(); // saved whether or not a colour was chosen
}

void Tchat::ResetLocation1Click()
{
    const GameSettings fresh;
    move(fresh.left, fresh.top);
    resize(fresh.width, fresh.height);
}

void Tchat::FormClose()
{
    const QRect now(x(), y(), width(), height());
    if (now == savedGeometry_)
        return;
    QRect kept = now;
    if (const QScreen* where = screen()) {
        // One step in from the edges of a window larger than the work area.
        const QRect work = where->availableGeometry();
        if (kept.width() > work.width())
            kept.setWidth(kept.width() - 15);
        if (kept.height() > work.height())
            kept.setHeight(kept.height() - 15);
    }
    savedGeometry_ = kept;
    saveSettings(kept);
}
