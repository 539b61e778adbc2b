// The time from a participant sending a word to the host's "good word" arriving back, through
// the lobby (Prosody on loopback, the relay within the game's room) beside straight over TCP to
// the same kind of host, all in this one process. Each route has a host of its own, whose clock
// moves only when a frame has to end, and one participant that plays the best words of each
// rack. The two routes take turns, a block of words at a time. Words go 25 ms after the last
// answer, as on a connection that other game messages keep busy, and then 100 ms after it, on a
// quiet one: TCP holds back a small write while an earlier one waits for its acknowledgement,
// which the other side may delay by 40 ms. Prints rows for bench/run.
// Usage: bench_word_roundtrip [words 25 ms apart, 100] [words 100 ms apart, 100]
#include "gamesession.h"
#include "lobbybench.h"
#include "lobbygame.h"
#include "lobbyroute.h"
#include "solver.h"
#include "tserver.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include <memory>

using namespace std::chrono_literals;
using LobbyBench::progress;
using LobbyBench::row;

namespace {

constexpr auto kSetUpTime = 30s;
constexpr int kWarmUpWords = 20; // each way, not counted
constexpr int kBlock = 50;       // words each way before the other route takes its turn

// A host that never moves its clock by itself: the sampler ends a frame only when it has to.
HostSettings stillHost(const QString& folder)
{
    HostSettings settings;
    settings.version = PINFALL_VERSION;
    settings.second = std::chrono::hours(1);
    settings.seed = 11;
    settings.pauseBetweenFrames = [] { return 1; };
    settings.dictionary.workingFolder = folder;
    settings.dictionary.fallbackFolder = folder;
    settings.report = [](const QString& text) { progress(QStringLiteral("host: ") + text); };
    return settings;
}

// Plays a participant's session for the samples: the best play of every rack, word by word,
// each sent a gap after the last answer; and moves the host on between frames and games.
class Sampler : public QObject {
public:
    Sampler(GameSession& session, TServer& host, const Solver& solver)
        : session_(session),
          host_(host),
          solver_(solver)
    {
        session_.second = std::chrono::hours(1); // its own clock must not end a turn
        gap_.setSingleShot(true);
        connect(&gap_, &QTimer::timeout, this, &Sampler::sendNext);
        connect(&session_, &GameSession::newTiles, this, &Sampler::plan);
        connect(&session_, &GameSession::sound, this, [this](const QString& name) {
            if (name == QLatin1String("goodword") || name == QLatin1String("strike"))
                answered(true);
            else if (name == QLatin1String("badword"))
                answered(false);
        });
        // The scores are out and the host pauses: one tick deals the next frame, or ends the game.
        connect(&session_, &GameSession::frameEnded, this, [this] {
            QTimer::singleShot(0, this, [this] {
                if (host_.gameOn())
                    host_.timer1Timer();
            });
        });
        connect(&session_, &GameSession::gameEnded, this,
                [this] { QTimer::singleShot(0, this, [this] { session_.startGame("60", false); }); });
    }

    // Takes `count` more samples, then calls `done`.
    void take(int count, std::function<void()> done)
    {
        wanted_ = count;
        done_ = std::move(done);
        gap_.start();
    }

    // The time from an answer to the next word.
    void setGap(std::chrono::milliseconds gap) { gap_.setInterval(gap); }
    const std::vector<double>& samples() const { return samples_; }
    void forget() { samples_.clear(); }
    int refused() const { return refused_; }

private:
    void plan()
    {
        QByteArray letters;
        for (int position = 1; position <= Rack::kTiles; ++position) {
            if (const char letter = session_.rack().letterAt(position); letter != '\0')
                letters += letter;
        }
        const Play best = solver_.bestPlay(letters);
        words_.clear();
        for (const QByteArray& word : {best.first, best.second}) {
            if (!word.isEmpty())
                words_.push_back(word);
        }
        if (wanted_ > 0)
            gap_.start();
    }

