// Chat, phrase buttons, options and their settings file, and sounds, in a real game.
#include "gamesounds.h"
#include "linkfinder.h"
#include "programfixture.h"
#include "scriptedclient.h"

#include <QActionGroup>
#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextEdit>

namespace {

void writeSettings(Program& program, const QByteArray& text)
{
    QFile file(program.settingsFile());
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(text);
}

QByteArray settings(Program& program)
{
    QFile file(program.settingsFile());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A solo game that has connected, and so read its settings, with the lobby offer declined.
bool connectSolo(Program& program)
{
    program.chat.processparams({});
    program.download.Button1Click();
    return program.waitForLine(QStringLiteral("You are Connected."));
}

bool checked(Program& program, const char* item)
{
    return program.action(item)->isChecked();
}

// A hosting copy (Bob) and a scripted spectator that sees every relayed line.
struct ChatTable {
    Game game;
    ScriptedClient watcher;
    QLineEdit* entry = nullptr;

    bool ready()
    {
        entry = game.host.chat.findChild<QLineEdit*>(QStringLiteral("mychat"));
        return game.ready() && watcher.join(game.host.port(), "Watcher") == 2 &&
               game.host.waitForLine(QStringLiteral("Watcher is Connected."));
    }

    void type(const QString& text)
    {
        QTest::keyClicks(entry, text);
        QTest::keyClick(entry, Qt::Key_Return);
    }
};

} // namespace

class TestChat : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void noSettingsFileGivesDefaults();
    void storedValuesAreReadExactly();
    void optionsAreSavedIntoTheSharedFile();
    void closingSavesOnlyAMovedWindow();
    void colourDialogs();
    void entrySendsChatAndActions();
    void relayedLinesKeepTheirColour();
    void phraseButtonsPause();
    void phraseDialogStoresPhrases();
    void storedPhraseSendsItsAction();
    void linksAreFoundAndOpened();
    void scrollChatOffKeepsTheView();
    void copyPasteAndClear();
    void soundsFollowTheOption();
    void everySoundIsBuiltIn();
};

void TestChat::noSettingsFileGivesDefaults()
{
    Program program;
    QVERIFY(connectSolo(program));
    QCOMPARE(program.chat.pos(), QPoint(3, 3));
    QVERIFY(program.chat.width() >= 581 && program.chat.height() >= 576);
    QCOMPARE(program.chat.findChild<QTextEdit*>(QStringLiteral("mainchat"))->font().pointSize(), 8);
    QCOMPARE(program.chat.settings().textColour, 0u);
    QCOMPARE(program.chat.settings().actionColour, 0u);
    QVERIFY(checked(program, "PlaySounds1"));
    QVERIFY(checked(program, "Normal1"));
    QVERIFY(checked(program, "Classic1"));
    QVERIFY(checked(program, "N8"));
    QVERIFY(!checked(program, "TypeWords1"));
    QVERIFY(checked(program, "showbadword"));
    QVERIFY(checked(program, "showmissedwords"));
    QCOMPARE(program.chat.settings().secondsBetweenRounds, 10);
    QCOMPARE(program.gamestart.timePerTurn(), 45); // the default "1", brought to the nearest bound
    QCOMPARE(program.gamestart.computerPlayers(), 1);
    QCOMPARE(program.gamestart.computerLevel(), Level::Casual);
    QVERIFY(!QFile::exists(program.settingsFile()));
}

