// The main window's turn: the deal on the rack, building a word on the word row by mouse or
// keyboard, sending it, the host's answers, and the turn clock.
#include "artwork.h"
#include "gamerules.h"
#include "messages.h"
#include "picturebutton.h"
#include "scorecard.h"
#include "tchat.h"
#include "ttallylist.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QRandomGenerator>

namespace {

constexpr int kRackTop = 289;
constexpr int kChosenTop = 282;
constexpr int kTimeBarWidth = 97;

int numofletter(QChar letter)
{
    return letter >= QLatin1Char('a') && letter <= QLatin1Char('z') ? letter.unicode() - 'a' + 1 : 0;
}

int tagOf(const QLabel* tile)
{
    return tile->property("Tag").toInt();
}

void moveTop(QLabel* tile, int top)
{
    tile->move(tile->x(), top);
}

} // namespace

void Tchat::showTurnButtons(bool shown)
{
    for (QWidget* button : {static_cast<QWidget*>(button_send), static_cast<QWidget*>(button_clear),
                            static_cast<QWidget*>(button_sort)})
        button->setVisible(shown);
}

void Tchat::setTimeBarScale(int secondsPerTurn)
{
    const int seconds = std::max(1, secondsPerTurn); // a turn of no time still has a bar
    timeBarScale_ = seconds < kTimeBarWidth ? kTimeBarWidth / seconds : 1;
}

void Tchat::theletters(FieldReader& fields)
{
    const int slot = fields.takeInt();
    placedcount = 0;
    selectedtile = 0;
    while (!fields.atEnd()) {
        const int position = fields.takeInt();
        const QString letter = QString::fromLatin1(fields.take()).left(1);
        if (position < 1 || position > 10)
            continue; // no such tile
        QLabel* tile = image_letters[static_cast<std::size_t>(position)];
        tile->setPixmap(Artwork::tile(letter.isEmpty() ? 0 : numofletter(letter[0])));
        tile->setProperty("Tag", position);
        tile->setToolTip(letter);
    }
    for (int k = 1; k <= 10; ++k) {
        moveTop(image_letters[static_cast<std::size_t>(k)], kRackTop);
        showTile(image_word[static_cast<std::size_t>(k)], Artwork::kFirstStandingPin + k - 1);
    }
    if (slot == localslot && slot != 0) {
        showTurnButtons(true); // a bonus set of frame 10: go on
        currentplayer = slot;
    }
}

void Tchat::getnextplayer(FieldReader& fields)
{
    const int slot = fields.takeInt();
    label_theword->setText(label_theword->toolTip());
    image_noplay->hide();
    panel_badword->hide();
    currentplayer = slot;
    for (int player = 1; player <= kPlayerSlots; ++player) {
        for (int line = 1; line <= 3; ++line)
            label_word[static_cast<std::size_t>(player)][static_cast<std::size_t>(line)]->clear();
    }
    if (slot == localslot) {
        label_status->setText(QStringLiteral("Create a word."));
        playsounds(TurnSound1->data().toInt() == 1 ? QStringLiteral("turnnew") : QStringLiteral("turn"));
        showTurnButtons(true);
    } else if (slot >= 1 && slot <= kPlayerSlots) {
        label_status->setText(label_playername[slot]->text() + QStringLiteral("'s turn."));
    }
    secondsleft = std::max(1, timePerTurnTag_);
    turntime.start();
}

void Tchat::boardActionStarts(const QString& status)
{
    panel_badword->hide();
    label_status->setText(status);
}

void Tchat::layTile(int position)
{
    QLabel* tile = image_letters[static_cast<std::size_t>(position)];
    if (placedcount >= 10 || tagOf(tile) == 0)
        return;
    ++placedcount;
    QLabel* slot = image_word[static_cast<std::size_t>(placedcount)];
    slot->setPixmap(tile->pixmap());
    slot->setProperty("Tag", position);
    slot->setToolTip(tile->toolTip());
    showTile(tile, 0); // a gap where the tile was
    playsounds(QStringLiteral("puttile"));
}

