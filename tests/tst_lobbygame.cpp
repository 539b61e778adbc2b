// Games hosted on the lobby: a participant who joins by the invite code is seated by the host
// over the relay as over TCP and plays a whole game the same way; the headless programs meet
// there; the public list follows its games; nobody in a room speaks for another; and a lobby
// that stops is told on both sides while the host keeps the seats.
#include "chatroom.h"
#include "gameroomguest.h"
#include "gamesession.h"
#include "hostedgame.h"
#include "hostprocess.h"
#include "lobbygame.h"
#include "lobbyroute.h"
#include "messages.h"
#include "prosodyfixture.h"
#include "publicgames.h"
#include "reconnection.h"
#include "relaytransport.h"
#include "stanzawriter.h"
#include "tickedhost.h"
#include "wordfinder.h"
#include "xmppconnection.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

class TestLobbyGame : public QObject {
    Q_OBJECT
    ProsodyFixture lobby_; // one lobby for every case
    WordFinder words_{QStringLiteral(PINFALL_WORD_LIST)};
    QList<int> sheetOverTcp_;

private Q_SLOTS:
    void initTestCase();
    void aParticipantPlaysThroughTheLobby();
    void departuresReachTheOtherSide_data();
    void departuresReachTheOtherSide();
    void aWholeGameScoresAlikeEitherWay_data();
    void aWholeGameScoresAlikeEitherWay();
    void nobodySpeaksForAnother();
    void theHeadlessHostGivesACodeToJoinBy();
    void theHeadlessProgramsPlayAWholeGame();
    void aPublicGameIsListedWhileItsHostIsThere_data();
    void aPublicGameIsListedWhileItsHostIsThere();
    void aLobbyThatStopsIsToldAndTheSeatsKept(); // last: it stops the lobby
};

namespace {

constexpr int kWait = 10'000;

LobbyAddress addressOf(const ProsodyFixture& lobby)
{
    return {.domain = lobby.domain(), .port = lobby.port()};
}

bool signIn(XmppConnection& connection, const ProsodyFixture& lobby)
{
    QSignalSpy online(&connection, &XmppConnection::online);
    connectAsGuest(connection, addressOf(lobby));
    return online.wait(kWait);
}

// A game on a ticked host whose own player is Bob, open on the lobby by invitation as well as
// on its TCP port: others join it either way.
struct LobbyTable {
    explicit LobbyTable(const ProsodyFixture& lobby)
        : lobby_(lobby),
          host(tickedHostSettings(folder.path(), 7)),
          game(host, link, addressOf(lobby))
    {}

    bool open()
    {
        hostGame(host, bob, QStringLiteral("0"), QStringLiteral("Bob"));
        QSignalSpy opened(&game.room(), &GameRoomHost::opened);
        if (!QTest::qWaitFor([this] { return bob.loggedIn(); }, kWait) || !signIn(link, lobby_))
            return false;
        game.open(QStringLiteral("Bob"), QStringLiteral("1.0"), false);
        return opened.wait(kWait);
    }

    // Seats `session` by a route of its own; true once the host has given it a slot.
    bool seat(GameSession& session, const QString& name, bool throughLobby)
    {
        if (throughLobby)
            routes.push_back(std::make_unique<LobbyRoute>(addressOf(lobby_), *game.room().code()));
        else
            routes.push_back(std::make_unique<AddressRoute>(QStringLiteral("127.0.0.1"),
                                                            QString::number(host.listeningPort())));
        routes.back()->join(session, name);
        return QTest::qWaitFor([&] { return session.loggedIn(); }, kWait);
    }

