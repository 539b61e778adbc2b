// The main window's roster and score sheet, drawn from the session.
#include "picturebutton.h"
#include "playcontroller.h"
#include "scorecard.h"
#include "tchat.h"
#include "tgamestart.h"
#include "tspylist.h"

#include <QAction>
#include <QLabel>

namespace {

const QColor kRosterColour(221, 0, 0);

} // namespace

void Tchat::drawRoster()
{
    const bool teamGame = session_.teamGame();
    int taken = 0;
    for (int slot = 1; slot <= kPlayerSlots; ++slot) {
        const Seat& seat = session_.seat(slot);
        taken += seat.taken ? 1 : 0;
        label_playername[slot]->setText(seat.taken ? seat.name : QStringLiteral("<Waiting>"));
        label_score[slot]->setText(QString::number(seat.score));
        image_eyes[slot]->setVisible(seat.watching);
        image_winner[slot]->setVisible(session_.winners().contains(slot));
        for (int line = 1; line <= 3; ++line)
            label_word[static_cast<std::size_t>(slot)][static_cast<std::size_t>(line)]->setText(
                seat.words[static_cast<std::size_t>(line - 1)]);
        const QColor colour = teamGame && slot % 2 == 1 ? QColor(Qt::black) : kRosterColour;
        for (QLabel* label : {label_playername[slot], label_score[slot]}) {
            QPalette text = label->palette();
            text.setColor(QPalette::WindowText, colour);
            label->setPalette(text);
        }
    }
    label_teamgame->setText(teamGame ? QStringLiteral("Team Game") : QStringLiteral("Good Luck!"));
    JustWatch1->setChecked(session_.seat(session_.localSlot()).watching);
    button_start->setVisible(session_.leads() && !session_.gameRunning());
    StartGame1->setEnabled(session_.leads());
    if (spylist_ != nullptr) {
        spylist_->setSpies(session_.spectators());
        spylist_->setRemoveEnabled(session_.leads());
    }
    if (gamestart_ != nullptr) {
        gamestart_->setFreePlaces(kPlayerSlots - taken + play_->ownComputerPlayers());
    }
}

void Tchat::drawGameStart()
{
    const int seconds = session_.secondsPerTurn();
    label_timeperturn->setText(QStringLiteral("Time Per Turn: %1 s.").arg(seconds));
}
