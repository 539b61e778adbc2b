// The main window's options and their settings file, shared with the lobby.
#include "colorvalue.h"
#include "faultreport.h"
#include "gamesettings.h"
#include "level.h"
#include "playwithothers.h"
#include "tchat.h"
#include "tgamestart.h"

#include <QAction>
#include <QActionGroup>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QTextEdit>

namespace {

// Checks the item of a radio group whose number is `tag`; the others keep their marks.
void choose(QAction* owner, int tag)
{
    owner->setData(tag);
    for (QAction* item : owner->menu()->actions()) {
        if (item->data().toInt() == tag)
            item->setChecked(true);
    }
}

} // namespace

void Tchat::loadinifile()
{
    const GameSettings stored = readGameSettings(IniFile(settingsPath_));
    settingsLoaded_ = true;
    savedGeometry_ = QRect(stored.left, stored.top, stored.width, stored.height);
    move(stored.left, stored.top);
    resize(stored.width, stored.height);
    savedGeometry_.setSize(size()); // the window may not go below its minimum size

    applyTextSize(stored.textSize);
    textColour_ = stored.textColour;
    actionColour_ = stored.actionColour;
    setChatColour(textColour_);

    if (gamestart_ != nullptr) {
        if (stored.timePerTurn)
            gamestart_->setTimePerTurn(*stored.timePerTurn);
        if (stored.computerPlayers)
            gamestart_->setComputerPlayers(*stored.computerPlayers);
        gamestart_->setComputerLevel(Levels::fromName(stored.computerLevel).value_or(Levels::kDefault));
    }
    choose(timebetween, stored.secondsBetweenRounds);

    for (std::size_t index = 0; index < stored.phrases.size(); ++index) {
        if (!stored.phrases[index].isEmpty())
            b_phrase[index + 1]->setToolTip(stored.phrases[index]);
    }
    TypeWords1->setChecked(stored.typeWords);
    usespace->setChecked(stored.spaceSorts);
    showbadword->setChecked(stored.showBadWord);
    showmissedwords->setChecked(stored.showMissedWords);
    clearwords1->setChecked(stored.clearBadWords);
    choose(TurnSound1, stored.turnSound);
    session_.options.newTurnSound = stored.turnSound == 1;
    PlaySounds1->setChecked(stored.playSounds);
    if (others_ != nullptr)
        others_->remember(stored.playerName, stored.joinAddress, stored.hostHere);
}

void Tchat::saveinifile()
{
    saveSettings(QRect(x(), y(), width(), height()));
}

void Tchat::saveSettings(const QRect& geometry)
{
    if (settingsPath_.isEmpty() || !settingsLoaded_)
        return;
    std::optional<int> computerPlayers;
    QString computerLevel;
    if (gamestart_ != nullptr) {
        computerPlayers = gamestart_->computerPlayers();
        computerLevel = Levels::nameOf(gamestart_->computerLevel());
    }
    writeGameSettings(IniFile(settingsPath_),
                      {.top = geometry.top(),
                       .left = geometry.left(),
                       .width = geometry.width(),
                       .height = geometry.height(),
                       .textSize = mainchat->font().pointSize(),
                       .textColour = textColour_,
                       .actionColour = actionColour_,
                       .timePerTurn = gamestart_ != nullptr ? gamestart_->timePerTurn() : 60,
                       .turnSound = TurnSound1->data().toInt(),
                       .secondsBetweenRounds = timebetween->data().toInt(),
                       .typeWords = TypeWords1->isChecked(),
                       .spaceSorts = usespace->isChecked(),
                       .showBadWord = showbadword->isChecked(),
                       .clearBadWords = clearwords1->isChecked(),
                       .playSounds = PlaySounds1->isChecked(),
                       .showMissedWords = showmissedwords->isChecked(),
                       .computerPlayers = computerPlayers,
                       .computerLevel = computerLevel,
                       .playerName = others_ != nullptr ? others_->playerName() : QString(),
                       .joinAddress = others_ != nullptr ? others_->address() : QString(),
                       .hostHere = others_ != nullptr && others_->hostHere()});
}

void Tchat::applyTextSize(int points)
{
    QFont font = mainchat->font();
    font.setPointSize(std::max(1, points));
    mainchat->setFont(font);
    for (QAction* item : textSizes_->actions())
        item->setChecked(item->data().toInt() == points);
    TextSize1->setData(points);
}

void Tchat::setChatColour(quint32 colour)
{
    QPalette text = mychat->palette();
    text.setColor(QPalette::Text, ColorValue::toQColor(colour));
    mychat->setPalette(text);
}

void Tchat::TextColor1Click()
{
    if (const auto chosen = pickColour(ColorValue::toQColor(textColour_), QStringLiteral("Text Color"))) {
        textColour_ = ColorValue::fromQColor(*chosen);
        setChatColour(textColour_);
        saveinifile();
    }
}

void Tchat::ActionColor1Click()
{
    if (const auto chosen = pickColour(ColorValue::toQColor(actionColour_), QStringLiteral("Action Color")))
        actionColour_ = ColorValue::fromQColor(*chosen);
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
