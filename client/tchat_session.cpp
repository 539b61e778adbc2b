// The main window's session: start-up from the command line, hosting or joining, the
// messages of the host, the roster, and the end of the connection.
#include "artwork.h"
#include "faultreport.h"
#include "inifile.h"
#include "messages.h"
#include "picturebutton.h"
#include "scorecard.h"
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

namespace {

const QString kWaiting = QStringLiteral("<Waiting>");

QString fromWire(const QByteArray& text)
{
    return QString::fromLatin1(text);
}

} // namespace

void Tchat::setCompanions(TServer& host, Tgamestart& gamestart, Tphrases& phrases, Tspylist& spylist)
{
    host_ = &host;
    gamestart_ = &gamestart;
    phrases_ = &phrases;
    spylist_ = &spylist;
    connect(spylist_, &Tspylist::removeRequested, this,
            [this](int slot) { FaultReport::guard([&] { kicking(slot); }); });
    connect(phrases_, &Tphrases::phrasesChosen, this, [this](const QStringList& chosen) {
        const IniFile ini(settingsPath_);
        for (int k = 1; k <= 10; ++k) {
            const QString text = chosen.value(k - 1);
            b_phrase[static_cast<std::size_t>(k)]->setToolTip(text);
            if (!settingsPath_.isEmpty())
                ini.writeString(QStringLiteral("Pinfall"), QStringLiteral("Phrase%1").arg(k), text);
        }
    });
    connect(gamestart_, &Tgamestart::startRequested, this, [this](const QByteArray& seconds, bool team) {
        FaultReport::guard([&] { startRequested(seconds, team); });
    });
    gamestart_->allPlacesTaken = [this] {
        for (int slot = 2; slot <= kPlayerSlots; ++slot) {
            if (label_playername[slot]->text() == kWaiting)
                return false;
        }
        return true;
    };
}

void Tchat::setAbout(Tabout& about)
{
    about_ = &about;
}

void Tchat::setTally(Ttallylist& tally)
{
    tally_ = &tally;
    tally_->loadchecklist = [this] { loadchecklist(); };
}

void Tchat::loadchecklist()
{
    if (tally_ == nullptr)
        return;
    QStringList names;
    for (int slot = 1; slot <= kPlayerSlots; ++slot) {
        if (slot != localslot && label_playername[slot]->text() != kWaiting)
            names << label_playername[slot]->text();
    }
    tally_->setPlayersInGame(names);
}

void Tchat::processparams(const QStringList& params)
{
    paramsProcessed_ = true; // the command line is read once
    button_start->hide();
    StartGame1->setEnabled(false);
    loginName_.clear();
    if (params.isEmpty()) {
        addlinetochat(QStringLiteral("Loading Solo Game..Please wait."), noticeColour);
        if (download_ != nullptr)
            download_->show();
        hostaddress = QStringLiteral("127.0.0.1");
        playername = QStringLiteral("You");
        hostpress();
        return;
    }
    addlinetochat(QStringLiteral("Loading Multi-player Game.. Please Wait."), noticeColour);
    if (params.size() < 3)
        return;
    playername = params[0];
    hostaddress = params[1];
    if (params[2] == QStringLiteral("true"))
        hostpress();
    else
        joinpress();
    Sock11.open();
}

void Tchat::hostpress()
{
    host_->startListening(gamePort_);
    loginName_ = playername;
    ishost = true;
    // The host's own player is an ordinary participant, always on this machine.
    sock.setHostName(QStringLiteral("127.0.0.1"));
    sock.setPortName(QString::number(host_->listeningPort()));
    sock.open();
    button_start->show();
    StartGame1->setEnabled(true);
    spylist_->setRemoveEnabled(true);
}

void Tchat::joinpress()
{
    loginName_ = playername;
    sock.setHostName(hostaddress);
    sock.setPortName(gamePort_);
    sock.open();
    button_start->hide();
    StartGame1->setEnabled(false);
}

void Tchat::sendToHost(const QByteArray& message)
{
    // Once the host has gone there is nobody left to tell; the window closes on its own.
    if (sock.isOpen())
        sock.send(message);
}

void Tchat::sockRead()
{
    // A host that sends 64 KiB without ending its message is broken: the game cannot go on.
    if (!receivedlist.receive(&sock, sock.receive()))
        sock.close();
}

void Tchat::sockInfo(const QString& text)
{
    if (text != QStringLiteral("Socket Closed") || connectionClosed_)
        return;
    connectionClosed_ = true;
    // The close may be reported from inside a send of a click or key handler: the window
    // closes after that handler, not under it.
    QMetaObject::invokeMethod(
        this,
        [this] {
            // What the host said before it closed still counts: "Game is full" above all.
            while (receivedlist.size() > 0)
                receivedlist.dispatchNext();
            close();
        },
        Qt::QueuedConnection);
}

void Tchat::sendloginfo(FieldReader& fields)
{
    localslot = fields.takeInt();
    loggedin = true;
    sendToHost(ToHost::logininfo(localslot, Tabout::version().toLatin1(), loginName_.toLatin1()));
}

