// The main window against a real host on a free port: start-up, log-in, roster, just watch,
// removals, game start and the end of the connection.
#include "boxanswerer.h"
#include "desktopsession.h"
#include "faultreport.h"
#include "gamesettings.h"
#include "programfixture.h"
#include "scriptedclient.h"
#include "soundplayer.h"
#include "tchat.h"
#include "textfit.h"
#include "tgamestart.h"
#include "tphrases.h"
#include "tserver.h"
#include "tspylist.h"

#include <QAbstractItemView>
#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QLocalSocket>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

class TestMainWindow : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void noParametersHostsASoloGame();
    void oneOrTwoParametersOnlyLoad();
    void onlyExactlyTrueHosts();
    void playersAndSpectatorsArriveAndLeave();
    void versionDifferenceIsReported();
    void justWatchFollowsTheHost();
    void rosterMenuDependsOnHosting();
    void hostRemovesAParticipant();
    void startNeedsAConnection();
    void gameStartSetsTheBoard();
    void burstTakesOneTickPerMessage();
    void theHostGoingAwayLeavesAGameOfOnesOwn();
    void aFullGameIsToldAndThePlayerStays();
    void hostingOnATakenPortSaysSoAndKeepsTheSettings();
    void runningGameIsNotThrownAwayByAStrayClick();
    void gameStartDialog();
    void computerPlayerIsSeatedBeforeTheStart();
    void boardIsDrawn();
    void brokenMessageIsReported();
    void markerShowsTheGameRuns();
    void viewTallyListsThePlayersInGame();
    void hostRemovesASpectatorUnderThePointer();
    void aboutWindowAndItsLink();
    void helpPagesByButton();
};

void TestMainWindow::noParametersHostsASoloGame()
{
    Program solo;
    solo.chat.processparams({});
    QVERIFY(solo.waitForLine(QStringLiteral("You are Connected.")));
    QCOMPARE(solo.chat.chatPane().lines(),
             (QStringList{"Loading Solo Game..Please wait.", "You are Connected."}));
    QVERIFY(solo.download.isVisible()); // the way to games with others
    QVERIFY(solo.chat.session().isHost());
    QCOMPARE(solo.chat.session().playerName(), QStringLiteral("You"));
    QCOMPARE(solo.chat.session().hostAddress(), QStringLiteral("127.0.0.1"));
    QCOMPARE(solo.chat.session().localSlot(), 1);
    QCOMPARE(solo.rosterName(1), QStringLiteral("You"));
    QVERIFY(!solo.widget("button_start")->isHidden());
    QVERIFY(solo.action("StartGame1")->isEnabled());
    QVERIFY(solo.spylist.removeEnabled());
    QCOMPARE(solo.sounds.played, QStringList{"entered"});
}

void TestMainWindow::oneOrTwoParametersOnlyLoad()
{
    for (const QStringList& params : {QStringList{"Bob"}, QStringList{"Bob", "127.0.0.1"}}) {
        Program program;
        program.chat.processparams(params);
        QTest::qWait(100);
        QCOMPARE(program.chat.chatPane().lines(), QStringList{"Loading Multi-player Game.. Please Wait."});
        QVERIFY(program.download.isHidden());
        QCOMPARE(program.port(), quint16(0)); // nothing listens
        QVERIFY(!program.chat.session().loggedIn());
        QVERIFY(program.widget("button_start")->isHidden());
        QVERIFY(!program.action("StartGame1")->isEnabled());
    }
}

