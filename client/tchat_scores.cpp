// The main window's score sheet messages: the end of a frame, the end of a game, and bringing
// a latecomer up to date. Every number shown comes from the host.
#include "artwork.h"
#include "hostmessages.h"
#include "messages.h"
#include "picturebutton.h"
#include "scorecard.h"
#include "tchat.h"
#include "ttallylist.h"

#include <QLabel>

namespace {

// The picture of a letter on a tile: "a" to "z" give 1 to 26; anything else has none.
int numofletter(char letter)
{
    return letter >= 'a' && letter <= 'z' ? letter - 'a' + 1 : 0;
}

bool isPlayerSlot(int slot)
{
    return slot >= 1 && slot <= Tchat::kPlayerSlots;
}

} // namespace

void Tchat::showTile(QLabel* place, int picture)
{
    place->setPixmap(Artwork::tile(picture));
    place->setProperty("Tag", 0);
    place->setToolTip(QString());
}

void Tchat::postscores(const FromHost::PostScores& scores)
{
    turntime.stop();
    label_status->setText(QStringLiteral("Posting Scores.. Please Wait."));
    const int frame = scores.frame;
    const QByteArray& answer = scores.answer;
    const auto dealWordOf = [&scores](int k) {
        return QString::fromLatin1(scores.dealWords.value(k)).toUpper();
    };
    const QString dealWord = dealWordOf(0);
    if (frame == Rules::kFrames) {
        const QString second = dealWordOf(1);
        const QString third = dealWordOf(2);
        label_theword->setText(QStringLiteral("Original Words: %1 / %2 / %3").arg(dealWord, second, third));
        label_theword->setToolTip(QString());
    } else {
        label_theword->setText(QStringLiteral("Original Word: ") + dealWord);
        label_theword->setToolTip(QStringLiteral("Last Word: ") + dealWord);
    }
    // The solution on the word row; the rack is empty.
    for (int n = 1; n <= 10; ++n) {
        const char letter = n <= answer.size() ? answer[n - 1] : '\0';
        showTile(image_word[static_cast<std::size_t>(n)], numofletter(letter));
        showTile(image_letters[static_cast<std::size_t>(n)], 0);
    }
    for (const FromHost::PlayerScores& player : scores.players) {
        const int slot = player.slot;
        if (!isPlayerSlot(slot))
            continue; // no such row on the sheet
        label_score[slot]->setText(QString::number(player.score));
        scorecard->setRolls(slot, frame, player.rolls.roll1, player.rolls.roll2, player.rolls.roll3);
        for (int line = 1; line <= 3; ++line)
            label_word[static_cast<std::size_t>(slot)][static_cast<std::size_t>(line)]->setText(
                QString::fromLatin1(player.words[static_cast<std::size_t>(line - 1)]));
        for (const auto& [totalFrame, total] : player.totals)
            scorecard->setTotal(slot, totalFrame, total);
    }
}

void Tchat::winner(const QList<int>& winners)
{
    button_clear->hide();
    button_send->hide();
    button_sort->hide();
    QString text;
    bool plural = false;
    for (const int slot : std::as_const(winners)) {
        if (!isPlayerSlot(slot))
            continue;
        image_winner[slot]->show();
        const QString who = slot == localslot ? QStringLiteral("You") : label_playername[slot]->text();
        if (text.isEmpty()) {
            text = who;
            plural = slot == localslot;
        } else {
            plural = true;
            text += QStringLiteral(" and ") + who;
        }
    }
    playsounds(QStringLiteral("gameover"));
    const QString status =
        text + (plural ? QStringLiteral(" have Won the Game!") : QStringLiteral(" has Won the Game!"));
    label_status->setText(status);
    addlinetochat(status, noticeColour);
    if (ishost)
        button_start->show();

    if (!isPlayerSlot(localslot) || tally_ == nullptr)
        return;
    const QString ownTotal = label_score[localslot]->text();
    if (ownTotal == QStringLiteral("300"))
        tally_->addtomineincrease(3);
    if (winners.size() == 1 && winners.front() == localslot)
        tally_->addgame(QString::fromLatin1(Ttallylist::kWinnerIsMe));
    else if (winners.size() == 1 && isPlayerSlot(winners.front()))
        tally_->addgame(label_playername[winners.front()]->text());
    bool isNumber = false;
    const int score = ownTotal.toInt(&isNumber);
    if (isNumber)
        tally_->figureave(score);
}

void Tchat::loadstats(const FromHost::LoadStats& stats)
{
    if (stats.slot != localslot)
        return;
    const int seconds = stats.secondsPerTurn;
    const QByteArray& teamFlag = stats.teamFlag;
    const int left = stats.countdown;
    for (int slot = 1; slot <= kPlayerSlots; ++slot)
        label_score[slot]->setText(QString::number(stats.scores[static_cast<std::size_t>(slot - 1)]));
    timePerTurnTag_ = seconds;
    secondsleft = left;
    label_timeperturn->setText(QStringLiteral("Time Per Turn: %1 s.").arg(seconds));
    setTimeBarScale(seconds);
    // The newcomer cannot play the frame in progress.
    if (left > 4) {
        turntime.start();
        if (isPlayerSlot(localslot))
            image_noplay->show();
    }
    showTeams(teamFlag == "t");
}
