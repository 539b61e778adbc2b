// pinfall-lzrw1: compresses a file into the tally's container, or restores one, for tests and
// for anyone who wants to look inside a tally file.
#include "lzrw1.h"

#include <QCoreApplication>
#include <QStringList>
#include <QTextStream>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments().mid(1);
    const bool good = args.removeAll(QStringLiteral("--good")) > 0;
    QTextStream err(stderr);
    if (args.size() != 3 || (args[0] != QLatin1String("c") && args[0] != QLatin1String("d"))) {
        err << "usage: pinfall-lzrw1 c|d [--good] INPUT OUTPUT\n"
               "  c  compress (LZRW1/KH; --good: LZH)\n"
               "  d  decompress (the method is in the file's header)\n";
        return 2;
    }
    Tlzrw1 doit;
    doit.InputFile = args[1];
    doit.OutputFile = args[2];
    doit.CompressMode = good ? Tlzrw1::Mode::Good : Tlzrw1::Mode::Fast;
    try {
        const qint64 written = args[0] == QLatin1String("c") ? doit.Compress() : doit.Decompress();
        QTextStream(stdout) << written << " bytes written to " << doit.OutputFile << '\n';
        return 0;
    } catch (const ELzrw1Exception& e) {
        err << e.what() << '\n';
        return 1;
    }
}
