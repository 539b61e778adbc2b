#pragma once

#include "xmlelement.h"

#include <QMap>
#include <QObject>
#include <QTimer>

#include <chrono>

class XmppConnection;

// One multi-user chat room as this client takes part in it: joined under a nickname, with the
// occupants' presence as the server reports it, our own presence there (which may carry an
// element of ours, such as a game's summary), the room's talk, and private messages to and
// from single occupants. The server vouches for who sent what: a private message names its
// sender's nickname in the room.
class ChatRoom : public QObject {
    Q_OBJECT

public:
    ChatRoom(XmppConnection& connection, const QString& roomJid, QObject* parent = nullptr);

    // How long the room may take to let us in before the join counts as refused.
    std::chrono::milliseconds joinTime{15'000};

    QString jid() const { return roomJid_; }
    bool isJoined() const { return joined_; }
    // True when our entering made the room: nobody was in it before us.
    bool madeByUs() const { return madeByUs_; }

    // Enters the room (creating it when it does not exist yet) with `status` in the presence.
    void join(const QString& nickname, const XmlElement& status = {});
    // Our presence in the room changes to carry `status`.
    void setStatus(const XmlElement& status);
    void leave();
    void say(const QString& text);
    void sendPrivate(const QString& nickname, const XmlElement& payload);

    // The occupants other than us, each with their latest presence.
    const QMap<QString, XmlElement>& occupants() const { return occupants_; }

Q_SIGNALS:
    void joined();
    // The room would not have us, or did not answer in time: why, in plain words.
    void refused(const QString& reason);
    void occupantChanged(const QString& nickname, const XmlElement& presence);
    void occupantLeft(const QString& nickname);
    void said(const QString& nickname, const QString& text);
    void privateMessage(const QString& nickname, const XmlElement& message);
    // We are out of the room without having asked (removed, the room gone, or the lobby).
    void removed();

private:
    void handle(const XmlElement& stanza);
    void handlePresence(const XmlElement& presence, const QString& nickname);
    void handleMessage(const XmlElement& message, const QString& nickname);
    XmlElement presence(const QString& type = {}) const;
    void connectionClosed(const QString& reason);

    XmppConnection& connection_;
    QString roomJid_;
    QString nickname_;
    XmlElement status_;
    bool joined_ = false;
    bool madeByUs_ = false;
    bool leaving_ = false;
    QMap<QString, XmlElement> occupants_;
    QTimer joinTimer_; // runs while we wait to be let in
};
