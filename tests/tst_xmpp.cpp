// The XMPP client: the sign-in arithmetic against its published example, and then, against a
// real Prosody on loopback, signing in, rooms, private messages and what ends a connection.
#include "chatroom.h"
#include "gameroomguest.h"
#include "gameroomhost.h"
#include "internetlobby.h"
#include "prosodyfixture.h"
#include "relaytransport.h"
#include "scramsha1.h"
#include "stanzawriter.h"
#include "xmppconnection.h"

#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTest>

class TestXmpp : public QObject {
    Q_OBJECT
    ProsodyFixture lobby_; // one lobby for every case

private Q_SLOTS:
    void scramFollowsThePublishedExample();
    void scramRefusesAHostileChallenge_data();
    void scramRefusesAHostileChallenge();
    void stanzasAreWrittenEscaped();
    void inviteCodesReadAsTyped_data();
    void inviteCodesReadAsTyped();
    void joinLinksName_data();
    void joinLinksName();
    void lobbiesReadAsNamed_data();
    void lobbiesReadAsNamed();
    void lobbyNamesFitTheGame_data();
    void lobbyNamesFitTheGame();

    // Against the lobby.
    void initTestCase();
    void aGuestSignsIn();
    void signingInFails_data();
    void signingInFails();
    void aQuietLobbyIsPingedAndStays();
    void roomsCarryPresenceTalkAndPrivateMessages();
    void aRoomThatNeverAnswersIsGivenUp();
    void aGameIsJoinedByItsCodeAndRelaysBytes();
    void theLobbySaysWhereItStands_data();
    void theLobbySaysWhereItStands();
    void theLobbyListsGamesAndPeopleAndCarriesTalk();
    void aLobbyThatGoesAwayIsSaid(); // last: it kills the lobby
};

namespace {

const QByteArray kClientNonce = "fyko+d2lbbFgONRv9qkxdawL";
const QByteArray kServerFirst = "r=fyko+d2lbbFgONRv9qkxdawL3rfcNHYJY1ZVvWVs7j,s=QSXCR+Q6sek8bf92,i=4096";

} // namespace

// RFC 5802's example exchange, byte for byte.
void TestXmpp::scramFollowsThePublishedExample()
{
    ScramSha1 scram(QStringLiteral("user"), QStringLiteral("pencil"), kClientNonce);
    QCOMPARE(scram.clientFirst(), QByteArray("n,,n=user,r=fyko+d2lbbFgONRv9qkxdawL"));
    QCOMPARE(
        scram.clientFinal(kServerFirst),
        QByteArray("c=biws,r=fyko+d2lbbFgONRv9qkxdawL3rfcNHYJY1ZVvWVs7j,p=v0X8v3Bz2T0CJGbJQyF0X+HI4Ts="));
    QVERIFY(scram.verifyServerFinal("v=rmF9pqV8S7suAoZWja4dJRkFsKQ="));
    QVERIFY(!scram.verifyServerFinal("v=rmF9pqV8S7suAoZWja4dJRkFsKQ"));
    QVERIFY(!scram.verifyServerFinal("e=other-error"));
    // A user name with the two characters SCRAM escapes.
    QCOMPARE(ScramSha1(QStringLiteral("a=b,c"), {}, "n").clientFirst(), QByteArray("n,,n=a=3Db=2Cc,r=n"));
}

void TestXmpp::scramRefusesAHostileChallenge_data()
{
    QTest::addColumn<QByteArray>("serverFirst");
    QTest::newRow("nonce not ours") << QByteArray("r=someoneelse,s=QSXCR+Q6sek8bf92,i=4096");
    QTest::newRow("nonce not extended") << QByteArray("r=" + kClientNonce + ",s=QSXCR+Q6sek8bf92,i=4096");
    QTest::newRow("no salt") << QByteArray("r=" + kClientNonce + "x,i=4096");
    QTest::newRow("salt not base64") << QByteArray("r=" + kClientNonce + "x,s=!!,i=4096");
    QTest::newRow("no rounds") << QByteArray("r=" + kClientNonce + "x,s=QSXCR+Q6sek8bf92");
    QTest::newRow("rounds not a number") << QByteArray("r=" + kClientNonce + "x,s=QSXCR+Q6sek8bf92,i=many");
    QTest::newRow("no rounds at all") << QByteArray("r=" + kClientNonce + "x,s=QSXCR+Q6sek8bf92,i=0");
    QTest::newRow("rounds beyond reason")
        << QByteArray("r=" + kClientNonce + "x,s=QSXCR+Q6sek8bf92,i=100001");
    QTest::newRow("empty") << QByteArray();
}

