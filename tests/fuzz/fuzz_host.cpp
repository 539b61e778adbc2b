// Feeds arbitrary bytes to a running game host as if they had arrived on its connections.
// Three participants are really connected over loopback, so every answer goes out on a real
// socket; a game is always running, so words are judged and frames scored.
//
// Input: a sequence of operations. A byte with the top bit set ticks the game clock
// (low three bits + 1 seconds); otherwise its low two bits pick a connection (3 works the
// queue off), bit 6 works the queue off afterwards, and the next byte gives the length of the
// bytes that follow, which arrive on that connection.
#include "faultreport.h"
#include "pump.h"
#include "tserver.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QTcpSocket>
#include <QTemporaryDir>

#include <array>
#include <cstdint>
#include <memory>

namespace {

constexpr int kParticipants = 3;

class Harness {
public:
    Harness()
    {
        FaultReport::setSink([](const QString&) {}); // broken numbers are expected here
        HostSettings settings;
        settings.second = std::chrono::hours(1); // the input ticks the clock
        settings.seed = 1;
        settings.dictionary.workingFolder = folder_.path();
        settings.dictionary.fallbackFolder = folder_.path();
        settings.pauseBetweenFrames = [] { return 5; };
        server_ = std::make_unique<TServer>(std::move(settings));
        server_->startListening(QStringLiteral("0"));
    }

    void run(const std::uint8_t* data, std::size_t size)
    {
        seatEverybody();
        if (!server_->gameOn())
            startGame();
        std::size_t at = 0;
        while (at < size) {
            const std::uint8_t op = data[at++];
            if (op & 0x80) {
                for (int i = 0; i <= (op & 7); ++i)
                    server_->timer1Timer();
                continue;
            }
            const int connection = op & 3;
            if (connection < kParticipants && at < size) {
                const std::size_t wanted = data[at++];
                const std::size_t length = std::min(wanted, size - at);
                if (TSock* sock = server_->player(connection + 1).sock; sock != nullptr && sock->connected())
                    server_->receivedFrom(sock, QByteArrayView(data + at, static_cast<qsizetype>(length)));
                at += length;
            }
            if (connection == 3 || (op & 0x40))
                workOffQueue();
        }
        workOffQueue();
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }

private:
    void workOffQueue()
    {
        while (server_->queue().size() > 0)
            server_->queue().dispatchNext();
    }

    // Connects a participant into every slot that is free: a message may well have removed one.
    void seatEverybody()
    {
        for (int slot = 1; slot <= kParticipants; ++slot) {
            if (server_->player(slot).connected)
                continue;
            auto& client = clients_[static_cast<std::size_t>(slot - 1)];
            client = std::make_unique<QTcpSocket>();
            QTcpSocket* socket = client.get();
            QObject::connect(socket, &QTcpSocket::readyRead, socket, [socket] { socket->readAll(); });
            socket->connectToHost(QStringLiteral("127.0.0.1"), server_->listeningPort());
            if (!pump([this, slot] { return server_->player(slot).connected; }))
                abort(); // the harness itself is broken; nothing to learn from this input
            socket->write("CMD_logininfo+" + QByteArray::number(slot) + "+1.0.7+P" +
                          QByteArray::number(slot) + "\xFF\xFF");
            pump([this, slot] { return !server_->player(slot).name.isEmpty(); });
        }
    }

    void startGame()
    {
        server_->fixNextWords({"bandleader", "zoologists", "abdicating"});
        server_->receivedFrom(server_->player(1).sock, "CMD_startgame+P1+60+f+\xFF");
        workOffQueue();
    }

    QTemporaryDir folder_;
    std::unique_ptr<TServer> server_;
    std::array<std::unique_ptr<QTcpSocket>, kParticipants> clients_;
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
