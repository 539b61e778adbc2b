// Turn play on the main window, against a scripted host that deals and records what the
// window sends: the rack and the word row by mouse and keyboard, the answers, the clock.
#include "artwork.h"
#include "programfixture.h"
#include "scorecard.h"

#include <QLineEdit>
#include <QTcpServer>
#include <QTcpSocket>

namespace {

// A host of the test's own: it admits one client into slot 2 and keeps what it sends.
class ScriptedHost {
public:
    ScriptedHost() { server_.listen(QHostAddress::LocalHost, 0); }
    quint16 port() const { return server_.serverPort(); }

    bool admit()
    {
        if (!server_.waitForNewConnection(5000))
            return false;
        client_ = server_.nextPendingConnection();
        send("CMD_sendlogininfo+2\xFF"
             "CMD_newplayerinfo+1+Bob\xFF"
             "CMD_newplayerinfo+2+Ann\xFF");
        return true;
    }
    void send(const QByteArray& bytes)
    {
        client_->write(bytes);
        client_->flush();
    }
    // The next message from the client that starts with `prefix`.
    QByteArray received(const QByteArray& prefix)
    {
        QByteArray found;
        (void)QTest::qWaitFor([&] {
            pending_ += client_->readAll();
            for (const QByteArray& message : pending_.split('\xFF')) {
                if (message.startsWith(prefix)) {
                    found = message;
                    pending_.clear();
                    return true;
                }
            }
            return false;
        });
        return found;
    }

private:
    QTcpServer server_;
    QTcpSocket* client_ = nullptr;
    QByteArray pending_;
};

// Ann's window, joined to the scripted host, with "cat" dealt on tiles 7, 1 and 4.
struct Turn {
    ScriptedHost host;
    std::unique_ptr<Program> ann;

    bool ready(const QByteArray& deal = "CMD_theletters+0+7+c+1+a+4+t+2+e+3+r+5+e+6+s+8+p+9+o+10+n")
    {
        ann = std::make_unique<Program>(QString::number(host.port()));
        ann->chat.processparams({"Ann", "127.0.0.1", "false"});
        if (!host.admit() || !ann->waitForLine(QStringLiteral("You are Connected.")))
            return false;
        tell("CMD_startgame+Bob+45+f+");
        tell(deal);
        tell("CMD_nextplayer+2+3+");
        return true;
    }
    void tell(const QByteArray& message)
    {
        ann->chat.session().queue().append(message);
        QTRY_COMPARE(ann->chat.session().queue().size(), 0);
    }
    QLabel* rack(int position) const
    {
        return ann->chat.findChild<QLabel*>(QStringLiteral("image_letters%1").arg(position));
    }
    QLabel* slot(int k) const { return ann->chat.findChild<QLabel*>(QStringLiteral("image_word%1").arg(k)); }
    QString status() const { return ann->chat.findChild<QLabel*>(QStringLiteral("label_status"))->text(); }
    void press(int position, Qt::MouseButton button = Qt::LeftButton)
    {
        QTest::mousePress(rack(position), button);
    }
    // Lays a tile and sends: the window waits for the host's answer.
    void sendAWord()
    {
        press(7);
        QTest::mouseClick(ann->widget("button_send"), Qt::LeftButton);
    }
    bool shows(QLabel* place, int picture) const
    {
        return place->pixmap().toImage() == Artwork::tile(picture).toImage();
    }
};

} // namespace

class TestTurnPlay : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void layingSendsPositionsInWordOrder();
    void onlyTheLastLaidTileComesBack();
    void swappingTiles();
    void typingLaysTilesByNumber();
    void firstWordKnocksDownPins();
    void strikesAndSpares();
    void refusedWordOptions();
    void turnClock();
    void turnClockOfAnyLength();
    void pinCountsOfAnyNumber();
    void realKeysReachTheBoardFirst_data();
    void realKeysReachTheBoardFirst();
};

