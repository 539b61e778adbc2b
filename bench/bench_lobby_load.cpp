// One Prosody carrying many games at once: each game a host on the lobby with four computer
// players who joined it through the lobby, every one of them a guest connection of its own,
// all in this process on a fast game clock. Over a window of whole games it measures what
// Prosody spent: CPU per player per frame, the stanzas it carried each second (counted by the
// clients), and the bytes per frame per player. Prints rows for bench/run.
// Usage: bench_lobby_load [games, 100] [clock second in ms, 25] [window in s, 20] [listed|invite]
#include "computeropponents.h"
#include "lobbybench.h"
#include "lobbygame.h"
#include "lobbyroute.h"
#include "relaytransport.h"
#include "tserver.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include <list>
#include <memory>

using namespace std::chrono_literals;
using LobbyBench::progress;
using LobbyBench::row;

namespace {

constexpr int kPlayersPerGame = 4;
constexpr auto kSetUpTime = 90s;
constexpr auto kWarmUp = 3s;
constexpr auto kBetweenGames = 10ms; // hosts come to the lobby one after another, not all at once

// What the clients saw of the lobby while `counting`.
struct Tally {
    bool counting = false;
    qint64 received = 0;     // every stanza the clients were handed
    qint64 relayed = 0;      // of them, the game's bytes between a host and a participant
    qint64 payload = 0;      // the game's bytes inside those
    qint64 messages = 0;     // the game's messages inside those, each ended by 0xFF
    qint64 presences = 0;    // hosts' listings sent as presence, into the game's room and the lobby room
    qint64 playerFrames = 0; // frames played to their end, once for each player at the table
    qint64 frames = 0;
    QStringList troubles;

    void receivedStanza(const XmlElement& stanza)
    {
        if (!counting)
            return;
        ++received;
        if (stanza.name != QLatin1String("message"))
            return;
        if (const XmlElement* data = stanza.child(u"data", RelayTransport::kNamespace)) {
            ++relayed;
            const QByteArray bytes = QByteArray::fromBase64(data->text.toLatin1());
            payload += bytes.size();
            messages += bytes.count('\xff');
        }
    }
};

class Game {
public:
    Game(int number, const HostSettings& settings, const LobbyAddress& lobby, bool listed, Tally& tally,
         LobbyBench::Waiter& waiter)
        : host_(settings),
          game_(host_, link_, lobby),
          bots_(QStringLiteral(PINFALL_VERSION)),
          lobby_(lobby),
          tally_(tally),
          waiter_(waiter)
    {
        bots_.second = settings.second;
        watch(link_);
        QObject::connect(&link_, &XmppConnection::online, &game_, [this, number, listed] {
            game_.open(QStringLiteral("Bench %1").arg(number), QStringLiteral(PINFALL_VERSION), listed);
        });
        QObject::connect(&game_.room(), &GameRoomHost::opened, &game_, [this](const InviteCode& code) {
            opened_ = true;
            bots_.seat(kPlayersPerGame, Levels::kDefault, [this, code] {
                auto route = std::make_unique<LobbyRoute>(lobby_, code);
                watch(route->connection());
                return route;
            });
        });
        QObject::connect(&game_.room(), &GameRoomHost::failed, &game_,
                         [this](const QString& why) { trouble(why); });
        QObject::connect(&bots_, &ComputerOpponents::ready, &bots_, [this] {
            if (!playing_ && bots_.count() == kPlayersPerGame)
                play();
        });
        QObject::connect(
            &bots_, &ComputerOpponents::left, &bots_, [this](const QString& name, const QString& why) {
                trouble(name + QStringLiteral(": ") + (why.isEmpty() ? QStringLiteral("left") : why));
            });
        // Every summary the host tells goes to its room as a presence, and to the lobby room too
        // when the game is listed; a frame that gives way to another was played to its end.
        QObject::connect(&host_, &TServer::summaryChanged, &host_, [this, listed] {
            const TServer::Summary now = host_.summary();
            if (tally_.counting) {
                if (opened_)
                    tally_.presences += listed ? 2 : 1;
                if (told_.frame > 0 && now.frame != told_.frame) {
                    ++tally_.frames;
                    tally_.playerFrames += told_.players;
                }
            }
            if (now.frame > 0 && !started_) {
                started_ = true;
                waiter_.wake();
            }
            told_ = now;
        });
        QObject::connect(&bots_, &ComputerOpponents::startedGameEnded, &bots_,
                         [this] { QTimer::singleShot(0, &bots_, [this] { play(); }); });
        connectAsGuest(link_, lobby);
    }