void Tchat::image_letters1MouseDown(int position, Qt::MouseButton button)
{
    if (currentplayer != localslot)
        return;
    boardActionStarts(QStringLiteral("Create a word."));
    QLabel* pressed = image_letters[static_cast<std::size_t>(position)];
    if (button == Qt::LeftButton && selectedtile == 0) {
        layTile(position);
    } else if (selectedtile > 0) {
        QLabel* chosen = image_letters[static_cast<std::size_t>(selectedtile)];
        if (tagOf(pressed) == selectedtile) {
            moveTop(chosen, kRackTop);
        } else {
            const int pressedLeft = pressed->x();
            pressed->move(chosen->x(), pressed->y());
            chosen->move(pressedLeft, kRackTop);
            playsounds(QStringLiteral("swap"));
        }
        selectedtile = 0;
    } else if (button == Qt::RightButton) {
        selectedtile = tagOf(pressed);
        moveTop(pressed, kChosenTop);
    }
}

void Tchat::takeBack(int slot)
{
    QLabel* word = image_word[static_cast<std::size_t>(slot)];
    const int position = tagOf(word);
    if (position >= 1 && position <= 10) {
        QLabel* tile = image_letters[static_cast<std::size_t>(position)];
        const QString letter = word->toolTip();
        tile->setPixmap(Artwork::tile(letter.isEmpty() ? 0 : numofletter(letter[0])));
        tile->setToolTip(letter);
        tile->setProperty("Tag", position);
        moveTop(tile, kRackTop);
    }
    showTile(word, Artwork::kFirstStandingPin + slot - 1);
}

void Tchat::image_word1MouseUp(int slot)
{
    if (currentplayer != localslot)
        return;
    boardActionStarts(QStringLiteral("Create a word."));
    if (placedcount == 0 || slot != placedcount)
        return;
    takeBack(placedcount);
    --placedcount;
    playsounds(QStringLiteral("unselect"));
}

void Tchat::takeBackAll()
{
    for (int k = 1; k <= placedcount; ++k)
        takeBack(k);
    placedcount = 0;
}

void Tchat::button_clearClick()
{
    boardActionStarts(QStringLiteral("Create a word."));
    if (placedcount == 0)
        return;
    takeBackAll();
    playsounds(QStringLiteral("clear"));
}

void Tchat::shuffleRack()
{
    for (int k = 1; k <= 10; ++k) {
        const int r = QRandomGenerator::global()->bounded(1, 11);
        if (r == k)
            continue;
        QLabel* one = image_letters[static_cast<std::size_t>(k)];
        QLabel* other = image_letters[static_cast<std::size_t>(r)];
        const int left = one->x();
        one->move(other->x(), kRackTop);
        other->move(left, kRackTop);
        selectedtile = 0;
    }
}

void Tchat::button_sortClick()
{
    if (currentplayer == localslot)
        shuffleRack();
}

void Tchat::button_sendClick()
{
    if (currentplayer != localslot)
        return;
    boardActionStarts(QStringLiteral("Checking Word.."));
    if (placedcount == 0)
        return;
    QList<int> positions;
    for (int k = 1; k <= placedcount; ++k)
        positions << tagOf(image_word[static_cast<std::size_t>(k)]);
    if (loggedin)
        sendToHost(ToHost::sendword(localslot, positions));
    currentplayer = 0;
    showTurnButtons(false);
}

void Tchat::Image3Click()
{
    boardActionStarts(QStringLiteral("Create a word."));
}

