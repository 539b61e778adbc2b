// The lobby's Prosody as a player's client meets it: TLS before any sign-in, accounts on the
// domain and anonymous sign-in on its guest name, the stanza size limit, loopback only in
// tests, and a lobby that comes back after dying.
#include "prosodyfixture.h"

#include <QSslCertificate>
#include <QSslConfiguration>
#include <QSslSocket>
#include <QTest>
#include <QXmlStreamReader>

#include <memory>

namespace {

constexpr int kWaitMs = 10000;

// What a stream's features offer, as paths below <features>, text after "=":
// "starttls/required", "mechanisms/mechanism=ANONYMOUS".
QStringList offered(const QByteArray& stream)
{
    QXmlStreamReader xml(stream);
    QStringList path;
    QStringList found;
    while (!xml.atEnd() && !xml.hasError()) {
        const QXmlStreamReader::TokenType token = xml.readNext();
        if (token == QXmlStreamReader::StartElement && (!path.isEmpty() || xml.name() == u"features")) {
            path << xml.name().toString();
            if (path.size() > 1)
                found << path.mid(1).join(u'/');
        } else if (token == QXmlStreamReader::Characters && path.size() > 1) {
            found << path.mid(1).join(u'/') + u'=' + xml.text().toString();
        } else if (token == QXmlStreamReader::EndElement && !path.isEmpty()) {
            path.removeLast();
        }
    }
    return found;
}

// A client connection read as text: enough to see features, answers and errors.
class Stream {
public:
    Stream(const ProsodyFixture& lobby, const QString& host) : host_(host)
    {
        QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
        tls.setCaCertificates(QSslCertificate::fromPath(lobby.caFile()));
        socket_.setSslConfiguration(tls);
        socket_.setPeerVerifyName(host);
        socket_.connectToHost(lobby.address(), lobby.port());
    }

    void send(const QByteArray& xml) { socket_.write(xml); }

    // Waits for the text in what came since the last stream was opened.
    bool waitFor(const QByteArray& text)
    {
        return QTest::qWaitFor(
                   [&] {
                       received_ += socket_.readAll();
                       return received_.contains(text) ||
                              socket_.state() == QAbstractSocket::UnconnectedState;
                   },
                   kWaitMs) &&
               received_.contains(text);
    }

    bool disconnected()
    {
        return QTest::qWaitFor([&] { return socket_.state() == QAbstractSocket::UnconnectedState; }, kWaitMs);
    }

    // Opens a stream (again, after TLS or sign-in) and returns its features.
    QStringList open()
    {
        received_.clear();
        send(QStringLiteral("<?xml version='1.0'?><stream:stream to='%1' version='1.0' xmlns='jabber:client' "
                            "xmlns:stream='http://etherx.jabber.org/streams'>")
                 .arg(host_)
                 .toUtf8());
        return waitFor("features>") ? offered(received_) : QStringList();
    }

    bool startTls()
    {
        send("<starttls xmlns='urn:ietf:params:xml:ns:xmpp-tls'/>");
        if (!waitFor("proceed"))
            return false;
        socket_.startClientEncryption();
        const bool encrypted =
            QTest::qWaitFor(
                [&] { return socket_.isEncrypted() || socket_.state() != QAbstractSocket::ConnectedState; },
                kWaitMs) &&
            socket_.isEncrypted();
        if (!encrypted)
            qWarning() << "TLS failed:" << socket_.sslHandshakeErrors() << socket_.errorString();
        return encrypted;
    }

    bool signInAsGuest()
    {
        if (!open().contains(u"starttls/required") || !startTls() ||
            !open().contains(u"mechanisms/mechanism=ANONYMOUS"))
            return false;
        send("<auth xmlns='urn:ietf:params:xml:ns:xmpp-sasl' mechanism='ANONYMOUS'/>");
        return waitFor("success") && open().contains(u"bind");
    }

private:
    QString host_;
    QSslSocket socket_;
    QByteArray received_;
};

} // namespace

class TestLobbyServer : public QObject {
    Q_OBJECT

    std::unique_ptr<ProsodyFixture> lobby_;

private Q_SLOTS:
    void initTestCase()
    {
        lobby_ = std::make_unique<ProsodyFixture>();
        QVERIFY(lobby_->start());
    }