    const ProsodyFixture& lobby_;
    QTemporaryDir folder;
    TServer host;
    GameSession bob{QStringLiteral("1.0")};
    XmppConnection link;
    LobbyGame game;
    std::vector<std::unique_ptr<HostRoute>> routes;
};

// Lays `word` and sends it; true once the host has answered.
bool play(GameSession& session, const QByteArray& word)
{
    QSignalSpy answered(&session, &GameSession::boardChanged);
    const TFrameScore before = session.ownRolls();
    for (const char letter : word)
        session.typeLetter(letter);
    session.sendWord();
    return QTest::qWaitFor([&] { return session.ownRolls() != before || session.refusalShown(); }, kWait);
}

// What a player plays from `letters`, in one of three ways so that the sheet holds strikes,
// spares and open frames: the whole rack; two words that use it up; the longest word short of
// the whole rack.
QList<QByteArray> wordsFor(const WordFinder& words, const QByteArray& letters, int way)
{
    if (const QByteArray whole = words.usingAll(letters); way % 3 == 0 && !whole.isEmpty())
        return {whole};
    if (const auto spare = words.split(letters); way % 3 == 1 && spare)
        return {spare->first, spare->second};
    QList<QByteArray> some = words.usingSome(letters);
    const auto longest =
        std::max_element(some.begin(), some.end(), [](const QByteArray& a, const QByteArray& b) {
            return std::pair(a.size(), b) < std::pair(b.size(), a);
        });
    return longest == some.end() ? QList<QByteArray>{} : QList<QByteArray>{*longest};
}

// Plays the game to its end: whoever is given tiles (a turn, or a bonus set) plays them once,
// and the host's clock is ticked only while nobody has tiles to play and every participant is
// seated with the same frame (and `mayTick`), so that the clock never runs on while a frame's
// letters are in flight.
bool playToTheEnd(
    TServer& host, const QList<GameSession*>& participants, int watcher, const WordFinder& words,
    const std::function<bool()>& mayTick = [] { return true; })
{
    QObject context; // ends the connections below with this function
    QSet<GameSession*> given;
    for (GameSession* participant : participants) {
        if (participant->localSlot() != watcher)
            QObject::connect(participant, &GameSession::newTiles, &context,
                             [&given, participant] { given << participant; });
    }
    for (int step = 0; step < 20'000; ++step) {
        if (std::all_of(participants.begin(), participants.end(),
                        [](const GameSession* s) { return !s->winners().isEmpty(); }))
            return true;
        if (!given.isEmpty()) {
            GameSession& player = **given.begin();
            given.remove(&player);
            for (const QByteArray& word :
                 wordsFor(words, player.rack().standingLetters(), player.frame() + player.localSlot())) {
                if (!play(player, word))
                    return false;
            }
            continue;
        }
        const bool agreed = std::all_of(participants.begin(), participants.end(), [&](const GameSession* s) {
            return s->loggedIn() && s->frame() == participants.front()->frame();
        });
        if (agreed && mayTick())
            host.timer1Timer();
        QTest::qWait(2);
    }
    return false;
}

// Every frame of every player, and the totals, as one participant's sheet holds them.
QList<int> sheetOf(const GameSession& session, int players)
{
    QList<int> sheet;
    for (int slot = 1; slot <= players; ++slot) {
        for (int frame = 1; frame <= Rules::kFrames; ++frame) {
            const TFrameScore& score = session.sheet().frame(slot, frame);
            sheet << score.roll1 << score.roll2 << score.roll3 << score.total;
        }
        sheet << session.seat(slot).score;
    }
    return sheet;
}

} // namespace

void TestLobbyGame::initTestCase()
{
    qRegisterMetaType<RelayTransport*>(); // the signals name it where it is only declared
    QVERIFY(words_.loaded());
    QVERIFY(lobby_.start());
}

void TestLobbyGame::aParticipantPlaysThroughTheLobby()
{
    LobbyTable table(lobby_);
    QVERIFY(table.open());
    XmppConnection annLink;
    QVERIFY(signIn(annLink, lobby_));
    GameRoomGuest guest(annLink, addressOf(lobby_));
    QSignalSpy reached(&guest, &GameRoomGuest::reached);
    guest.join(*table.game.room().code(), QStringLiteral("Ann"));
    QVERIFY(reached.wait(kWait));
    GameSession ann(QStringLiteral("1.0"));
    ann.joinOver(reached.first().first().value<RelayTransport*>(), QStringLiteral("Ann"));
    QTRY_VERIFY_WITH_TIMEOUT(ann.loggedIn(), kWait);
    QCOMPARE(ann.localSlot(), 2);
    GameSession& bob = table.bob;
    QTRY_COMPARE(bob.seat(2).name, QStringLiteral("Ann"));
    QTRY_COMPARE(ann.seat(1).name, QStringLiteral("Bob"));

    QSignalSpy bobHears(&bob, &GameSession::lineAdded);
    ann.say(QStringLiteral("hi from afar"), 0);
    QTRY_VERIFY_WITH_TIMEOUT(std::any_of(bobHears.begin(), bobHears.end(),
                                         [](const QVariantList& line) {
                                             return line.first().toString().contains(
                                                 QLatin1String("hi from afar"));
                                         }),
                             kWait);
}

