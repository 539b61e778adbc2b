#pragma once

#include <QString>

#include <exception>
#include <functional>

// The program's general error report. An exception that escapes an event handler (a socket
// event, a queue tick, a user action) ends the handling of that one event; its text is
// reported and the program goes on. The main window routes reports to a message box; until
// somebody installs a sink they go to stderr.
namespace FaultReport {

using Sink = std::function<void(const QString& message)>;

// Installs the sink for the whole process and returns the one it replaces.
Sink setSink(Sink sink);

void report(const QString& message);

// Text of an exception caught in a catch block.
QString describe(const std::exception_ptr& error);

// Runs one event handler; whatever it throws is reported, never passed on into Qt's event loop.
template <typename Handler> void guard(Handler&& handler) noexcept
{
    try {
        std::forward<Handler>(handler)();
    } catch (...) {
        report(describe(std::current_exception()));
    }
}

} // namespace FaultReport
