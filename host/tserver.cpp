// The host's connections: admitting participants into slots, log-in, relays, just watch,
// removals and departures.
#include "tserver.h"

#include "faultreport.h"
#include "messages.h"

#include <QDateTime>

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

    receivedlist.setHandler(CMD_logininfo,
                            [this](FieldReader& f, TSock* from) { receivedlogininfo(f, from); });
    receivedlist.setHandler(CMD_kickhim, [this](FieldReader& f, TSock* from) { kickhim(f, from); });
    receivedlist.setHandler(CMD_chat, [this](FieldReader& f, TSock* from) { chat(f, from); });
    receivedlist.setHandler(CMD_action, [this](FieldReader& f, TSock* from) { action(f, from); });
    receivedlist.setHandler(CMD_startgame, [this](FieldReader& f, TSock* from) { startgame(f, from); });
    receivedlist.setHandler(CMD_justwatch, [this](FieldReader& f, TSock* from) { justwatch(f, from); });
    receivedlist.setHandler(CMD_sendword, [this](FieldReader& f, TSock* from) { sendword(f, from); });

    timer1.setInterval(settings_.second);
    connect(&timer1, &QTimer::timeout, this, [this] { FaultReport::guard([this] { timer1Timer(); }); });
}

TServer::~TServer()
{
    // Accepted connections are children of Sock1 and go with it, silently.
    Sock1.OnAccept = nullptr;
}

void TServer::startListening(const QString& port)
{
    Sock1.setPortName(port);
    Sock1.setListen(true);
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
        if (!players[slot].connected)
            return slot;
    }
    if (slotcount < kLastSlot)
        return ++slotcount;
    return kFullSlot;
}

void TServer::Sock1Accept(TSock* sender)
{
    const int slot = chooseSlot();
    TSock* sock = nullptr;
    if (!sender->accept(sock))
        return; // the slot stays free for the next one
    if (slot == kFullSlot) {
        sock->send(ToClient::full());
        delete sock; // closes it; CMD_full has already been handed to the platform
        return;
    }
    TPlayer& player = players[slot];
    player.sock = sock;
    player.connected = true;
    sock->setTag(slot);
    sock->OnDisconnect = tempsock.OnDisconnect;
    sock->OnInfo = tempsock.OnInfo;
    sock->OnRead = [this](TSock* from, qsizetype) { Sock1Read(from); };
    sock->send(ToClient::sendlogininfo(slot));
}

void TServer::Sock1Read(TSock* sender)
{
    receivedFrom(sender, sender->receive());
}

void TServer::receivedFrom(TSock* sender, QByteArrayView bytes)
{
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
    const int slot = sender->Tag();
    // Only the slot's own connection may free it; an old connection of a reused slot may not.
    if (slot < 1 || slot > kLastSlot || players[slot].sock != sender)
        return;
    TPlayer& player = players[slot];
    if (player.connected)
        sendToOthers(slot, ToClient::playerdisconnected(slot, player.name));
    player.connected = false;
    player.watching = false;
    player.name.clear();
    // What it still had waiting will never be handled: it no longer speaks for the slot.
    receivedlist.dropFrom(sender);
    sender->deleteLater();
}

void TServer::disconnectsock(int slot)
{
    if (players[slot].connected && players[slot].sock)
        players[slot].sock->close();
}

void TServer::receivedlogininfo(FieldReader& fields, TSock* from)
{
    const int slot = fields.takeInt();
    if (slot != slotOf(from) || slot == 0)
        return;
    const QByteArray version = fields.take();
    TPlayer& newcomer = players[slot];
    newcomer.name = fields.rest();
    newcomer.connected = true;

    sendToAll(ToClient::newplayerinfo(slot, newcomer.name));
    for (int other = 1; other <= slotcount; ++other) {
        if (other != slot && players[other].connected)
            sendTo(slot, ToClient::existingplayers(other, players[other].name));
    }
    if (version != settings_.version) {
        sendTo(1, ToClient::havewrongversion(newcomer.name));
        sendTo(slot, ToClient::wrongversion());
    }
    if (gameon) {
        sendTo(slot,
               ToClient::loadstats(slot, secondsperturn, teamgame, countdown,
                                   {players[1].score, players[2].score, players[3].score, players[4].score}));
    }
}

void TServer::kickhim(FieldReader& fields, TSock* from)
{
    const int requester = fields.takeInt();
    const int target = fields.takeInt();
    if (requester != 1 || slotOf(from) != 1)
        return;
    if (target >= 1 && target <= kLastSlot)
        disconnectsock(target);
}

void TServer::chat(FieldReader& fields, TSock* from)
{
    const int slot = fields.takeInt();
    if (slot == 0 || slot != slotOf(from))
        return;
    sendToAll(ToClient::chat(players[slot].name, fields.rest()));
}

void TServer::action(FieldReader& fields, TSock* from)
{
    const int slot = fields.takeInt();
    if (slot == 0 || slot != slotOf(from))
        return;
    sendToAll(ToClient::action(players[slot].name, fields.rest()));
}

void TServer::justwatch(FieldReader& fields, TSock* from)
{
    const int slot = fields.takeInt();
    const QByteArray flag = fields.take();
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
    if (player.connected && player.sock)
        player.sock->send(message);
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
