#include "stanzareader.h"

#include <algorithm>
#include <utility>

// The caps are kept without knowing where in the bytes the XML reader is. Every tag ends at a
// '>', and no UTF-8 sequence holds that byte, so the reader is given the bytes up to each '>' in
// turn: a tag completes only where the bytes given so far end. The bytes given since the last
// stanza ended are then exactly those of the stanza being read (with any whitespace before it),
// and a piece that would take them past the cap is refused before the XML reader holds it.

namespace {

const QString kStreamNs = QStringLiteral("http://etherx.jabber.org/streams");

QString tooLarge()
{
    return QStringLiteral("The server sent a stanza larger than %1 KiB.")
        .arg(StanzaReader::kMaxStanzaBytes / 1024);
}

} // namespace

void StanzaReader::feed(QByteArrayView bytes)
{
    // Qt's reader lets a "]]>" in text through when its bytes arrive apart, so a ']' or two that
    // end what arrived wait for what follows them.
    QByteArray joined;
    if (!held_.isEmpty()) {
        joined = std::exchange(held_, {}).append(bytes);
        bytes = joined;
    }
    while (!stopped_ && !bytes.isEmpty()) {
        const qsizetype tagEnd = bytes.indexOf('>');
        if (tagEnd < 0) {
            const qsizetype holdFrom = std::max<qsizetype>(0, bytes.size() - 2);
            qsizetype end = bytes.size();
            while (end > holdFrom && bytes[end - 1] == ']')
                --end;
            held_ = bytes.sliced(end).toByteArray();
            if (end > 0)
                read(bytes.first(end));
            break;
        }
        read(bytes.first(tagEnd + 1));
        bytes = bytes.sliced(tagEnd + 1);
    }
}

std::optional<StanzaReader::Event> StanzaReader::next()
{
    if (events_.empty())
        return std::nullopt;
    Event event = std::move(events_.front());
    events_.pop_front();
    return event;
}

void StanzaReader::reset()
{
    xml_.clear();
    utf8_.resetState();
    held_.clear();
    events_.clear();
    open_.clear();
    sinceBoundary_ = 0;
    opened_ = false;
    stopped_ = false;
}

void StanzaReader::read(QByteArrayView piece)
{
    if (sinceBoundary_ + piece.size() > kMaxStanzaBytes) {
        fail(tooLarge());
        return;
    }
    const QString decoded = utf8_.decode(piece); // only to learn whether the bytes are UTF-8
    if (utf8_.hasError()) {
        fail(QStringLiteral("The server sent text that is not UTF-8."));
        return;
    }
    sinceBoundary_ += piece.size();
    xml_.addData(piece.toByteArray());
    while (!stopped_) {
        const QXmlStreamReader::TokenType token = xml_.readNext();
        if (token == QXmlStreamReader::Invalid) {
            if (xml_.error() != QXmlStreamReader::PrematureEndOfDocumentError)
                fail(QStringLiteral("The server sent broken XML: %1").arg(xml_.errorString()));
            return; // else the rest is still on its way
        }
        handle(token);
    }
}

void StanzaReader::handle(QXmlStreamReader::TokenType token)
{
    switch (token) {
    case QXmlStreamReader::StartDocument:
        if (!xml_.documentEncoding().isEmpty() &&
            xml_.documentEncoding().compare(u"UTF-8", Qt::CaseInsensitive) != 0)
            fail(QStringLiteral("The server's stream is not in UTF-8."));
        break;
    case QXmlStreamReader::StartElement:
        startElement();
        break;
    case QXmlStreamReader::EndElement:
        endElement();
        break;
    case QXmlStreamReader::Characters:
        if (!open_.isEmpty())
            open_.back().text += xml_.text();
        else if (!xml_.isWhitespace())
            fail(QStringLiteral("The server sent text outside any stanza."));
        break;
    // A DTD could declare entities that grow without bound, or fetch them from elsewhere; XMPP
    // forbids it, and with it everything else that is not elements and text.
    case QXmlStreamReader::DTD:
        fail(QStringLiteral("The server sent a document type declaration, which XMPP forbids."));
        break;
    case QXmlStreamReader::EntityReference:
        fail(QStringLiteral("The server sent an entity other than the five XML ones: &%1;").arg(xml_.name()));
        break;
    case QXmlStreamReader::ProcessingInstruction:
        fail(QStringLiteral("The server sent a processing instruction, which XMPP forbids."));
        break;
    case QXmlStreamReader::Comment:
        fail(QStringLiteral("The server sent an XML comment, which XMPP forbids."));
        break;
    case QXmlStreamReader::NoToken:
    case QXmlStreamReader::Invalid:
    case QXmlStreamReader::EndDocument:
        break;
    }
}

void StanzaReader::startElement()
{
    XmlElement element;
    element.name = xml_.name().toString();
    element.ns = xml_.namespaceUri().toString();
    const QXmlStreamAttributes attributes = xml_.attributes();
    for (const QXmlStreamAttribute& attribute : attributes)
        element.attributes.append({attribute.qualifiedName().toString(), attribute.value().toString()});
    if (!opened_) {
        if (element.name != QLatin1String("stream") || element.ns != kStreamNs) {
            fail(QStringLiteral("The server did not open an XMPP stream."));
            return;
        }
        opened_ = true;
        sinceBoundary_ = 0;
        events_.push_back({Event::Kind::StreamOpened, std::move(element), {}});
        return;
    }
    if (open_.size() >= kMaxDepth) {
        fail(QStringLiteral("The server sent a stanza nested more than %1 elements deep.").arg(kMaxDepth));
        return;
    }
    open_.append(std::move(element));
}

void StanzaReader::endElement()
{
    if (open_.isEmpty()) { // the stream's own end: the XML reader has checked that the tags match
        events_.push_back({Event::Kind::StreamClosed, {}, {}});
        stop();
        return;
    }
    XmlElement element = open_.takeLast();
    if (!open_.isEmpty()) {
        open_.back().children.append(std::move(element));
        return;
    }
    sinceBoundary_ = 0;
    events_.push_back({Event::Kind::Stanza, std::move(element), {}});
}

void StanzaReader::fail(const QString& why)
{
    events_.push_back({Event::Kind::Error, {}, why});
    stop();
}

void StanzaReader::stop()
{
    stopped_ = true;
    xml_.clear();
    held_.clear();
    open_.clear();
}