void TestChat::storedValuesAreReadExactly()
{
    struct Case {
        QByteArray stored;
        std::function<void(Program&)> check;
    };
    const QList<Case> cases{
        {"Timebetween=15",
         [](Program& p) {
             QVERIFY(checked(p, "Fast1"));
             QCOMPARE(p.chat.settings().secondsBetweenRounds, 15);
         }},
        {"Timebetween=5",
         [](Program& p) {
             QVERIFY(checked(p, "Slow1"));
             QCOMPARE(p.chat.settings().secondsBetweenRounds, 5);
         }},
        {"Timebetween=7",
         [](Program& p) {
             QVERIFY(checked(p, "Normal1"));
             QCOMPARE(p.chat.settings().secondsBetweenRounds, 10);
         }},
        {"Playsounds=FALSE", [](Program& p) { QVERIFY(checked(p, "PlaySounds1")); }},
        {"Playsounds=false", [](Program& p) { QVERIFY(!checked(p, "PlaySounds1")); }},
        {"Type=TRUE", [](Program& p) { QVERIFY(!checked(p, "TypeWords1")); }},
        {"Type=true\r\nUsespace=true\r\nClearwords=true\r\nShowbadword=false\r\nTurnsound=1",
         [](Program& p) {
             QVERIFY(checked(p, "TypeWords1") && checked(p, "usespace") && checked(p, "clearwords1"));
             QVERIFY(!checked(p, "showbadword"));
             QVERIFY(checked(p, "New1"));
         }},
        {"Textsize=11",
         [](Program& p) {
             QCOMPARE(p.chat.findChild<QTextEdit*>(QStringLiteral("mainchat"))->font().pointSize(), 11);
             for (const char* item : {"N8", "N10", "N12", "N14"})
                 QVERIFY(!checked(p, item));
         }},
        {"Textcolor=clRed\r\nActioncolor=$00FF0000",
         [](Program& p) {
             QCOMPARE(p.chat.settings().textColour, 0x0000FFu);
             QCOMPARE(p.chat.settings().actionColour, 0xFF0000u);
             const auto* entry = p.chat.findChild<QLineEdit*>(QStringLiteral("mychat"));
             QCOMPARE(entry->palette().color(QPalette::Text), QColor(Qt::red));
         }},
        {"Textcolor=nothing", [](Program& p) { QCOMPARE(p.chat.settings().textColour, 0u); }},
        {"Timeperturn=90", [](Program& p) { QCOMPARE(p.gamestart.timePerTurn(), 90); }},
        {"Timeperturn=500", [](Program& p) { QCOMPARE(p.gamestart.timePerTurn(), 120); }},
        {"Timeperturn=soon", [](Program& p) { QCOMPARE(p.gamestart.timePerTurn(), 60); }},
        {"ComputerPlayers=0", [](Program& p) { QCOMPARE(p.gamestart.computerPlayers(), 0); }},
        {"ComputerPlayers=2\r\nComputerLevel=expert",
         [](Program& p) {
             QCOMPARE(p.gamestart.computerPlayers(), 2);
             QCOMPARE(p.gamestart.computerLevel(), Level::Expert);
         }},
        {"ComputerLevel=grandmaster",
         [](Program& p) { QCOMPARE(p.gamestart.computerLevel(), Level::Casual); }},
        {"Top=40\r\nLeft=50\r\nWidth=700\r\nHeight=640",
         [](Program& p) {
             QCOMPARE(p.chat.pos(), QPoint(50, 40));
             QCOMPARE(p.chat.size(), QSize(700, 640));
         }},
    };
    for (const Case& c : cases) {
        Program program;
        writeSettings(program, "[Other]\r\nTimebetween=5\r\n[Pinfall]\r\n" + c.stored + "\r\n");
        QVERIFY(connectSolo(program));
        c.check(program);
        if (QTest::currentTestFailed())
            QFAIL(c.stored.constData());
    }
}

