#include "chatroom.h"

#include "stanzawriter.h"
#include "xmppconnection.h"

#include <utility>

namespace {

// The resource part of "room@service/nickname"; empty when there is none.
QString resourceOf(const QString& jid)
{
    const qsizetype slash = jid.indexOf(QLatin1Char('/'));
    return slash < 0 ? QString() : jid.mid(slash + 1);
}

QString bareOf(const QString& jid)
{
    return jid.left(jid.indexOf(QLatin1Char('/')));
}

// True when the room's presence carries the status code (110: this is you; 201: a new room).
bool hasStatus(const XmlElement& presence, QStringView code)
{
    const XmlElement* user = presence.child(u"x", XmppNs::kMucUser);
    if (user == nullptr)
        return false;
    return std::any_of(user->children.begin(), user->children.end(), [code](const XmlElement& status) {
        return status.name == QLatin1String("status") && status.attribute(u"code") == code;
    });
}

QString refusalOf(const XmlElement& presence)
{
    const XmlElement* error = presence.child(u"error", XmppNs::kClient);
    const QString condition =
        error != nullptr && !error->children.isEmpty() ? error->children.front().name : QString();
    if (condition == QLatin1String("conflict"))
        return QStringLiteral("That name is taken here; try another");
    if (condition == QLatin1String("service-unavailable"))
        return QStringLiteral("The room is full");
    if (condition == QLatin1String("item-not-found"))
        return QStringLiteral("There is no such room");
    return QStringLiteral("The room refused entry: %1")
        .arg(condition.isEmpty() ? QStringLiteral("no reason given") : condition);
}

} // namespace

ChatRoom::ChatRoom(XmppConnection& connection, const QString& roomJid, QObject* parent)
    : QObject(parent),
      connection_(connection),
      roomJid_(roomJid.toLower())
{
    connect(&connection_, &XmppConnection::stanzaReceived, this, &ChatRoom::handle);
    connect(&connection_, &XmppConnection::closed, this, &ChatRoom::connectionClosed);
    joinTimer_.setSingleShot(true);
    connect(&joinTimer_, &QTimer::timeout, this, [this] {
        connection_.send(presence(QStringLiteral("unavailable"))); // should the welcome come late
        Q_EMIT refused(QStringLiteral("The lobby did not let us into the room in time"));
    });
}

void ChatRoom::join(const QString& nickname, const XmlElement& status)
{
    nickname_ = nickname;
    status_ = status;
    leaving_ = false;
    XmlElement entering = presence();
    entering.children.prepend(makeElement(QStringLiteral("x"), XmppNs::kMuc));
    joinTimer_.start(joinTime);
    connection_.send(entering);
}

void ChatRoom::setStatus(const XmlElement& status)
{
    status_ = status;
    if (joined_)
        connection_.send(presence());
}

void ChatRoom::leave()
{
    if (!joined_)
        return;
    leaving_ = true;
    connection_.send(presence(QStringLiteral("unavailable")));
}

void ChatRoom::say(const QString& text)
{
    XmlElement message = makeElement(
        QStringLiteral("message"), XmppNs::kClient,
        {{QStringLiteral("to"), roomJid_}, {QStringLiteral("type"), QStringLiteral("groupchat")}});
    message.children.append(makeElement(QStringLiteral("body"), XmppNs::kClient, {}, text));
    connection_.send(message);
}

void ChatRoom::sendPrivate(const QString& nickname, const XmlElement& payload)
{
    XmlElement message = makeElement(QStringLiteral("message"), XmppNs::kClient,
                                     {{QStringLiteral("to"), roomJid_ + QLatin1Char('/') + nickname},
                                      {QStringLiteral("type"), QStringLiteral("chat")}});
    message.children.append(payload);
    // Marks the message as private within the room, so the server routes it to the occupant.
    message.children.append(makeElement(QStringLiteral("x"), XmppNs::kMucUser));
    connection_.send(message);
}

XmlElement ChatRoom::presence(const QString& type) const
{
    XmlElement stanza = makeElement(QStringLiteral("presence"), XmppNs::kClient,
                                    {{QStringLiteral("to"), roomJid_ + QLatin1Char('/') + nickname_}});
    if (!type.isEmpty())
        stanza.attributes.append({QStringLiteral("type"), type});
    else if (!status_.name.isEmpty())
        stanza.children.append(status_);
    return stanza;
}

void ChatRoom::handle(const XmlElement& stanza)
{
    const QString from = stanza.attribute(u"from");
    if (bareOf(from).toLower() != roomJid_)
        return;
    const QString nickname = resourceOf(from);
    if (stanza.name == QLatin1String("presence"))
        handlePresence(stanza, nickname);
    else if (stanza.name == QLatin1String("message"))
        handleMessage(stanza, nickname);
}

void ChatRoom::handlePresence(const XmlElement& presence, const QString& nickname)
{
    const QString type = presence.attribute(u"type");
    if (type == QLatin1String("error")) {
        if (joinTimer_.isActive()) {
            joinTimer_.stop();
            Q_EMIT refused(refusalOf(presence));
        }
        return;
    }
    const bool self = hasStatus(presence, u"110") || nickname == nickname_; // nicknames are unique in a room
    if (self) {
        if (type == QLatin1String("unavailable")) {
            const bool asked = leaving_;
            joined_ = false;
            occupants_.clear();
            if (!asked)
                Q_EMIT removed();
        } else if (!joined_ && joinTimer_.isActive()) {
            joinTimer_.stop();
            joined_ = true;
            madeByUs_ = hasStatus(presence, u"201");
            Q_EMIT joined();
        }
        return;
    }
    if (nickname.isEmpty())
        return;
    if (type == QLatin1String("unavailable")) {
        if (occupants_.remove(nickname) > 0)
            Q_EMIT occupantLeft(nickname);
        return;
    }
    occupants_.insert(nickname, presence);
    Q_EMIT occupantChanged(nickname, presence);
}

void ChatRoom::connectionClosed(const QString& reason)
{
    // Ending the connection ourselves is leaving the room as asked.
    const bool lost = !reason.isEmpty();
    occupants_.clear();
    if (joinTimer_.isActive()) {
        joinTimer_.stop();
        if (lost)
            Q_EMIT refused(reason);
    } else if (std::exchange(joined_, false) && !leaving_ && lost) {
        Q_EMIT removed();
    }
}

void ChatRoom::handleMessage(const XmlElement& message, const QString& nickname)
{
    if (nickname.isEmpty() || message.attribute(u"type") == QLatin1String("error"))
        return;
    if (message.attribute(u"type") == QLatin1String("groupchat")) {
        const XmlElement* body = message.child(u"body", XmppNs::kClient);
        // The room replays recent talk to newcomers; only what is said now counts.
        if (body != nullptr && message.child(u"delay", u"urn:xmpp:delay") == nullptr)
            Q_EMIT said(nickname, body->text);
        return;
    }
    Q_EMIT privateMessage(nickname, message);
}
