// The game's messages: framing, fields, the vocabulary's exact bytes and the received queue.
#include "clientmessages.h"
#include "faultreport.h"
#include "fieldreader.h"
#include "hostmessages.h"
#include "messagereader.h"
#include "messages.h"
#include "receivedlist.h"

#include <QTest>

class TestWire : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void readerCutsAtTerminators();
    void readerJoinsPiecesAcrossReads();
    void readerRefusesToHoldTooMuch();
    void fieldsComeFromTheFront();
    void numbersAreStrictDecimal_data();
    void numbersAreStrictDecimal();
    void clientMessagesHaveTheirExactBytes();
    void hostMessagesHaveTheirExactBytes();
    void clientMessagesReadBack();
    void brokenMessagesFail_data();
    void brokenMessagesFail();
    void postscoresCarriesFourBlocks();
    void hostMessagesReadBack();
    void queueDispatchesOneMessagePerTick();
    void queueDropsUnknownAndEmptyCommands();
    void handlerFailureEndsOnlyItsMessage();
};

void TestWire::readerCutsAtTerminators()
{
    MessageReader reader;
    QList<QByteArray> messages;
    QVERIFY(reader.feed("CMD_full+\xFF\xFF"
                        "CMD_timeisup+\xFF",
                        messages));
    QCOMPARE(messages, (QList<QByteArray>{"CMD_full+", "", "CMD_timeisup+"}));
    QCOMPARE(reader.held(), 0);
}

void TestWire::readerJoinsPiecesAcrossReads()
{
    MessageReader reader;
    QList<QByteArray> messages;
    QVERIFY(reader.feed("CMD_sendword+2+7", messages));
    QVERIFY(messages.isEmpty());
    QVERIFY(reader.feed("+1+4", messages));
    QVERIFY(reader.feed("\xFF"
                        "CMD_chat+",
                        messages));
    QCOMPARE(messages, (QList<QByteArray>{"CMD_sendword+2+7+1+4"}));
    QCOMPARE(reader.held(), 9);
}

void TestWire::readerRefusesToHoldTooMuch()
{
    MessageReader reader;
    QList<QByteArray> messages;
    QVERIFY(reader.feed(QByteArray(MessageReader::kMaxHeld, 'a'), messages));
    QVERIFY(!reader.feed("b", messages));
    QCOMPARE(reader.held(), 0);
    QVERIFY(messages.isEmpty());
    // A long message that does end in time is fine.
    QVERIFY(reader.feed(QByteArray(MessageReader::kMaxHeld, 'c') + '\xFF', messages));
    QCOMPARE(messages.size(), 1);
}

void TestWire::fieldsComeFromTheFront()
{
    FieldReader fields("2+7++Ann+Lee+");
    QCOMPARE(fields.takeInt(), 2);
    QCOMPARE(fields.take(), QByteArray("7"));
    QCOMPARE(fields.take(), QByteArray(""));
    QCOMPARE(fields.rest(), QByteArray("Ann+Lee+"));
    QVERIFY(fields.atEnd());
    QCOMPARE(fields.take(), QByteArray());

    FieldReader last("1+4");
    QCOMPARE(last.takeInt(), 1);
    QCOMPARE(last.takeInt(), 4); // the last field needs no "+" after it
    QVERIFY(last.atEnd());

    // A failing field leaves what was taken before it taken.
    FieldReader broken("3+x+5");
    QCOMPARE(broken.takeInt(), 3);
    QVERIFY_THROWS_EXCEPTION(ProtocolError, broken.takeInt());
    QCOMPARE(broken.takeInt(), 5);
}