void TestTurnPlay::layingSendsPositionsInWordOrder()
{
    Turn turn;
    QVERIFY(turn.ready());
    QCOMPARE(turn.status(), QStringLiteral("Create a word."));
    QVERIFY(turn.shows(turn.rack(7), 3)); // C on tile 7
    for (const int position : {7, 1, 4})
        turn.press(position);
    QCOMPARE(turn.ann->chat.session().rack().laidCount(), 3);
    QVERIFY(turn.shows(turn.slot(1), 3));
    QVERIFY(turn.rack(7)->pixmap().isNull()); // a gap where the tile was
    QCOMPARE(turn.ann->sounds.played.count(QStringLiteral("puttile")), 3);
    QTest::mouseClick(turn.ann->widget("button_send"), Qt::LeftButton);
    QCOMPARE(turn.host.received("CMD_sendword+"), QByteArray("CMD_sendword+2+7+1+4"));
    QCOMPARE(turn.status(), QStringLiteral("Checking Word.."));
    QVERIFY(turn.ann->widget("button_send")->isHidden());
    turn.press(2); // not the player's turn while the host judges
    QCOMPARE(turn.ann->chat.session().rack().laidCount(), 3);
}

void TestTurnPlay::onlyTheLastLaidTileComesBack()
{
    Turn turn;
    QVERIFY(turn.ready());
    for (const int position : {7, 1, 4})
        turn.press(position);
    QTest::mouseClick(turn.slot(2), Qt::LeftButton);
    QCOMPARE(turn.ann->chat.session().rack().laidCount(), 3);
    QTest::mouseClick(turn.slot(3), Qt::LeftButton);
    QCOMPARE(turn.ann->chat.session().rack().laidCount(), 2);
    QVERIFY(turn.shows(turn.rack(4), 20)); // T back on tile 4
    QVERIFY(turn.shows(turn.slot(3), Artwork::kFirstStandingPin + 2));
    QCOMPARE(turn.ann->sounds.played.last(), QStringLiteral("unselect"));
    QTest::mouseClick(turn.ann->widget("button_clear"), Qt::LeftButton);
    QCOMPARE(turn.ann->chat.session().rack().laidCount(), 0);
    QCOMPARE(turn.ann->sounds.played.last(), QStringLiteral("clear"));
}

void TestTurnPlay::swappingTiles()
{
    Turn turn;
    QVERIFY(turn.ready());
    const int played = static_cast<int>(turn.ann->sounds.played.size());
    turn.press(3, Qt::RightButton);
    QCOMPARE(turn.rack(3)->y(), 282);
    turn.press(3, Qt::RightButton); // again: down, no swap, no sound
    QCOMPARE(turn.rack(3)->y(), 289);
    QCOMPARE(turn.ann->sounds.played.size(), played);

    const int left2 = turn.rack(2)->x();
    const int left9 = turn.rack(9)->x();
    turn.press(2, Qt::RightButton);
    turn.press(9, Qt::LeftButton);
    QCOMPARE(turn.rack(2)->x(), left9);
    QCOMPARE(turn.rack(9)->x(), left2);
    QCOMPARE(turn.rack(2)->y(), 289);
    QCOMPARE(turn.ann->sounds.played.last(), QStringLiteral("swap"));
    QCOMPARE(turn.ann->chat.session().rack().laidCount(), 0);
}

