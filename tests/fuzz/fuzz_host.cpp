// Feeds the host whatever its participants might do, at any point (before log-in, in the
// middle of a message, in the middle of a broadcast): connect, send any bytes, stop reading,
// close, reset, or vanish so that the host's next send to them breaks. The connections are
// streams in memory, so nothing waits on the network.
//
// Every input starts with three participants logged in and a game running. Then a byte at a
// time: its high nibble picks an operation, its low nibble a connection (modulo those held)
// or a count.
//   0-5  bytes arrive on the connection; the next byte is their length, and they follow
//   6    a new connection              7  its peer closes          8  its peer resets
//   9    its peer vanishes: the host's next send to it breaks
//   10   it stops reading              11 it reads again
//   12   the queue works off count+1 messages     13 the game clock ticks count+1 seconds
//   14   it logs in                    15 slot 1 starts a game
//
// Besides crashes and sanitizer reports, a fault is a send that raises out of a handler, or a
// slot table that, between turns, holds a slot for a connection that has ended.
#include "faultreport.h"
#include "memorytransport.h"
#include "tserver.h"

#include <QCoreApplication>
#include <QPointer>
#include <QTemporaryDir>

#include <array>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

namespace {

constexpr std::size_t kSeated = 3;
constexpr std::size_t kMostConnections = 12;

struct Connection {
    QPointer<TSock> sock;
    QPointer<MemoryTransport> stream;
};

class Harness {
public:
    Harness()
    {
        FaultReport::setSink([](const QString& text) {
            // Broken numbers are expected here; a send on a connection that has gone is not.
            if (text == QStringLiteral("Error here") || text.startsWith(QStringLiteral("Send - ")))
                std::abort();
        });
        HostSettings settings;
        settings.second = std::chrono::hours(1); // the input ticks the clock
        settings.loginTimeout = std::chrono::hours(1);
        settings.seed = 1;
        settings.dictionary.workingFolder = folder_.path();
        settings.dictionary.fallbackFolder = folder_.path();
        settings.pauseBetweenFrames = [] { return 5; };
        server_ = std::make_unique<TServer>(std::move(settings));
    }

    void run(const std::uint8_t* data, std::size_t size)
    {
        startAfresh();
        std::size_t at = 0;
        while (at < size) {
            const int operation = data[at] >> 4;
            const int argument = data[at] & 0x0F;
            ++at;
            if (operation <= 5) {
                std::size_t length = 0;
                if (at < size) {
                    length = data[at++];
                    length = std::min(length, size - at);
                }
                if (MemoryTransport* stream = streamOf(argument))
                    stream->deliver(QByteArrayView(data + at, static_cast<qsizetype>(length)));
                at += length;
            } else {
                perform(operation, argument);
            }
            checkSlotTable();
        }
        workOffQueue(-1);
        checkSlotTable();
        everybodyElseLeaves();
    }

private:
    void perform(int operation, int argument)
    {
        // Operations 7 to 11: what the peer of a connection does.
        static constexpr std::array<void (MemoryTransport::*)(), 5> kPeerDoes{
            &MemoryTransport::peerCloses, &MemoryTransport::peerResets, &MemoryTransport::vanish,
            &MemoryTransport::stopReading, &MemoryTransport::resumeReading};
        if (operation >= 7 && operation <= 11) {
            if (MemoryTransport* stream = streamOf(argument))
                (stream->*kPeerDoes[static_cast<std::size_t>(operation - 7)])();
            return;
        }
        switch (operation) {
        case 6:
            if (connections_.size() < kMostConnections)
                connections_.push_back(connect());
            break;
        case 12:
            workOffQueue(argument + 1);
            break;
        case 13:
            for (int second = 0; second <= argument; ++second)
                server_->timer1Timer();
            break;
        case 14:
            logIn(argument);
            break;
        default:
            startGame();
            break;
        }
    }

    // Three participants logged in and a game on. They stay from one input to the next; only
    // those an input ended are seated anew.
    void startAfresh()
    {
        for (std::size_t i = 0; i < connections_.size(); ++i) {
            if (!connections_[i].sock || !connections_[i].sock->connected()) {
                connections_[i] = connect();
                logIn(static_cast<int>(i));
            }
        }
        while (connections_.size() < kSeated) {
            connections_.push_back(connect());
            logIn(static_cast<int>(connections_.size() - 1));
        }
        workOffQueue(-1);
        if (!server_->gameOn())
            startGame();
    }

    // Whatever else an input opened, it closes by its end, so what it allocated is freed.
    void everybodyElseLeaves()
    {
        for (std::size_t i = kSeated; i < connections_.size(); ++i) {
            if (connections_[i].stream)
                connections_[i].stream->peerCloses();
        }
        connections_.resize(std::min(connections_.size(), kSeated));
        workOffQueue(-1);
        QCoreApplication::sendPostedEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    Connection connect()
    {
        auto* stream = new MemoryTransport;
        auto* sock = new TSock(&listener_); // as the listener owns every connection it accepts
        sock->adoptConnected(stream);
        Connection connection{sock, stream};
        server_->admit(sock); // may turn it away, and delete it, when the game is full
        return connection;
    }

    MemoryTransport* streamOf(int index)
    {
        if (connections_.empty())
            return nullptr;
        return connections_[static_cast<std::size_t>(index) % connections_.size()].stream;
    }

    void logIn(int index)
    {
        if (connections_.empty())
            return;
        const Connection& connection = connections_[static_cast<std::size_t>(index) % connections_.size()];
        if (connection.sock && connection.stream) {
            const QByteArray slot = QByteArray::number(connection.sock->Tag());
            connection.stream->deliver("CMD_logininfo+" + slot + "+1.0.7+P" + slot + "\xFF\xFF");
        }
    }

    void startGame()
    {
        server_->fixNextWords({"bandleader", "zoologists", "abdicating"});
        if (TSock* first = server_->player(1).sock; first != nullptr && first->connected())
            server_->receivedFrom(first, "CMD_startgame+P1+60+f+\xFF");
        workOffQueue(-1);
    }

    // A negative count works the whole queue off.
    void workOffQueue(int count)
    {
        for (int i = 0; (count < 0 || i < count) && server_->queue().size() > 0; ++i)
            server_->queue().dispatchNext();
    }

    // Between turns every departure has been let go: a slot is held exactly while its
    // connection is open.
    void checkSlotTable() const
    {
        for (int slot = 1; slot <= TServer::kLastSlot; ++slot) {
            const TPlayer& player = server_->player(slot);
            const bool open = player.sock != nullptr && player.sock->connected();
            if (player.connected != open)
                std::abort();
        }
    }

    QTemporaryDir folder_;
    QObject listener_;
    std::unique_ptr<TServer> server_;
    std::vector<Connection> connections_;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static int argc = 1;
    static char name[] = "fuzz_host";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    static Harness harness;
    harness.run(data, size);
    return 0;
}
