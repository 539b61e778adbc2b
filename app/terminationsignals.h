#pragma once

#include <QObject>

class QSocketNotifier;

// Turns the requests to end that come from outside the program into a Qt signal on the
// thread that made it: SIGTERM (a desktop logout, kill), SIGINT (Ctrl+C in a terminal) and
// SIGHUP (the terminal closing). Left to their default action these kill the process where it
// stands, and nothing it would do on the way out (saving, deleting its working files, closing
// its connections) is done; connected to the program's usual way out, they end it as a user
// would. The handler only writes the signal's number into a socket pair that the event loop
// watches, the one thing it may safely do.
//
// A signal the program was started with ignored (SIGHUP under nohup, SIGINT in a background
// job) stays ignored. One at a time per process: the handlers write to the one live object,
// and its destruction gives the signals back their earlier handling. Where the platform has no
// such signals (Windows) it never emits.
class TerminationSignals : public QObject {
    Q_OBJECT

public:
    explicit TerminationSignals(QObject* parent = nullptr);
    ~TerminationSignals() override;

Q_SIGNALS:
    // Emitted once for each signal received, with its number.
    void endRequested(int signalNumber);

#ifdef Q_OS_UNIX
private:
    void readRequests();

    int readEnd_ = -1;
    int writeEnd_ = -1;
    QSocketNotifier* notifier_ = nullptr;
#endif
};
