// Writes the program's icon into an icon theme folder for the desktop to install:
// DIR/scalable/apps/NAME.svg and DIR/NxN/apps/NAME.png for each SIZE.
#include "artwork.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

#include <cstdio>

namespace {

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QSaveFile file(path);
    return QDir().mkpath(QFileInfo(path).path()) && file.open(QIODevice::WriteOnly) &&
           file.write(bytes) == bytes.size() && file.commit();
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 4) {
        std::fputs("Usage: make_icons DIR NAME SIZE...\n", stderr);
        return 2;
    }
    const QDir theme(QString::fromLocal8Bit(argv[1]));
    const QString name = QString::fromLocal8Bit(argv[2]);
    const QString svg = theme.filePath(QStringLiteral("scalable/apps/%1.svg").arg(name));
    if (!writeFile(svg, Artwork::iconSvg())) {
        std::fprintf(stderr, "make_icons: cannot write %s\n", qPrintable(svg));
        return 1;
    }
    for (int i = 3; i < argc; ++i) {
        bool number = false;
        const int size = QByteArray(argv[i]).toInt(&number);
        const QString png = theme.filePath(QStringLiteral("%1x%1/apps/%2.png").arg(size).arg(name));
        if (!number || size <= 0 || !QDir().mkpath(QFileInfo(png).path()) ||
            !Artwork::iconImage(size).save(png, "PNG")) {
            std::fprintf(stderr, "make_icons: cannot write a %s pixel icon to %s\n", argv[i],
                         qPrintable(png));
            return 1;
        }
    }
    return 0;
}
