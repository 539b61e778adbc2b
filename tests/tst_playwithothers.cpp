// Two copies of the program on one machine, discovery on loopback: one finds the other's game
// in the "Play with Others" window and joins it, and a join that fails comes back to the window.
#include "boxanswerer.h"
#include "gamesettings.h"
#include "programfixture.h"
#include "prosodyfixture.h"
#include "singleinstance.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTextEdit>
#include <QTreeWidget>

namespace {

constexpr int kWait = 10000;

template <typename Widget> Widget* part(const Program& program, const char* name)
{
    return program.others.findChild<Widget*>(QString::fromLatin1(name));
}

// A copy that hosts its game and has made it visible under `name` with "Host here".
void hostVisibly(Program& program, const QString& name, const QStringList& params)
{
    program.chat.processparams(params);
    QVERIFY(program.waitForLine(QStringLiteral("You are Connected.")));
    part<QLineEdit>(program, "name")->setText(name);
    part<QCheckBox>(program, "hostHere")->click();
    QTRY_VERIFY_WITH_TIMEOUT(program.visibleHost->isVisible(), kWait);
    QVERIFY(!part<QLabel>(program, "addresses")->text().isEmpty()); // how friends elsewhere type it
}

// A copy in a game of its own, in the lobby's part of the window under `name`.
void startOnLobby(Program& program, const QString& name, const QString& lobby)
{
    program.chat.processparams({});
    QVERIFY(program.waitForLine(QStringLiteral("You are Connected.")));
    part<QLineEdit>(program, "name")->setText(name);
    part<QLineEdit>(program, "lobbyAddress")->setText(lobby);
}

// "Host here" on the internet, picked as the player picks it, from the list of places.
void hostOnTheInternet(Program& program, Hosting hosting)
{
    auto* place = part<QComboBox>(program, "hostOn");
    QTest::keyClick(place, Qt::Key_End); // by invitation
    if (hosting == Hosting::InternetListed)
        QTest::keyClick(place, Qt::Key_Up);
    QVERIFY(part<QCheckBox>(program, "hostHere")->isChecked());
    QTRY_VERIFY_WITH_TIMEOUT(
        part<QLabel>(program, "ownCode")->text().contains(QLatin1String("pinfall://join/")), kWait);
}

int timesConnected(Program& program)
{
    return static_cast<int>(program.chat.chatPane().lines().count(QStringLiteral("You are Connected.")));
}

} // namespace

class TestPlayWithOthers : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void aGameFoundIsJoinedWithADoubleClick();
    void aFailedJoinComesBackToTheWindow();
    void aListedInternetGameIsJoinedWithADoubleClick();
    void anInvitedGameIsJoinedByTheLinkASecondCopyHandsOn();
};

void TestPlayWithOthers::aGameFoundIsJoinedWithADoubleClick()
{
    Program bob;
    hostVisibly(bob, QStringLiteral("Bob"), {"Bob", "10.255.255.1", "true"});
    // Ann plays alone, her own game visible too: her list shows Bob's game only.
    Program ann;
    hostVisibly(ann, QStringLiteral("Ann"), {});
    // Her solo game starts afresh under her name, the one others would see.
    QTRY_COMPARE_WITH_TIMEOUT(ann.rosterName(1), QStringLiteral("Ann"), kWait);
    const int connections = timesConnected(ann);
    ann.download.findChild<QPushButton*>(QStringLiteral("Button2"))->click();
    QVERIFY(ann.others.isVisible());
    auto* games = part<QTreeWidget>(ann, "games");
    QTRY_COMPARE_WITH_TIMEOUT(games->topLevelItemCount(), 1, kWait);
    QTreeWidgetItem* found = games->topLevelItem(0);
    QCOMPARE(found->text(0), QStringLiteral("Bob"));
    QCOMPARE(found->text(1), QStringLiteral("127.0.0.1:%1").arg(bob.port()));
    QCOMPARE(found->text(2), QStringLiteral("1/4"));
    QCOMPARE(found->text(4), QStringLiteral("Waiting"));

    const QSignalSpy annClosed(&ann.chat, &Tchat::closed);
    const QRect row = games->visualItemRect(found);
    // A double click comes after the press of its first click.
    QTest::mouseClick(games->viewport(), Qt::LeftButton, {}, row.center());
    QTest::mouseDClick(games->viewport(), Qt::LeftButton, {}, row.center());
    QTRY_COMPARE_WITH_TIMEOUT(timesConnected(ann), connections + 1, kWait);
    QTRY_COMPARE_WITH_TIMEOUT(bob.rosterName(2), QStringLiteral("Ann"), kWait);
    QCOMPARE(ann.chat.session().localSlot(), 2);
    QVERIFY(!ann.chat.session().isHost());
    QVERIFY(ann.others.isHidden());
    QCOMPARE(annClosed.count(), 0); // leaving her game did not read as its host going away
    // Her solo game has ended, and is no longer announced.
    QCOMPARE(ann.port(), 0);
    QVERIFY(!ann.visibleHost->isVisible());
    // Her list still shows Bob's game, the one she is in: nothing more happens.
    ann.chat.showOthers();
    QTRY_COMPARE_WITH_TIMEOUT(games->topLevelItemCount(), 1, kWait);
    part<QPushButton>(ann, "join")->click();
    QCOMPARE(part<QLabel>(ann, "status")->text(), QStringLiteral("You are in that game already."));
    QCOMPARE(bob.rosterName(2), QStringLiteral("Ann"));
    const GameSettings saved = readGameSettings(IniFile(ann.settingsFile()));
    QCOMPARE(saved.playerName, QStringLiteral("Ann"));
    QVERIFY(saved.hostHere);

    // Bob would end Ann's game by going elsewhere: he is asked, and keeps it.
    bob.chat.showOthers();
    part<QLineEdit>(bob, "address")->setText(QStringLiteral("127.0.0.1:9"));
    BoxAnswerer keepIt(QMessageBox::No);
    part<QPushButton>(bob, "joinAddress")->click();
    QVERIFY(keepIt.text().contains(QStringLiteral("leaving it ends it for them")));
    QVERIFY(bob.port() != 0);
    QCOMPARE(bob.rosterName(2), QStringLiteral("Ann"));
}