void Tchat::newplayerinfo(FieldReader& fields)
{
    const int slot = fields.takeInt();
    const QString name = fromWire(fields.rest());
    if (slot == localslot) {
        addlinetochat(QStringLiteral("You are Connected."), noticeColour);
        loadinifile();
    } else
        addlinetochat(name + QStringLiteral(" is Connected."), noticeColour);
    if (slot >= 1 && slot <= playerslots) {
        label_playername[slot]->setText(name);
        label_playername[slot]->show();
        label_score[slot]->show();
    } else {
        spylist_->addSpy(QStringLiteral("%1: %2").arg(slot).arg(name));
        addlinetochat(slot == localslot ? QStringLiteral("You are spying.")
                                        : name + QStringLiteral(" is spying."),
                      noticeColour);
    }
    playsounds(QStringLiteral("entered"));
}

void Tchat::playerdisconnected(FieldReader& fields)
{
    const int slot = fields.takeInt();
    const QString name = fromWire(fields.rest());
    if (slot >= 1 && slot <= playerslots) {
        if (label_playername[slot]->text() != kWaiting)
            addlinetochat(label_playername[slot]->text() + QStringLiteral(" disconnected."), noticeColour);
        label_playername[slot]->setText(kWaiting);
        image_eyes[slot]->hide();
    } else if (spylist_->removeSpy(QStringLiteral("%1: %2").arg(slot).arg(name))) {
        addlinetochat(name + QStringLiteral(" has left."), noticeColour);
    }
}

void Tchat::justwatching(FieldReader& fields)
{
    const int slot = fields.takeInt();
    const QByteArray state = fields.take();
    if (slot < 1 || slot > playerslots)
        return;
    const bool watching = state == "1";
    if (slot == localslot)
        JustWatch1->setChecked(watching);
    addlinetochat(label_playername[slot]->text() + (watching ? QStringLiteral(" is just watching")
                                                             : QStringLiteral(" is now playing again")),
                  noticeColour);
    image_eyes[slot]->setVisible(watching);
}

void Tchat::JustWatch1Click()
{
    if (loggedin && localslot >= 1 && localslot <= playerslots)
        sendToHost(ToHost::justwatch(localslot, !JustWatch1->isChecked()));
}

void Tchat::label_playername1ContextPopup(int slot)
{
    for (QAction* item : {RemoveFromGame1, SettoJustWatch1, UnsetJustWatch1})
        item->setEnabled(ishost);
    if (label_playername[slot]->text() == kWaiting)
        RemoveFromGame1->setEnabled(false);
    popupSlot_ = slot;
}

void Tchat::RemoveFromGame1Click()
{
    kicking(popupSlot_);
}

void Tchat::SettoJustWatch1Click()
{
    if (loggedin && popupSlot_ >= 1 && popupSlot_ <= playerslots)
        sendToHost(ToHost::justwatch(popupSlot_, true));
}

void Tchat::UnsetJustWatch1Click()
{
    if (loggedin && popupSlot_ >= 1 && popupSlot_ <= playerslots)
        sendToHost(ToHost::justwatch(popupSlot_, false));
}

void Tchat::kicking(int slot)
{
    if (ishost && loggedin)
        sendToHost(ToHost::kickhim(localslot, slot));
}

void Tchat::button_startClick()
{
    if (!loggedin) {
        QMessageBox::information(this, windowTitle(), QStringLiteral("You are not connected"));
        return;
    }
    gamestart_->show();
    gamestart_->raise();
    gamestart_->activateWindow();
}

void Tchat::startRequested(const QByteArray& secondsPerTurn, bool teamGame)
{
    sendToHost(ToHost::startgame(playername.toLatin1(), secondsPerTurn, teamGame));
    saveinifile();
}

void Tchat::startthegame(FieldReader& fields)
{
    const QString starter = fromWire(fields.take());
    int seconds = 90;
    try {
        seconds = parseDecimal(fields.take());
    } catch (const ProtocolError&) {
        // not a whole number: the host has taken 90 as well
    }
    const QByteArray teamFlag = fields.take();

    turntime.stop();
    panel_badword->hide();
    image_noplay->hide();
    selectedtile = 0;
    label_timer->setText(QStringLiteral("Time: 0:00"));
    button_start->hide();
    // The host has set everybody playing again.
    JustWatch1->setChecked(false);
    for (int slot = 1; slot <= kPlayerSlots; ++slot)
        image_eyes[slot]->hide();
    clearall();
    showTeams(teamFlag == "t");
    timePerTurnTag_ = seconds;
    label_timeperturn->setText(QStringLiteral("Time Per Turn: %1 s.").arg(seconds));
    setTimeBarScale(seconds);
    addlinetochat(starter + QStringLiteral(" has started a game."), noticeColour);
}

void Tchat::gameIsFull()
{
    QMessageBox::information(this, windowTitle(), QStringLiteral("Game is full"));
    close();
}

void Tchat::clearall()
{
    label_theword->clear();
    scorecard->reset();
    for (int slot = 1; slot <= kPlayerSlots; ++slot) {
        label_score[slot]->setText(QStringLiteral("0"));
        image_winner[slot]->hide();
        for (int line = 1; line <= 3; ++line)
            label_word[static_cast<std::size_t>(slot)][static_cast<std::size_t>(line)]->clear();
    }
    // The rack tiles stand in their row and the word row shows its numbered pins.
    selectedtile = 0;
    placedcount = 0;
    for (int k = 1; k <= 10; ++k) {
        QLabel* tile = image_letters[static_cast<std::size_t>(k)];
        tile->move(tile->x(), 289);
        showTile(image_word[static_cast<std::size_t>(k)], Artwork::kFirstStandingPin + k - 1);
    }
}

void Tchat::playsounds(const QString& name)
{
    if (sounds_ != nullptr && PlaySounds1->isChecked())
        sounds_->play(name);
}
