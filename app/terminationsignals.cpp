#include "terminationsignals.h"

#ifdef Q_OS_UNIX

#include <QSocketNotifier>

#include <array>
#include <cerrno>
#include <csignal>

#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

constexpr std::array kEndingSignals{SIGTERM, SIGINT, SIGHUP};

// Where the handler writes: the live object's end of the pair, -1 when there is none. A handler
// may only touch a variable of this type.
volatile std::sig_atomic_t handlerWriteEnd = -1;

std::array<struct sigaction, kEndingSignals.size()> earlierActions{};

void onEndingSignal(int number)
{
    const int savedErrno = errno; // the code the signal interrupted may be about to read it
    const auto byte = static_cast<char>(number);
    // Never blocks: the end is non-blocking, and a full pair already holds requests enough.
    [[maybe_unused]] const ssize_t written = ::write(handlerWriteEnd, &byte, 1);
    errno = savedErrno;
}

// Non-blocking, so that neither the handler nor the reader can hang on it, and closed in any
// program this one starts.
bool prepareEnd(int end)
{
    return ::fcntl(end, F_SETFL, ::fcntl(end, F_GETFL) | O_NONBLOCK) == 0 &&
           ::fcntl(end, F_SETFD, FD_CLOEXEC) == 0;
}

} // namespace

TerminationSignals::TerminationSignals(QObject* parent) : QObject(parent)
{
    Q_ASSERT(handlerWriteEnd == -1);
    int ends[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, ends) != 0)
        return; // the signals keep their default action
    readEnd_ = ends[0];
    writeEnd_ = ends[1];
    if (!prepareEnd(readEnd_) || !prepareEnd(writeEnd_)) {
        ::close(readEnd_);
        ::close(writeEnd_);
        readEnd_ = writeEnd_ = -1;
        return;
    }
    notifier_ = new QSocketNotifier(readEnd_, QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &TerminationSignals::readRequests);

    handlerWriteEnd = writeEnd_;
    struct sigaction action {};
    action.sa_handler = onEndingSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART; // the rest of the program need not expect EINTR
    for (std::size_t k = 0; k < kEndingSignals.size(); ++k) {
        ::sigaction(kEndingSignals[k], nullptr, &earlierActions[k]);
        // One ignored from the start stays ignored: nohup and background jobs count on it.
        if (earlierActions[k].sa_handler != SIG_IGN)
            ::sigaction(kEndingSignals[k], &action, nullptr);
    }
}

TerminationSignals::~TerminationSignals()
{
    if (writeEnd_ == -1)
        return;
    for (std::size_t k = 0; k < kEndingSignals.size(); ++k)
        ::sigaction(kEndingSignals[k], &earlierActions[k], nullptr);
    handlerWriteEnd = -1;
    delete notifier_;
    ::close(readEnd_);
    ::close(writeEnd_);
}

void TerminationSignals::readRequests()
{
    char number = 0;
    while (::read(readEnd_, &number, 1) == 1)
        Q_EMIT endRequested(number);
}

#else

TerminationSignals::TerminationSignals(QObject* parent) : QObject(parent)
{}

TerminationSignals::~TerminationSignals() = default;

#endif
