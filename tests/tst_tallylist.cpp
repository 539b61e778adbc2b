// The tally window over its tally: the numbers it shows, following a player by ticking his
// name, and dropping a player or resetting only when the user says yes.
#include "boxanswerer.h"
#include "ttallylist.h"

#include <QDir>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

struct TallyWindow {
    QTemporaryDir folder;
    std::unique_ptr<Ttallylist> window;

    void open()
    {
        window.reset(); // saved before it is read again
        window = std::make_unique<Ttallylist>(folder.filePath(QStringLiteral("Pinfall1tally.tld")),
                                              Tally::Report{});
    }
    QListWidget* list(const char* name) const
    {
        return window->findChild<QListWidget*>(QString::fromLatin1(name));
    }
    // The items of a list as shown, a ticked one marked with a "+".
    QStringList shownItems(const char* name) const
    {
        QStringList items;
        for (int row = 0; row < list(name)->count(); ++row) {
            const QListWidgetItem* item = list(name)->item(row);
            items << item->text() + (item->checkState() == Qt::Checked ? QStringLiteral("+") : QString());
        }
        return items;
    }
    // The numbers in the labels `prefix`1 to `prefix``count`, as shown.
    QString shownNumbers(const char* prefix, int count) const
    {
        QStringList numbers;
        for (int k = 1; k <= count; ++k)
            numbers << window->shown(QByteArray(prefix + QByteArray::number(k)).constData());
        return numbers.join(u' ');
    }
    // The user ticks names in "Players In Current Game".
    void follow(const QStringList& names)
    {
        window->tally().setPlayersInGame(names);
        for (int row = 0; row < names.size(); ++row)
            list("checklist")->item(row)->setCheckState(Qt::Checked);
    }
};

} // namespace

class TestTallyList : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void numbersFollowTheTally();
    void droppingAPlayerAsksFirst();
    void resetAsksFirst();
};

void TestTallyList::numbersFollowTheTally()
{
    TallyWindow tally;
    tally.open();
    QCOMPARE(tally.window->shown("mylabel_1"), QStringLiteral("0"));
    QCOMPARE(tally.window->shown("label_hisname"), QStringLiteral("Their Wins:")); // no row without a caption
    tally.follow({"Ann"});
    QCOMPARE(tally.shownItems("listbox_tally"), QStringList{"Ann+"});

    tally.window->tally().setPlayersInGame({"Ann", "Zoe"});
    tally.window->tally().countGameWon();
    QCOMPARE(tally.shownItems("checklist"), (QStringList{"Ann+", "Zoe"}));
    QCOMPARE(tally.shownNumbers("mylabel_", 6), QStringLiteral("1 1 0 0 0 0"));

    tally.list("listbox_tally")->setCurrentRow(0);
    QCOMPARE(tally.window->shown("label_hisnametop"), QStringLiteral("Ann's Tally"));
    QCOMPARE(tally.window->shown("label_hisname"), QStringLiteral("Ann Wins:"));
    QCOMPARE(tally.shownNumbers("label_", 8), QStringLiteral("1 0 1 0 1 0 1 0"));
    tally.window->tally().countGameWonBy(QStringLiteral("Ann")); // the selected player's numbers follow
    QCOMPARE(tally.shownNumbers("label_", 8), QStringLiteral("2 1 1 0 2 1 1 0"));

    tally.window->tally().countStrike(); // fed to the tally, shown by the window
    tally.window->tally().addFinalScore(150);
    QCOMPARE(tally.shownNumbers("mylabel_", 6), QStringLiteral("2 1 0 1 75 150"));

    tally.window->show();
    QDir().mkpath(QStringLiteral(PINFALL_ARTIFACTS));
    QVERIFY(tally.window->grab().save(QStringLiteral(PINFALL_ARTIFACTS "/tally.png")));

    tally.open(); // the next run
    QCOMPARE(tally.window->shown("mylabel_1"), QStringLiteral("2"));
    QCOMPARE(tally.shownItems("listbox_tally"), QStringList{"Ann+"});
}

// Each answer in turn, to the same window: No first, then Yes.
void TestTallyList::droppingAPlayerAsksFirst()
{
    TallyWindow tally;
    tally.open();
    tally.follow({"Ann", "Lee", "Max"});
    const std::pair<QMessageBox::StandardButton, QStringList> answers[] = {
        {QMessageBox::No, {"Ann+", "Lee+", "Max+"}}, {QMessageBox::Yes, {"Ann+", "Max+"}}};
    for (const auto& [answer, shown] : answers) {
        BoxAnswerer box(answer);
        tally.list("listbox_tally")->item(1)->setCheckState(Qt::Unchecked);
        QCOMPARE(box.text(), QStringLiteral("This will delete Lee's Tally, Are you want to delete it?"));
        QCOMPARE(tally.shownItems("listbox_tally"), shown);
    }
    tally.list("listbox_tally")->setCurrentRow(1);
    QCOMPARE(tally.window->shown("label_hisnametop"), QStringLiteral("Max's Tally"));
}

void TestTallyList::resetAsksFirst()
{
    TallyWindow tally;
    tally.open();
    tally.follow({"Ann"});
    tally.window->tally().countGameWon();
    tally.list("listbox_tally")->setCurrentRow(0);
    {
        BoxAnswerer no(QMessageBox::No);
        tally.window->button_resetClick();
        QCOMPARE(no.text(), QStringLiteral("Are you sure you want to reset the Tally?"));
    }
    QCOMPARE(tally.window->shown("label_1"), QStringLiteral("1"));
    {
        BoxAnswerer yes(QMessageBox::Yes);
        tally.window->button_resetClick();
    }
    QCOMPARE(tally.window->shown("mylabel_1"), QStringLiteral("0"));
    QCOMPARE(tally.window->shown("label_1"), QStringLiteral("0"));
    QCOMPARE(tally.shownItems("listbox_tally"), QStringList{});
    QCOMPARE(tally.window->tally().opponents().size(), 0);
}

QTEST_MAIN(TestTallyList)
#include "tst_tallylist.moc"