void TestTurnPlay::typingLaysTilesByNumber()
{
    Turn turn;
    QVERIFY(turn.ready());
    Tchat& chat = turn.ann->chat;
    QVERIFY(chat.session().pressKey(Qt::Key_Tab)); // Type Words on
    QVERIFY(turn.ann->action("TypeWords1")->isChecked());
    // E is on tiles 2 and 5; tile 5 is moved to the left end, and still tile 2 is taken.
    turn.press(5, Qt::RightButton);
    turn.press(1, Qt::LeftButton);
    QVERIFY(turn.rack(5)->x() < turn.rack(2)->x());
    chat.session().pressKey(Qt::Key_E);
    QCOMPARE(chat.session().rack().laidCount(), 1);
    QVERIFY(turn.rack(2)->pixmap().isNull());
    const qsizetype sounds = turn.ann->sounds.played.size();
    chat.session().pressKey(Qt::Key_Z); // not on the rack
    QCOMPARE(chat.session().rack().laidCount(), 1);
    QCOMPARE(turn.ann->sounds.played.size(), sounds);
    chat.session().pressKey(Qt::Key_Backspace);
    QCOMPARE(chat.session().rack().laidCount(), 0);
    chat.session().pressKey(Qt::Key_Backspace); // nothing laid: nothing happens
    QCOMPARE(chat.session().rack().laidCount(), 0);
    chat.session().pressKey(Qt::Key_C);
    chat.session().pressKey(Qt::Key_A);
    chat.session().pressKey(Qt::Key_1); // clears
    QCOMPARE(chat.session().rack().laidCount(), 0);
    const auto lefts = [&turn] {
        QList<int> xs;
        for (int position = 1; position <= 10; ++position)
            xs << turn.rack(position)->x();
        return xs;
    };
    const QList<int> before = lefts();
    QVERIFY(chat.session().pressKey(Qt::Key_Space)); // taken, but no shuffle without "Use Space to Sort"
    QCOMPARE(lefts(), before);
    chat.session().pressKey(Qt::Key_6);
    QVERIFY(lefts() != before);           // ten random exchanges almost never leave the row as it was
    QVERIFY(turn.shows(turn.rack(7), 3)); // tile 7 still holds C, wherever it stands
    QVERIFY(chat.session().pressKey(Qt::Key_Tab)); // Type Words off again
    QVERIFY(!turn.ann->action("TypeWords1")->isChecked());
    QVERIFY(!chat.session().pressKey(Qt::Key_C)); // with Type Words off, letters go to the chat entry
}

void TestTurnPlay::firstWordKnocksDownPins()
{
    Turn turn;
    QVERIFY(turn.ready());
    turn.tell("CMD_goodword+2+3+0+1+4+");
    QCOMPARE(turn.status(), QStringLiteral("You knocked down 4 pins."));
    QCOMPARE(turn.ann->chat.session().sheet().frame(2, 3).roll1, 4);
    QVERIFY(!turn.ann->widget("button_send")->isHidden()); // the second word may follow
    for (int k = 1; k <= 10; ++k)
        QVERIFY(turn.shows(turn.slot(k), k > 6 ? Artwork::kFallenPin : Artwork::kFirstStandingPin + k - 1));
    turn.tell("CMD_goodword+3+3+0+1+4+"); // another player's word is not ours
    QCOMPARE(turn.status(), QStringLiteral("You knocked down 4 pins."));
}

void TestTurnPlay::strikesAndSpares()
{
    Turn turn;
    QVERIFY(turn.ready());
    turn.sendAWord();
    turn.tell("CMD_goodword+2+3+0+1+10+");
    QCOMPARE(turn.status(), QStringLiteral("You got a Strike!"));
    QCOMPARE(turn.ann->tally.tally().own().strikes.text(), QStringLiteral("1"));
    QVERIFY(turn.ann->widget("button_send")->isHidden()); // no further word in frames 1 to 9
    turn.tell("CMD_goodword+2+4+0+1+6+");
    turn.tell("CMD_goodword+2+4+0+2+4+");
    QCOMPARE(turn.status(), QStringLiteral("You got a Spare!"));
    QCOMPARE(turn.ann->chat.session().sheet().frame(2, 4), (TFrameScore{6, 4, 14, -1}));
    // Frame 10: a strike, then a shorter word leaves the turn open for the third.
    turn.tell("CMD_goodword+2+10+0+1+10+");
    turn.tell("CMD_theletters+2+1+c+2+a+3+t+4+e+5+r+6+e+7+s+8+p+9+o+10+n"); // the bonus set
    turn.sendAWord();
    QVERIFY(turn.ann->widget("button_send")->isHidden());
    turn.tell("CMD_goodword+2+10+0+2+4+");
    QVERIFY(!turn.ann->widget("button_send")->isHidden());
    turn.tell("CMD_goodword+2+10+0+3+6+");
    QCOMPARE(turn.ann->chat.session().sheet().frame(2, 10), (TFrameScore{10, 4, 6, -1}));
}

