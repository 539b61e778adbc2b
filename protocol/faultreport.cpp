#include "faultreport.h"

#include <QDebug>

#include <utility>

namespace FaultReport {
namespace {

Sink& currentSink()
{
    static Sink sink;
    return sink;
}

} // namespace

Sink setSink(Sink sink)
{
    return std::exchange(currentSink(), std::move(sink));
}

void report(const QString& message)
{
    if (const Sink& sink = currentSink()) {
        try {
            sink(message);
            return;
        } catch (...) {
            // A sink that fails must not take the program down with it; fall back to stderr.
        }
    }
    qWarning().noquote() << message;
}

QString describe(const std::exception_ptr& error)
{
    try {
        std::rethrow_exception(error);
    } catch (const std::exception& e) {
        return QString::fromUtf8(e.what());
    } catch (...) {
        return QStringLiteral("Unknown error");
    }
}

} // namespace FaultReport