void TestWire::numbersAreStrictDecimal_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<int>("value");
    QTest::newRow("digits") << QByteArray("45") << true << 45;
    QTest::newRow("minus one") << QByteArray("-1") << true << -1;
    QTest::newRow("leading zeros") << QByteArray("007") << true << 7;
    QTest::newRow("largest") << QByteArray("2147483647") << true << 2147483647;
    QTest::newRow("smallest") << QByteArray("-2147483648") << true << int(-2147483648LL);
    QTest::newRow("too large") << QByteArray("2147483648") << false << 0;
    QTest::newRow("empty") << QByteArray("") << false << 0;
    QTest::newRow("lone minus") << QByteArray("-") << false << 0;
    QTest::newRow("letters") << QByteArray("abc") << false << 0;
    QTest::newRow("trailing junk") << QByteArray("12a") << false << 0;
    QTest::newRow("blank") << QByteArray(" 1") << false << 0;
    QTest::newRow("double minus") << QByteArray("--1") << false << 0;
    QTest::newRow("plus sign") << QByteArray("+1") << false << 0;
}

void TestWire::numbersAreStrictDecimal()
{
    QFETCH(QByteArray, text);
    QFETCH(bool, valid);
    QFETCH(int, value);
    if (valid)
        QCOMPARE(parseDecimal(text), value);
    else
        QVERIFY_THROWS_EXCEPTION(ProtocolError, parseDecimal(text));
}

void TestWire::clientMessagesHaveTheirExactBytes()
{
    QCOMPARE(ToHost::sendword(2, {7, 1, 4}), QByteArray("CMD_sendword+2+7+1+4\xFF"));
    QCOMPARE(ToHost::logininfo(3, "1.0.7", "Ann+Lee"), QByteArray("CMD_logininfo+3+1.0.7+Ann+Lee\xFF\xFF"));
    QCOMPARE(ToHost::chat(2, "hello", "clRed"), QByteArray("CMD_chat+2+hello|clRed\xFF"));
    QCOMPARE(ToHost::action(1, "says: Nice!", "$00FF0000"),
             QByteArray("CMD_action+1+says: Nice!|$00FF0000\xFF"));
    QCOMPARE(ToHost::kickhim(1, 6), QByteArray("CMD_kickhim+1+6+\xFF"));
    QCOMPARE(ToHost::startgame("Bob", "60", true), QByteArray("CMD_startgame+Bob+60+t+\xFF"));
    QCOMPARE(ToHost::startgame("Bob", "abc", false), QByteArray("CMD_startgame+Bob+abc+f+\xFF"));
    QCOMPARE(ToHost::justwatch(4, true), QByteArray("CMD_justwatch+4+1\xFF"));
    QCOMPARE(ToHost::justwatch(4, false), QByteArray("CMD_justwatch+4+2\xFF"));
    QCOMPARE(ToHost::returning(6, "9f3a"), QByteArray("CMD_returning+6+9f3a+\xFF"));
    QCOMPARE(ToHost::leaving(2), QByteArray("CMD_leaving+2+\xFF"));
}

namespace {

// The fields of a built message, as the queue hands them to a handler.
FieldReader fieldsOf(const QByteArray& message)
{
    QByteArray text = message;
    text.chop(text.endsWith("\xFF\xFF") ? 2 : 1);
    return FieldReader(text.sliced(text.indexOf('+') + 1));
}

template <typename Reader> auto read(Reader reader, const QByteArray& message)
{
    FieldReader fields = fieldsOf(message);
    return reader(fields);
}

} // namespace

void TestWire::clientMessagesReadBack()
{
    QCOMPARE(read(FromClient::loginInfo, ToHost::logininfo(3, "1.0.7", "Ann+Lee")),
             (FromClient::LoginInfo{3, "1.0.7", "Ann+Lee"}));
    QCOMPARE(read(FromClient::kickHim, ToHost::kickhim(1, 7)), (FromClient::KickHim{1, 7}));
    QCOMPARE(read(FromClient::talk, ToHost::chat(2, "hi + bye", "clRed")),
             (FromClient::Talk{2, "hi + bye|clRed"}));
    QCOMPARE(read(FromClient::startGame, ToHost::startgame("Ann", "4x", true)),
             (FromClient::StartGame{"Ann", "4x", "t"}));
    QCOMPARE(read(FromClient::justWatch, ToHost::justwatch(4, true)), (FromClient::JustWatch{4, "1"}));
    QCOMPARE(read(FromClient::sendWord, ToHost::sendword(2, {10, 1, 5})),
             (FromClient::SendWord{2, {10, 1, 5}}));
    QCOMPARE(read(FromClient::returning, ToHost::returning(6, "9f3a")), (FromClient::Returning{6, "9f3a"}));
    QCOMPARE(read(FromClient::leaving, ToHost::leaving(2)), (FromClient::Leaving{2}));
}