void TestXmpp::scramRefusesAHostileChallenge()
{
    QFETCH(QByteArray, serverFirst);
    ScramSha1 scram(QStringLiteral("user"), QStringLiteral("pencil"), kClientNonce);
    QCOMPARE(scram.clientFinal(serverFirst), std::nullopt);
    QVERIFY(!scram.verifyServerFinal("v=rmF9pqV8S7suAoZWja4dJRkFsKQ=")); // nothing to prove yet
}

void TestXmpp::stanzasAreWrittenEscaped()
{
    XmlElement message =
        makeElement(QStringLiteral("message"), XmppNs::kClient,
                    {{QStringLiteral("to"), QStringLiteral("a'b\"<c>@rooms.localhost/Ann & Bob")}});
    message.children.append(
        makeElement(QStringLiteral("body"), XmppNs::kClient, {}, QStringLiteral("1 < 2 & </body>")));
    message.children.append(makeElement(QStringLiteral("game"), QStringLiteral("urn:pinfall:game")));
    QCOMPARE(
        writeStanza(message),
        QByteArray("<message to=\"a'b&quot;&lt;c&gt;@rooms.localhost/Ann &amp; Bob\"><body>1 &lt; 2 &amp; "
                   "&lt;/body&gt;</body><game xmlns=\"urn:pinfall:game\"/></message>"));
    QCOMPARE(
        streamHeader(QStringLiteral("a'b")),
        QByteArray("<?xml version='1.0'?><stream:stream to='a&apos;b' version='1.0' xmlns='jabber:client' "
                   "xmlns:stream='http://etherx.jabber.org/streams'>"));
}

void TestXmpp::inviteCodesReadAsTyped_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown"); // empty: not a code
    QTest::newRow("as shown") << "K7Q-4PZ"
                              << "K7Q-4PZ";
    QTest::newRow("lower case, no dash") << "k7q4pz"
                                         << "K7Q-4PZ";
    QTest::newRow("spaces around") << "  k7q-4Pz "
                                   << "K7Q-4PZ";
    QTest::newRow("a look-alike O") << "K7Q-4PO"
                                    << "";
    QTest::newRow("a look-alike 1") << "K1Q-4PZ"
                                    << "";
    QTest::newRow("a look-alike L") << "KLQ-4PZ"
                                    << "";
    QTest::newRow("too short") << "K7Q-4P"
                               << "";
    QTest::newRow("too long") << "K7Q-4PZZ"
                              << "";
    QTest::newRow("dash out of place") << "K7-Q4PZ"
                                       << "";
    QTest::newRow("empty") << ""
                           << "";
    QTest::newRow("its join link") << "pinfall://join/k7q4pz"
                                   << "K7Q-4PZ";
    QTest::newRow("as the host's Copy gives it") << "K7Q-4PZ pinfall://join/K7Q-4PZ"
                                                 << "K7Q-4PZ";
}

void TestXmpp::inviteCodesReadAsTyped()
{
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    const std::optional<InviteCode> code = InviteCode::fromPassedOn(typed);
    QCOMPARE(code ? code->shown() : QString(), shown);
    if (code)
        QCOMPARE(code->roomName(), shown.remove(QLatin1Char('-')).toLower());
}

void TestXmpp::joinLinksName_data()
{
    QTest::addColumn<QString>("link");
    QTest::addColumn<QString>("shown"); // empty: no game's link
    QTest::newRow("as made") << "pinfall://join/K7Q-4PZ"
                             << "K7Q-4PZ";
    QTest::newRow("any case, a slash after") << "PINFALL://Join/k7q4pz/"
                                             << "K7Q-4PZ";
    QTest::newRow("another scheme") << "https://join/K7Q-4PZ"
                                    << "";
    QTest::newRow("no code") << "pinfall://join/"
                             << "";
    QTest::newRow("more after the code") << "pinfall://join/K7Q-4PZ/x"
                                         << "";
    QTest::newRow("a code alone") << "K7Q-4PZ"
                                  << "";
}

