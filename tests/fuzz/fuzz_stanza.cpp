// Feeds arbitrary bytes to the XMPP stanza reader, as a hostile server could, cut into pieces
// whose sizes the input's first bytes choose. However the bytes are cut, the reader gives the
// same events as when they come whole (an error's wording aside: it names the first fault met),
// opens the stream before any stanza, says nothing after an error or the stream's end, never
// hands over a stanza beyond its caps, and reads a fresh stream after reset().
#include "stanzareader.h"

#include <cstdint>
#include <cstdlib>

namespace {

using Kind = StanzaReader::Event::Kind;

void check(bool holds)
{
    if (!holds)
        std::abort();
}

bool same(const XmlElement& a, const XmlElement& b)
{
    return a.name == b.name && a.ns == b.ns && a.attributes == b.attributes && a.text == b.text &&
           std::equal(a.children.begin(), a.children.end(), b.children.begin(), b.children.end(), same);
}

// The UTF-8 bytes of what the element holds, which its own bytes on the wire cannot be fewer than
// (an entity or a character reference is never shorter than what it stands for).
qsizetype contentBytes(const XmlElement& element, int depth, int& deepest)
{
    deepest = std::max(deepest, depth);
    qsizetype bytes = element.name.toUtf8().size() + element.text.toUtf8().size();
    for (const auto& [name, value] : element.attributes)
        bytes += name.toUtf8().size() + value.toUtf8().size();
    for (const XmlElement& child : element.children)
        bytes += contentBytes(child, depth + 1, deepest);
    return bytes;
}

// Feeds the bytes in pieces of the sizes given in turn (all at once when none are), and checks each event
// against the order a stream allows.
QList<StanzaReader::Event> readAll(StanzaReader& reader, QByteArrayView bytes, QByteArrayView sizes)
{
    QList<StanzaReader::Event> events;
    bool opened = false;
    bool over = false;
    for (qsizetype turn = 0; !bytes.isEmpty(); ++turn) {
        const qsizetype size =
            sizes.isEmpty() ? bytes.size()
                            : std::min<qsizetype>(bytes.size(),
                                                  static_cast<std::uint8_t>(sizes[turn % sizes.size()]) + 1);
        reader.feed(bytes.first(size));
        bytes = bytes.sliced(size);
        while (std::optional<StanzaReader::Event> event = reader.next()) {
            check(!over);
            switch (event->kind) {
            case Kind::StreamOpened:
                check(!opened && event->element.children.isEmpty());
                opened = true;
                break;
            case Kind::Stanza: {
                int deepest = 1;
                check(opened && contentBytes(event->element, 1, deepest) <= StanzaReader::kMaxStanzaBytes);
                check(deepest <= StanzaReader::kMaxDepth);
                break;
            }
            case Kind::StreamClosed:
                check(opened);
                over = true;
                break;
            case Kind::Error:
                check(!event->error.isEmpty() && event->element.name.isEmpty());
                over = true;
                break;
            }
            events.append(std::move(*event));
        }
    }
    return events;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArrayView input(data, static_cast<qsizetype>(size));
    const qsizetype sizeBytes =
        input.isEmpty() ? 0 : (input[0] & 3) + 1; // then a piece's size less one, each
    if (input.size() <= sizeBytes)
        return 0;
    const QByteArrayView stream = input.sliced(sizeBytes + 1);

    StanzaReader reader;
    const QList<StanzaReader::Event> cut = readAll(reader, stream, input.sliced(1, sizeBytes));
    StanzaReader whole;
    const QList<StanzaReader::Event> once = readAll(whole, stream, {});
    check(cut.size() == once.size());
    for (qsizetype i = 0; i < cut.size(); ++i)
        check(cut[i].kind == once[i].kind && same(cut[i].element, once[i].element));

    reader.reset();
    const QList<StanzaReader::Event> fresh =
        readAll(reader,
                "<stream:stream xmlns='jabber:client' xmlns:stream='http://etherx.jabber.org/streams'>"
                "<presence/></stream:stream>",
                {});
    check(fresh.size() == 3 && fresh[1].kind == Kind::Stanza && fresh[2].kind == Kind::StreamClosed);
    return 0;
}