    bool started() const { return started_; }

private:
    void play()
    {
        playing_ = bots_.startGame("60");
        if (!playing_)
            trouble(QStringLiteral("no computer player holds slot 1"));
    }

    void watch(XmppConnection& connection)
    {
        QObject::connect(&connection, &XmppConnection::stanzaReceived, &connection,
                         [this](const XmlElement& stanza) { tally_.receivedStanza(stanza); });
        QObject::connect(&connection, &XmppConnection::closed, &connection, [this](const QString& why) {
            if (!why.isEmpty())
                trouble(why);
        });
    }

    void trouble(const QString& what)
    {
        tally_.troubles << what;
        waiter_.wake();
    }

    // In this order, so that the players go before their host, and the host before its link.
    XmppConnection link_;
    TServer host_;
    LobbyGame game_;
    ComputerOpponents bots_;
    LobbyAddress lobby_;
    Tally& tally_;
    LobbyBench::Waiter& waiter_;
    TServer::Summary told_;
    bool opened_ = false;
    bool playing_ = false;
    bool started_ = false;
};

int fail(const QString& why)
{
    progress(QStringLiteral("bench_lobby_load: ") + why);
    return 1;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    const int games = arguments.value(1, QStringLiteral("100")).toInt();
    const int secondMs = arguments.value(2, QStringLiteral("25")).toInt();
    const int windowSeconds = arguments.value(3, QStringLiteral("20")).toInt();
    const QString listing = arguments.value(4, QStringLiteral("listed"));
    if (games < 1 || secondMs < 1 || windowSeconds < 1 ||
        (listing != QLatin1String("listed") && listing != QLatin1String("invite")))
        return fail(QStringLiteral(
            "usage: bench_lobby_load [games] [clock second in ms] [window in s] [listed|invite]"));
    const bool listed = listing == QLatin1String("listed");

    LobbyBench::raiseFileLimit(); // before Prosody starts, so that it inherits the limit
    const rlim_t descriptors = LobbyBench::fileLimit();
    const int connections = games * (1 + kPlayersPerGame);
    if (descriptors < static_cast<rlim_t>(connections) + 100)
        return fail(QStringLiteral("%1 open files allowed, too few for %2 connections")
                        .arg(descriptors)
                        .arg(connections));

    ProsodyFixture lobby;
    if (!lobby.start())
        return fail(QStringLiteral("the lobby did not start"));
    const LobbyBench::ProsodyProcess prosody(lobby);
    if (!prosody.found())
        return fail(QStringLiteral("Prosody's process was not found by its pid file"));
    const LobbyAddress address{.domain = lobby.domain(), .port = lobby.port()};

    QTemporaryDir folder; // one dictionary file for every host: the first writes it, the rest use it
    HostSettings settings;
    settings.version = PINFALL_VERSION;
    settings.second = std::chrono::milliseconds(secondMs);
    settings.pauseBetweenFrames = [] { return 5; };
    settings.dictionary.workingFolder = folder.path();
    settings.dictionary.fallbackFolder = folder.path();
    settings.report = [](const QString& text) { progress(QStringLiteral("host: ") + text); };

    Tally tally;
    LobbyBench::Waiter waiter;
    std::list<Game> table;
    QTimer arrivals;
    arrivals.setInterval(kBetweenGames);
    QObject::connect(&arrivals, &QTimer::timeout, &arrivals, [&] {
        table.emplace_back(static_cast<int>(table.size()) + 1, settings, address, listed, tally, waiter);
        if (static_cast<int>(table.size()) == games)
            arrivals.stop();
    });
    progress(QStringLiteral("bench_lobby_load: %1 games, %2 connections, clock second %3 ms, %4")
                 .arg(games)
                 .arg(connections)
                 .arg(secondMs)
                 .arg(listed ? QStringLiteral("listed in the lobby room") : QStringLiteral("by invitation")));
    arrivals.start();
    const auto allStarted = [&] {
        return static_cast<int>(table.size()) == games &&
               std::all_of(table.begin(), table.end(), [](const Game& game) { return game.started(); });
    };
    QElapsedTimer setUp;
    setUp.start();
    if (!waiter.until([&] { return allStarted() || !tally.troubles.isEmpty(); }, kSetUpTime) || !allStarted())
        return fail(QStringLiteral("not every game started: %1")
                        .arg(tally.troubles.value(0, QStringLiteral("too slow"))));
    progress(QStringLiteral("bench_lobby_load: all games started after %1 s")
                 .arg(static_cast<double>(setUp.elapsed()) / 1000.0));
    LobbyBench::Waiter::run(kWarmUp);

    const double cpuBefore = prosody.cpuMs();
    const qint64 bytesBefore = prosody.ioBytes();
    const double ownBefore = LobbyBench::ownCpuMs();
    QElapsedTimer window;
    window.start();
    tally.counting = true;
    LobbyBench::Waiter::run(std::chrono::seconds(windowSeconds));
    tally.counting = false;
    const double seconds = static_cast<double>(window.nsecsElapsed()) / 1e9;
    const double cpu = prosody.cpuMs() - cpuBefore;
    const qint64 bytes = prosody.ioBytes() - bytesBefore;
    const double own = LobbyBench::ownCpuMs() - ownBefore;

    if (!tally.troubles.isEmpty())
        return fail(QStringLiteral("%1 things went wrong, the first: %2")
                        .arg(tally.troubles.size())
                        .arg(tally.troubles.front()));
    if (tally.playerFrames == 0)
        return fail(QStringLiteral("no frame was played to its end in %1 s").arg(seconds));

    // Every relayed message was sent by one client and handed to another, both counted here;
    // so were the listings the hosts sent, and every presence the lobby fanned out from them.
    const qint64 stanzas = tally.received + tally.relayed + tally.presences;
    const auto perPlayerFrame = [&](double value) { return value / static_cast<double>(tally.playerFrames); };
    const auto percentOfCore = [&](double ms) { return QString::number(100 * ms / (seconds * 1e3), 'f', 0); };
    progress(
        QStringLiteral("bench_lobby_load: %1 frames (%2 player-frames) in %3 s; received %4 stanzas, %5 of "
                       "them relayed %6 game messages; %7 listings sent")
            .arg(tally.frames)
            .arg(tally.playerFrames)
            .arg(seconds, 0, 'f', 1)
            .arg(tally.received)
            .arg(tally.relayed)
            .arg(tally.messages)
            .arg(tally.presences));

    const QString what = QStringLiteral("lobby, %1 %2 games: ")
                             .arg(games)
                             .arg(listed ? QStringLiteral("listed") : QStringLiteral("invite-only"));
    row(what + QStringLiteral("Prosody CPU per player per frame"),
        QString::number(perPlayerFrame(cpu), 'f', 2), QStringLiteral("ms"),
        QStringLiteral("goal: at most 1 ms; 4 computer players a game, %1 connections, clock second %2 ms")
            .arg(connections)
            .arg(secondMs));
    row(what + QStringLiteral("Prosody CPU"), percentOfCore(cpu), QStringLiteral("% of a core"),
        QStringLiteral("%1 player-frames in %2 s; Prosody's peak memory %3 MiB; this bench: %4 %")
            .arg(tally.playerFrames)
            .arg(seconds, 0, 'f', 0)
            .arg(static_cast<double>(prosody.peakMemoryKb()) / 1024, 0, 'f', 0)
            .arg(percentOfCore(own)));
    row(what + QStringLiteral("stanzas through Prosody"),
        QString::number(static_cast<double>(stanzas) / seconds, 'f', 0), QStringLiteral("stanzas/s"),
        QStringLiteral("sent + received, counted by the clients; %1 % of them relayed game bytes")
            .arg(100.0 * static_cast<double>(2 * tally.relayed) / static_cast<double>(stanzas), 0, 'f', 0));
    row(what + QStringLiteral("bytes per frame per player"),
        QString::number(perPlayerFrame(static_cast<double>(bytes)), 'f', 0), QStringLiteral("bytes"),
        QStringLiteral("TLS on the wire, in and out of Prosody; game bytes: %1, %2 messages in %3 stanzas")
            .arg(perPlayerFrame(static_cast<double>(tally.payload)), 0, 'f', 0)
            .arg(perPlayerFrame(static_cast<double>(tally.messages)), 0, 'f', 1)
            .arg(perPlayerFrame(static_cast<double>(tally.relayed)), 0, 'f', 1));
    return 0;
}