void TestMainWindow::onlyExactlyTrueHosts()
{
    Game game; // parameter 3 "true": hosts, and connects to itself, not to the address given
    QVERIFY(game.ready());
    QVERIFY(game.host.chat.session().isHost());
    QCOMPARE(game.host.chat.session().playerName(), QStringLiteral("Bob"));
    QCOMPARE(game.host.chat.session().hostAddress(), QStringLiteral("127.0.0.1"));

    Program& ann = game.join(QStringLiteral("Ann"));
    QVERIFY(ann.waitForLine(QStringLiteral("You are Connected.")));
    QCOMPARE(ann.chat.session().localSlot(), 2);

    auto lee = std::make_unique<Program>(QString::number(game.host.port()));
    lee->chat.processparams({"Lee", "127.0.0.1", "True"}); // anything but exactly "true" joins
    QVERIFY(lee->waitForLine(QStringLiteral("You are Connected.")));
    QVERIFY(!lee->chat.session().isHost());
    QCOMPARE(lee->chat.session().localSlot(), 3);
    QCOMPARE(lee->port(), quint16(0));
    QVERIFY(lee->widget("button_start")->isHidden());
}

void TestMainWindow::playersAndSpectatorsArriveAndLeave()
{
    Game game;
    QVERIFY(game.ready());
    std::array<ScriptedClient, 3> others; // slots 2 to 4
    for (int i = 0; i < 3; ++i)
        QCOMPARE(others[i].join(game.host.port(), "P" + QByteArray::number(i + 2)), i + 2);
    Program& spy = game.join(QStringLiteral("Spy"));
    QVERIFY(spy.waitForLine(QStringLiteral("P4 is Connected.")));
    QCOMPARE(spy.chat.session().localSlot(), 5);
    QCOMPARE(spy.chat.chatPane().lines(),
             (QStringList{"Loading Multi-player Game.. Please Wait.", "You are Connected.", "You are spying.",
                          "Bob is Connected.", "P2 is Connected.", "P3 is Connected.", "P4 is Connected."}));
    QCOMPARE(spy.spylist.spies(), QStringList{"5: Spy"});
    QCOMPARE(spy.sounds.played, QStringList(5, QStringLiteral("entered"))); // its own arrival too
    QCOMPARE(spy.rosterName(4), QStringLiteral("P4"));

    QVERIFY(game.host.waitForLine(QStringLiteral("Spy is spying.")));
    QCOMPARE(game.host.spylist.spies(), QStringList{"5: Spy"});
    QCOMPARE(game.host.rosterName(2), QStringLiteral("P2"));
    QCOMPARE(game.host.sounds.played.size(), 5);

    others[1].close(); // slot 3 leaves
    QVERIFY(game.host.waitForLine(QStringLiteral("P3 disconnected.")));
    QCOMPARE(game.host.rosterName(3), QStringLiteral("<Waiting>"));
    game.joiners.clear(); // the spectator's program ends
    QVERIFY(game.host.waitForLine(QStringLiteral("Spy has left.")));
    QCOMPARE(game.host.spylist.spies(), QStringList{});

    // Departures of nobody write nothing.
    const qsizetype lines = game.host.chat.chatPane().lines().size();
    game.host.chat.session().queue().append("CMD_playerdisconnected+3+P3");
    game.host.chat.session().queue().append("CMD_playerdisconnected+7+Ghost");
    QTRY_COMPARE(game.host.chat.session().queue().size(), 0);
    QCOMPARE(game.host.chat.chatPane().lines().size(), lines);
}

void TestMainWindow::versionDifferenceIsReported()
{
    Game game;
    QVERIFY(game.ready());
    ScriptedClient old;
    QCOMPARE(old.join(game.host.port(), "Old", "1.0.6"), 2);
    QVERIFY(game.host.waitForLine(QStringLiteral("Old has a different version of the game then you.")));
    game.host.chat.session().queue().append("CMD_wrongversion+");
    QVERIFY(game.host.waitForLine(QStringLiteral("You have a differnt version of the game then the host.")));
}

