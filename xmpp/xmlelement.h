#pragma once

#include <QList>
#include <QString>

#include <utility>

// One element of an XMPP stream as read: its name and namespace, its attributes, the character
// data directly inside it and its child elements. A stanza is the element at depth 1 of the
// stream, whole.
struct XmlElement {
    QString name; // local name
    QString ns;   // namespace URI, inherited where not declared
    // By qualified name as written ("type", "xml:lang"), in document order.
    QList<std::pair<QString, QString>> attributes;
    QString text; // the character data directly inside, concatenated
    QList<XmlElement> children;

    // The value of the attribute, or an empty string when there is none.
    QString attribute(QStringView qualifiedName) const;
    // The first child of that name, in that namespace when one is given; nullptr when none.
    const XmlElement* child(QStringView localName, QStringView namespaceUri = {}) const;
};
