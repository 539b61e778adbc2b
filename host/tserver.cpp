// The host's connections: admitting participants into slots, log-in, relays, just watch,
// removals and departures.
#include "tserver.h"

#include "faultreport.h"
#include "messages.h"

#include <QDateTime>
#include <QRandomGenerator>

#include <algorithm>
#include <utility>

namespace {

constexpr std::chrono::milliseconds kQueueTick{10};

quint32 clockSeed()
{
    return static_cast<quint32>(QDateTime::currentMSecsSinceEpoch());
}

} // namespace

TServer::TServer(HostSettings settings, QObject* parent)
    : QObject(parent),
      settings_(std::move(settings)),
      receivedlist(kQueueTick),
      spell(settings_.dictionaryReport, settings_.dictionary),
      dealer(settings_.seed.value_or(clockSeed()))
{
    Sock1.OnAccept = [this](TSock* sender) { Sock1Accept(sender); };
    tempsock.OnDisconnect = [this](TSock* sender) { tempsockDisconnect(sender); };
    tempsock.OnInfo = [this](TSock* sender, TSocketInfo info, const QString& msg) {
        tempsockInfo(sender, info, msg);
    };

    handle(CMD_logininfo, FromClient::loginInfo, &TServer::receivedlogininfo);
    handle(CMD_kickhim, FromClient::kickHim, &TServer::kickhim);
    handle(CMD_chat, FromClient::talk, &TServer::chat);
    handle(CMD_action, FromClient::talk, &TServer::action);
    handle(CMD_startgame, FromClient::startGame, &TServer::startgame);
    handle(CMD_justwatch, FromClient::justWatch, &TServer::justwatch);
    handle(CMD_sendword, FromClient::sendWord, &TServer::sendword);
    handle(CMD_returning, FromClient::returning, &TServer::returning);
    handle(CMD_leaving, FromClient::leaving, &TServer::leaving);

    timer1.setInterval(settings_.second);
    connect(&timer1, &QTimer::timeout, this, [this] { FaultReport::guard([this] { timer1Timer(); }); });
}

TServer::~TServer()
{
    // Accepted connections are children of Sock1 and go with it, silently.
    Sock1.OnAccept = nullptr;
}

template <typename Message>
void TServer::handle(const char* command, Message (*read)(FieldReader&),
                     void (TServer::*handler)(const Message&, TSock*))
{
    receivedlist.setHandler(command, [this, read, handler](FieldReader& fields, TSock* from) {
        const Turn turn(*this);
        (this->*handler)(read(fields), from);
    });
}

void TServer::startListening(const QString& port)
{
    Sock1.setPortName(port);
    Sock1.setListen(true);
}

void TServer::stopHosting()
{
    const Turn turn(*this);
    timer1.stop();
    gameon = false;
    sendToAll(ToClient::gameclosed());
    for (int slot = 1; slot <= kLastSlot; ++slot) {
        players[slot].leaving = true;
        disconnectsock(slot);
    }
    for (TPlayer& player : players) {
        if (player.away)
            player.forgetOccupant();
    }
    // Nobody is left to hear of the departures.
    slotcount = 0;
    Sock1.setListen(false);
}

void TServer::report(const QString& text) const
{
    if (settings_.report)
        settings_.report(text);
}

int TServer::chooseSlot()
{
    if (slotcount == 0) {
        slotcount = 1;
        return 1;
    }
    for (int slot = 1; slot <= slotcount; ++slot) {
        if (!players[slot].connected && !players[slot].away)
            return slot;
    }
    if (slotcount < kLastSlot)
        return ++slotcount;
    return kFullSlot;
}

void TServer::Sock1Accept(TSock* sender)
{
    TSock* sock = nullptr;
    if (sender->accept(sock))
        admit(sock);
}

void TServer::admit(TSock* sock)
{
    const Turn turn(*this);
    const int slot = chooseSlot();
    if (slot == kFullSlot) {
        sock->send(ToClient::full());
        delete sock; // closes it; CMD_full has already been handed to the platform
        return;
    }
    TPlayer& player = players[slot];
    player.sock = sock;
    player.connected = true;
    player.loggedIn = false;
    sock->setTag(slot);
    sock->OnDisconnect = tempsock.OnDisconnect;
    sock->OnInfo = tempsock.OnInfo;
    sock->OnRead = [this](TSock* from, qsizetype) { Sock1Read(from); };
    // The connection owns its timer, so the timer goes the moment the connection does.
    auto* loginTimer = new QTimer(sock);
    loginTimer->setSingleShot(true);
    connect(loginTimer, &QTimer::timeout, this, [this, sock] { closeIfNotLoggedIn(sock); });
    loginTimer->start(settings_.loginTimeout);
    sendTo(slot, ToClient::sendlogininfo(slot));
}

void TServer::closeIfNotLoggedIn(TSock* sock)
{
    const Turn turn(*this);
    const int slot = slotOf(sock);
    if (slot != 0 && !players[slot].loggedIn)
        sock->close();
}