void TestMainWindow::justWatchFollowsTheHost()
{
    Game game;
    QVERIFY(game.ready());
    Program& ann = game.join(QStringLiteral("Ann"));
    QVERIFY(game.host.waitForLine(QStringLiteral("Ann is Connected.")));
    QAction* justWatch = ann.action("JustWatch1");

    justWatch->trigger(); // outside a game the host does not let anybody sit out
    QTest::qWait(100);
    QVERIFY(!justWatch->isChecked());

    game.host.gamestart.button_startClick();
    QVERIFY(ann.waitForLine(QStringLiteral("Bob has started a game.")));
    justWatch->trigger();
    QVERIFY(!justWatch->isChecked()); // the click alone changes nothing
    QVERIFY(ann.waitForLine(QStringLiteral("Ann is just watching")));
    QVERIFY(justWatch->isChecked());
    QVERIFY(ann.eyesShown(2));
    QVERIFY(game.host.waitForLine(QStringLiteral("Ann is just watching")));
    QVERIFY(game.host.eyesShown(2));

    justWatch->trigger();
    QVERIFY(ann.waitForLine(QStringLiteral("Ann is now playing again")));
    QVERIFY(!justWatch->isChecked());
    QVERIFY(!ann.eyesShown(2));

    // The host sits out an empty place; a spectator slot changes nothing.
    game.host.rosterItem(4, "Set to Just Watch")->trigger();
    QVERIFY(game.host.waitForLine(QStringLiteral("<Waiting> is just watching")));
    QVERIFY(ann.waitForLine(QStringLiteral("<Waiting> is just watching")));
    const QStringList before = ann.chat.chatPane().lines();
    ann.chat.session().queue().append("CMD_justwatching+7+1");
    QTRY_COMPARE(ann.chat.session().queue().size(), 0);
    QCOMPARE(ann.chat.chatPane().lines(), before);
}

void TestMainWindow::rosterMenuDependsOnHosting()
{
    Game game;
    QVERIFY(game.ready());
    Program& ann = game.join(QStringLiteral("Ann"));
    QVERIFY(ann.waitForLine(QStringLiteral("Bob is Connected.")));
    const auto enabled = [](Program& program, int slot) {
        QList<bool> states;
        for (const char* caption : {"Remove From Game", "Set to Just Watch", "Unset Just Watch"})
            states << program.rosterItem(slot, caption)->isEnabled();
        return states;
    };
    QCOMPARE(enabled(game.host, 2), (QList<bool>{true, true, true}));
    QCOMPARE(enabled(game.host, 3), (QList<bool>{false, true, true})); // "<Waiting>": nobody to remove
    QCOMPARE(enabled(ann, 1), (QList<bool>{false, false, false}));
}

void TestMainWindow::hostRemovesAParticipant()
{
    Game game;
    QVERIFY(game.ready());
    Program& ann = game.join(QStringLiteral("Ann"));
    QVERIFY(game.host.waitForLine(QStringLiteral("Ann is Connected.")));
    QSignalSpy annEnds(&ann.chat, &Tchat::closed);
    ann.chat.session().remove(1); // a participant who is not the host cannot remove anybody
    QTest::qWait(100);
    QCOMPARE(annEnds.count(), 0);

    game.host.rosterItem(2, "Remove From Game")->trigger();
    QVERIFY(game.host.waitForLine(QStringLiteral("Ann disconnected.")));
    QCOMPARE(game.host.rosterName(2), QStringLiteral("<Waiting>"));
    // Ann stays, told why; Bob holds the port of a game of her own, so Play with Others is open.
    QVERIFY(ann.waitForLine(QStringLiteral("You were removed from the game.")));
    QTRY_VERIFY(ann.others.isVisible());
    QCOMPARE(annEnds.count(), 0);
}

void TestMainWindow::startNeedsAConnection()
{
    Program idle;
    idle.chat.processparams({"Bob"});
    BoxAnswerer answer;
    idle.chat.button_startClick();
    QCOMPARE(answer.text(), QStringLiteral("You are not connected"));
    QVERIFY(idle.gamestart.isHidden());
}

