// An empty window and nothing else: the floor bench/run sets the game's start-up, idle CPU and
// memory beside, started and measured the same way.
#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <cstdio>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QWidget window;
    window.show();
    // Written once the event loop runs, as the game writes "You are Connected." from its event
    // loop, so both start-up times end at the same kind of moment.
    QTimer shown;
    shown.setSingleShot(true);
    QObject::connect(&shown, &QTimer::timeout, [] { std::fputs("Shown.\n", stderr); });
    shown.start(0);
    return QApplication::exec();
}