void TestXmpp::joinLinksName()
{
    QFETCH(QString, link);
    QFETCH(QString, shown);
    const std::optional<InviteCode> code = InviteCode::fromJoinLink(link);
    QCOMPARE(code ? code->shown() : QString(), shown);
    if (code)
        QCOMPARE(InviteCode::fromJoinLink(code->joinLink()), code); // and back
}

void TestXmpp::lobbiesReadAsNamed_data()
{
    QTest::addColumn<QString>("named");
    QTest::addColumn<QString>("domain"); // empty: no lobby
    QTest::addColumn<int>("port");
    QTest::newRow("a domain") << "Lobby.Example.org"
                              << "lobby.example.org" << 5222;
    QTest::newRow("with a port") << "localhost:15222"
                                 << "localhost" << 15222;
    QTest::newRow("the highest port") << "a.b:65535"
                                      << "a.b" << 65535;
    QTest::newRow("port 0") << "a.b:0"
                            << "" << 0;
    QTest::newRow("port beyond") << "a.b:65536"
                                 << "" << 0;
    QTest::newRow("a space inside") << "a b"
                                    << "" << 0;
    QTest::newRow("a user part") << "ann@a.b"
                                 << "" << 0;
    QTest::newRow("empty") << ""
                           << "" << 0;
}

void TestXmpp::lobbiesReadAsNamed()
{
    QFETCH(QString, named);
    QFETCH(QString, domain);
    QFETCH(int, port);
    const std::optional<LobbyAddress> lobby = LobbyAddress::parse(named);
    QCOMPARE(lobby ? lobby->domain : QString(), domain);
    QCOMPARE(lobby ? int{lobby->port} : 0, port);
}

void TestXmpp::lobbyNamesFitTheGame_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("name");
    QTest::newRow("plain") << "Ann"
                           << "Ann";
    QTest::newRow("spaces") << "  Ann   Lee "
                            << "Ann Lee";
    QTest::newRow("too long") << QString(30, u'x') << QString(24, u'x');
    QTest::newRow("separators and controls") << "A+n\tn\x7f"
                                             << "Ann";
    QTest::newRow("beyond one byte") << QString::fromUtf8("Zoë 😀 Ÿ") << QString::fromUtf8("Zoë");
    QTest::newRow("nothing left") << "+++"
                                  << "";
}

void TestXmpp::lobbyNamesFitTheGame()
{
    QFETCH(QString, typed);
    QFETCH(QString, name);
    QCOMPARE(InternetLobby::fitName(typed), name);
}

namespace {

constexpr int kWait = 10'000;

// A guest's connection to the test's lobby.
struct Client {
    XmppConnection connection;
    QSignalSpy online{&connection, &XmppConnection::online};
    QSignalSpy closed{&connection, &XmppConnection::closed};

    void signIn(const ProsodyFixture& lobby)
    {
        connectAsGuest(connection, {.domain = lobby.domain(), .port = lobby.port()});
    }
    bool waitOnline()
    {
        return QTest::qWaitFor([this] { return !online.isEmpty() || !closed.isEmpty(); }, kWait) &&
               !online.isEmpty();
    }
    QString reason()
    {
        return closed.isEmpty() ? QStringLiteral("(still open)") : closed.last().first().toString();
    }
};

} // namespace

void TestXmpp::initTestCase()
{
    qRegisterMetaType<RelayTransport*>(); // the signals name it where it is only declared
    QVERIFY(lobby_.start());
}

void TestXmpp::aGuestSignsIn()
{
    Client guest;
    guest.signIn(lobby_);
    QVERIFY2(guest.waitOnline(), qPrintable(guest.reason()));
    QVERIFY2(guest.connection.jid().contains(QLatin1String("@guest.localhost/")),
             qPrintable(guest.connection.jid()));
    guest.connection.disconnectFromServer();
    QCOMPARE(guest.closed.size(), 1);
    QCOMPARE(guest.reason(), QString()); // ended by this side
}

