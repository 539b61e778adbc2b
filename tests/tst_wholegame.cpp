// A whole game of ten frames through the real host, played by two real main windows that
// type their words; the finished board is saved as a picture.
#include "programfixture.h"
#include "scorecard.h"

#include <QDir>

namespace {

// Types a word on the board, as a player with "Type Words" on does, and sends it.
void typeWord(Tchat& chat, const QByteArray& word)
{
    for (const char letter : word)
        chat.session().pressKey(Qt::Key_A + (letter - 'a'));
    chat.session().pressKey(Qt::Key_Return);
}

bool waitForStatus(Program& program, const QString& text)
{
    auto* status = program.chat.findChild<QLabel*>(QStringLiteral("label_status"));
    return QTest::qWaitFor([&] { return status->text() == text; }, 10000);
}

} // namespace

class TestWholeGame : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void twoPlayersPlayTenFrames();
};

void TestWholeGame::twoPlayersPlayTenFrames()
{
    Game game;
    QVERIFY(game.ready());
    Program& bob = game.host;
    Program& ann = game.join(QStringLiteral("Ann"));
    QVERIFY(bob.waitForLine(QStringLiteral("Ann is Connected.")));
    QList<QByteArray> words{"bandleader", "zoologists"};
    for (int frame = 1; frame <= 10; ++frame)
        words << "abdicating";
    bob.server->fixNextWords(words);
    for (Program* player : {&bob, &ann})
        player->action("TypeWords1")->trigger();

    bob.chat.button_startClick();
    bob.gamestart.button_startClick();
    for (int frame = 1; frame <= 10; ++frame) {
        for (Program* player : {&bob, &ann}) {
            QVERIFY2(waitForStatus(*player, QStringLiteral("Create a word.")),
                     qPrintable(QString::number(frame)));
            typeWord(player->chat, "abdicating");
            QVERIFY(waitForStatus(*player, QStringLiteral("You got a Strike!")));
        }
        if (frame == 10) {
            // Each strike of frame 10 brings a bonus set to type from.
            for (Program* player : {&bob, &ann}) {
                for (const QByteArray& bonus : {QByteArray("bandleader"), QByteArray("zoologists")}) {
                    QVERIFY(
                        QTest::qWaitFor([&] { return !player->widget("button_send")->isHidden(); }, 10000));
                    typeWord(player->chat, bonus);
                    QTRY_VERIFY_WITH_TIMEOUT(player->widget("button_send")->isHidden(), 10000);
                }
            }
        }
        QVERIFY(waitForStatus(ann, QStringLiteral("Posting Scores.. Please Wait.")));
        QVERIFY(waitForStatus(bob, QStringLiteral("Posting Scores.. Please Wait.")));
        for (int second = 0; second < 10; ++second)
            bob.server->timer1Timer(); // the pause between frames
    }
    QVERIFY(waitForStatus(ann, QStringLiteral("Bob and You have Won the Game!")));
    QVERIFY(waitForStatus(bob, QStringLiteral("You and Ann have Won the Game!")));
    for (Program* player : {&bob, &ann}) {
        QCOMPARE(player->chat.findChild<QLabel*>(QStringLiteral("label_score1"))->text(),
                 QStringLiteral("300"));
        QCOMPARE(player->chat.findChild<QLabel*>(QStringLiteral("label_score2"))->text(),
                 QStringLiteral("300"));
        QCOMPARE(player->chat.session().sheet().frame(2, 10), (TFrameScore{10, 10, 10, 300}));
        QCOMPARE(player->tally.tally().own().perfectGames.text(), QStringLiteral("1")); // a 300 game for each
    }
    bob.chat.show();
    QDir().mkpath(QStringLiteral(PINFALL_ARTIFACTS));
    QVERIFY(bob.chat.grab().save(QStringLiteral(PINFALL_ARTIFACTS "/finished-game.png")));
}

QTEST_MAIN(TestWholeGame)
#include "tst_wholegame.moc"