void TestWire::brokenMessagesFail_data()
{
    QTest::addColumn<QByteArray>("command");
    QTest::addColumn<QByteArray>("fields");
    QTest::newRow("log-in without a slot") << QByteArray("logininfo") << QByteArray("x+1.0.7+Ann");
    QTest::newRow("removal of nobody") << QByteArray("kickhim") << QByteArray("1+");
    QTest::newRow("chat from a word") << QByteArray("chat") << QByteArray("two+hi|clRed");
    QTest::newRow("watching, no slot") << QByteArray("justwatch") << QByteArray("");
    QTest::newRow("a word with a letter for a position") << QByteArray("sendword") << QByteArray("1+3+e");
    QTest::newRow("a word with an empty position") << QByteArray("sendword") << QByteArray("1+3++4");
    QTest::newRow("scores of no frame") << QByteArray("postscores") << QByteArray("x+word+word+1*0*0*0*0+1#");
    QTest::newRow("a roll that is a word")
        << QByteArray("postscores") << QByteArray("1+w+w+1*0*ten*0*0+1#+2*0+2#+3*0+3#+4*0+4#");
    QTest::newRow("a total that is a word")
        << QByteArray("postscores") << QByteArray("1+w+w+1*0*1*0*0+1#1#x+2*0+2#+3*0+3#+4*0+4#");
    QTest::newRow("stats with three scores") << QByteArray("loadstats") << QByteArray("5+60+f+20+1+2+3");
    QTest::newRow("a winner that is a word") << QByteArray("winner") << QByteArray("1+two+");
    QTest::newRow("a tile at no number") << QByteArray("theletters") << QByteArray("0+3+c+x+a");
    QTest::newRow("a good word without pins") << QByteArray("goodword") << QByteArray("2+3+45+1+");
    QTest::newRow("a newcomer without a slot") << QByteArray("newplayerinfo") << QByteArray("Ann");
    QTest::newRow("a turn without its frame") << QByteArray("nextplayer") << QByteArray("3+");
    QTest::newRow("a return from no slot") << QByteArray("returning") << QByteArray("six+9f3a+");
    QTest::newRow("a frame back with a word for a roll")
        << QByteArray("backinframe") << QByteArray("2+1+50+bat+-1+-1+-bd-cating+abdicating+");
}

void TestWire::brokenMessagesFail()
{
    QFETCH(QByteArray, command);
    QFETCH(QByteArray, fields);
    const QHash<QByteArray, std::function<void(FieldReader&)>> readers{
        {"logininfo", FromClient::loginInfo}, {"kickhim", FromClient::kickHim},
        {"chat", FromClient::talk},           {"justwatch", FromClient::justWatch},
        {"sendword", FromClient::sendWord},   {"postscores", FromHost::postScores},
        {"loadstats", FromHost::loadStats},   {"winner", FromHost::winners},
        {"theletters", FromHost::letters},    {"goodword", FromHost::goodWord},
        {"nextplayer", FromHost::nextPlayer}, {"newplayerinfo", FromHost::slotName},
        {"returning", FromClient::returning}, {"backinframe", FromHost::backInFrame},
    };
    FieldReader reader(fields);
    QVERIFY_THROWS_EXCEPTION(ProtocolError, readers.value(command)(reader));
}