void TestLobbyGame::departuresReachTheOtherSide_data()
{
    QTest::addColumn<int>("departure");
    QTest::newRow("participant leaves the room") << 0;
    QTest::newRow("participant leaves the game") << 1;
    QTest::newRow("host removes the participant") << 2;
}

// However a participant goes, both sides know it at once: the host frees the seat, and the
// participant's session hears its connection close.
void TestLobbyGame::departuresReachTheOtherSide()
{
    QFETCH(int, departure);
    LobbyTable table(lobby_);
    QVERIFY(table.open());
    GameSession ann(QStringLiteral("1.0"));
    QVERIFY(table.seat(ann, QStringLiteral("Ann"), true));
    QTRY_VERIFY(table.bob.seat(2).taken);
    QSignalSpy annClosed(&ann, &GameSession::connectionClosed);
    if (departure == 0)
        table.routes.clear(); // its lobby connection with it
    else if (departure == 1)
        ann.leave();
    else
        table.bob.remove(2);
    QTRY_VERIFY_WITH_TIMEOUT(!table.bob.seat(2).taken, kWait);
    if (departure == 2) {
        QTRY_VERIFY_WITH_TIMEOUT(!annClosed.isEmpty(), kWait);
        QVERIFY(ann.removedByHost());
    }
}

void TestLobbyGame::aWholeGameScoresAlikeEitherWay_data()
{
    QTest::addColumn<bool>("throughLobby");
    QTest::addColumn<bool>("annDrops");
    QTest::newRow("over TCP") << false << false;
    // After TCP: their sheets are compared with that one.
    QTest::newRow("through the lobby") << true << false;
    QTest::newRow("through the lobby, Ann dropping twice") << true << true;
}

// Bob hosts and plays; Ann plays and Sue watches, both joined the same way. The deal is
// seeded, so both ways give the same racks, and the same words must score the same.
void TestLobbyGame::aWholeGameScoresAlikeEitherWay()
{
    QFETCH(bool, throughLobby);
    QFETCH(bool, annDrops);
    LobbyTable table(lobby_);
    QVERIFY(table.open());
    GameSession ann(QStringLiteral("1.0"));
    GameSession sue(QStringLiteral("1.0"));
    // Ann's connection drops at the end of frames 3 and 7; she is back for the next deal.
    Reconnection annBack(ann, [&table, this] {
        return std::make_unique<LobbyRoute>(addressOf(lobby_), *table.game.room().code());
    });
    annBack.second = std::chrono::milliseconds(10);
    int drops = 0;
    if (annDrops) {
        QObject::connect(&ann, &GameSession::frameEnded, &annBack, [&] {
            if (ann.frame() == 3 || ann.frame() == 7) {
                ++drops;
                table.host.player(2).sock->close();
            }
        });
    }
    const auto annSeated = [&] { return table.host.player(2).connected && !annBack.isTrying(); };
    QVERIFY(table.seat(ann, QStringLiteral("Ann"), throughLobby));
    QVERIFY(table.seat(sue, QStringLiteral("Sue"), throughLobby));
    GameSession& bob = table.bob;
    QTRY_VERIFY(bob.seat(3).taken);
    bob.startGame("60", false);
    QTRY_VERIFY_WITH_TIMEOUT(sue.gameRunning(), kWait);
    bob.setWatching(3, true);
    QTRY_VERIFY_WITH_TIMEOUT(ann.seat(3).watching, kWait);

    QVERIFY(playToTheEnd(table.host, {&bob, &ann, &sue}, 3, words_, annSeated));
    QCOMPARE(drops, annDrops ? 2 : 0);
    const QList<int> sheet = sheetOf(bob, 3);
    for (const GameSession* participant : {&ann, &sue})
        QCOMPARE(sheetOf(*participant, 3), sheet);
    QVERIFY(bob.seat(1).score > 0 && ann.seat(2).score > 0);
    if (throughLobby)
        QCOMPARE(sheet, sheetOverTcp_);
    else
        sheetOverTcp_ = sheet;
}

