#include "receivedlist.h"

#include "faultreport.h"
#include "tsock.h"

#include <algorithm>

ReceivedList::ReceivedList(std::chrono::milliseconds tick, QObject* parent) : QObject(parent)
{
    timer_.setInterval(tick);
    connect(&timer_, &QTimer::timeout, this, &ReceivedList::dispatchNext);
}

void ReceivedList::setHandler(const QByteArray& command, Handler handler)
{
    handlers_.emplace(command, std::move(handler));
}

bool ReceivedList::receive(TSock* from, QByteArrayView bytes)
{
    connect(from, &QObject::destroyed, this, &ReceivedList::forget, Qt::UniqueConnection);
    QList<QByteArray> messages;
    const bool withinLimit = readers_[from].feed(bytes, messages);
    for (QByteArray& message : messages)
        append(std::move(message), from);
    return withinLimit;
}

void ReceivedList::forget(const QObject* sock)
{
    readers_.remove(sock);
}

void ReceivedList::dropFrom(const QObject* sock)
{
    if (pending_.remove(sock))
        queue_.removeIf([sock](const Entry& entry) { return entry.source == sock; });
    if (queue_.isEmpty())
        timer_.stop();
}

bool ReceivedList::holds(const QObject* sock, QByteArrayView command) const
{
    return pending_.value(sock) > 0 && std::any_of(queue_.begin(), queue_.end(), [&](const Entry& entry) {
               return entry.source == sock && entry.text.startsWith(command) &&
                      (entry.text.size() == command.size() || entry.text.at(command.size()) == '+');
           });
}

void ReceivedList::append(QByteArray message, TSock* from)
{
    if (from != nullptr)
        ++pending_[from];
    queue_.enqueue({std::move(message), from, from});
    if (!timer_.isActive())
        timer_.start();
}

void ReceivedList::dispatchNext()
{
    if (queue_.isEmpty()) {
        timer_.stop();
        return;
    }
    Entry entry = queue_.dequeue();
    if (queue_.isEmpty())
        timer_.stop();
    if (entry.source != nullptr) {
        if (auto count = pending_.find(entry.source); count != pending_.end() && --*count == 0)
            pending_.erase(count);
    }

    const qsizetype plus = entry.text.indexOf('+');
    if (plus <= 0)
        return;
    // A copy, so a handler may change the table while it runs.
    const Handler handler = handlers_.value(entry.text.first(plus));
    if (!handler)
        return;
    FieldReader fields(entry.text.sliced(plus + 1));
    TSock* from = entry.from.data();
    FaultReport::guard([&] { handler(fields, from); });
}