void TestMainWindow::gameStartSetsTheBoard()
{
    Program solo;
    solo.chat.processparams({});
    QVERIFY(solo.waitForLine(QStringLiteral("You are Connected.")));
    solo.chat.button_startClick();
    QVERIFY(solo.gamestart.isVisible());

    auto* teamLabel = solo.chat.findChild<QLabel*>(QStringLiteral("label_teamgame"));
    auto* timePerTurn = solo.chat.findChild<QLabel*>(QStringLiteral("label_timeperturn"));
    auto* firstName = solo.chat.findChild<QLabel*>(QStringLiteral("label_playername1"));
    auto* secondName = solo.chat.findChild<QLabel*>(QStringLiteral("label_playername2"));
    solo.chat.session().queue().append("CMD_startgame+Bob+abc+t+");
    QVERIFY(solo.waitForLine(QStringLiteral("Bob has started a game.")));
    QCOMPARE(timePerTurn->text(), QStringLiteral("Time Per Turn: 90 s."));
    QCOMPARE(teamLabel->text(), QStringLiteral("Team Game"));
    QCOMPARE(firstName->palette().color(QPalette::WindowText), QColor(Qt::black));
    QCOMPARE(secondName->palette().color(QPalette::WindowText), QColor(221, 0, 0));
    QVERIFY(solo.widget("button_start")->isHidden());
    QVERIFY(solo.action("StartGame1")->isEnabled()); // the host may start again during a game

    solo.chat.session().queue().append("CMD_startgame+Bob+60+f+");
    QVERIFY(QTest::qWaitFor([&] { return timePerTurn->text() == QStringLiteral("Time Per Turn: 60 s."); }));
    QCOMPARE(teamLabel->text(), QStringLiteral("Good Luck!"));
    QCOMPARE(firstName->palette().color(QPalette::WindowText), QColor(221, 0, 0));
}

void TestMainWindow::burstTakesOneTickPerMessage()
{
    Program program;
    for (int i = 0; i < 20; ++i)
        program.chat.session().queue().append("CMD_wrongversion+");
    program.chat.session().queue().append("no plus at all");
    program.chat.session().queue().append("");
    for (int tick = 1; tick <= 20; ++tick) {
        program.chat.session().queue().dispatchNext();
        QCOMPARE(program.chat.chatPane().lines().size(), tick);
    }
    program.chat.session().queue().dispatchNext();
    program.chat.session().queue().dispatchNext();
    QCOMPARE(program.chat.chatPane().lines().size(), 20);
    QVERIFY(!program.chat.session().queue().isTicking());
}

void TestMainWindow::theHostGoingAwayLeavesAGameOfOnesOwn()
{
    auto game = std::make_unique<Game>();
    QVERIFY(game->ready());
    Program& ann = game->join(QStringLiteral("Ann"));
    QVERIFY(ann.waitForLine(QStringLiteral("You are Connected.")));
    QSignalSpy annEnds(&ann.chat, &Tchat::closed);
    auto joiners = std::move(game->joiners);
    game.reset(); // the host's program ends
    QVERIFY(ann.waitForLine(QStringLiteral("The host has left, and the game is over.")));
    QTRY_VERIFY(ann.chat.session().isHost() && ann.rosterName(1) == QStringLiteral("You"));
    QCOMPARE(annEnds.count(), 0);
}

void TestMainWindow::aFullGameIsToldAndThePlayerStays()
{
    Game game;
    QVERIFY(game.ready());
    std::array<ScriptedClient, 8> others;
    for (ScriptedClient& other : others)
        QVERIFY(other.join(game.host.port(), "Other") > 0);
    Program& late = game.join(QStringLiteral("Late"));
    QSignalSpy lateEnds(&late.chat, &Tchat::closed);
    QVERIFY(late.waitForLine(QStringLiteral("Could not join the game at 127.0.0.1, port %1: Game is full.")
                                 .arg(game.host.port())));
    QTRY_VERIFY(late.others.isVisible()); // no game of its own either: the host holds the port
    QCOMPARE(lateEnds.count(), 0);
}