    void cleanupTestCase() { QVERIFY(lobby_->stop()); }

    void signInNames_data()
    {
        QTest::addColumn<QString>("host");
        QTest::addColumn<QString>("offered");
        QTest::addColumn<QString>("notOffered");
        QTest::newRow("accounts") << lobby_->domain() << "SCRAM-SHA-1"
                                  << "ANONYMOUS";
        QTest::newRow("guests") << lobby_->guestDomain() << "ANONYMOUS"
                                << "SCRAM-SHA-1";
    }

    // Nothing of a sign-in travels in clear: the plain stream offers STARTTLS, required, and no
    // mechanism; over TLS each name offers its own way in.
    void signInNames()
    {
        QFETCH(QString, host);
        QFETCH(QString, offered);
        QFETCH(QString, notOffered);
        Stream stream(*lobby_, host);
        const QStringList plain = stream.open();
        QVERIFY2(plain.contains(u"starttls/required"), qPrintable(plain.join(u' ')));
        QVERIFY(plain.filter(QStringLiteral("mechanism")).isEmpty());
        QVERIFY(stream.startTls());
        const QStringList secure = stream.open();
        QVERIFY2(secure.contains(QStringLiteral("mechanisms/mechanism=") + offered),
                 qPrintable(secure.join(u' ')));
        QVERIFY(!secure.contains(QStringLiteral("mechanisms/mechanism=") + notOffered));
    }

    void stanzasOverTheLimits_data()
    {
        QTest::addColumn<QByteArray>("stanza");
        QTest::addColumn<QByteArray>("answer");
        QTest::addColumn<bool>("closes");
        const auto ping = [](int size) {
            const QByteArray head = "<iq type='get' id='pinfall-big'><ping xmlns='urn:xmpp:ping'><pad>";
            const QByteArray tail = "</pad></ping></iq>";
            return head + QByteArray(size - head.size() - tail.size(), 'x') + tail;
        };
        QTest::newRow("60000 bytes") << ping(60000) << QByteArray("pinfall-big") << false;
        QTest::newRow("70000 bytes") << ping(70000) << QByteArray("policy-violation") << true;
        QTest::newRow("broken XML") << QByteArray("<iq type='get' id='x'><ping xmlns='urn:xmpp:ping'></iq>")
                                    << QByteArray("not-well-formed") << true;
    }

    // A stanza over 64 KiB, or one that is not XML, ends the sender's stream with the reason;
    // one under the limit is answered.
    void stanzasOverTheLimits()
    {
        QFETCH(QByteArray, stanza);
        QFETCH(QByteArray, answer);
        QFETCH(bool, closes);
        Stream stream(*lobby_, lobby_->guestDomain());
        QVERIFY(stream.signInAsGuest());
        stream.send(stanza);
        QVERIFY(stream.waitFor(answer)); // an answer to the stanza: the stream stays
        if (closes)
            QVERIFY(stream.disconnected());
    }

    void listensOnLoopbackOnly_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<bool>("reached");
        QTest::newRow("127.0.0.1") << "127.0.0.1" << true;
        QTest::newRow("127.0.0.2") << "127.0.0.2" << false;
        QTest::newRow("::1") << "::1" << false;
    }

    void listensOnLoopbackOnly()
    {
        QFETCH(QString, address);
        QFETCH(bool, reached);
        QTcpSocket socket;
        socket.connectToHost(QHostAddress(address), lobby_->port());
        QVERIFY(QTest::qWaitFor(
            [&] {
                return socket.state() == QAbstractSocket::ConnectedState ||
                       socket.state() == QAbstractSocket::UnconnectedState;
            },
            kWaitMs));
        QCOMPARE(socket.state() == QAbstractSocket::ConnectedState, reached);
    }

    // The fixture's lobby dies with Prosody and comes back on the same port and data.
    void comesBackAfterBeingKilled()
    {
        Stream before(*lobby_, lobby_->domain());
        QVERIFY(!before.open().isEmpty());
        lobby_->kill();
        QVERIFY(before.disconnected());
        QVERIFY(lobby_->start());
        Stream after(*lobby_, lobby_->domain());
        QVERIFY(after.open().contains(u"starttls/required"));
    }
};

QTEST_GUILESS_MAIN(TestLobbyServer)
#include "tst_lobbyserver.moc"