    void sendNext()
    {
        if (wanted_ == 0 || sentAt_ || !session_.myTurn())
            return; // an answer, or the next deal, brings the next word
        if (words_.empty()) {
            runOutClock();
            return;
        }
        const QByteArray word = words_.front();
        words_.erase(words_.begin());
        for (const char letter : word)
            session_.typeLetter(letter);
        if (session_.rack().laidCount() != word.size()) {
            session_.clearWord();
            runOutClock();
            return;
        }
        sentAt_ = std::chrono::steady_clock::now();
        session_.sendWord();
    }

    void answered(bool good)
    {
        if (!sentAt_)
            return;
        const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - *sentAt_;
        sentAt_.reset();
        if (!good) {
            ++refused_;
            session_.clearWord();
            words_.clear();
        } else {
            samples_.push_back(took.count());
            --wanted_;
        }
        if (wanted_ == 0) {
            if (done_)
                std::exchange(done_, nullptr)();
            return;
        }
        gap_.start();
    }

    // No word left for these tiles: the frame's clock runs out at once.
    void runOutClock()
    {
        for (int ticks = host_.secondsLeft(); ticks > 0; --ticks)
            host_.timer1Timer();
    }

    GameSession& session_;
    TServer& host_;
    const Solver& solver_;
    QTimer gap_;
    std::vector<QByteArray> words_;
    std::optional<std::chrono::steady_clock::time_point> sentAt_;
    std::vector<double> samples_;
    int wanted_ = 0;
    int refused_ = 0;
    std::function<void()> done_;
};

int fail(const QString& why)
{
    progress(QStringLiteral("bench_word_roundtrip: ") + why);
    return 1;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    const int busyWords = arguments.value(1, QStringLiteral("100")).toInt();
    const int quietWords = arguments.value(2, QStringLiteral("100")).toInt();
    if (busyWords < kBlock || quietWords < kBlock)
        return fail(QStringLiteral("usage: bench_word_roundtrip [words 25 ms apart] [words 100 ms apart], "
                                   "each at least %1")
                        .arg(kBlock));

    ProsodyFixture lobby;
    if (!lobby.start())
        return fail(QStringLiteral("the lobby did not start"));
    const LobbyAddress address{.domain = lobby.domain(), .port = lobby.port()};
    QTemporaryDir folder;
    const Solver solver;
    LobbyBench::Waiter waiter;

    // Straight over TCP.
    TServer tcpHost(stillHost(folder.path()));
    tcpHost.startListening(QStringLiteral("0"));
    GameSession tcpPlayer(QStringLiteral(PINFALL_VERSION));
    tcpPlayer.connectTo(QStringLiteral("127.0.0.1"), QString::number(tcpHost.listeningPort()),
                        QStringLiteral("Ann"), false);

    // Through the lobby: the host's game has a room of its own, by invitation only.
    TServer lobbyHost(stillHost(folder.path()));
    XmppConnection hostLink;
    LobbyGame game(lobbyHost, hostLink, address);
    QObject::connect(&hostLink, &XmppConnection::online, &game,
                     [&game] { game.open(QStringLiteral("Bench"), QStringLiteral(PINFALL_VERSION), false); });
    connectAsGuest(hostLink, address);
    std::optional<InviteCode> code;
    QObject::connect(&game.room(), &GameRoomHost::opened, &game, [&](const InviteCode& opened) {
        code = opened;
        waiter.wake();
    });
    if (!waiter.until([&] { return code.has_value(); }, kSetUpTime))
        return fail(QStringLiteral("the game's room did not open on the lobby"));
    GameSession lobbyPlayer(QStringLiteral(PINFALL_VERSION));
    LobbyRoute route(address, *code);
    QObject::connect(&route, &HostRoute::failed, &route, [](const QString& why) { progress(why); });
    route.join(lobbyPlayer, QStringLiteral("Ann"));

    for (GameSession* player : {&tcpPlayer, &lobbyPlayer})
        QObject::connect(player, &GameSession::seated, player, [&waiter] { waiter.wake(); });
    if (!waiter.until([&] { return tcpPlayer.localSlot() == 1 && lobbyPlayer.localSlot() == 1; }, kSetUpTime))
        return fail(QStringLiteral("a participant was not seated in slot 1"));

    Sampler tcp(tcpPlayer, tcpHost, solver);
    Sampler relayed(lobbyPlayer, lobbyHost, solver);
    tcpPlayer.startGame("60", false);
    lobbyPlayer.startGame("60", false);

    // Blocks in turn, so that both routes see the machine alike.
    const auto takeTurns = [&](std::chrono::milliseconds gap, int words) {
        tcp.forget();
        relayed.forget();
        tcp.setGap(gap);
        relayed.setGap(gap);
        const int blocks = std::max(1, words / kBlock);
        const int size = words / blocks;
        int blocksDone = 0;
        bool finished = false;
        std::function<void()> nextBlock = [&] {
            if (blocksDone == blocks) {
                finished = true;
                waiter.wake();
                return;
            }
            ++blocksDone;
            tcp.take(size, [&] { relayed.take(size, nextBlock); });
        };
        QElapsedTimer took;
        took.start();
        nextBlock();
        const auto allowed = 30s + 2 * words * (gap + 100ms);
        if (!waiter.until([&] { return finished; },
                          std::chrono::duration_cast<std::chrono::milliseconds>(allowed))) {
            progress(
                QStringLiteral("bench_word_roundtrip: only %1 words over TCP and %2 through the lobby were "
                               "answered in time")
                    .arg(tcp.samples().size())
                    .arg(relayed.samples().size()));
            return false;
        }
        progress(QStringLiteral("bench_word_roundtrip: %1 words each way, %2 ms apart, in %3 s")
                     .arg(words)
                     .arg(gap.count())
                     .arg(static_cast<double>(took.elapsed()) / 1000.0));
        return true;
    };
    if (!takeTurns(25ms, kWarmUpWords))
        return 1;
    if (!takeTurns(25ms, busyWords))
        return 1;
    const std::vector<double> tcpBusy = tcp.samples();
    const std::vector<double> lobbyBusy = relayed.samples();
    if (!takeTurns(100ms, quietWords))
        return 1;
    const std::vector<double>& tcpQuiet = tcp.samples();
    const std::vector<double>& lobbyQuiet = relayed.samples();
    if (tcp.refused() + relayed.refused() > 0)
        progress(QStringLiteral("bench_word_roundtrip: %1 words refused (not timed)")
                     .arg(tcp.refused() + relayed.refused()));

    using LobbyBench::percentile;
    const auto ms = [](double value) { return QString::number(value, 'f', 2); };
    const auto median = [](const std::vector<double>& samples) { return percentile(samples, 0.5); };
    const auto p90 = [](const std::vector<double>& samples) { return percentile(samples, 0.9); };
    row(QStringLiteral("word round trip over TCP, median"), ms(median(tcpBusy)), QStringLiteral("ms"),
        QStringLiteral("p90 %1 ms; %2 words 25 ms apart (100 ms apart: %3 ms)")
            .arg(ms(p90(tcpBusy)))
            .arg(tcpBusy.size())
            .arg(ms(median(tcpQuiet))));
    row(QStringLiteral("word round trip through the lobby, median"), ms(median(lobbyBusy)),
        QStringLiteral("ms"),
        QStringLiteral("p90 %1 ms; %2 words 25 ms apart, Prosody on loopback")
            .arg(ms(p90(lobbyBusy)))
            .arg(lobbyBusy.size()));
    row(QStringLiteral("lobby's extra time per word, 25 ms apart"), ms(median(lobbyBusy) - median(tcpBusy)),
        QStringLiteral("ms"),
        QStringLiteral("goal: at most 3 ms (p90: %1 ms)").arg(ms(p90(lobbyBusy) - p90(tcpBusy))));
    row(QStringLiteral("lobby's extra time per word, 100 ms apart"),
        ms(median(lobbyQuiet) - median(tcpQuiet)), QStringLiteral("ms"),
        QStringLiteral("goal: at most 3 ms (p90: %1 ms; %2 words, lobby median %3 ms)")
            .arg(ms(p90(lobbyQuiet) - p90(tcpQuiet)))
            .arg(lobbyQuiet.size())
            .arg(ms(median(lobbyQuiet))));
    return 0;
}