void TestMainWindow::hostingOnATakenPortSaysSoAndKeepsTheSettings()
{
    QTcpServer holder; // another program on the game's port
    QVERIFY(holder.listen(QHostAddress::LocalHost, 0));
    const QString port = QString::number(holder.serverPort());
    Program program(port);
    QFile settings(program.settingsFile());
    QVERIFY(settings.open(QIODevice::WriteOnly));
    settings.write("[Pinfall]\r\nType=true\r\nTextsize=14\r\n");
    settings.close();

    QSignalSpy ends(&program.chat, &Tchat::closed);
    {
        BoxAnswerer retry(QMessageBox::Retry);
        program.chat.processparams({});
        QTRY_VERIFY(retry.text().contains(QStringLiteral("PINFALL_PORT")));
    }
    BoxAnswerer close(QMessageBox::Close); // no such button: the box is closed, as with Escape
    QTRY_VERIFY(program.others.isVisible());
    QCOMPARE(ends.count(), 0);
    QVERIFY(!close.text().contains(QStringLiteral("join it")));
    QVERIFY(close.text().contains(QStringLiteral("port ") + port));
    QVERIFY(close.text().contains(QStringLiteral("another program holds it")));
    QVERIFY(close.text().contains(QStringLiteral("PINFALL_PORT")));
    QVERIFY(settings.open(QIODevice::ReadOnly));
    QCOMPARE(settings.readAll(), QByteArray("[Pinfall]\r\nType=true\r\nTextsize=14\r\n"));
}

void TestMainWindow::runningGameIsNotThrownAwayByAStrayClick()
{
    Game game;
    QVERIFY(game.ready());
    Program& bob = game.host;
    game.join(QStringLiteral("Ann"));
    QVERIFY(bob.waitForLine(QStringLiteral("Ann is Connected.")));
    QSignalSpy ends(&bob.chat, &Tchat::closed);
    {
        BoxAnswerer keep(QMessageBox::No);
        bob.action("Exit1")->trigger();
        QVERIFY(keep.text().startsWith(QStringLiteral("Others are in the game you host")));
    }
    QCOMPARE(ends.count(), 0);

    bob.chat.button_startClick(); // no game yet: nothing to ask
    bob.gamestart.button_startClick();
    QTRY_VERIFY(bob.chat.session().gameRunning());
    {
        BoxAnswerer keep(QMessageBox::No);
        bob.chat.button_startClick();
        QCOMPARE(keep.text(), QStringLiteral("A game is under way. Start a new one and end this one?"));
    }
    QVERIFY(bob.gamestart.isHidden());

    // Escape puts a secondary window away; in an open list of choices, only the list.
    bob.gamestart.show();
    bob.gamestart.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&bob.gamestart));
    auto* levels = bob.gamestart.findChild<QComboBox*>(QStringLiteral("computerLevel"));
    levels->showPopup();
    QTest::keyClick(levels->view(), Qt::Key_Escape);
    QVERIFY(!levels->view()->isVisible());
    QVERIFY(bob.gamestart.isVisible());
    QTest::keyClick(&bob.gamestart, Qt::Key_Escape);
    QVERIFY(bob.gamestart.isHidden());
}