void TestWire::hostMessagesHaveTheirExactBytes()
{
    QCOMPARE(ToClient::goodword(2, 3, 45, 1, 3), QByteArray("CMD_goodword+2+3+45+1+3+\xFF"));
    QCOMPARE(ToClient::sendlogininfo(1), QByteArray("CMD_sendlogininfo+1\xFF"));
    QCOMPARE(ToClient::full(), QByteArray("CMD_full+\xFF"));
    QCOMPARE(ToClient::wrongversion(), QByteArray("CMD_wrongversion+\xFF"));
    QCOMPARE(ToClient::timeisup(), QByteArray("CMD_timeisup+\xFF"));
    QCOMPARE(ToClient::newplayerinfo(5, "A+B"), QByteArray("CMD_newplayerinfo+5+A+B\xFF"));
    QCOMPARE(ToClient::existingplayers(1, "You"), QByteArray("CMD_existingplayers+1+You\xFF"));
    QCOMPARE(ToClient::havewrongversion("Old"), QByteArray("CMD_havewrongversion+Old\xFF"));
    QCOMPARE(ToClient::playerdisconnected(2, "Ann"), QByteArray("CMD_playerdisconnected+2+Ann\xFF"));
    QCOMPARE(ToClient::justwatching(3, true), QByteArray("CMD_justwatching+3+1\xFF"));
    QCOMPARE(ToClient::chat("Ann", "hi|clRed"), QByteArray("CMD_chat+Ann chats: hi|clRed\xFF"));
    QCOMPARE(ToClient::action("Ann", "waves|clBlue"), QByteArray("CMD_action+Ann waves|clBlue\xFF"));
    QCOMPARE(ToClient::startgame("Bob", 90, "f"), QByteArray("CMD_startgame+Bob+90+f+\xFF"));
    QCOMPARE(ToClient::loadstats(5, 60, true, 17, {10, 0, 7, -1}),
             QByteArray("CMD_loadstats+5+60+t+17+10+0+7+-1+\xFF"));
    QCOMPARE(ToClient::nextplayer(1, 10), QByteArray("CMD_nextplayer+1+10+\xFF"));
    QCOMPARE(ToClient::worderror(4), QByteArray("CMD_worderror+4+\xFF"));
    QCOMPARE(ToClient::winner({1, 3}), QByteArray("CMD_winner+1+3+\xFF"));
    QCOMPARE(ToClient::theletters(0, {{3, 'c'}, {1, 'a'}}), QByteArray("CMD_theletters+0+3+c+1+a\xFF"));
    QCOMPARE(ToClient::seattoken(2, "9f3a"), QByteArray("CMD_seattoken+2+9f3a+\xFF"));
    QCOMPARE(ToClient::playeraway(2, "Ann"), QByteArray("CMD_playeraway+2+Ann\xFF"));
    QCOMPARE(ToClient::seatgone(), QByteArray("CMD_seatgone+\xFF"));
    QCOMPARE(ToClient::gameclosed(), QByteArray("CMD_gameclosed+\xFF"));
}

