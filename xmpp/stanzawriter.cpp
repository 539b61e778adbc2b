#include "stanzawriter.h"

#include <QXmlStreamWriter>

namespace {

void writeElement(QXmlStreamWriter& writer, const XmlElement& element, const QString& inheritedNs)
{
    writer.writeStartElement(element.name);
    if (element.ns != inheritedNs)
        writer.writeDefaultNamespace(element.ns);
    for (const auto& [name, value] : element.attributes)
        writer.writeAttribute(name, value);
    if (!element.text.isEmpty())
        writer.writeCharacters(element.text);
    for (const XmlElement& child : element.children)
        writeElement(writer, child, element.ns);
    writer.writeEndElement();
}

} // namespace

XmlElement makeElement(const QString& name, const QString& ns, QList<std::pair<QString, QString>> attributes,
                       const QString& text)
{
    XmlElement element;
    element.name = name;
    element.ns = ns;
    element.attributes = std::move(attributes);
    element.text = text;
    return element;
}

QByteArray writeStanza(const XmlElement& element)
{
    QByteArray bytes;
    QXmlStreamWriter writer(&bytes);
    writeElement(writer, element, XmppNs::kClient);
    return bytes;
}

QByteArray streamHeader(const QString& domain)
{
    const QString to = domain.toHtmlEscaped().replace(QLatin1Char('\''), QStringLiteral("&apos;"));
    return "<?xml version='1.0'?><stream:stream to='" + to.toUtf8() +
           "' version='1.0' xmlns='jabber:client' xmlns:stream='http://etherx.jabber.org/streams'>";
}