void TestMainWindow::gameStartDialog()
{
    Game game;
    QVERIFY(game.ready());
    ScriptedClient watcher;
    QCOMPARE(watcher.join(game.host.port(), "Watcher"), 2);
    QVERIFY(game.host.waitForLine(QStringLiteral("Watcher is Connected.")));
    Tgamestart& dialog = game.host.gamestart;
    auto* team = dialog.findChild<QLabel*>(QStringLiteral("image_team"));

    {
        BoxAnswerer answer(QMessageBox::No); // two players: the dialog asks first
        dialog.image_teamClick();
        QCOMPARE(answer.text(),
                 QStringLiteral("There are not enough players for evenly matched teams. Do you "
                                "wish to play a team game anyway?"));
        QVERIFY(!dialog.teamGame());
    }
    {
        BoxAnswerer answer(QMessageBox::Yes);
        dialog.image_teamClick();
        QVERIFY(dialog.teamGame());
    }
    dialog.image_teamClick(); // on: turns off without a question
    QVERIFY(!dialog.teamGame());
    QVERIFY(team != nullptr);

    dialog.setTimePerTurn(1);
    QCOMPARE(dialog.timePerTurn(), 45);
    dialog.setTimePerTurn(500);
    QCOMPARE(dialog.timePerTurn(), 120);
    auto* upDown = dialog.findChild<QSpinBox*>(QStringLiteral("UpDown2"));
    upDown->stepDown();
    QCOMPARE(dialog.timePerTurn(), 115);
    dialog.setTimePerTurn(90);

    QCOMPARE(dialog.computerPlayers(), 0); // a game hosted for others has none unless asked
    dialog.setComputerPlayers(3);
    QCOMPARE(dialog.computerPlayers(), 2); // the places Bob and Watcher leave
    dialog.setComputerPlayers(0);

    BoxAnswerer yes(QMessageBox::Yes);
    dialog.image_teamClick();
    dialog.show();
    dialog.button_startClick();
    QVERIFY(dialog.isHidden());
    QCOMPARE(watcher.waitFor("CMD_startgame+"), QByteArray("CMD_startgame+Bob+90+t+"));
}

void TestMainWindow::computerPlayerIsSeatedBeforeTheStart()
{
    Program solo;
    solo.chat.processparams({});
    QVERIFY(solo.waitForLine(QStringLiteral("You are Connected.")));
    QCOMPARE(solo.gamestart.computerPlayers(), 1); // alone, the first game is a match
    GameSession& session = solo.chat.session();
    bool seatedAtStart = false;
    connect(&session, &GameSession::gameStarted, &session, [&] { seatedAtStart = session.seat(2).taken; });

    solo.gamestart.button_startClick();
    QTRY_VERIFY(session.gameRunning());
    QVERIFY(seatedAtStart);
    QCOMPARE(solo.rosterName(2), QStringLiteral("Casual Bot 1"));
    const GameSettings saved = readGameSettings(IniFile(solo.settingsFile()));
    QCOMPARE(saved.computerPlayers, std::optional(1));
    QCOMPARE(saved.computerLevel, QStringLiteral("Casual"));

    BoxAnswerer keep(QMessageBox::No);
    QSignalSpy ends(&solo.chat, &Tchat::closed);
    solo.action("Exit1")->trigger(); // the program's own computer player loses no game
    QCOMPARE(keep.text(), QString());
    QCOMPARE(ends.count(), 1);
}