void TestPlayWithOthers::aFailedJoinComesBackToTheWindow()
{
    QTcpServer closedPort;
    QVERIFY(closedPort.listen(QHostAddress::LocalHost));
    const quint16 nobodyListens = closedPort.serverPort();
    closedPort.close();

    Program ann;
    ann.chat.processparams({});
    QVERIFY(ann.waitForLine(QStringLiteral("You are Connected.")));
    ann.chat.showOthers();
    part<QLineEdit>(ann, "name")->setText(QStringLiteral("Ann"));
    auto* address = part<QLineEdit>(ann, "address");
    auto* status = part<QLabel>(ann, "status");
    address->setText(QStringLiteral("127.0.0.1:http"));
    part<QPushButton>(ann, "joinAddress")->click();
    QVERIFY(status->text().contains(QStringLiteral("port")));
    QCOMPARE(ann.chat.session().hostPort(), QString::number(ann.port())); // still in her game

    address->setText(QStringLiteral("127.0.0.1:%1").arg(nobodyListens));
    part<QPushButton>(ann, "joinAddress")->click();
    QTRY_VERIFY_WITH_TIMEOUT(
        status->text().startsWith(QStringLiteral("Could not join the game at 127.0.0.1")), kWait);
    QVERIFY(status->text().contains(QStringLiteral("nothing is listening at that address and port")));
    QVERIFY(!status->text().contains(QStringLiteral("WSA")));
    QVERIFY(ann.others.isVisible());
    // Her game went on meanwhile: she never left it.
    QCOMPARE(timesConnected(ann), 1);
    QVERIFY(ann.chat.session().isHost());
    QCOMPARE(ann.chat.session().hostPort(), QString::number(ann.port()));
    QCOMPARE(readGameSettings(IniFile(ann.settingsFile())).joinAddress,
             QStringLiteral("127.0.0.1:%1").arg(nobodyListens));
}