void TestWire::postscoresCarriesFourBlocks()
{
    std::array<PlayerReport, 4> players;
    for (int slot = 1; slot <= 4; ++slot) {
        players[slot - 1].slot = slot;
        players[slot - 1].totals.fill(0);
    }
    PlayerReport& ann = players[1];
    ann.score = 30;
    ann.frame = {10, -1, -1, 30};
    ann.words = {"abdicating", "", ""};
    ann.totals = {30, -1, -1, -1, -1, -1, -1, -1, -1, -1};

    const QByteArray bytes = ToClient::postscores(1, "abdicating", {"abdicating"}, players);
    const QList<QByteArray> fields = bytes.chopped(1).split('+');
    QCOMPARE(fields.size(), 1 + 3 + 4 * 2);
    QCOMPARE(fields[0], QByteArray("CMD_postscores"));
    QCOMPARE(fields[1], QByteArray("1"));
    QCOMPARE(fields[2], QByteArray("abdicating"));
    QCOMPARE(fields[3], QByteArray("abdicating"));
    QCOMPARE(fields[4], QByteArray("1*0*-1*-1*-1***"));
    QCOMPARE(fields[6], QByteArray("2*30*10*-1*-1*abdicating**"));
    QCOMPARE(fields[7], QByteArray("2#1#30#2#-1#3#-1#4#-1#5#-1#6#-1#7#-1#8#-1#9#-1#10#-1"));
    QVERIFY(bytes.endsWith("+4#1#0#2#0#3#0#4#0#5#0#6#0#7#0#8#0#9#0#10#0\xFF"));

    // After frame 10 the two bonus words follow the deal word.
    const QByteArray last =
        ToClient::postscores(10, "zoologists", {"abdicating", "bandleader", "zoologists"}, players);
    QVERIFY(last.startsWith("CMD_postscores+10+zoologists+abdicating+bandleader+zoologists+1*"));
}

void TestWire::hostMessagesReadBack()
{
    std::array<PlayerReport, 4> players;
    for (int slot = 1; slot <= 4; ++slot) {
        players[slot - 1].slot = slot;
        players[slot - 1].totals.fill(-1);
    }
    players[2].score = 17;
    players[2].frame = {7, 3, 6, 16};
    players[2].words = {"climb", "sea", "wallet"};
    players[2].totals[9] = 161;
    FieldReader last =
        fieldsOf(ToClient::postscores(10, "zoologists", {"abdicating", "bandleader", "zoologists"}, players));
    const FromHost::PostScores scores = FromHost::postScores(last);
    QCOMPARE(scores.frame, 10);
    QCOMPARE(scores.answer, QByteArray("zoologists"));
    QCOMPARE(scores.dealWords, (QList<QByteArray>{"abdicating", "bandleader", "zoologists"}));
    const FromHost::PlayerScores& third = scores.players[2];
    QCOMPARE(third.slot, 3);
    QCOMPARE(third.score, 17);
    QCOMPARE(third.rolls, (TFrameScore{7, 3, 6, -1}));
    QCOMPARE(third.words, (std::array<QByteArray, 3>{"climb", "sea", "wallet"}));
    QCOMPARE(third.totals.size(), 10);
    QCOMPARE(third.totals.last(), (std::pair<int, int>{10, 161}));
    QCOMPARE(scores.players[3].slot, 4);

    FieldReader stats = fieldsOf(ToClient::loadstats(6, 45, true, 30, {1, 2, 3, 300}));
    QCOMPARE(FromHost::loadStats(stats), (FromHost::LoadStats{6, 45, "t", 30, {1, 2, 3, 300}}));

    FieldReader won = fieldsOf(ToClient::winner({1, 3, 2, 4}));
    QCOMPARE(FromHost::winners(won), (QList<int>{1, 3, 2, 4}));

    using namespace FromHost;
    QCOMPARE(read(nextPlayer, ToClient::nextplayer(3, 10)), (NextPlayer{3, 10}));
    QCOMPARE(read(slotName, ToClient::newplayerinfo(5, "A+B")), (SlotName{5, "A+B"}));
    QCOMPARE(read(watching, ToClient::justwatching(3, true)), (Watching{3, true}));
    QCOMPARE(read(watching, ToClient::justwatching(3, false)), (Watching{3, false}));
    QCOMPARE(read(gameStart, ToClient::startgame("Bob", 45, "t")), (GameStart{"Bob", 45, true}));
    QCOMPARE(read(gameStart, "CMD_startgame+Bob+4x+f+\xFF"), (GameStart{"Bob", 90, false}));
    QCOMPARE(read(letters, ToClient::theletters(0, {{3, 'c'}, {11, 'a'}}).chopped(1) + "+2+\xFF"),
             (Letters{0, {{3, 'c'}, {11, 'a'}, {2, '\0'}}}));
    QCOMPARE(read(goodWord, ToClient::goodword(2, 3, 45, 1, 3)), (GoodWord{2, 3, 45, 1, 3}));
    QCOMPARE(read(chatLine, ToClient::chat("Ann", "a|b|clRed")), (ChatLine{"Ann chats: a", "b|clRed"}));
    QCOMPARE(read(chatLine, ToClient::action("Ann", "waves")), (ChatLine{"Ann waves", ""}));
    QCOMPARE(read(seatToken, ToClient::seattoken(2, "9f3a")), (SeatToken{2, "9f3a"}));
    const FrameInPlay frame{
        .frame = 10, .secondsLeft = 7, .rolls = {10, 3, -1, -1}, .tiles = "-bd-cating", .deal = "abdicating"};
    QCOMPARE(read(backInFrame, ToClient::backinframe(4, frame)),
             (BackInFrame{4, 10, 7, {10, 3, -1, -1}, "-bd-cating", "abdicating"}));
}

