// The XMPP stanza reader: streams as a server sends them, cut anywhere, and hostile ones.
#include "stanzareader.h"

#include <QRandomGenerator>
#include <QTest>

#include <map>

class TestStanzaReader : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void readsStreamsCutAnywhere_data();
    void readsStreamsCutAnywhere();
    void refusesHostileStreams_data();
    void refusesHostileStreams();
    void resetReadsAFreshStream_data();
    void resetReadsAFreshStream();
    void elementsAreLookedUp();
};

namespace {

enum class Cut { Whole, Bytes, Random };

const QByteArray kOpening =
    "<stream:stream xmlns='jabber:client' xmlns:stream='http://etherx.jabber.org/streams' "
    "from='example.org' id='s1' version='1.0' xml:lang='en'>";
const QString kOpened = QStringLiteral(
    "open stream{http://etherx.jabber.org/streams}(from=example.org,id=s1,version=1.0,xml:lang=en)");

// The element on one line; its namespace is shown where it differs from its parent's.
QString describe(const XmlElement& element, const QString& parentNs)
{
    QString line = element.name;
    if (element.ns != parentNs)
        line += u'{' + element.ns + u'}';
    QStringList parts;
    for (const auto& [name, value] : element.attributes)
        parts << name + u'=' + value;
    if (!parts.isEmpty())
        line += u'(' + parts.join(u',') + u')';
    if (!element.text.isEmpty())
        line += u'"' + element.text + u'"';
    parts.clear();
    for (const XmlElement& child : element.children)
        parts << describe(child, element.ns);
    if (!parts.isEmpty())
        line += u'[' + parts.join(u' ') + u']';
    return line;
}

QStringList drain(StanzaReader& reader)
{
    using Kind = StanzaReader::Event::Kind;
    const std::map<Kind, QString> said{{Kind::StreamOpened, QStringLiteral("open ")},
                                       {Kind::Stanza, QStringLiteral("stanza ")},
                                       {Kind::StreamClosed, QStringLiteral("close ")},
                                       {Kind::Error, QStringLiteral("error ")}};
    QStringList events;
    while (const std::optional<StanzaReader::Event> event = reader.next()) {
        const QString parentNs = event->kind == Kind::Stanza ? QStringLiteral("jabber:client") : QString();
        events << (said.at(event->kind) + event->error + describe(event->element, parentNs)).trimmed();
    }
    return events;
}

QStringList feedCut(StanzaReader& reader, const QByteArray& bytes, Cut cut)
{
    QRandomGenerator random(7);
    QStringList events;
    for (qsizetype at = 0; at < bytes.size();) {
        const qsizetype size = cut == Cut::Whole   ? bytes.size()
                               : cut == Cut::Bytes ? 1
                                                   : random.bounded(1, 24);
        reader.feed(QByteArrayView(bytes).sliced(at, std::min(size, bytes.size() - at)));
        at += size;
        events += drain(reader);
    }
    return events;
}

template <typename... Columns>
void addCuts(const char* name, const QByteArray& stream, const Columns&... columns)
{
    for (const auto& [cut, how] :
         {std::pair{Cut::Whole, "whole"}, {Cut::Bytes, "bytes"}, {Cut::Random, "random"}})
        ((QTest::addRow("%s, %s", name, how) << stream << cut) << ... << columns);
}

QByteArray nested(int depth)
{
    return QByteArray("<a>").repeated(depth) + QByteArray("</a>").repeated(depth);
}

QByteArray stanzaOfSize(qsizetype bytes)
{
    return "<message><body>" + QByteArray(bytes - 32, 'x') + "</body></message>";
}

} // namespace

