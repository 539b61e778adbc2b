// The game start dialog from the keyboard alone, and when it asks about uneven teams.
#include "boxanswerer.h"
#include "tgamestart.h"

#include <QLineEdit>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTest>

namespace {

// The dialog on screen, its controls found by name.
struct ShownDialog {
    Tgamestart dialog;

    bool show()
    {
        dialog.show();
        dialog.activateWindow();
        return QTest::qWaitForWindowActive(&dialog);
    }
    QWidget* control(const QString& name) const { return dialog.findChild<QWidget*>(name); }
    QString focused() const { return QApplication::focusWidget()->objectName(); }
    // Tabs to `name` as a user would, which also selects a number's text.
    void focus(const QString& name) const
    {
        control(QStringLiteral("Image1"))->setFocus(Qt::OtherFocusReason);
        for (int press = 0; press < 5 && (press == 0 || focused() != name); ++press)
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
};

} // namespace

class TestGameStart : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void tabReachesEveryControl();
    void keysStartOrCancel_data();
    void keysStartOrCancel();
    void spaceTogglesTheTeamGameOnly();
    void unevenTeamsAreAskedAbout_data();
    void unevenTeamsAreAskedAbout();
};

void TestGameStart::tabReachesEveryControl()
{
    ShownDialog shown;
    QVERIFY(shown.show());
    shown.control(QStringLiteral("UpDown2"))->setFocus(Qt::OtherFocusReason);
    QStringList reached{shown.focused()};
    for (int press = 0; press < 5; ++press) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        reached << shown.focused();
    }
    QCOMPARE(reached,
             (QStringList{"UpDown2", "computerPlayers", "computerLevel", "image_team", "Image1", "UpDown2"}));
}

void TestGameStart::keysStartOrCancel_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("keypad");
    QTest::addColumn<bool>("starts");
    QTest::newRow("Return in the time") << "UpDown2" << int(Qt::Key_Return) << false << true;
    QTest::newRow("keypad Enter in the computer players")
        << "computerPlayers" << int(Qt::Key_Enter) << true << true;
    QTest::newRow("Return in the computer level") << "computerLevel" << int(Qt::Key_Return) << false << true;
    QTest::newRow("keypad Enter on Team Game") << "image_team" << int(Qt::Key_Enter) << true << true;
    QTest::newRow("Return on START GAME") << "Image1" << int(Qt::Key_Return) << false << true;
    QTest::newRow("Escape in the time") << "UpDown2" << int(Qt::Key_Escape) << false << false;
}

void TestGameStart::keysStartOrCancel()
{
    QFETCH(QString, control);
    QFETCH(int, key);
    QFETCH(bool, keypad);
    QFETCH(bool, starts);
    ShownDialog shown;
    QVERIFY(shown.show());
    shown.dialog.setTimePerTurn(75);
    shown.focus(control);
    QCOMPARE(shown.focused(), control);
    QSignalSpy started(&shown.dialog, &Tgamestart::startRequested);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key(key), keypad ? Qt::KeypadModifier : Qt::NoModifier);
    QVERIFY(shown.dialog.isHidden());
    QCOMPARE(started.size(), starts ? 1 : 0);
    if (starts)
        QCOMPARE(started.front(), (QVariantList{QByteArray("75"), false}));
}

void TestGameStart::spaceTogglesTheTeamGameOnly()
{
    ShownDialog shown;
    QVERIFY(shown.show());
    shown.dialog.setTimePerTurn(75);
    shown.dialog.setComputerPlayers(3); // four players: no question
    BoxAnswerer unexpected(QMessageBox::No);
    for (const char* spinBox : {"UpDown2", "computerPlayers"}) {
        const QString name = QString::fromLatin1(spinBox);
        shown.focus(name);
        const QString before = shown.control(name)->findChild<QLineEdit*>()->text();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
        QCOMPARE(shown.control(name)->findChild<QLineEdit*>()->text(), before);
        QVERIFY(!shown.dialog.teamGame());
    }
    QCOMPARE(shown.dialog.timePerTurn(), 75);
    QCOMPARE(shown.dialog.computerPlayers(), 3);

    shown.focus(QStringLiteral("image_team"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    QVERIFY(shown.dialog.teamGame());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    QVERIFY(!shown.dialog.teamGame());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    QSignalSpy started(&shown.dialog, &Tgamestart::startRequested);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QCOMPARE(started.size(), 1);
    QCOMPARE(started.front(), (QVariantList{QByteArray("75"), true}));
}

void TestGameStart::unevenTeamsAreAskedAbout_data()
{
    QTest::addColumn<int>("freePlaces"); // places no person holds
    QTest::addColumn<int>("computerPlayers");
    QTest::addColumn<bool>("asked");
    QTest::newRow("alone, three computer players") << 3 << 3 << false;
    QTest::newRow("alone, two computer players") << 3 << 2 << true;
    QTest::newRow("alone") << 3 << 0 << true;
    QTest::newRow("two people, two computer players") << 2 << 2 << false;
    QTest::newRow("two people, one computer player") << 2 << 1 << true;
    QTest::newRow("four people") << 0 << 0 << false;
}

void TestGameStart::unevenTeamsAreAskedAbout()
{
    QFETCH(int, freePlaces);
    QFETCH(int, computerPlayers);
    QFETCH(bool, asked);
    Tgamestart dialog;
    dialog.setFreePlaces(freePlaces);
    dialog.setComputerPlayers(computerPlayers);
    BoxAnswerer answer(QMessageBox::No);
    dialog.image_teamClick();
    QCOMPARE(answer.text().isEmpty(), !asked);
    QCOMPARE(dialog.teamGame(), !asked); // No keeps a team game off
}

QTEST_MAIN(TestGameStart)
#include "tst_gamestart.moc"
