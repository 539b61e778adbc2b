// Every text of the smaller windows fits its box with this platform's fonts, and no label
// runs under the control beside it.
#include "tabout.h"
#include "tdownload.h"
#include "textfit.h"
#include "tgamestart.h"
#include "thelp.h"
#include "tphrases.h"
#include "tspylist.h"
#include "ttallylist.h"

#include <QTemporaryDir>
#include <QTest>

#include <functional>
#include <memory>

namespace {

using WindowMaker = std::function<std::unique_ptr<QWidget>(const QString& folder)>;

} // namespace

class TestTextFit : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void everyTextFits_data();
    void everyTextFits();
};

void TestTextFit::everyTextFits_data()
{
    QTest::addColumn<WindowMaker>("make");
    QTest::newRow("phrases") << WindowMaker([](const QString&) { return std::make_unique<Tphrases>(); });
    QTest::newRow("game start") << WindowMaker([](const QString&) { return std::make_unique<Tgamestart>(); });
    QTest::newRow("spectators") << WindowMaker([](const QString&) { return std::make_unique<Tspylist>(); });
    QTest::newRow("about") << WindowMaker(
        [](const QString&) { return std::make_unique<Tabout>(QStringLiteral("http://127.0.0.1/")); });
    QTest::newRow("help") << WindowMaker([](const QString&) {
        static Tabout about(QStringLiteral("http://127.0.0.1/"));
        return std::make_unique<Thelp>(about);
    });
    QTest::newRow("tally") << WindowMaker([](const QString& folder) {
        return std::make_unique<Ttallylist>(folder + QStringLiteral("/tally.dat"), [](const QString&) {});
    });
    QTest::newRow("download") << WindowMaker([](const QString& folder) {
        return std::make_unique<Tdownload>(
            DownloadPlaces{QStringLiteral("http://127.0.0.1:9/lobby/vrlsetup.exe"), folder, QString()});
    });
}

void TestTextFit::everyTextFits()
{
    QFETCH(WindowMaker, make);
    QTemporaryDir folder;
    const std::unique_ptr<QWidget> window = make(folder.path());
    window->show();
    const QStringList found = textMisfits(*window);
    QVERIFY2(found.isEmpty(), qPrintable(found.join(QStringLiteral("; "))));
}

QTEST_MAIN(TestTextFit)
#include "tst_textfit.moc"