void TestStanzaReader::readsStreamsCutAnywhere_data()
{
    QTest::addColumn<QByteArray>("stream");
    QTest::addColumn<Cut>("cut");
    QTest::addColumn<QStringList>("events");
    addCuts("opening", kOpening, QStringList{kOpened});
    addCuts("declaration first, then the end",
            "<?xml version='1.0' encoding='UTF-8'?>\n" + kOpening + "</stream:stream>",
            QStringList{kOpened, QStringLiteral("close")});
    addCuts(
        "stanzas with whitespace between, namespaces inherited",
        kOpening + "\n <presence from='r@muc.example.org/ann'><x xmlns='http://jabber.org/protocol/muc#user'>"
                   "<status code='110'/></x></presence> \n<iq type='result' id='b'><bind "
                   "xmlns='urn:ietf:params:xml:ns:xmpp-bind'><jid>ann@example.org/p</jid></bind></iq>\t",
        QStringList{kOpened,
                    QStringLiteral("stanza presence(from=r@muc.example.org/ann)"
                                   "[x{http://jabber.org/protocol/muc#user}[status(code=110)]]"),
                    QStringLiteral("stanza iq(type=result,id=b)"
                                   "[bind{urn:ietf:params:xml:ns:xmpp-bind}[jid\"ann@example.org/p\"]]")});
    addCuts("prefixes and unknown namespaces",
            kOpening +
                "<stream:features><starttls xmlns='urn:ietf:params:xml:ns:xmpp-tls'><required/></starttls>"
                "<g:game xmlns:g='urn:example:pinfall' g:frame='3' xml:lang='de'/></stream:features>",
            QStringList{kOpened, QStringLiteral("stanza features{http://etherx.jabber.org/streams}"
                                                "[starttls{urn:ietf:params:xml:ns:xmpp-tls}[required] "
                                                "game{urn:example:pinfall}(g:frame=3,xml:lang=de)]")});
    addCuts("text: entities, character references, CDATA, UTF-8, around a child",
            kOpening + "<message><body>&lt;7&gt; &amp; &quot;a&quot; &apos;b&apos; &#233;&#xE9; caf\xc3\xa9 "
                       "\xf0\x9f\x8e\xb3<![CDATA[<b>]]><b/>!</body></message>",
            QStringList{kOpened, QStringLiteral("stanza message[body\"<7> & \"a\" 'b' \u00e9\u00e9 caf\u00e9 "
                                                "\U0001F3B3<b>!\"[b]]")});
    addCuts("stream error, the end, and nothing after it",
            kOpening + "<stream:error><conflict xmlns='urn:ietf:params:xml:ns:xmpp-streams'/></stream:error>"
                       "</stream:stream><x",
            QStringList{kOpened,
                        QStringLiteral("stanza error{http://etherx.jabber.org/streams}"
                                       "[conflict{urn:ietf:params:xml:ns:xmpp-streams}]"),
                        QStringLiteral("close")});
    addCuts("nested as deep as allowed", kOpening + nested(StanzaReader::kMaxDepth),
            QStringList{kOpened, QStringLiteral("stanza ") +
                                     QString(QStringLiteral("a[")).repeated(StanzaReader::kMaxDepth - 1) +
                                     u'a' + QString(u']').repeated(StanzaReader::kMaxDepth - 1)});
    // The cap is for each stanza, the whitespace before it included, and not for the stream.
    const auto bodyOf = [](qsizetype bytes) {
        return QStringLiteral("stanza message[body\"%1\"]").arg(QString(bytes - 32, u'x'));
    };
    const qsizetype cap = StanzaReader::kMaxStanzaBytes;
    addCuts("stanzas as large as allowed", kOpening + stanzaOfSize(cap) + '\n' + stanzaOfSize(cap - 1),
            QStringList{kOpened, bodyOf(cap), bodyOf(cap - 1)});
}

void TestStanzaReader::readsStreamsCutAnywhere()
{
    QFETCH(QByteArray, stream);
    QFETCH(Cut, cut);
    QFETCH(QStringList, events);
    StanzaReader reader;
    QCOMPARE(feedCut(reader, stream, cut), events);
}