void TestChat::optionsAreSavedIntoTheSharedFile()
{
    // Every menu option away from its default: the line it saves, and the next start shows it.
    const QList<std::pair<const char*, QByteArray>> changes{
        {"TypeWords1", "Type=true"},
        {"usespace", "Usespace=true"},
        {"clearwords1", "Clearwords=true"},
        {"showbadword", "Showbadword=false"},
        {"showmissedwords", "Showmissedwords=false"},
        {"PlaySounds1", "Playsounds=false"},
        {"New1", "Turnsound=1"},
        {"Fast1", "Timebetween=15"},
        {"N12", "Textsize=12"},
    };
    Program program;
    const QByteArray lobby = "; kept by the lobby\r\n[Lobby]\r\nName = Bob  \r\n\r\n";
    writeSettings(program, lobby + "[Pinfall]\r\nPhrase1=Hi!\r\n");
    QVERIFY(connectSolo(program));
    for (const auto& [item, line] : changes)
        program.action(item)->trigger();
    const QByteArray saved = settings(program);
    QVERIFY2(saved.startsWith(lobby + "[Pinfall]\r\nPhrase1=Hi!\r\nTop="), saved.constData());
    for (const auto& [item, line] : changes)
        QVERIFY2(saved.contains("\r\n" + line + "\r\n"), line.constData());
    for (const char* line : {"Textcolor=clBlack", "Timeperturn=45"})
        QVERIFY2(saved.contains(QByteArray("\r\n") + line + "\r\n"), line);
    QCOMPARE(program.chat.findChild<QTextEdit*>(QStringLiteral("mainchat"))->font().pointSize(), 12);
    QCOMPARE(program.chat.settings().secondsBetweenRounds, 15);
    const PlayOptions& board = program.chat.session().options;
    QVERIFY(board.typeWords && board.spaceShuffles && board.clearRefusedWord && board.newTurnSound);
    QVERIFY(!board.showRefusedWord);

    Program next;
    writeSettings(next, saved);
    QVERIFY(connectSolo(next));
    QCOMPARE(next.chat.settings(), program.chat.settings());
    for (const auto& [item, line] : changes)
        QVERIFY2(checked(next, item) != (line.endsWith("false")), item);
}

void TestChat::closingSavesOnlyAMovedWindow()
{
    {
        Program program;
        QVERIFY(connectSolo(program));
        program.chat.close();
        QVERIFY(!QFile::exists(program.settingsFile()));
    }
    Program program;
    QVERIFY(connectSolo(program));
    program.chat.move(70, 80);
    program.chat.close();
    const QByteArray saved = settings(program);
    QVERIFY2(saved.contains("Top=80\r\nLeft=70\r\n"), saved.constData());

    // A window larger than the work area is kept one step smaller.
    program.chat.show(); // closing again needs a window that is open
    const QRect work = program.chat.screen()->availableGeometry();
    program.chat.resize(work.width() + 100, work.height() + 100);
    program.chat.close();
    const QByteArray larger = settings(program);
    QVERIFY2(larger.contains("Width=" + QByteArray::number(work.width() + 85) +
                             "\r\nHeight=" + QByteArray::number(work.height() + 85)),
             larger.constData());

    // "Reset Screen Location" puts the window back where it starts.
    program.action("ResetLocation1")->trigger();
    QCOMPARE(program.chat.pos(), QPoint(3, 3));
}

void TestChat::colourDialogs()
{
    Program program;
    QVERIFY(connectSolo(program));
    program.chat.pickColour = [](const QColor&, const QString&) { return std::optional<QColor>(); };
    program.chat.TextColor1Click(); // cancelled: nothing is saved
    QVERIFY(!QFile::exists(program.settingsFile()));
    program.chat.ActionColor1Click(); // cancelled, and still saved
    QVERIFY(settings(program).contains("Actioncolor=clBlack"));

    program.chat.pickColour = [](const QColor&, const QString&) {
        return std::optional<QColor>(QColor(Qt::red));
    };
    program.chat.TextColor1Click();
    QCOMPARE(program.chat.settings().textColour, 0x0000FFu);
    QColor offered;
    program.chat.pickColour = [&offered](const QColor& initial, const QString&) {
        offered = initial;
        return std::optional<QColor>();
    };
    program.chat.TextColor1Click();
    QCOMPARE(offered, QColor(Qt::red)); // the dialog opens at the colour in use
    QVERIFY(settings(program).contains("Textcolor=clRed"));
}

