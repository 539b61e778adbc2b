#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTextStream(stderr) << "Pinfall " << PINFALL_VERSION
                        << ": the game window is still being built; nothing to show yet.\n";
    return 0;
}