void TestWire::queueDispatchesOneMessagePerTick()
{
    ReceivedList queue(std::chrono::milliseconds(10));
    QList<QByteArray> seen;
    queue.setHandler(CMD_sendword, [&seen](FieldReader& fields, TSock*) { seen << fields.rest(); });
    queue.append("CMD_sendword+2+7+1+4");
    queue.append("CMD_sendword+3+1");
    QVERIFY(queue.isTicking());
    queue.dispatchNext();
    QCOMPARE(seen, (QList<QByteArray>{"2+7+1+4"}));
    QCOMPARE(queue.size(), 1);
    queue.dispatchNext();
    QCOMPARE(seen.size(), 2);
    QVERIFY(!queue.isTicking()); // an idle queue does not keep the timer running
    queue.dispatchNext();        // nothing waiting: nothing happens
    QCOMPARE(seen.size(), 2);

    // Left alone, the timer works the queue off by itself.
    for (int i = 0; i < 20; ++i)
        queue.append("CMD_sendword+1+" + QByteArray::number(i));
    QTRY_COMPARE(seen.size(), 22);
    QCOMPARE(seen.last(), QByteArray("1+19"));
    QVERIFY(!queue.isTicking());
}

void TestWire::queueDropsUnknownAndEmptyCommands()
{
    ReceivedList queue(std::chrono::milliseconds(1));
    int handled = 0;
    queue.setHandler(CMD_chat, [&handled](FieldReader&, TSock*) { ++handled; });
    for (const QByteArray& line :
         {QByteArray(""), QByteArray("receivedlist"), QByteArray("+CMD_chat"), QByteArray("cmd_chat+1+x"),
          QByteArray("CMD_nosuch+1"), QByteArray("CMD_chat")})
        queue.append(line);
    while (queue.size() > 0)
        queue.dispatchNext();
    QCOMPARE(handled, 0);
    queue.append("CMD_chat+");
    queue.dispatchNext();
    QCOMPARE(handled, 1);
}

void TestWire::handlerFailureEndsOnlyItsMessage()
{
    QStringList reports;
    const FaultReport::Sink previous =
        FaultReport::setSink([&reports](const QString& message) { reports << message; });
    ReceivedList queue(std::chrono::milliseconds(1));
    QList<int> slots;
    queue.setHandler(CMD_kickhim, [&slots](FieldReader& fields, TSock*) {
        slots << fields.takeInt();
        slots << fields.takeInt();
    });
    queue.append("CMD_kickhim+1+abc+");
    queue.append("CMD_kickhim+1+6+");
    QTRY_COMPARE(slots, (QList<int>{1, 1, 6}));
    QCOMPARE(reports, (QStringList{"'abc' is not a valid integer value"}));
    FaultReport::setSink(previous);
}

QTEST_GUILESS_MAIN(TestWire)
#include "tst_wire.moc"
