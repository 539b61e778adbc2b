#pragma once

#include <QCoreApplication>
#include <QDeadlineTimer>

// Runs the event loop until `done` or about two seconds have passed.
template <typename Condition> bool pump(Condition done)
{
    QDeadlineTimer deadline(2000);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return true;
}