void TestTurnPlay::refusedWordOptions()
{
    Turn turn;
    QVERIFY(turn.ready());
    turn.press(7);
    turn.press(1);
    QTest::mouseClick(turn.ann->widget("button_send"), Qt::LeftButton);
    turn.tell("CMD_worderror+2+");
    QCOMPARE(turn.status(), QStringLiteral("Invalid Word"));
    QCOMPARE(turn.ann->sounds.played.last(), QStringLiteral("badword"));
    QVERIFY(!turn.ann->widget("panel_badword")->isHidden());
    QCOMPARE(turn.ann->chat.session().rack().laidCount(), 2); // the word stays to be changed
    turn.ann->action("clearwords1")->trigger();
    turn.ann->action("showbadword")->trigger();
    QTest::mouseClick(turn.ann->widget("Image3"), Qt::LeftButton); // the panel's OK
    QTest::mouseClick(turn.ann->widget("button_send"), Qt::LeftButton);
    turn.tell("CMD_worderror+2+");
    QCOMPARE(turn.ann->chat.session().rack().laidCount(), 0);
    QVERIFY(turn.shows(turn.rack(7), 3));
    QVERIFY(turn.ann->widget("panel_badword")->isHidden());
}

void TestTurnPlay::turnClock()
{
    Turn turn;
    QVERIFY(turn.ready()); // 45 seconds per turn
    Tchat& chat = turn.ann->chat;
    auto* bar = chat.findChild<QLabel*>(QStringLiteral("image_timer"));
    auto* clock = chat.findChild<QLabel*>(QStringLiteral("label_timer"));
    turn.ann->sounds.played.clear();
    chat.session().tick();
    QCOMPARE(bar->width(), 88);
    QCOMPARE(clock->text(), QStringLiteral("Time: 0:44"));
    QList<int> ticks;
    while (chat.session().secondsLeft() > 0) {
        const qsizetype before = turn.ann->sounds.played.size();
        chat.session().tick();
        if (turn.ann->sounds.played.size() > before)
            ticks << chat.session().secondsLeft();
        if (chat.session().secondsLeft() == 19)
            QCOMPARE(clock->palette().color(QPalette::WindowText), QColor(255, 0, 0));
        if (chat.session().secondsLeft() == 20)
            QCOMPARE(clock->palette().color(QPalette::WindowText), QColor(224, 227, 157));
    }
    QCOMPARE(ticks, (QList<int>{20, 15, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1}));
    QCOMPARE(turn.status(), QStringLiteral("Time is Up"));
    QCOMPARE(bar->width(), 0);
    QVERIFY(chat.findChild<QWidget*>(QStringLiteral("button_send"))->isHidden());
    turn.tell("CMD_timeisup+");
    QCOMPARE(turn.status(), QStringLiteral("Time is Up!"));
    QCOMPARE(turn.ann->sounds.played.last(), QStringLiteral("timeup"));
}

void TestTurnPlay::turnClockOfAnyLength()
{
    Turn turn;
    QVERIFY(turn.ready());
    Tchat& chat = turn.ann->chat;
    auto* bar = chat.findChild<QLabel*>(QStringLiteral("image_timer"));
    auto* clock = chat.findChild<QLabel*>(QStringLiteral("label_timer"));
    // A host's clock far beyond what the bar can show: the bar is full.
    turn.tell("CMD_loadstats+2+1+f+1000000000+0+0+0+0+");
    chat.session().tick();
    QCOMPARE(bar->width(), 97);
    QCOMPARE(clock->text(), QStringLiteral("Time: 16666666:39"));
    // A count below nothing, while the clock runs: the turn is over at the next tick.
    turn.tell("CMD_loadstats+2+45+f+-2147483648+0+0+0+0+");
    QVERIFY(chat.session().clockRuns());
    chat.session().tick();
    QVERIFY(!chat.session().clockRuns());
    QCOMPARE(chat.session().secondsLeft(), 0);
    QCOMPARE(bar->width(), 0);
    QCOMPARE(turn.status(), QStringLiteral("Time is Up"));
}

