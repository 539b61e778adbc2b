// The score sheet messages on the main window: a frame posted, the winner named and the
// tally fed, a latecomer brought up to date.
#include "artwork.h"
#include "faultreport.h"
#include "programfixture.h"
#include "scorecard.h"
#include "scriptedclient.h"

#include <QAction>

namespace {

// Four player blocks of a CMD_postscores for frame `frame`: slot 2 rolled `rolls` and stands
// at `score`, the others played nothing.
QByteArray blocks(int frame, const QByteArray& rolls, int score, const QByteArray& words)
{
    QByteArray text;
    for (int slot = 1; slot <= 4; ++slot) {
        const QByteArray s = QByteArray::number(slot);
        text += '+' + (slot == 2 ? s + '*' + QByteArray::number(score) + '*' + rolls + '*' + words
                                 : s + "*0*0*0*-1***");
        text += '+' + s;
        for (int f = 1; f <= 10; ++f)
            text += '#' + QByteArray::number(f) + '#' +
                    (slot == 2 && f == frame ? QByteArray::number(score) : "-1");
    }
    return text;
}

// Bob hosts; Ann joins as slot 2 (or later, after `before` scripted players).
struct Sheet {
    Game game;
    std::vector<std::unique_ptr<ScriptedClient>> others;
    Program* ann = nullptr;

    bool ready(int before = 0)
    {
        if (!game.ready())
            return false;
        for (int i = 0; i < before; ++i) {
            others.push_back(std::make_unique<ScriptedClient>());
            if (others.back()->join(game.host.port(), "P" + QByteArray::number(i + 2)) != i + 2)
                return false;
        }
        ann = &game.join(QStringLiteral("Ann"));
        return ann->waitForLine(QStringLiteral("You are Connected.")) &&
               ann->waitForLine(QStringLiteral("Bob is Connected."));
    }

    void tell(Program& program, const QByteArray& message)
    {
        program.chat.session().queue().append(message);
        QTRY_COMPARE(program.chat.session().queue().size(), 0);
    }
};

QString text(Program& program, const char* label)
{
    return program.chat.findChild<QLabel*>(QString::fromLatin1(label))->text();
}

} // namespace

class TestGameEnd : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void postedFrameFillsTheSheet();
    void frameTenNamesThreeWords();
    void anotherPlayerWins();
    void tiedTeamAddsNoGame();
    void ownWinFeedsTheTally();
    void spectatorsTallyStaysAsItWas();
    void latecomerIsBroughtUpToDate();
};

void TestGameEnd::postedFrameFillsTheSheet()
{
    Sheet sheet;
    QVERIFY(sheet.ready());
    Program& ann = *sheet.ann;
    sheet.tell(ann, "CMD_theletters+0+4+a+2+b+6+d+9+i+1+c+3+a+5+t+7+i+8+n+10+g");
    sheet.tell(ann, "CMD_postscores+3+abdicating+abdicating" + blocks(3, "5*5*-1", 40, "bad*acting*"));
    // What the letters allowed, and the longest words Ann did not play.
    const QString missed = ann.chat.chatPane().lines().last();
    QVERIFY2(missed.startsWith(QStringLiteral("Best play: ABDICATING, a strike. Missed: ")),
             qPrintable(missed));
    QVERIFY(!missed.contains(QStringLiteral(" BAD")) && !missed.contains(QStringLiteral("ACTING,")));
    QCOMPARE(text(ann, "label_status"), QStringLiteral("Posting Scores.. Please Wait."));
    QCOMPARE(text(ann, "label_theword"), QStringLiteral("Original Word: ABDICATING"));
    QCOMPARE(text(ann, "label_score2"), QStringLiteral("40"));
    QCOMPARE(text(ann, "label_word21"), QStringLiteral("bad"));
    QCOMPARE(text(ann, "label_word22"), QStringLiteral("acting"));
    QCOMPARE(text(ann, "label_word23"), QString());
    QCOMPARE(ann.chat.session().sheet().frame(2, 3), (TFrameScore{5, 5, -1, 40}));
    QCOMPARE(ann.chat.session().sheet().frame(1, 3), (TFrameScore{0, 0, -1, -1}));
    // The solution lies on the word row; the rack is empty.
    const auto picture = [&ann](const QString& name) {
        return ann.chat.findChild<QLabel*>(name)->pixmap().toImage();
    };
    QCOMPARE(picture(QStringLiteral("image_word1")), Artwork::tile(1).toImage());  // A
    QCOMPARE(picture(QStringLiteral("image_word10")), Artwork::tile(7).toImage()); // G
    QVERIFY(ann.chat.findChild<QLabel*>(QStringLiteral("image_letters4"))->pixmap().isNull());

    // A number that is not one ends the message where it stands.
    QStringList reports;
    const FaultReport::Sink previous = FaultReport::setSink([&reports](const QString& t) { reports << t; });
    sheet.tell(ann, "CMD_postscores+4+abdicating+abdicating+1*zero*0*0*-1***");
    FaultReport::setSink(previous);
    QCOMPARE(reports, QStringList{"'zero' is not a valid integer value"});

    // With Show Missed Words off, a frame's end adds nothing to the chat.
    ann.chat.findChild<QAction*>(QStringLiteral("showmissedwords"))->trigger();
    const qsizetype lines = ann.chat.chatPane().lines().size();
    sheet.tell(ann, "CMD_postscores+5+abdicating+abdicating" + blocks(5, "5*5*-1", 50, "bad*acting*"));
    QCOMPARE(ann.chat.chatPane().lines().size(), lines);
}

