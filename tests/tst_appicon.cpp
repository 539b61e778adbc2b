// The program's icon: the picture is drawn where it should be, the SVG text is a document a
// desktop can use, and an independent SVG renderer draws the same picture from it.
#include "artwork.h"

#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>

#include <algorithm>
#include <cstdlib>

namespace {

// The largest difference of any channel of two pixels.
int channelDistance(QRgb a, QRgb b)
{
    return std::max({std::abs(qAlpha(a) - qAlpha(b)), std::abs(qRed(a) - qRed(b)),
                     std::abs(qGreen(a) - qGreen(b)), std::abs(qBlue(a) - qBlue(b))});
}

} // namespace

class TestAppIcon : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void pictureShowsTileLetterAndPin();
    void svgIsAWholeDocument();
    void svgDrawsThePicture_data();
    void svgDrawsThePicture();
};

void TestAppIcon::pictureShowsTileLetterAndPin()
{
    const QImage icon = Artwork::iconImage(Artwork::kIconCanvas).convertToFormat(QImage::Format_ARGB32);
    QCOMPARE(icon.size(), QSize(256, 256));
    QCOMPARE(qAlpha(icon.pixel(2, 2)), 0);      // the corners stay see-through
    QCOMPARE(qAlpha(icon.pixel(20, 40)), 0);    // left of the pin's head, above the tile
    const QRgb tileFace = icon.pixel(130, 226); // the tile's face, clear of the letter
    QCOMPARE(qAlpha(tileFace), 255);
    QVERIFY(qRed(tileFace) > 220 && qGreen(tileFace) > 210 && qBlue(tileFace) > 200);
    const QRgb stem = icon.pixel(52, 200); // the upright of the P
    QVERIFY(qRed(stem) > 150 && qGreen(stem) < 60 && qBlue(stem) < 60);
    const QRgb head = icon.pixel(176, 30); // the pin's white head
    QVERIFY(qRed(head) > 230 && qGreen(head) > 230 && qBlue(head) > 230);
    const QRgb band = icon.pixel(176, 80); // the red band round its neck
    QVERIFY(qRed(band) > 150 && qGreen(band) < 60 && qBlue(band) < 60);
    QCOMPARE(Artwork::iconImage(16).size(), QSize(16, 16));
}

void TestAppIcon::svgIsAWholeDocument()
{
    const QByteArray svg = Artwork::iconSvg();
    QXmlStreamReader reader(svg);
    QSet<QString> defined;
    QStringList used;
    int paths = 0;
    static const QRegularExpression reference(QStringLiteral("^url\\(#(.+)\\)$"));
    while (!reader.atEnd()) {
        if (reader.readNext() != QXmlStreamReader::StartElement)
            continue;
        const QXmlStreamAttributes attributes = reader.attributes();
        if (reader.name() == QLatin1String("svg")) {
            QCOMPARE(reader.namespaceUri(), QLatin1String("http://www.w3.org/2000/svg"));
            QCOMPARE(attributes.value(QLatin1String("viewBox")), QLatin1String("0 0 256 256"));
        } else if (reader.name() == QLatin1String("linearGradient")) {
            defined.insert(attributes.value(QLatin1String("id")).toString());
        } else if (reader.name() == QLatin1String("path")) {
            ++paths;
            QVERIFY(attributes.value(QLatin1String("d")).startsWith(QLatin1Char('M')));
            const QRegularExpressionMatch match = reference.match(attributes.value(QLatin1String("fill")));
            if (match.hasMatch())
                used.append(match.captured(1));
        }
    }
    QVERIFY2(!reader.hasError(), qPrintable(reader.errorString()));
    QCOMPARE(paths, 7);       // pin, band, pin outline, tile shadow, tile, letter shadow, letter
    QCOMPARE(used.size(), 2); // the pin's white and the tile's face are gradients
    for (const QString& id : used)
        QVERIFY2(defined.contains(id), qPrintable(id));
}

void TestAppIcon::svgDrawsThePicture_data()
{
    QTest::addColumn<int>("size");
    QTest::newRow("48") << 48;
    QTest::newRow("256") << 256;
}

void TestAppIcon::svgDrawsThePicture()
{
    QFETCH(int, size);
    const QString renderer = QStandardPaths::findExecutable(QStringLiteral("rsvg-convert"));
    QVERIFY2(!renderer.isEmpty(), "rsvg-convert (Debian package librsvg2-bin) is needed");
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    const QString svgPath = folder.filePath(QStringLiteral("icon.svg"));
    const QString pngPath = folder.filePath(QStringLiteral("icon.png"));
    QFile svg(svgPath);
    QVERIFY(svg.open(QIODevice::WriteOnly));
    svg.write(Artwork::iconSvg());
    svg.close();

    QProcess rsvg;
    rsvg.start(renderer, {QStringLiteral("-w"), QString::number(size), QStringLiteral("-h"),
                          QString::number(size), QStringLiteral("-o"), pngPath, svgPath});
    QVERIFY(rsvg.waitForFinished(30000));
    QVERIFY2(rsvg.exitCode() == 0, rsvg.readAllStandardError().constData());

    const QImage theirs = QImage(pngPath).convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const QImage ours = Artwork::iconImage(size).convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QCOMPARE(theirs.size(), ours.size());
    // Two antialiasing renderers differ a little along edges; a missing or misplaced shape, a
    // wrong colour or an unclosed figure differs a lot over many pixels.
    qint64 total = 0;
    int farApart = 0;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const int distance = channelDistance(ours.pixel(x, y), theirs.pixel(x, y));
            total += distance;
            farApart += distance > 64 ? 1 : 0;
        }
    }
    const double mean = double(total) / (size * size);
    QVERIFY2(mean < 2.5, qPrintable(QStringLiteral("mean difference %1").arg(mean)));
    QVERIFY2(farApart < size * size / 200, qPrintable(QStringLiteral("%1 pixels far apart").arg(farApart)));
}

QTEST_GUILESS_MAIN(TestAppIcon)
#include "tst_appicon.moc"