// Somebody else in the game's room cannot pass for the host or for a seated player: the game's
// bytes count only between the host and the occupant they are seated by.
void TestLobbyGame::nobodySpeaksForAnother()
{
    LobbyTable table(lobby_);
    QVERIFY(table.open());
    GameSession ann(QStringLiteral("1.0"));
    QVERIFY(table.seat(ann, QStringLiteral("Ann"), true));
    XmppConnection malloryLink;
    QVERIFY(signIn(malloryLink, lobby_));
    ChatRoom room(malloryLink,
                  table.game.room().code()->roomName() + QLatin1Char('@') + lobby_.roomsDomain());
    QSignalSpy inside(&room, &ChatRoom::joined);
    room.join(QStringLiteral("Mallory"));
    QVERIFY(inside.wait(kWait));

    const auto data = [](const QByteArray& bytes) {
        return makeElement(QStringLiteral("data"), RelayTransport::kNamespace, {},
                           QString::fromLatin1(bytes.toBase64()));
    };
    // As the host, to Ann: a chat line and a win.
    room.sendPrivate(QStringLiteral("Ann"),
                     data(ToClient::chat("Bob", "give me your seat") + ToClient::winner({2})));
    // As Ann, to the host: a chat line in her slot.
    room.sendPrivate(QStringLiteral("Bob"), data(ToHost::chat(2, "I give up", "0")));
    // To the whole room.
    XmlElement broadcast = makeElement(
        QStringLiteral("message"), XmppNs::kClient,
        {{QStringLiteral("to"), room.jid()}, {QStringLiteral("type"), QStringLiteral("groupchat")}});
    broadcast.children.append(data(ToHost::chat(2, "everyone listen", "0")));
    malloryLink.send(broadcast);

    // A line Ann really says arrives after anything sent before it.
    QSignalSpy bobHears(&table.bob, &GameSession::lineAdded);
    QSignalSpy annHears(&ann, &GameSession::lineAdded);
    ann.say(QStringLiteral("still here"), 0);
    QTRY_VERIFY_WITH_TIMEOUT(!bobHears.isEmpty(), kWait);
    QCOMPARE(bobHears.size(), 1);
    QVERIFY(bobHears.first().first().toString().contains(QLatin1String("still here")));
    QTRY_VERIFY_WITH_TIMEOUT(!annHears.isEmpty(), kWait); // her own line, from the host
    for (const QVariantList& line : std::as_const(annHears))
        QVERIFY2(!line.first().toString().contains(QLatin1String("seat")),
                 qPrintable(line.first().toString()));
    QVERIFY(ann.winners().isEmpty());
    QCOMPARE(ann.localSlot(), 2);
}

namespace {

// pinfall-host on the lobby, with what it has said on stderr so far.
struct LobbyHostProcess : HostProcess {
    QByteArray told;

    bool startOn(const ProsodyFixture& lobby, const QStringList& extra)
    {
        return start(QStringList{QStringLiteral("--lobby=localhost:%1").arg(lobby.port())} + extra) != 0;
    }
    // The invite code it says, once it says it.
    std::optional<InviteCode> code()
    {
        static const QRegularExpression said(QStringLiteral("Invite code: (\\w{3}-\\w{3})"));
        QRegularExpressionMatch match;
        const bool told = QTest::qWaitFor(
            [&] {
                this->told += process.readAllStandardError();
                match = said.match(QString::fromLatin1(this->told));
                return match.hasMatch();
            },
            kWait);
        return told ? InviteCode::parse(match.captured(1)) : std::nullopt;
    }
};

} // namespace

void TestLobbyGame::theHeadlessHostGivesACodeToJoinBy()
{
    LobbyHostProcess host;
    QVERIFY(host.startOn(lobby_, {QStringLiteral("--invite")}));
    const std::optional<InviteCode> code = host.code();
    QVERIFY(code);
    LobbyRoute route(addressOf(lobby_), *code);
    GameSession ann(QStringLiteral(PINFALL_VERSION));
    route.join(ann, QStringLiteral("Ann"));
    QTRY_VERIFY_WITH_TIMEOUT(ann.loggedIn(), kWait);
    QCOMPARE(ann.localSlot(), 1); // the host has no player of its own
}