void TestMainWindow::boardIsDrawn()
{
    Game game;
    QVERIFY(game.ready());
    Program& ann = game.join(QStringLiteral("Ann"));
    QVERIFY(game.host.waitForLine(QStringLiteral("Ann is Connected.")));
    game.host.chat.show();
    const QImage board = game.host.widget("panel_board")->grab().toImage();
    QDir().mkpath(QStringLiteral(PINFALL_ARTIFACTS));
    QVERIFY(game.host.chat.grab().save(QStringLiteral(PINFALL_ARTIFACTS "/main-window.png")));
    game.host.gamestart.show();
    const QImage dialog = game.host.gamestart.grab().toImage();
    QVERIFY(dialog.save(QStringLiteral(PINFALL_ARTIFACTS "/game-start.png")));
    // The START GAME picture is drawn in red over the lane; the lane itself is wood, on the board
    // and under the dialogs.
    const QColor button = board.pixelColor(64 + 10, 212 + 12);
    QVERIFY2(button.red() > 2 * button.green(), qPrintable(button.name()));
    QCOMPARE(board.pixelColor(6 + 60, 5 + 60), QColor(255, 254, 244)); // the sheet's paper
    for (const QColor& lane : {board.pixelColor(520, 250), dialog.pixelColor(20, 100)})
        QVERIFY2(lane.red() > 150 && lane.green() > 100 && lane.blue() < lane.green(),
                 qPrintable(lane.name()));
    QVERIFY(ann.waitForLine(QStringLiteral("Bob is Connected.")));

    // The longest texts of a game fit their places: the time per turn, a frame's three words.
    std::array<PlayerReport, 4> players;
    for (int slot = 1; slot <= 4; ++slot) {
        players[slot - 1].slot = slot;
        players[slot - 1].totals.fill(-1);
        players[slot - 1].words = {"abdicating", "bandleader", "zoologists"};
    }
    game.host.chat.session().queue().append(ToClient::startgame("Bob", 120, "f").chopped(1));
    game.host.chat.session().queue().append(
        ToClient::postscores(10, "zoologists", {"abdicating", "bandleader", "zoologists"}, players)
            .chopped(1));
    QTRY_COMPARE(game.host.chat.session().queue().size(), 0);
    const QStringList found = textMisfits(game.host.chat);
    QVERIFY2(found.isEmpty(), qPrintable(found.join(QStringLiteral("; "))));
}

void TestMainWindow::brokenMessageIsReported()
{
    QStringList reports;
    const FaultReport::Sink previous =
        FaultReport::setSink([&reports](const QString& text) { reports << text; });
    Program program;
    program.chat.session().queue().append("CMD_newplayerinfo+two+Ann");
    program.chat.session().queue().append("CMD_wrongversion+");
    QVERIFY(program.waitForLine(QStringLiteral("You have a differnt version of the game then the host.")));
    QCOMPARE(reports, QStringList{"'two' is not a valid integer value"});
    QCOMPARE(program.rosterName(2), QStringLiteral("<Waiting>"));
    FaultReport::setSink(previous);
}

void TestMainWindow::markerShowsTheGameRuns()
{
    const QString marker = sessionScopedName(QStringLiteral("Pinfall"));
    QLocalSocket probe;
    {
        Program program;
        probe.connectToServer(marker);
        QVERIFY(probe.waitForConnected(2000));
        probe.disconnectFromServer();
    }
    probe.connectToServer(marker);
    QVERIFY(!probe.waitForConnected(200));
}

void TestMainWindow::viewTallyListsThePlayersInGame()
{
    Game game;
    QVERIFY(game.ready());
    Program& ann = game.join(QStringLiteral("Ann"));
    ScriptedClient lee;
    QCOMPARE(lee.join(game.host.port(), "Lee"), 3);
    QVERIFY(ann.waitForLine(QStringLiteral("Lee is Connected.")));
    lee.close();
    QVERIFY(ann.waitForLine(QStringLiteral("Lee disconnected.")));
    ann.action("ViewTally1")->trigger();
    QVERIFY(ann.tally.isVisible());
    QCOMPARE(ann.tally.tally().playersInGame(), QStringList{"Bob"}); // not Ann herself, not an empty place
}