void TestTurnPlay::pinCountsOfAnyNumber()
{
    Turn turn;
    QVERIFY(turn.ready());
    turn.tell("CMD_goodword+2+3+0+1+2147483647+");
    QCOMPARE(turn.status(), QStringLiteral("You knocked down 2147483647 pins."));
    for (int k = 1; k <= 10; ++k)
        QVERIFY(turn.shows(turn.slot(k), Artwork::kFallenPin));
    turn.tell("CMD_goodword+2+3+0+1+-2147483648+");
    QCOMPARE(turn.status(), QStringLiteral("You knocked down -2147483648 pins."));
    for (int k = 1; k <= 10; ++k)
        QVERIFY(turn.shows(turn.slot(k), Artwork::kFirstStandingPin + k - 1));
    // Two counts that only overflow into ten are no spare.
    turn.tell("CMD_goodword+2+4+0+1+-2147483643+");
    turn.tell("CMD_goodword+2+4+0+2+-2147483643+");
    QCOMPARE(turn.status(), QStringLiteral("You knocked down -2147483643 pins."));
    QCOMPARE(turn.ann->chat.session().sheet().frame(2, 4), (TFrameScore{-2147483643, -2147483643, 14, -1}));
}

void TestTurnPlay::realKeysReachTheBoardFirst_data()
{
    QTest::addColumn<QString>("focus"); // the control holding the keyboard focus; none: the window
    QTest::newRow("chat line") << QStringLiteral("mychat");
    QTest::newRow("chat pane") << QStringLiteral("mainchat");
    QTest::newRow("nothing focused") << QString();
}

void TestTurnPlay::realKeysReachTheBoardFirst()
{
    QFETCH(QString, focus);
    Turn turn;
    QVERIFY(turn.ready());
    Tchat& chat = turn.ann->chat;
    chat.show();
    QApplication::setActiveWindow(&chat);
    auto* entry = chat.findChild<QLineEdit*>(QStringLiteral("mychat"));
    entry->setText(QStringLiteral("c"));
    QWidget* keys = focus.isEmpty() ? static_cast<QWidget*>(&chat) : chat.findChild<QWidget*>(focus);
    keys->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), keys);

    QTest::keyClick(keys, Qt::Key_Tab); // Type Words on, wherever the focus is
    QVERIFY(turn.ann->action("TypeWords1")->isChecked());
    QCOMPARE(QApplication::focusWidget(), keys); // not moved on along the focus chain
    QVERIFY(entry->isReadOnly());
    QCOMPARE(entry->placeholderText(), QStringLiteral("Tab: chat"));
    QTest::keyClick(keys, Qt::Key_A);
    QTest::keyClick(keys, Qt::Key_T);
    QCOMPARE(entry->text(), QStringLiteral("c"));
    QCOMPARE(chat.session().rack().laidCount(), 2);
    QTest::keyClick(keys, Qt::Key_Tab); // and off again: the chat line takes keys
    QVERIFY(!turn.ann->action("TypeWords1")->isChecked());
    QVERIFY(!entry->isReadOnly());
    turn.ann->action("TypeWords1")->trigger();
    QVERIFY(entry->isReadOnly());
    QTest::mouseClick(entry, Qt::LeftButton); // a click on the chat line gives the keys back too
    QVERIFY(!turn.ann->action("TypeWords1")->isChecked());
    QVERIFY(!entry->isReadOnly());
    QTest::keyClick(entry, Qt::Key_S);
    QCOMPARE(entry->text(), QStringLiteral("cs"));

    QTest::keyClick(entry, Qt::Key_Tab);
    QTest::keyClick(entry, Qt::Key_Return); // the word goes to the host, not the chat line
    QCOMPARE(turn.host.received("CMD_sendword+"), QByteArray("CMD_sendword+2+1+4"));
    QCOMPARE(entry->text(), QStringLiteral("cs"));
}

QTEST_MAIN(TestTurnPlay)
#include "tst_turnplay.moc"