// The three programs on their own: a lobby, a host on it by invitation, and computer players
// that join by the code, start a game, play it to the end and go.
void TestLobbyGame::theHeadlessProgramsPlayAWholeGame()
{
    LobbyHostProcess host;
    QVERIFY(host.startOn(lobby_, {"--invite", "--second", "20", "--pause", "5"}));
    const std::optional<InviteCode> code = host.code();
    QVERIFY(code);
    const QList<std::pair<QString, QByteArray>> refusals{
        {QStringLiteral("AAA-AAA"), "Casual Bot 1: No game has the code AAA-AAA."}, {code->shown(), ""}};
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("PINFALL_LOBBY"), QStringLiteral("localhost:%1").arg(lobby_.port()));
    for (const auto& [typed, refusal] : refusals) {
        QProcess bots;
        bots.setProcessEnvironment(environment);
        bots.start(QStringLiteral(PINFALL_BOT_PATH),
                   {"--code", typed.toLower().remove(u'-'), "--count", "2", "--start", "--second", "20"});
        QVERIFY(bots.waitForFinished(120'000));
        const QByteArray said = bots.readAllStandardOutput() + bots.readAllStandardError();
        QVERIFY2(said.contains(refusal), said.constData());
        QCOMPARE(bots.exitCode(), refusal.isEmpty() ? 0 : 1);
        if (refusal.isEmpty()) {
            QVERIFY2(said.contains("Casual Bot 2 is seated in game " + code->shown().toLatin1()),
                     said.constData());
        }
    }
}

void TestLobbyGame::aPublicGameIsListedWhileItsHostIsThere_data()
{
    QTest::addColumn<bool>("killed");
    QTest::newRow("host quits") << false;
    QTest::newRow("host killed") << true;
}

// A public game is in the lobby's list within two seconds of its room, the list follows its
// roster, and the game leaves the list with its host however the host goes. An invite-only
// game is never in it.
void TestLobbyGame::aPublicGameIsListedWhileItsHostIsThere()
{
    QFETCH(bool, killed);
    XmppConnection lookout;
    QVERIFY(signIn(lookout, lobby_));
    PublicGames games(lookout, addressOf(lobby_));
    games.watch(QStringLiteral("Lookout"));
    QTRY_VERIFY_WITH_TIMEOUT(games.isWatching(), kWait);

    LobbyHostProcess hidden;
    QVERIFY(hidden.startOn(lobby_, {"--invite", "--name", "Hidden"}));
    LobbyHostProcess host;
    QVERIFY(host.startOn(lobby_, {"--name", "Listed"}));
    const std::optional<InviteCode> code = host.code();
    QVERIFY(code && hidden.code());
    const auto listed = [&games] { return games.listings().value(0); };
    QTRY_COMPARE_WITH_TIMEOUT(listed().code, code->shown(), 2000);
    QCOMPARE(games.listings().size(), 1); // not the invite-only one
    QCOMPARE(listed().hostName, QStringLiteral("Listed"));
    QCOMPARE(listed().players, 0);

    LobbyRoute route(addressOf(lobby_), *code);
    GameSession ann(QStringLiteral(PINFALL_VERSION));
    route.join(ann, QStringLiteral("Ann"));
    QTRY_COMPARE_WITH_TIMEOUT(listed().players, 1, kWait);
    QCOMPARE(games.firstWithFreePlace()->code, code->shown());

    if (killed)
        host.process.kill();
    else
        host.process.terminate();
    QTRY_VERIFY_WITH_TIMEOUT(games.listings().isEmpty(), kWait);
}

// Prosody stopped under a running game: each side hears why from its own connection, the
// participants' sessions wait for a way back, and the host keeps their seats meanwhile.
void TestLobbyGame::aLobbyThatStopsIsToldAndTheSeatsKept()
{
    LobbyTable table(lobby_);
    QVERIFY(table.open());
    GameSession ann(QStringLiteral("1.0"));
    GameSession lee(QStringLiteral("1.0"));
    QVERIFY(table.seat(ann, QStringLiteral("Ann"), true));
    QVERIFY(table.seat(lee, QStringLiteral("Lee"), true));
    table.bob.startGame("60", false);
    QTRY_VERIFY_WITH_TIMEOUT(lee.gameRunning(), kWait);
    QSignalSpy annLost(&ann, &GameSession::connectionLost);
    QSignalSpy leeLost(&lee, &GameSession::connectionLost);
    QSignalSpy annTold(table.routes[0].get(), &HostRoute::failed);
    QSignalSpy hostTold(&table.link, &XmppConnection::closed);

    QVERIFY(lobby_.stop());
    QTRY_VERIFY_WITH_TIMEOUT(!annLost.isEmpty() && !leeLost.isEmpty(), kWait);
    QTRY_VERIFY_WITH_TIMEOUT(table.bob.seat(2).away && table.bob.seat(3).away, kWait);
    QVERIFY(!annTold.isEmpty() && !hostTold.isEmpty());
    for (const QString& why : {annTold.first().first().toString(), hostTold.first().first().toString()})
        QCOMPARE(why, QStringLiteral("The lobby ended the connection: it is shutting down."));
}

QTEST_GUILESS_MAIN(TestLobbyGame)
#include "tst_lobbygame.moc"
