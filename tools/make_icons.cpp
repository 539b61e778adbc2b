// Writes the program's icon into an icon theme folder for the desktop to install:
// DIR/scalable/apps/NAME.svg and DIR/NxN/apps/NAME.png for each SIZE.
#include "artwork.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

#include <cstdio>

namespace {

// Written aside and renamed into place, so an interrupted build leaves no half icon behind.
bool writeFile(const QString& path, const QByteArray& bytes)
{
    QSaveFile file(path);
    const bool written = QDir().mkpath(QFileInfo(path).path()) && file.open(QIODevice::WriteOnly) &&
                         file.write(bytes) == bytes.size() && file.commit();
    if (!written)
        std::fprintf(stderr, "make_icons: cannot write %s\n", qPrintable(path));
    return written;
}

QByteArray png(const QImage& image)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return buffer.data();
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
    if (!writeFile(theme.filePath(QStringLiteral("scalable/apps/%1.svg").arg(name)), Artwork::iconSvg()))
        return 1;
    for (int i = 3; i < argc; ++i) {
        bool number = false;
        const int size = QByteArray(argv[i]).toInt(&number);
        if (!number || size <= 0) {
            std::fprintf(stderr, "make_icons: %s is not a size in pixels\n", argv[i]);
            return 2;
        }
        if (!writeFile(theme.filePath(QStringLiteral("%1x%1/apps/%2.png").arg(size).arg(name)),
                       png(Artwork::iconImage(size))))
            return 1;
    }
    return 0;
}