void TestXmpp::signingInFails_data()
{
    QTest::addColumn<bool>("lobbyThere");
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("reason");
    QTest::newRow("nothing listening")
        << false << QString() << "Lobby unreachable: nothing is listening at that address and port.";
    QTest::newRow("no such account") << true << "nobody"
                                     << "The lobby refused the sign-in: not-authorized.";
    // A guest at the name that takes accounts only.
    QTest::newRow("guests refused") << true << ""
                                    << "The lobby does not let guests sign in.";
}

void TestXmpp::signingInFails()
{
    QFETCH(bool, lobbyThere);
    QFETCH(QString, user);
    QFETCH(QString, reason);
    Client client;
    if (lobbyThere) {
        client.connection.connectToServer(
            QStringLiteral("127.0.0.1"), lobby_.port(),
            {.domain = lobby_.domain(), .user = user, .password = QStringLiteral("secret")});
    } else {
        QTcpServer closedPort;
        QVERIFY(closedPort.listen(QHostAddress::LocalHost));
        const quint16 port = closedPort.serverPort();
        closedPort.close();
        client.connection.connectToServer(QStringLiteral("127.0.0.1"), port,
                                          {.domain = lobby_.guestDomain(), .user = {}, .password = {}});
    }
    QVERIFY(!client.waitOnline());
    QCOMPARE(client.reason(), reason);
    QCOMPARE(client.closed.size(), 1);
}

void TestXmpp::aQuietLobbyIsPingedAndStays()
{
    Client guest;
    guest.connection.idleTime = std::chrono::milliseconds(300);
    guest.connection.pingAnswerTime = std::chrono::milliseconds(250); // shorter: an answer must stop it
    guest.signIn(lobby_);
    QVERIFY2(guest.waitOnline(), qPrintable(guest.reason()));
    QTest::qWait(2000); // several pings, each answered
    QVERIFY2(guest.connection.isOnline(), qPrintable(guest.reason()));
}

void TestXmpp::roomsCarryPresenceTalkAndPrivateMessages()
{
    Client ann;
    Client bob;
    Client other;
    for (Client* client : {&ann, &bob, &other}) {
        client->signIn(lobby_);
        QVERIFY2(client->waitOnline(), qPrintable(client->reason()));
    }
    const QString roomJid = QStringLiteral("talk@") + lobby_.roomsDomain();
    ChatRoom annRoom(ann.connection, roomJid);
    ChatRoom bobRoom(bob.connection, roomJid);
    ChatRoom otherRoom(other.connection, roomJid);
    QSignalSpy annIn(&annRoom, &ChatRoom::joined);
    annRoom.join(QStringLiteral("Ann"), makeElement(QStringLiteral("mood"), QStringLiteral("urn:test"),
                                                    {{QStringLiteral("is"), QStringLiteral("keen")}}));
    QVERIFY(annIn.wait(kWait));
    QVERIFY(annRoom.madeByUs());

    QSignalSpy bobIn(&bobRoom, &ChatRoom::joined);
    bobRoom.join(QStringLiteral("Bob"));
    QVERIFY(bobIn.wait(kWait));
    QVERIFY(!bobRoom.madeByUs());
    const XmlElement* mood = bobRoom.occupants().value(QStringLiteral("Ann")).child(u"mood", u"urn:test");
    QVERIFY(mood != nullptr);
    QCOMPARE(mood->attribute(u"is"), QStringLiteral("keen"));
    QTRY_VERIFY(annRoom.occupants().contains(QStringLiteral("Bob")));

    QSignalSpy refused(&otherRoom, &ChatRoom::refused);
    otherRoom.join(QStringLiteral("Ann"));
    QVERIFY(refused.wait(kWait));
    QCOMPARE(refused.first().first().toString(), QStringLiteral("That name is taken here; try another"));

    QSignalSpy toBob(&bobRoom, &ChatRoom::privateMessage);
    QSignalSpy said(&bobRoom, &ChatRoom::said);
    annRoom.sendPrivate(QStringLiteral("Bob"), makeElement(QStringLiteral("note"), QStringLiteral("urn:test"),
                                                           {}, QStringLiteral("psst")));
    annRoom.say(QStringLiteral("hello all"));
    QVERIFY(said.wait(kWait));
    QTRY_COMPARE(toBob.size(), 1);
    QCOMPARE(toBob.first().first().toString(), QStringLiteral("Ann"));
    QCOMPARE(toBob.first().last().value<XmlElement>().child(u"note", u"urn:test")->text,
             QStringLiteral("psst"));
    QCOMPARE(said.first(), (QVariantList{QStringLiteral("Ann"), QStringLiteral("hello all")}));

    QSignalSpy annLeft(&bobRoom, &ChatRoom::occupantLeft);
    annRoom.leave();
    QVERIFY(annLeft.wait(kWait));
    QCOMPARE(annLeft.first().first().toString(), QStringLiteral("Ann"));
    QVERIFY(!bobRoom.occupants().contains(QStringLiteral("Ann")));
}