void TestGameEnd::frameTenNamesThreeWords()
{
    Sheet sheet;
    QVERIFY(sheet.ready());
    Program& ann = *sheet.ann;
    sheet.tell(ann, "CMD_postscores+10+zoologists+abdicating+bandleader+zoologists" +
                        blocks(10, "10*10*10", 300, "a*b*c"));
    QCOMPARE(text(ann, "label_theword"),
             QStringLiteral("Original Words: ABDICATING / BANDLEADER / ZOOLOGISTS"));
    QCOMPARE(ann.chat.session().sheet().frame(2, 10), (TFrameScore{10, 10, 10, 300}));
}

void TestGameEnd::anotherPlayerWins()
{
    Sheet sheet;
    QVERIFY(sheet.ready());
    Program& bob = sheet.game.host;
    QVERIFY(bob.waitForLine(QStringLiteral("Ann is Connected.")));
    bob.tally.tally().setPlayersInGame({});
    sheet.tell(bob, "CMD_winner+2+");
    QCOMPARE(text(bob, "label_status"), QStringLiteral("Ann has Won the Game!"));
    QVERIFY(bob.waitForLine(QStringLiteral("Ann has Won the Game!")));
    QVERIFY(!bob.chat.findChild<QLabel*>(QStringLiteral("image_winner2"))->isHidden());
    QVERIFY(bob.chat.findChild<QLabel*>(QStringLiteral("image_winner1"))->isHidden());
    QVERIFY(!bob.widget("button_start")->isHidden()); // the host may start the next game
    QCOMPARE(bob.sounds.played.last(), QStringLiteral("gameover"));
    QCOMPARE(bob.tally.tally().own().games.text(), QStringLiteral("1")); // a game counted, not won
    QCOMPARE(bob.tally.tally().own().wins.text(), QStringLiteral("0"));
    QCOMPARE(bob.tally.tally().playersInGame(), QStringList{"Ann"});
}

void TestGameEnd::tiedTeamAddsNoGame()
{
    Sheet sheet;
    QVERIFY(sheet.ready(1)); // a scripted player takes slot 2; Ann is slot 3
    Program& ann = *sheet.ann;
    QCOMPARE(ann.chat.session().localSlot(), 3);
    sheet.tell(ann, "CMD_winner+1+3+");
    QCOMPARE(text(ann, "label_status"), QStringLiteral("Bob and You have Won the Game!"));
    QCOMPARE(ann.tally.tally().own().games.text(), QStringLiteral("0"));
}

void TestGameEnd::ownWinFeedsTheTally()
{
    Sheet sheet;
    QVERIFY(sheet.ready());
    Program& ann = *sheet.ann;
    sheet.tell(ann, "CMD_postscores+10+zoologists+abdicating+bandleader+zoologists" +
                        blocks(10, "10*10*10", 300, "a*b*c"));
    sheet.tell(ann, "CMD_winner+2+");
    QCOMPARE(text(ann, "label_status"), QStringLiteral("You have Won the Game!"));
    QCOMPARE(ann.tally.tally().own().games.text(), QStringLiteral("1"));
    QCOMPARE(ann.tally.tally().own().wins.text(), QStringLiteral("1"));
    QCOMPARE(ann.tally.tally().own().perfectGames.text(), QStringLiteral("1")); // a 300 game
    QCOMPARE(ann.tally.tally().own().average.text(), QStringLiteral("300"));
    QVERIFY(ann.widget("button_start")->isHidden()); // not the host
}

void TestGameEnd::spectatorsTallyStaysAsItWas()
{
    Sheet sheet;
    QVERIFY(sheet.ready(3)); // slots 2 to 4 taken: Ann watches from slot 5
    Program& ann = *sheet.ann;
    QCOMPARE(ann.chat.session().localSlot(), 5);
    sheet.tell(ann, "CMD_winner+1+");
    QCOMPARE(text(ann, "label_status"), QStringLiteral("Bob has Won the Game!"));
    QCOMPARE(ann.tally.tally().own().games.text(), QStringLiteral("0"));
}

void TestGameEnd::latecomerIsBroughtUpToDate()
{
    Sheet sheet;
    QVERIFY(sheet.ready());
    Program& ann = *sheet.ann;
    sheet.tell(ann, "CMD_loadstats+3+45+t+30+1+2+3+4+"); // for somebody else
    QCOMPARE(text(ann, "label_score1"), QStringLiteral("0"));
    sheet.tell(ann, "CMD_loadstats+2+45+t+30+10+20+30+40+");
    QCOMPARE(text(ann, "label_timeperturn"), QStringLiteral("Time Per Turn: 45 s."));
    QCOMPARE((QStringList{text(ann, "label_score1"), text(ann, "label_score2"), text(ann, "label_score3"),
                          text(ann, "label_score4")}),
             (QStringList{"10", "20", "30", "40"}));
    QCOMPARE(text(ann, "label_teamgame"), QStringLiteral("Team Game"));
    QVERIFY(!ann.widget("image_noplay")->isHidden());
}

QTEST_MAIN(TestGameEnd)
#include "tst_gameend.moc"
