// The main window's board: the rack, the word row, the turn's controls and clock, drawn from
// the session; the player's clicks and keys go to it.
#include "artwork.h"
#include "picturebutton.h"
#include "scorecard.h"
#include "tchat.h"

#include <QAction>
#include <QLabel>

namespace {

constexpr int kRackTop = 289;
constexpr int kChosenTop = 282;
constexpr int kTimeBarWidth = 97;

// The picture of a letter on a tile: "a" to "z" give 1 to 26; anything else has none.
int numofletter(char letter)
{
    return letter >= 'a' && letter <= 'z' ? letter - 'a' + 1 : 0;
}

int pictureOf(const Rack::WordCell& cell, int place)
{
    switch (cell.shows) {
    case Rack::WordCell::Shows::Tile:
        return numofletter(cell.letter);
    case Rack::WordCell::Shows::FallenPin:
        return Artwork::kFallenPin;
    case Rack::WordCell::Shows::StandingPin:
        break;
    }
    return Artwork::kFirstStandingPin + place - 1;
}

void showPicture(QLabel* place, int picture)
{
    place->setPixmap(Artwork::tile(picture));
}

} // namespace

void Tchat::drawBoard()
{
    const Rack& rack = session_.rack();
    for (int position = 1; position <= Rack::kTiles; ++position) {
        QLabel* tile = image_letters[static_cast<std::size_t>(position)];
        showPicture(tile, numofletter(rack.letterAt(position)));
        tile->move(kTileLefts[static_cast<std::size_t>(rack.placeOf(position))],
                   rack.chosen() == position ? kChosenTop : kRackTop);
        showPicture(image_word[static_cast<std::size_t>(position)],
                    pictureOf(rack.wordCell(position), position));
    }
    const bool myTurn = session_.myTurn();
    for (QWidget* button : {static_cast<QWidget*>(button_send), static_cast<QWidget*>(button_clear),
                            static_cast<QWidget*>(button_sort)})
        button->setVisible(myTurn);
    label_status->setText(session_.status());
    label_theword->setText(session_.wordsLine());
    panel_badword->setVisible(session_.refusalShown());
    image_noplay->setVisible(session_.sitsOutFrame());
    scorecard->update();
    if (!session_.clockRuns() && session_.secondsLeft() == 0)
        drawClock(false);
}

// The bar and the colour change as the clock ticks; the text also shows a clock set to nothing.
void Tchat::drawClock(bool ticking)
{
    const int seconds = session_.secondsLeft();
    if (ticking) {
        const int perTurn = std::max(1, session_.secondsPerTurn()); // a turn of no time still has a bar
        const int scale = perTurn < kTimeBarWidth ? kTimeBarWidth / perTurn : 1;
        // A clock beyond the bar's width fills it, however long it is.
        image_timer->resize(std::min(kTimeBarWidth, scale * std::min(seconds, kTimeBarWidth)),
                            image_timer->height());
    }
    if (ticking && seconds > 0) {
        QPalette clock = label_timer->palette();
        clock.setColor(QPalette::WindowText, seconds < 20 ? QColor(255, 0, 0) : QColor(224, 227, 157));
        label_timer->setPalette(clock);
    }
    label_timer->setText(
        QStringLiteral("Time: %1:%2").arg(seconds / 60).arg(seconds % 60, 2, 10, QLatin1Char('0')));
}

void Tchat::image_letters1MouseDown(int position, Qt::MouseButton button)
{
    session_.pressTile(position, button == Qt::LeftButton);
}

void Tchat::image_word1MouseUp(int slot)
{
    session_.takeBack(slot);
}

void Tchat::button_clearClick()
{
    session_.clearWord();
}

void Tchat::button_sortClick()
{
    session_.shuffle();
}

void Tchat::button_sendClick()
{
    session_.sendWord();
}

void Tchat::Image3Click()
{
    session_.dismissRefusal();
}

bool Tchat::FormShortCut(int key)
{
    return session_.pressKey(key);
}