void TestXmpp::aRoomThatNeverAnswersIsGivenUp()
{
    Client guest;
    guest.signIn(lobby_);
    QVERIFY2(guest.waitOnline(), qPrintable(guest.reason()));
    // Presence to an account that does not exist goes unanswered: no room is there.
    ChatRoom silent(guest.connection, QStringLiteral("nobody@") + lobby_.domain());
    silent.joinTime = std::chrono::milliseconds(300);
    QSignalSpy refused(&silent, &ChatRoom::refused);
    silent.join(QStringLiteral("Ann"));
    QVERIFY(refused.wait(kWait));
    QCOMPARE(refused.first().first().toString(),
             QStringLiteral("The lobby did not let us into the room in time"));
    QVERIFY(!silent.isJoined());
}

void TestXmpp::aGameIsJoinedByItsCodeAndRelaysBytes()
{
    Client host;
    Client ann;
    for (Client* client : {&host, &ann}) {
        client->signIn(lobby_);
        QVERIFY2(client->waitOnline(), qPrintable(client->reason()));
    }
    const LobbyAddress lobby{.domain = lobby_.domain(), .port = lobby_.port()};
    GameRoomHost room(host.connection, lobby);
    QSignalSpy opened(&room, &GameRoomHost::opened);
    QSignalSpy arrived(&room, &GameRoomHost::participantArrived);
    room.open(QStringLiteral("Bob"),
              GameListing{.code = {}, .version = QStringLiteral("1.0"), .hostName = QStringLiteral("Bob")},
              false);
    QVERIFY(opened.wait(kWait));
    const InviteCode code = *room.code();

    GameRoomGuest lost(ann.connection, lobby);
    QSignalSpy noGame(&lost, &GameRoomGuest::failed);
    InviteCode other = code;
    while (other == code)
        other = InviteCode::random(*QRandomGenerator::global());
    lost.join(other, QStringLiteral("Ann"));
    QVERIFY(noGame.wait(kWait));
    QCOMPARE(noGame.first().first().toString(),
             QStringLiteral("No game has the code %1.").arg(other.shown()));

    GameRoomGuest guest(ann.connection, lobby);
    QSignalSpy reached(&guest, &GameRoomGuest::reached);
    guest.join(*InviteCode::parse(code.shown().toLower()), QStringLiteral("Ann"));
    QVERIFY(reached.wait(kWait));
    QTRY_COMPARE(arrived.size(), 1);
    auto* toHost = reached.first().first().value<RelayTransport*>();
    auto* toAnn = arrived.first().first().value<RelayTransport*>();
    QCOMPARE(toHost->peerNickname(), QStringLiteral("Bob"));
    QVERIFY(toAnn->peerNickname().startsWith(QLatin1String("Ann~"))); // a nickname of this connection's own

    // Bytes of any value, in writes of one turn, arrive whole and in order, both ways.
    QByteArray all;
    for (int value = 0; value < 256; ++value)
        all += static_cast<char>(value);
    toHost->write(all.first(100));
    toHost->write(all.sliced(100));
    QTRY_COMPARE(toAnn->bytesAvailable(), 256);
    QCOMPARE(toAnn->read(1000), all);
    const QByteArray large(RelayTransport::kMostBytesPerMessage * 2 + 5, 'x');
    toAnn->write(large);
    QTRY_COMPARE(toHost->bytesAvailable(), large.size());
    QCOMPARE(toHost->read(large.size()), large);

    // Ann leaving the room is her connection closing.
    QSignalSpy gone(toAnn, &StreamTransport::disconnected);
    guest.leave();
    QVERIFY(gone.wait(kWait));
}