void TestMainWindow::hostRemovesASpectatorUnderThePointer()
{
    Game game;
    QVERIFY(game.ready());
    std::array<ScriptedClient, 3> players; // slots 2 to 4
    for (int i = 0; i < 3; ++i)
        QCOMPARE(players[i].join(game.host.port(), "P" + QByteArray::number(i + 2)), i + 2);
    Program& spy = game.join(QStringLiteral("Spy"));
    QVERIFY(game.host.waitForLine(QStringLiteral("Spy is spying.")));
    QVERIFY(!spy.spylist.removeEnabled()); // only the host may remove
    QVERIFY(game.host.spylist.removeEnabled());

    Tspylist& list = game.host.spylist;
    list.show();
    auto* lines = list.findChild<QListWidget*>(QStringLiteral("listbox_spys"));
    QTest::mouseMove(lines->viewport(), QPoint(10, lines->viewport()->height() - 5)); // below the lines
    QCOMPARE(list.lineUnderPointer(), -1);
    QSignalSpy spyEnds(&spy.chat, &Tchat::closed);
    list.popup_kickhimClick();
    QTest::qWait(100);
    QCOMPARE(spyEnds.count(), 0);

    QTest::mouseMove(lines->viewport(), lines->visualItemRect(lines->item(0)).center());
    QCOMPARE(list.lineUnderPointer(), 0);
    list.popup_kickhimClick();
    QVERIFY(game.host.waitForLine(QStringLiteral("Spy has left.")));
    QVERIFY(spy.waitForLine(QStringLiteral("You were removed from the game.")));
    QCOMPARE(spyEnds.count(), 0);
}

void TestMainWindow::aboutWindowAndItsLink()
{
    QStringList opened;
    const auto previous = TURL::opener();
    TURL::opener() = [&opened](const QString& address) {
        opened << address;
        return true;
    };
    Program program;
    program.action("About1")->trigger();
    QVERIFY(program.about.isVisible());
    QCOMPARE(program.about.findChild<QLabel*>(QStringLiteral("version"))->text(), QStringLiteral("1.0.7"));
    QCOMPARE(program.about.findChild<QLabel*>(QStringLiteral("Label9"))->text(), QStringLiteral(".15"));
    QTest::mouseClick(program.about.findChild<QLabel*>(QStringLiteral("Label7")), Qt::LeftButton);
    QTest::mouseClick(program.widget("Image2"), Qt::LeftButton); // the logo on the board
    QCOMPARE(opened, (QStringList{"http://pinfall.example.org", "http://pinfall.example.org"}));

    TURL link;
    QVERIFY(!link.open()); // no address: nothing is opened
    QCOMPARE(opened.size(), 2);
    link.URL = QStringLiteral("x");
    const QList<std::pair<TURL::TURLType, QString>> prefixes{{TURL::TURLType::utFile, "file://x"},
                                                             {TURL::TURLType::utHttps, "https://x"},
                                                             {TURL::TURLType::utMailto, "mailto:x"},
                                                             {TURL::TURLType::utTelnet, "telnet:x"},
                                                             {TURL::TURLType::utnone, "x"}};
    for (const auto& [type, address] : prefixes) {
        link.URLType = type;
        QCOMPARE(link.address(), address);
    }
    TURL::opener() = previous;
}

void TestMainWindow::helpPagesByButton()
{
    Program program;
    program.action("Content1")->trigger();
    QVERIFY(program.help.isVisible());
    QCOMPARE(program.help.shownPage(), 1);
    QCOMPARE(program.help.caption(), QStringLiteral("Overview"));
    const QList<std::pair<int, QString>> pages{{2, "Connecting"},    {3, "Game Play"}, {4, "Scoring"},
                                               {5, "Documentation"}, {6, "License"},   {1, "Overview"}};
    for (const auto& [tag, caption] : pages) {
        QTest::mouseClick(program.help.findChild<QPushButton*>(QStringLiteral("SelButton%1").arg(tag)),
                          Qt::LeftButton);
        QCOMPARE(program.help.shownPage(), tag);
        QCOMPARE(program.help.caption(), caption);
    }
    QVERIFY(program.help.pageText(2).contains(QStringLiteral("7772")));
    QVERIFY(program.help.pageText(3).contains(QStringLiteral("6 shuffles")));
    QVERIFY(program.help.pageText(5).startsWith(QStringLiteral("History")));
    QTest::mouseClick(program.help.findChild<QPushButton*>(QStringLiteral("button_about")), Qt::LeftButton);
    QVERIFY(program.about.isVisible());
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
