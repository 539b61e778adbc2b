#pragma once

#include "xmlelement.h"

#include <QByteArray>

// The namespaces of a client's stream.
namespace XmppNs {
inline const QString kClient = QStringLiteral("jabber:client");
inline const QString kStream = QStringLiteral("http://etherx.jabber.org/streams");
inline const QString kTls = QStringLiteral("urn:ietf:params:xml:ns:xmpp-tls");
inline const QString kSasl = QStringLiteral("urn:ietf:params:xml:ns:xmpp-sasl");
inline const QString kBind = QStringLiteral("urn:ietf:params:xml:ns:xmpp-bind");
inline const QString kStanzas = QStringLiteral("urn:ietf:params:xml:ns:xmpp-stanzas");
inline const QString kPing = QStringLiteral("urn:xmpp:ping");
inline const QString kMuc = QStringLiteral("http://jabber.org/protocol/muc");
inline const QString kMucUser = QStringLiteral("http://jabber.org/protocol/muc#user");
} // namespace XmppNs

// Builds an element: makeElement("iq", XmppNs::kClient, {{"type", "get"}}).
XmlElement makeElement(const QString& name, const QString& ns,
                       QList<std::pair<QString, QString>> attributes = {}, const QString& text = {});

// The element as the stream carries it: escaped, with its namespace declared only where it
// differs from the stream's (jabber:client).
QByteArray writeStanza(const XmlElement& element);

// The opening of a client's stream to `domain`.
QByteArray streamHeader(const QString& domain);