// Last: the lobby is gone afterwards.
void TestXmpp::aLobbyThatGoesAwayIsSaid()
{
    Client guest;
    guest.signIn(lobby_);
    QVERIFY2(guest.waitOnline(), qPrintable(guest.reason()));
    lobby_.kill();
    QTRY_VERIFY_WITH_TIMEOUT(!guest.closed.isEmpty(), kWait);
    QVERIFY2(guest.reason().startsWith(QLatin1String("The connection to the lobby was lost: ")),
             qPrintable(guest.reason()));
}

void TestXmpp::theLobbySaysWhereItStands_data()
{
    QTest::addColumn<QString>("domain"); // empty: the test's lobby
    QTest::addColumn<bool>("listening");
    QTest::addColumn<QString>("status");
    QTest::newRow("in") << QString() << true << "In the lobby: 1 player, 0 games";
    QTest::newRow("nothing listening")
        << QString() << false << "Lobby unreachable: nothing is listening at that address and port.";
    QTest::newRow("an XMPP server without our names") << "127.0.0.1" << true << "Not a Pinfall lobby";
}

void TestXmpp::theLobbySaysWhereItStands()
{
    QFETCH(QString, domain);
    QFETCH(bool, listening);
    QFETCH(QString, status);
    quint16 port = lobby_.port();
    if (!listening) {
        QTcpServer closedPort;
        QVERIFY(closedPort.listen(QHostAddress::LocalHost));
        port = closedPort.serverPort();
    }
    InternetLobby lobby;
    QSignalSpy changed(&lobby, &InternetLobby::changed);
    lobby.enter({.domain = domain.isEmpty() ? lobby_.domain() : domain, .port = port}, QStringLiteral("Ann"));
    QCOMPARE(lobby.statusText(),
             QStringLiteral("Connecting to %1…").arg(domain.isEmpty() ? lobby_.domain() : domain));
    QTRY_VERIFY_WITH_TIMEOUT(lobby.state() != InternetLobby::State::Connecting, kWait);
    QCOMPARE(lobby.statusText(), status);
    lobby.leave();
    QCOMPARE(lobby.state(), InternetLobby::State::Off);
}

void TestXmpp::theLobbyListsGamesAndPeopleAndCarriesTalk()
{
    const LobbyAddress address{.domain = lobby_.domain(), .port = lobby_.port()};
    InternetLobby ann;
    InternetLobby bob;
    for (InternetLobby* lobby : {&ann, &bob}) {
        lobby->enter(address, QStringLiteral("Ann"));
        QTRY_VERIFY_WITH_TIMEOUT(lobby->state() != InternetLobby::State::Connecting, kWait);
    }
    QCOMPARE(bob.statusText(), QStringLiteral("That name is taken here; try another"));
    bob.retry(QStringLiteral("Bob"));
    QTRY_COMPARE_WITH_TIMEOUT(bob.state(), InternetLobby::State::In, kWait);

    Client host;
    host.signIn(lobby_);
    QVERIFY2(host.waitOnline(), qPrintable(host.reason()));
    GameRoomHost game(host.connection, address);
    game.open(QStringLiteral("Lee"),
              GameListing{.code = {}, .version = QStringLiteral("1.0"), .hostName = QStringLiteral("Lee")},
              true);
    QTRY_COMPARE_WITH_TIMEOUT(ann.games().size(), 1, kWait);
    QCOMPARE(ann.games().first().hostName, QStringLiteral("Lee"));
    QCOMPARE(ann.people(), QStringList{QStringLiteral("Bob")});
    QCOMPARE(ann.statusText(), QStringLiteral("In the lobby: 2 players, 1 game"));

    QSignalSpy heard(&bob, &InternetLobby::said);
    ann.say(QStringLiteral("anyone for a game?"));
    QVERIFY(heard.wait(kWait));
    QCOMPARE(heard.first(), (QVariantList{QStringLiteral("Ann"), QStringLiteral("anyone for a game?")}));
}

QTEST_GUILESS_MAIN(TestXmpp)
#include "tst_xmpp.moc"