// Bob hosts on the lobby for everyone to see; Ann, whose lobby is down at first, is told so,
// retries once it is up, finds Bob's game in the lobby's list and joins it with a double click.
void TestPlayWithOthers::aListedInternetGameIsJoinedWithADoubleClick()
{
    ProsodyFixture lobby;
    const QString address = QStringLiteral("localhost:%1").arg(lobby.port());
    Program ann;
    startOnLobby(ann, QStringLiteral("Bob"), address); // she types Bob's name by mistake
    ann.chat.showOthers();
    auto* annStatus = part<QLabel>(ann, "lobbyStatus");
    QTRY_VERIFY_WITH_TIMEOUT(annStatus->text().startsWith(QLatin1String("Lobby unreachable: ")), kWait);
    QCOMPARE(part<QPushButton>(ann, "lobbyConnect")->text(), QStringLiteral("Retry"));

    QVERIFY(lobby.start());
    Program bob;
    startOnLobby(bob, QStringLiteral("Bob"), address);
    bob.chat.showOthers();
    hostOnTheInternet(bob, Hosting::InternetListed);

    part<QPushButton>(ann, "lobbyConnect")->click();
    QTRY_COMPARE_WITH_TIMEOUT(annStatus->text(), QStringLiteral("That name is taken here; try another"),
                              kWait);
    part<QLineEdit>(ann, "name")->setText(QStringLiteral("Ann"));
    part<QPushButton>(ann, "lobbyConnect")->click();
    QTRY_COMPARE_WITH_TIMEOUT(annStatus->text(), QStringLiteral("In the lobby: 2 players, 1 game"), kWait);
    auto* games = part<QTreeWidget>(ann, "lobbyGames");
    QCOMPARE(games->topLevelItemCount(), 1);
    QCOMPARE(games->topLevelItem(0)->text(0), QStringLiteral("Bob"));
    QCOMPARE(part<QLabel>(ann, "lobbyPeople")->text(), QStringLiteral("Here: Bob"));
    auto* say = part<QLineEdit>(ann, "lobbySay");
    QTest::keyClicks(say, QStringLiteral("anyone <here>?"));
    QTest::keyClick(say, Qt::Key_Return);
    QTRY_COMPARE_WITH_TIMEOUT(part<QTextEdit>(ann, "lobbyTalk")->toPlainText(),
                              QStringLiteral("Ann: anyone <here>?"), kWait);
    const int connections = timesConnected(ann);
    const QRect row = games->visualItemRect(games->topLevelItem(0));
    QTest::mouseClick(games->viewport(), Qt::LeftButton, {}, row.center());
    QTest::mouseDClick(games->viewport(), Qt::LeftButton, {}, row.center());
    QTRY_COMPARE_WITH_TIMEOUT(timesConnected(ann), connections + 1, kWait);
    QTRY_COMPARE_WITH_TIMEOUT(bob.rosterName(2), QStringLiteral("Ann"), kWait);
    QVERIFY(ann.others.isHidden());
}

// Bob hosts by invitation and copies his game's link; Ann, playing alone, opens it, and the copy
// the link starts hands it to hers, which joins without leaving her game until seated.
void TestPlayWithOthers::anInvitedGameIsJoinedByTheLinkASecondCopyHandsOn()
{
    ProsodyFixture lobby;
    QVERIFY(lobby.start());
    const QString address = QStringLiteral("localhost:%1").arg(lobby.port());
    Program bob;
    startOnLobby(bob, QStringLiteral("Bob"), address);
    hostOnTheInternet(bob, Hosting::InternetByInvitation);
    part<QPushButton>(bob, "copyCode")->click();
    const QStringList copied = QApplication::clipboard()->text().split(QLatin1Char(' '));
    QCOMPARE(copied.size(), 2);
    QVERIFY(copied[1].startsWith(QLatin1String("pinfall://join/")));

    Program ann;
    startOnLobby(ann, QStringLiteral("Ann"), address);
    const int connections = timesConnected(ann);
    const QString identifier = QStringLiteral("pinfall-test-%1").arg(QCoreApplication::applicationPid());
    SingleInstance running(identifier);
    QVERIFY(!running.CheckPrevInstance());
    QObject::connect(&running, &SingleInstance::linkOpened, &ann.chat, &Tchat::openLink);
    SingleInstance started(identifier);
    QVERIFY(started.CheckPrevInstance({copied[1]}));
    QVERIFY(ann.waitForLine(QStringLiteral("Joining %1…").arg(copied[0]), kWait));
    QTRY_COMPARE_WITH_TIMEOUT(timesConnected(ann), connections + 1, kWait);
    QTRY_COMPARE_WITH_TIMEOUT(bob.rosterName(2), QStringLiteral("Ann"), kWait);

    // Bob moves his game to the local network; asked, he keeps Ann, who came by the lobby.
    BoxAnswerer keepHer(QMessageBox::No);
    auto* place = part<QComboBox>(bob, "hostOn");
    QTest::keyClick(place, Qt::Key_Home); // "on my network"
    QVERIFY(keepHer.text().contains(QStringLiteral("through the internet lobby")));
    QCOMPARE(bob.play->hosting(), Hosting::InternetByInvitation);
    QCOMPARE(place->currentIndex(), 2);
    QCOMPARE(bob.rosterName(2), QStringLiteral("Ann"));
}

QTEST_MAIN(TestPlayWithOthers)
#include "tst_playwithothers.moc"