void TestChat::entrySendsChatAndActions()
{
    ChatTable table;
    QVERIFY(table.ready());
    QCOMPARE(table.entry->text(), QStringLiteral("<Enter Chat Here>"));
    table.type(QStringLiteral("hello: all"));
    QCOMPARE(table.watcher.waitFor("CMD_chat+"), QByteArray("CMD_chat+Bob chats: hello: all|clBlack"));
    table.type(QStringLiteral("/me waves"));
    QCOMPARE(table.watcher.waitFor("CMD_action+"), QByteArray("CMD_action+Bob waves|clBlack"));
    table.type(QStringLiteral("/mewaves"));
    QCOMPARE(table.watcher.waitFor("CMD_action+"), QByteArray("CMD_action+Bob aves|clBlack"));
    table.type(QStringLiteral("/help"));
    QCOMPARE(table.entry->text(), QString());
    table.watcher.settle(100);
    QVERIFY(table.watcher.receivedStarting("CMD_action").isEmpty());
    QVERIFY(table.watcher.receivedStarting("CMD_chat").isEmpty());
    QVERIFY(table.game.host.waitForLine(QStringLiteral("Bob chats: hello: all")));
    QVERIFY(table.game.host.waitForLine(QStringLiteral("Bob waves")));

    // Before log-in the entry keeps its text and sends nothing.
    Program idle;
    idle.chat.processparams({"Bob"});
    auto* entry = idle.chat.findChild<QLineEdit*>(QStringLiteral("mychat"));
    QTest::keyClicks(entry, QStringLiteral("anyone?"));
    QTest::keyClick(entry, Qt::Key_Return);
    QCOMPARE(entry->text(), QStringLiteral("anyone?"));
}

void TestChat::relayedLinesKeepTheirColour()
{
    ChatTable table;
    QVERIFY(table.ready());
    table.watcher.send("CMD_chat+2+hi|clBlue\xFF");
    table.type(QStringLiteral("a|b"));
    QVERIFY(table.game.host.waitForLine(QStringLiteral("Watcher chats: hi")));
    QVERIFY(table.game.host.waitForLine(QStringLiteral("Bob chats: a")));
    const auto* pane = table.game.host.chat.findChild<QTextEdit*>(QStringLiteral("mainchat"));
    const auto formats = [pane](const QString& line) {
        for (QTextBlock block = pane->document()->begin(); block.isValid(); block = block.next()) {
            if (block.text() == line)
                return block.textFormats();
        }
        return QList<QTextLayout::FormatRange>();
    };
    const QList<QTextLayout::FormatRange> blue = formats(QStringLiteral("Watcher chats: hi"));
    QCOMPARE(blue.size(), 2); // the speaker part, bold, then the text
    QCOMPARE(blue[0].length, 14);
    QCOMPARE(blue[0].format.fontWeight(), int(QFont::Bold));
    QCOMPARE(blue[1].format.fontWeight(), int(QFont::Normal));
    QCOMPARE(blue[1].format.foreground().color(), QColor(Qt::blue));
    // "b|clBlack" is no colour: the line shows in red.
    QCOMPARE(formats(QStringLiteral("Bob chats: a")).last().format.foreground().color(), QColor(Qt::red));
    // A notice has no speaker part.
    QCOMPARE(formats(QStringLiteral("You are Connected.")).size(), 1);
}

