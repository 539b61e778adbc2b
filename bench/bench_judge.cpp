// Judging throughput in-process: a CMD_sendword parsed, judged against the built-in
// dictionary, scored and answered on a real loopback connection.
#include "tserver.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QTcpSocket>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

// A host with one participant in slot 1 and a game running on the deal "abdicating".
class Table {
public:
    Table()
    {
        HostSettings settings;
        settings.second = std::chrono::hours(1);
        settings.seed = 1;
        settings.dictionary.workingFolder = folder_.path();
        server_ = std::make_unique<TServer>(std::move(settings));
        server_->startListening(QStringLiteral("0"));
        QObject::connect(&client_, &QTcpSocket::readyRead, &client_, [this] { client_.readAll(); });
        client_.connectToHost(QStringLiteral("127.0.0.1"), server_->listeningPort());
        pumpUntil([this] { return server_->player(1).connected; });
        sock_ = server_->player(1).sock;
        dealAgain();
    }

    void dealAgain()
    {
        server_->fixNextWords({"bandleader", "zoologists", "abdicating"});
        judge("CMD_startgame+P1+60+f+\xFF");
        pumpUntil([] { return true; });
    }

    // The message of a word made from the frame's tiles.
    QByteArray wordMessage(QByteArrayView word) const
    {
        QByteArray message = "CMD_sendword+1";
        LetterSet tiles = server_->masterLetters(1);
        for (const char letter : word) {
            const auto tile = std::find(tiles.begin(), tiles.end(), letter);
            message += '+' + QByteArray::number(tile - tiles.begin() + 1);
            *tile = kNoTile;
        }
        return message + '\xFF';
    }

    void judge(QByteArrayView message)
    {
        server_->receivedFrom(sock_, message);
        server_->queue().dispatchNext();
    }

    // Lets the client read what the host answered.
    static void drain() { QCoreApplication::processEvents(QEventLoop::AllEvents, 1); }

private:
    template <typename Condition> static void pumpUntil(Condition done)
    {
        QDeadlineTimer deadline(5000);
        do {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        } while (!done() && !deadline.hasExpired());
    }

    QTemporaryDir folder_;
    std::unique_ptr<TServer> server_;
    QTcpSocket client_;
    TSock* sock_ = nullptr;
};

void BM_JudgeRefusedWord(benchmark::State& state)
{
    Table table;
    const QByteArray nonsense = table.wordMessage("gnit"); // real tiles, no word: refused, tiles back
    std::int64_t judged = 0;
    for (auto _ : state) {
        table.judge(nonsense);
        if (++judged % 256 == 0) {
            state.PauseTiming();
            Table::drain();
            state.ResumeTiming();
        }
    }
    state.SetItemsProcessed(judged);
}
BENCHMARK(BM_JudgeRefusedWord);

void BM_JudgeAcceptedWord(benchmark::State& state)
{
    Table table;
    const QByteArray bat = table.wordMessage("bat");
    for (auto _ : state) {
        table.judge(bat);
        state.PauseTiming();
        table.dealAgain(); // the tiles of "bat" are gone: a fresh frame for the next round
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_JudgeAcceptedWord);

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