void TestStanzaReader::refusesHostileStreams_data()
{
    QTest::addColumn<QByteArray>("stream");
    QTest::addColumn<Cut>("cut");
    QTest::addColumn<QString>("reason");
    const QByteArray beyondCap(StanzaReader::kMaxStanzaBytes, 'x');
    const QString tooLarge = QStringLiteral("larger than 64 KiB");
    addCuts("stanza a byte over the cap", kOpening + stanzaOfSize(StanzaReader::kMaxStanzaBytes + 1),
            tooLarge);
    addCuts("text never closed", kOpening + "<message><body>" + beyondCap, tooLarge);
    addCuts("opening never closed",
            "<stream:stream xmlns:stream='http://etherx.jabber.org/streams' id='" + beyondCap, tooLarge);
    addCuts("nested too deep", kOpening + nested(StanzaReader::kMaxDepth + 1),
            QStringLiteral("more than 16 elements deep"));
    addCuts("DTD", "<?xml version='1.0'?><!DOCTYPE stream:stream [<!ENTITY a 'aa'>]>" + kOpening,
            QStringLiteral("document type"));
    addCuts("unknown entity", kOpening + "<message><body>&nbsp;</body></message>", QStringLiteral("'nbsp'"));
    addCuts("processing instruction", kOpening + "<?pinfall go?>", QStringLiteral("processing instruction"));
    addCuts("comment", kOpening + "<message><!-- hi --></message>", QStringLiteral("comment"));
    addCuts("broken nesting", kOpening + "<message><body></message>", QStringLiteral("broken XML"));
    addCuts("CDATA's end in text", kOpening + "<message><body>x]]>y</body></message>",
            QStringLiteral("']]>'"));
    addCuts("byte never in UTF-8", kOpening + "<message>\xff</message>", QStringLiteral("not UTF-8"));
    addCuts("UTF-8 surrogate", kOpening + "<message>\xed\xa0\x80</message>", QStringLiteral("not UTF-8"));
    addCuts("another encoding", "<?xml version='1.0' encoding='ISO-8859-1'?>" + kOpening,
            QStringLiteral("not in UTF-8"));
    addCuts("root in another namespace", "<stream xmlns='jabber:client'>",
            QStringLiteral("did not open an XMPP stream"));
    addCuts("root of another name", "<features xmlns='http://etherx.jabber.org/streams'>",
            QStringLiteral("did not open an XMPP stream"));
    addCuts("text outside a stanza", kOpening + "hello<presence/>", QStringLiteral("outside any stanza"));
}

void TestStanzaReader::refusesHostileStreams()
{
    QFETCH(QByteArray, stream);
    QFETCH(Cut, cut);
    QFETCH(QString, reason);
    StanzaReader reader;
    QStringList events = feedCut(reader, stream, cut);
    QVERIFY2(!events.isEmpty() && events.back().startsWith(u"error ") && events.back().contains(reason),
             qPrintable(events.join(u'\n').left(300)));
    events.removeLast();
    events.removeAll(kOpened);
    QCOMPARE(events, QStringList());
    reader.feed("<presence/></stream:stream>");
    QCOMPARE(drain(reader), QStringList()); // an error ends the stream
}

void TestStanzaReader::resetReadsAFreshStream_data()
{
    QTest::addColumn<QByteArray>("first");
    QTest::newRow("after STARTTLS, a stanza waiting and one cut inside a character")
        << kOpening + "<proceed xmlns='urn:ietf:params:xml:ns:xmpp-tls'/><message><body>caf\xc3";
    QTest::newRow("after a ']' that waits for what follows") << kOpening + "<message><body>]";
    QTest::newRow("after an error") << kOpening + "<!-- -->";
    QTest::newRow("after the end") << kOpening + "</stream:stream>";
}

void TestStanzaReader::resetReadsAFreshStream()
{
    QFETCH(QByteArray, first);
    StanzaReader reader;
    reader.feed(first); // what it read is not taken
    reader.reset();
    reader.feed("<?xml version='1.0'?>" + kOpening + "<presence/>");
    QCOMPARE(drain(reader), (QStringList{kOpened, QStringLiteral("stanza presence")}));
}

void TestStanzaReader::elementsAreLookedUp()
{
    StanzaReader reader;
    reader.feed(kOpening +
                "<iq type='result' xml:lang='de'><x xmlns='urn:a'/><x xmlns='urn:b'><y/></x><y/></iq>");
    reader.next();
    const XmlElement iq = reader.next().value_or(StanzaReader::Event{}).element;
    QCOMPARE(iq.attribute(u"type"), QStringLiteral("result"));
    QCOMPARE(iq.attribute(u"xml:lang"), QStringLiteral("de"));
    QCOMPARE(iq.attribute(u"lang"), QString());
    QVERIFY(iq.child(u"x") != nullptr);
    QCOMPARE(iq.child(u"x")->ns, QStringLiteral("urn:a"));
    QCOMPARE(iq.child(u"x", u"urn:b"), &iq.children[1]);
    QCOMPARE(iq.child(u"y", u"jabber:client"), &iq.children[2]);
    QCOMPARE(iq.child(u"y", u"urn:b"), nullptr);
}

QTEST_GUILESS_MAIN(TestStanzaReader)
#include "tst_stanzareader.moc"