void TestChat::phraseButtonsPause()
{
    ChatTable table;
    QVERIFY(table.ready());
    auto* first = table.game.host.chat.findChild<QPushButton*>(QStringLiteral("b_phrase1"));
    auto* second = table.game.host.chat.findChild<QPushButton*>(QStringLiteral("b_phrase2"));
    QCOMPARE(first->toolTip(), QStringLiteral("Way To Go!"));
    first->click();
    second->click(); // too soon: nothing
    QCOMPARE(table.watcher.waitFor("CMD_action+"), QByteArray("CMD_action+Bob says: Way To Go!|clBlack"));
    table.watcher.settle(200);
    QVERIFY(table.watcher.receivedStarting("CMD_action").isEmpty());
    QVERIFY(!table.game.host.chat.chatPane().phraseReady());
    QTRY_VERIFY_WITH_TIMEOUT(table.game.host.chat.chatPane().phraseReady(), 5000);
    table.game.host.chat.findChild<QPushButton*>(QStringLiteral("b_phrase10"))->click();
    QCOMPARE(table.watcher.waitFor("CMD_action+"), QByteArray("CMD_action+Bob waves \"Good-Bye\"|clBlack"));
}

void TestChat::phraseDialogStoresPhrases()
{
    ChatTable table;
    QVERIFY(table.ready());
    Program& bob = table.game.host;
    bob.chat.PrhaseList1Click();
    QVERIFY(bob.phrases.isVisible());
    QCOMPARE(bob.phrases.phrases().at(2), QStringLiteral("Nice Try!"));
    auto* third = bob.phrases.findChild<QLineEdit*>(QStringLiteral("phrase3"));
    third->setText(QStringLiteral("Hello all"));
    bob.phrases.button_doneClick();
    QVERIFY(!bob.phrases.isVisible());
    QVERIFY(settings(bob).contains("Phrase3=Hello all"));
    QCOMPARE(bob.chat.settings().phrases[2], QStringLiteral("Hello all"));
    bob.chat.chatPane().pressPhrase(3);
    QCOMPARE(table.watcher.waitFor("CMD_action+"), QByteArray("CMD_action+Bob says: Hello all|clBlack"));
}

void TestChat::storedPhraseSendsItsAction()
{
    Game game;
    writeSettings(game.host, "[Pinfall]\r\nPhrase10=/me bows\r\nPhrase2=\r\n");
    QVERIFY(game.ready());
    ScriptedClient watcher;
    QCOMPARE(watcher.join(game.host.port(), "Watcher"), 2);
    QCOMPARE(game.host.chat.settings().phrases[1], QStringLiteral("Good One!")); // empty: the built-in phrase
    game.host.chat.chatPane().pressPhrase(10);
    QCOMPARE(watcher.waitFor("CMD_action+"), QByteArray("CMD_action+Bob bows|clBlack"));
}

void TestChat::linksAreFoundAndOpened()
{
    const QString line = QStringLiteral("Bob chats: see www.Example.com. or (HTTP://Pins.ORG/rules) http://");
    const auto link = [&line](const char* inside) {
        return findLink(line, line.indexOf(QLatin1String(inside)));
    };
    QCOMPARE(link("Example")->address, QStringLiteral("www.Example.com"));
    QCOMPARE(link("Example")->start, line.indexOf(QLatin1String("www.")));
    QCOMPARE(link("ORG")->address, QStringLiteral("HTTP://Pins.ORG/rules"));
    QVERIFY(!link("see").has_value());
    QVERIFY(!findLink(line, line.size() - 2).has_value()); // a prefix alone is no link
    QVERIFY(!findLink(line, line.size()).has_value());
    QCOMPARE(findLink(u"mailto:bob@pins.example;", 3)->address, QStringLiteral("mailto:bob@pins.example"));

    Program program;
    QStringList opened;
    program.chat.chatPane().openLink = [&opened](const QString& address) { opened << address; };
    program.chat.chatPane().addLine(line, Qt::blue);
    program.chat.show();
    program.download.Button1Click(); // its first showing starts a solo game
    QVERIFY(program.waitForLine(QStringLiteral("You are Connected.")));
    auto* pane = program.chat.findChild<QTextEdit*>(QStringLiteral("mainchat"));
    QTextCursor at(pane->document());
    at.setPosition(static_cast<int>(line.indexOf(QLatin1String("Example")) + 2));
    const QPoint point = pane->cursorRect(at).center();
    QTest::mouseMove(pane->viewport(), point);
    QCOMPARE(pane->viewport()->cursor().shape(), Qt::PointingHandCursor);
    QTest::mouseClick(pane->viewport(), Qt::LeftButton, {}, point);
    QCOMPARE(opened, QStringList{"www.Example.com"});
    QCOMPARE(pane->textCursor().selectedText(), QStringLiteral("www.Example.com"));
}