void TServer::Sock1Read(TSock* sender)
{
    receivedFrom(sender, sender->receive());
}

void TServer::receivedFrom(TSock* sender, QByteArrayView bytes)
{
    const Turn turn(*this);
    // A connection that floods the shared queue or never ends its message would stall the
    // game for everybody: it is closed, and its slot freed like any departure.
    const bool withinLimit = receivedlist.receive(sender, bytes);
    if (!withinLimit || receivedlist.pendingFrom(sender) > kMaxWaitingMessages) {
        receivedlist.dropFrom(sender);
        sender->close();
    }
}

int TServer::slotOf(const TSock* connection) const
{
    if (connection == nullptr)
        return 0;
    for (int slot = 1; slot <= kLastSlot; ++slot) {
        if (players[slot].connected && players[slot].sock == connection)
            return slot;
    }
    return 0;
}

void TServer::tempsockDisconnect(TSock* sender)
{
    const int slot = sender->Tag();
    if (slot >= 1 && slot <= kLastSlot && players[slot].connected && players[slot].sock == sender)
        sender->close();
}

void TServer::tempsockInfo(TSock* sender, TSocketInfo, const QString& msg)
{
    if (msg != QStringLiteral("Socket Closed"))
        return;
    // "Socket Closed" comes twice for most departures; the slot is let go once.
    const Turn turn(*this);
    if (!departed_.contains(sender))
        departed_.append(sender);
}

TServer::Turn::Turn(TServer& host) : host_(host)
{
    ++host_.turnDepth_;
}

TServer::Turn::~Turn()
{
    if (host_.turnDepth_ == 1) {
        FaultReport::guard([this] { host_.letDepartedGo(); });
        if (const Summary now = host_.summary(); now != host_.toldSummary_) {
            host_.toldSummary_ = now;
            Q_EMIT host_.summaryChanged();
        }
    }
    --host_.turnDepth_;
}

TServer::Summary TServer::summary() const
{
    Summary now;
    for (int slot = 1; slot <= kLastSlot; ++slot) {
        if ((players[slot].connected && players[slot].loggedIn) || players[slot].away)
            ++(slot <= kPlayerSlots ? now.players : now.spectators);
    }
    now.frame = gameon ? std::clamp(currentframe, 1, Rules::kFrames) : 0;
    return now;
}

void TServer::letDepartedGo()
{
    // Telling the others may end further connections; they are let go in this same loop.
    while (!departed_.isEmpty()) {
        const QPointer<TSock> sock = departed_.takeFirst();
        if (sock)
            freeSlotOf(sock);
    }
}

void TServer::freeSlotOf(TSock* sock)
{
    const int slot = sock->Tag();
    // Only the slot's own connection may free it; an old connection of a reused slot may not.
    if (slot < 1 || slot > kLastSlot || players[slot].sock != sock)
        return;
    TPlayer& player = players[slot];
    // A player who said goodbye just before closing left on purpose, though the host has not
    // come to the message yet.
    const bool leftOnPurpose = player.leaving || receivedlist.holds(sock, CMD_leaving);
    const bool keep =
        gameon && slot <= kPlayerSlots && (player.loggedIn || player.returning) && !leftOnPurpose;
    if (player.connected && !keep)
        sendToOthers(slot, ToClient::playerdisconnected(slot, player.name));
    player.connected = false;
    player.loggedIn = false;
    player.sock = nullptr;
    // What it still had waiting will never be handled: it no longer speaks for the slot.
    receivedlist.dropFrom(sock);
    sock->deleteLater();
    if (keep)
        keepSeat(slot);
    else
        player.forgetOccupant();
}

void TServer::keepSeat(int slot)
{
    TPlayer& player = players[slot];
    player.away = true;
    sendToOthers(slot, ToClient::playeraway(slot, player.name));
    delete player.keptFor;
    player.keptFor = new QTimer(this);
    player.keptFor->setSingleShot(true);
    connect(player.keptFor, &QTimer::timeout, this, [this, slot] {
        const Turn turn(*this);
        releaseSeat(slot);
    });
    player.keptFor->start(settings_.seatKept);
}

void TServer::releaseSeat(int slot)
{
    TPlayer& player = players[slot];
    if (!player.away)
        return;
    sendToOthers(slot, ToClient::playerdisconnected(slot, player.name));
    player.forgetOccupant();
}

int TServer::seatOf(const QByteArray& token) const
{
    for (int slot = 1; slot <= kPlayerSlots; ++slot) {
        const TPlayer& player = players[slot];
        if ((player.away || player.loggedIn) && !token.isEmpty() && player.seatToken == token)
            return slot;
    }
    return 0;
}

