// Every text of the smaller windows fits its box with this platform's fonts, and no label
// runs under the control beside it.
#include "tabout.h"
#include "tdownload.h"
#include "tgamestart.h"
#include "thelp.h"
#include "tphrases.h"
#include "tspylist.h"
#include "ttallylist.h"

#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

#include <functional>
#include <memory>

namespace {

using WindowMaker = std::function<std::unique_ptr<QWidget>(const QString& folder)>;

// What does not fit in `window`, one line each.
QStringList misfits(const QWidget& window)
{
    QStringList found;
    const auto name = [](const QWidget* widget, const QString& text) {
        return QStringLiteral("%1 \"%2\"").arg(widget->objectName(), text);
    };
    for (const QLabel* label : window.findChildren<QLabel*>()) {
        const QString text = label->text();
        if (text.isEmpty() || label->isHidden() || Qt::mightBeRichText(text))
            continue;
        const QFontMetrics metrics(label->font());
        const QRect needed =
            label->wordWrap()
                ? metrics.boundingRect(QRect(0, 0, label->width(), 10000), Qt::TextWordWrap, text)
                : QRect(0, 0, metrics.horizontalAdvance(text), metrics.height());
        if (needed.width() > label->width() || needed.height() > label->height())
            found << name(label, text) + QStringLiteral(" is cut");
        // A text needs a little air before the next text on its row.
        for (const QLabel* next : window.findChildren<QLabel*>()) {
            const QRect written(label->pos(), needed.size());
            if (next != label && next->parentWidget() == label->parentWidget() && !next->isHidden() &&
                !next->text().isEmpty() && next->x() > label->x() && next->y() < written.bottom() &&
                label->y() < next->geometry().bottom() && written.right() + 3 > next->x())
                found << name(label, text) + QStringLiteral(" touches \"") + next->text() + QLatin1Char('"');
        }
        for (const QLineEdit* entry : window.findChildren<QLineEdit*>()) {
            const QRect written(label->mapTo(&window, QPoint(0, 0)), needed.size());
            if (entry->parentWidget() == label->parentWidget() &&
                written.intersects(QRect(entry->mapTo(&window, QPoint(0, 0)), entry->size())))
                found << name(label, text) + QStringLiteral(" runs under ") + entry->objectName();
        }
    }
    for (const QAbstractButton* button : window.findChildren<QAbstractButton*>()) {
        const QString text = button->text().remove(QLatin1Char('&'));
        if (!text.isEmpty() && !button->isHidden() &&
            QFontMetrics(button->font()).horizontalAdvance(text) + 8 > button->width())
            found << name(button, text) + QStringLiteral(" is cut");
    }
    return found;
}

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
    const QStringList found = misfits(*window);
    QVERIFY2(found.isEmpty(), qPrintable(found.join(QStringLiteral("; "))));
}

QTEST_MAIN(TestTextFit)
#include "tst_textfit.moc"