void TestChat::scrollChatOffKeepsTheView()
{
    Program program;
    program.chat.show();
    for (int i = 0; i < 100; ++i)
        program.chat.chatPane().addLine(QStringLiteral("line %1").arg(i), Qt::blue);
    QScrollBar* scroll = program.chat.findChild<QTextEdit*>(QStringLiteral("mainchat"))->verticalScrollBar();
    QCOMPARE(scroll->value(), scroll->maximum());
    program.action("ScrollChatOff2")->trigger();
    QVERIFY(program.action("ScrollChatOff1")->isChecked());
    scroll->setValue(0);
    program.chat.chatPane().addLine(QStringLiteral("one more"), Qt::blue);
    QCOMPARE(scroll->value(), 0);
    program.action("ScrollChatOff1")->trigger();
    QVERIFY(!program.action("ScrollChatOff2")->isChecked());
    program.chat.chatPane().addLine(QStringLiteral("and another"), Qt::blue);
    QCOMPARE(scroll->value(), scroll->maximum());
}

void TestChat::copyPasteAndClear()
{
    Program program;
    program.chat.chatPane().addLine(QStringLiteral("copy me"), Qt::blue);
    auto* pane = program.chat.findChild<QTextEdit*>(QStringLiteral("mainchat"));
    pane->selectAll();
    program.chat.chatPane().copySelection();
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("copy me"));
    auto* entry = program.chat.findChild<QLineEdit*>(QStringLiteral("mychat"));
    entry->setText(QStringLiteral("replaced whole"));
    program.chat.chatPane().paste();
    QCOMPARE(entry->text(), QStringLiteral("copy me"));
    program.action("ClearMainChat1")->trigger();
    QCOMPARE(program.chat.chatPane().lines(), QStringList{});
}

void TestChat::soundsFollowTheOption()
{
    Program program;
    QVERIFY(connectSolo(program));
    QCOMPARE(program.sounds.played, QStringList{"entered"});
    program.action("PlaySounds1")->trigger();
    program.chat.playsounds(QStringLiteral("strike"));
    QCOMPARE(program.sounds.played, QStringList{"entered"});
    program.action("PlaySounds1")->trigger();
    program.chat.playsounds(QStringLiteral("strike"));
    QCOMPARE(program.sounds.played, (QStringList{"entered", "strike"}));
}

void TestChat::everySoundIsBuiltIn()
{
    GameSounds sounds;
    QStringList names = sounds.names();
    names.sort();
    QCOMPARE(names, (QStringList{"badword", "clear", "entered", "gameover", "goodword", "puttile", "strike",
                                 "swap", "time", "timeup", "turn", "turnnew", "unselect"}));
    for (const QString& name : names) {
        QFile wav(QStringLiteral(":/sounds/%1.wav").arg(name));
        QVERIFY(wav.open(QIODevice::ReadOnly));
        const QByteArray header = wav.read(44);
        QVERIFY(header.startsWith("RIFF") && header.mid(8, 8) == "WAVEfmt ");
        QVERIFY2(wav.size() < 100 * 1024, qPrintable(name)); // short sounds
    }
    // With or without a sound device, playing never fails.
    sounds.play(QStringLiteral("strike"));
    sounds.play(QStringLiteral("STRIKE"));
}

QTEST_MAIN(TestChat)
#include "tst_chat.moc"