void TServer::returning(const FromClient::Returning& request, TSock* from)
{
    const int arrival = slotOf(from);
    if (arrival == 0 || arrival != request.slot || players[arrival].loggedIn)
        return;
    const int seat = seatOf(request.token);
    if (seat == 0) {
        sendTo(arrival, ToClient::seatgone());
        return;
    }
    // The slot the connection came in by was never announced: it is simply free again.
    players[arrival].connected = false;
    players[arrival].sock = nullptr;
    TPlayer& player = players[seat];
    if (TSock* old = player.sock) {
        // The player's end went away (a computer asleep) before this end noticed.
        player.sock = nullptr;
        receivedlist.dropFrom(old);
        old->close();
        old->deleteLater();
    }
    delete player.keptFor;
    player.away = false;
    player.returning = true;
    player.sock = from;
    player.connected = true;
    from->setTag(seat);
    sendTo(seat, ToClient::sendlogininfo(seat));
}

void TServer::leaving(const FromClient::Leaving& request, TSock* from)
{
    if (request.slot != 0 && request.slot == slotOf(from))
        players[request.slot].leaving = true;
}

void TServer::disconnectsock(int slot)
{
    if (players[slot].connected && players[slot].sock)
        players[slot].sock->close();
}

void TServer::receivedlogininfo(const FromClient::LoginInfo& login, TSock* from)
{
    const int slot = login.slot;
    if (slot != slotOf(from) || slot == 0)
        return;
    TPlayer& newcomer = players[slot];
    newcomer.name = login.name.left(Rules::kLongestName);
    newcomer.connected = true;
    newcomer.loggedIn = true;

    sendToAll(ToClient::newplayerinfo(slot, newcomer.name));
    for (int other = 1; other <= slotcount; ++other) {
        if (other != slot && players[other].connected)
            sendTo(slot, ToClient::existingplayers(other, players[other].name));
    }
    if (login.version != settings_.version) {
        sendTo(1, ToClient::havewrongversion(newcomer.name));
        sendTo(slot, ToClient::wrongversion());
    }
    if (gameon) {
        sendTo(slot,
               ToClient::loadstats(slot, secondsperturn, teamgame, countdown,
                                   {players[1].score, players[2].score, players[3].score, players[4].score}));
    }
    if (slot <= kPlayerSlots) {
        if (!newcomer.returning)
            newcomer.seatToken = QByteArray::number(QRandomGenerator::system()->generate64(), 16);
        sendTo(slot, ToClient::seattoken(slot, newcomer.seatToken));
    }
    if (std::exchange(newcomer.returning, false) && gameon)
        resumeFrame(slot);
}

void TServer::kickhim(const FromClient::KickHim& request, TSock* from)
{
    if (request.requester != 1 || slotOf(from) != 1)
        return;
    if (request.target < 1 || request.target > kLastSlot)
        return;
    // The participant hears why its connection closes: its own departure, before the others do.
    TPlayer& removed = players[request.target];
    if (removed.connected && removed.loggedIn)
        sendTo(request.target, ToClient::playerdisconnected(request.target, removed.name));
    removed.leaving = true;
    disconnectsock(request.target);
    releaseSeat(request.target); // a seat kept for a player away is given up too
}

void TServer::chat(const FromClient::Talk& talk, TSock* from)
{
    if (talk.slot == 0 || talk.slot != slotOf(from))
        return;
    sendToAll(ToClient::chat(players[talk.slot].name, talk.textAndColour));
}

void TServer::action(const FromClient::Talk& talk, TSock* from)
{
    if (talk.slot == 0 || talk.slot != slotOf(from))
        return;
    sendToAll(ToClient::action(players[talk.slot].name, talk.textAndColour));
}

void TServer::justwatch(const FromClient::JustWatch& request, TSock* from)
{
    const int slot = request.slot;
    const QByteArray& flag = request.flag;
    if (slot < 1 || slot > playerslots)
        return;
    // A player may sit himself out; only slot 1 may sit out somebody else.
    const int requester = slotOf(from);
    if (requester == 0 || (requester != slot && requester != 1))
        return;
    if (flag == "2") {
        players[slot].watching = false;
        sendToAll(ToClient::justwatching(slot, false));
    } else if (flag == "1" && gameon) {
        players[slot].watching = true;
        sendToAll(ToClient::justwatching(slot, true));
    }
}

void TServer::sendTo(int slot, const QByteArray& message)
{
    const TPlayer& player = players[slot];
    TSock* sock = player.sock;
    // A connection that has ended during this turn still holds its slot, but hears nothing more.
    if (!player.connected || sock == nullptr || !sock->connected())
        return;
    sock->send(message);
    // A participant that stops reading would make the host hold everything sent to it.
    if (sock->connected() && sock->outgoingSize() > kMaxUnsentBytes)
        sock->close();
}

void TServer::sendToAll(const QByteArray& message)
{
    sendToOthers(0, message);
}

void TServer::sendToOthers(int slot, const QByteArray& message)
{
    for (int other = 1; other <= slotcount; ++other) {
        if (other != slot)
            sendTo(other, message);
    }
}
