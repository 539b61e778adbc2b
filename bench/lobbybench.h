#pragma once

// What the lobby benchmarks share: a Prosody of their own (the tests' fixture, on a free
// loopback port), what that process has cost so far, a wait that keeps the event loop
// running at full speed, and rows for bench/run's table.
#include "prosodyfixture.h"

#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <optional>
#include <sys/resource.h>
#include <vector>

namespace LobbyBench {

// Every connection is a descriptor here and in Prosody, which inherits the limit.
inline void raiseFileLimit()
{
    rlimit limit{};
    if (::getrlimit(RLIMIT_NOFILE, &limit) == 0 && limit.rlim_cur < limit.rlim_max) {
        limit.rlim_cur = limit.rlim_max;
        ::setrlimit(RLIMIT_NOFILE, &limit);
    }
}

inline rlim_t fileLimit()
{
    rlimit limit{};
    return ::getrlimit(RLIMIT_NOFILE, &limit) == 0 ? limit.rlim_cur : 0;
}

// Prosody's own process, found by its pid file, and what it has used.
class ProsodyProcess {
public:
    explicit ProsodyProcess(const ProsodyFixture& lobby)
    {
        QFile file(lobby.dataDir() + QStringLiteral("/prosody.pid"));
        if (file.open(QIODevice::ReadOnly))
            pid_ = file.readAll().trimmed().toInt();
    }

    bool found() const { return pid_ > 0 && QFile::exists(proc(QStringLiteral("stat"))); }
    int pid() const { return pid_; }

    // CPU time, user and system, from the scheduler's nanoseconds of every thread: finer than
    // the clock ticks of /proc/PID/stat, which a short run would round to tens of milliseconds.
    double cpuMs() const
    {
        double ns = 0;
        const QDir tasks(proc(QStringLiteral("task")));
        for (const QString& task : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
            QFile file(tasks.filePath(task + QStringLiteral("/schedstat")));
            if (file.open(QIODevice::ReadOnly))
                ns += file.readAll().split(' ').value(0).toDouble();
        }
        return ns / 1e6;
    }

    // Bytes Prosody has read and written through system calls: its sockets' TLS bytes, and its
    // log, which says nothing per stanza.
    qint64 ioBytes() const
    {
        QFile file(proc(QStringLiteral("io")));
        if (!file.open(QIODevice::ReadOnly))
            return 0;
        qint64 total = 0;
        for (const QByteArray& line : file.readAll().split('\n')) {
            if (line.startsWith("rchar:") || line.startsWith("wchar:"))
                total += line.mid(6).trimmed().toLongLong();
        }
        return total;
    }

    // The most memory it has held resident (VmHWM), in kB.
    qint64 peakMemoryKb() const
    {
        QFile file(proc(QStringLiteral("status")));
        if (!file.open(QIODevice::ReadOnly))
            return 0;
        for (const QByteArray& line : file.readAll().split('\n')) {
            if (line.startsWith("VmHWM:"))
                return line.mid(6).trimmed().split(' ').value(0).toLongLong();
        }
        return 0;
    }

private:
    QString proc(const QString& what) const { return QStringLiteral("/proc/%1/%2").arg(pid_).arg(what); }

    int pid_ = 0;
};

// This process's own CPU time, all threads.
inline double ownCpuMs()
{
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    const auto ms = [](const timeval& t) { return static_cast<double>(t.tv_sec) * 1e3 + t.tv_usec / 1e3; };
    return ms(usage.ru_utime) + ms(usage.ru_stime);
}

// Runs the event loop until `done` holds or `limit` has passed. The handlers that may make it
// hold call wake(); the loop blocks on events meanwhile, so nothing is delayed by the wait.
class Waiter {
public:
    bool until(const std::function<bool()>& done, std::chrono::milliseconds limit)
    {
        if (done())
            return true;
        QEventLoop loop;
        done_ = done;
        loop_ = &loop;
        QTimer::singleShot(limit, &loop, &QEventLoop::quit);
        loop.exec();
        loop_ = nullptr;
        done_ = nullptr;
        return done();
    }

    void wake()
    {
        if (loop_ != nullptr && done_ && done_())
            loop_->quit();
    }

    // Just runs the event loop for that long.
    static void run(std::chrono::milliseconds time)
    {
        QEventLoop loop;
        QTimer::singleShot(time, &loop, &QEventLoop::quit);
        loop.exec();
    }

private:
    QEventLoop* loop_ = nullptr;
    std::function<bool()> done_;
};

// The value below which `share` of the samples lie (nearest rank).
inline double percentile(std::vector<double> samples, double share)
{
    if (samples.empty())
        return 0;
    std::sort(samples.begin(), samples.end());
    const auto rank = static_cast<std::size_t>(share * static_cast<double>(samples.size() - 1) + 0.5);
    return samples[std::min(rank, samples.size() - 1)];
}

// One row of bench/run's table: what, value, unit, and what it is set beside.
inline void row(const QString& what, const QString& value, const QString& unit, const QString& beside)
{
    std::printf("%s\t%s\t%s\t%s\n", qPrintable(what), qPrintable(value), qPrintable(unit),
                qPrintable(beside));
    std::fflush(stdout);
}

inline void progress(const QString& text)
{
    std::fprintf(stderr, "%s\n", qPrintable(text));
}

} // namespace LobbyBench