void Tchat::goodword(FieldReader& fields)
{
    const int slot = fields.takeInt();
    const int frame = fields.takeInt();
    fields.takeInt(); // the running score: the sheet shows the host's totals instead
    const int word = fields.takeInt();
    const int pins = fields.takeInt();
    if (slot != localslot || slot < 1 || slot > kPlayerSlots || frame < 1 || frame > Rules::kFrames ||
        word < 1 || word > 3)
        return;
    TFrameScore rolls = scorecard->framescores(slot, frame);
    (word == 1 ? rolls.roll1 : word == 2 ? rolls.roll2 : rolls.roll3) = pins;
    scorecard->setRolls(slot, frame, rolls.roll1, rolls.roll2, rolls.roll3);

    const bool tenth = frame == Rules::kFrames;
    const auto strike = [this] {
        playsounds(QStringLiteral("strike"));
        if (tally_ != nullptr)
            tally_->addtomineincrease(4);
    };
    if (word == 1 && pins == Rules::kPins) {
        label_status->setText(QStringLiteral("You got a Strike!"));
        strike();
    } else if (word <= 2 && Rules::makeTen(rolls.roll1, rolls.roll2)) {
        label_status->setText(QStringLiteral("You got a Spare!"));
        playsounds(QStringLiteral("goodword"));
    } else if (tenth && word == 3 && Rules::makeTen(rolls.roll2, rolls.roll3)) {
        playsounds(QStringLiteral("goodword"));
    } else if (tenth &&
               ((word == 2 && rolls.roll2 == Rules::kPins) || (word == 3 && rolls.roll3 == Rules::kPins))) {
        strike();
    } else {
        playsounds(QStringLiteral("goodword"));
        label_status->setText(QStringLiteral("You knocked down %1 pins.").arg(pins));
    }

    if (Rules::afterWord(frame, word, rolls) == Rules::Next::SameSet) {
        placedcount = 0;
        currentplayer = slot;
        showTurnButtons(true);
    }
    // The row's last `pins` pins fall; compared this way round, no count from the host overflows.
    for (int k = 1; k <= 10; ++k) {
        const bool fallen = word == 1 && pins > 10 - k;
        showTile(image_word[static_cast<std::size_t>(k)],
                 fallen ? Artwork::kFallenPin : Artwork::kFirstStandingPin + k - 1);
    }
}

void Tchat::worderror(FieldReader& fields)
{
    if (fields.takeInt() != localslot)
        return;
    currentplayer = localslot;
    showTurnButtons(true);
    playsounds(QStringLiteral("badword"));
    label_status->setText(QStringLiteral("Invalid Word"));
    if (showbadword->isChecked())
        panel_badword->show();
    if (clearwords1->isChecked())
        takeBackAll();
}

void Tchat::timeisup(FieldReader&)
{
    label_status->setText(QStringLiteral("Time is Up!"));
    turntime.stop();
    label_timer->setText(QStringLiteral("Time: 0:00"));
    playsounds(QStringLiteral("timeup"));
}

void Tchat::turntimeTimer()
{
    // This tick ends the turn when at most a second was left. Asked before counting down: the
    // host may have set the clock to any count, the lowest included.
    if (secondsleft <= 1) {
        turntime.stop();
        currentplayer = 0;
        showTurnButtons(false);
        secondsleft = 0;
        label_timer->setText(QStringLiteral("Time: 0:00"));
        label_status->setText(QStringLiteral("Time is Up"));
        image_timer->resize(0, image_timer->height());
        return;
    }
    --secondsleft;
    // A clock beyond the bar's width fills it, however long it is.
    image_timer->resize(std::min(kTimeBarWidth, timeBarScale_ * std::min(secondsleft, kTimeBarWidth)),
                        image_timer->height());
    QPalette clock = label_timer->palette();
    clock.setColor(QPalette::WindowText, secondsleft < 20 ? QColor(255, 0, 0) : QColor(224, 227, 157));
    label_timer->setPalette(clock);
    if (secondsleft == 20 || secondsleft == 15 || secondsleft <= 10)
        playsounds(QStringLiteral("time"));
    label_timer->setText(
        QStringLiteral("Time: %1:%2").arg(secondsleft / 60).arg(secondsleft % 60, 2, 10, QLatin1Char('0')));
}

bool Tchat::FormShortCut(int key)
{
    if (currentplayer != localslot)
        return false;
    if (key == Qt::Key_Tab) {
        TypeWords1->setChecked(!TypeWords1->isChecked());
        saveinifile();
        return true;
    }
    if (!TypeWords1->isChecked())
        return false;
    panel_badword->hide();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        button_sendClick();
    } else if (key == Qt::Key_Backspace) {
        if (placedcount >= 1)
            image_word1MouseUp(placedcount);
    } else if (key == Qt::Key_1) {
        button_clearClick();
    } else if (key == Qt::Key_6 || (key == Qt::Key_Space && usespace->isChecked())) {
        shuffleRack();
    } else if (key >= Qt::Key_A && key <= Qt::Key_Z) {
        const QString letter(QChar(key - Qt::Key_A + 'a'));
        // Tiles are searched by number, not by where they stand on the screen.
        for (int position = 1; position <= 10; ++position) {
            if (image_letters[static_cast<std::size_t>(position)]->toolTip() == letter) {
                image_letters1MouseDown(position, Qt::LeftButton);
                break;
            }
        }
    }
    return true;
}
