// pinfall-bot: computer players for any game, from a terminal. Each player has a session of its
// own and joins the host like a person, so that the host treats it as anybody else: at an
// address, or through a lobby by the game's invite code or to its first public game with a
// free place. The program ends once the last of them has left.
#include "computeropponents.h"
#include "gamesession.h"
#include "hostroute.h"
#include "level.h"
#include "lobbyroute.h"
#include "publicgames.h"
#include "terminationsignals.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTextStream>

#include <memory>

namespace {

void toStdout(const QString& text)
{
    QTextStream(stdout) << text << '\n';
}

void toStderr(const QString& text)
{
    QTextStream(stderr) << text << '\n';
}

QString levelNames()
{
    QStringList names;
    for (const Level level : Levels::kAll)
        names << Levels::nameOf(level);
    return names.join(QStringLiteral(", "));
}

// A given name is numbered only where several players would otherwise share it.
QString nameOf(const QString& given, Level level, int number, int count)
{
    if (given.isEmpty())
        return Levels::playerName(level, number);
    return count == 1 ? given : QStringLiteral("%1 %2").arg(given).arg(number);
}

// Tells on the terminal how the players fare, and ends the program with the last of them: with
// 0 if any of them had a seat, else with 1.
void reportOn(ComputerOpponents& players, const QString& where)
{
    auto anySeated = std::make_shared<bool>(false);
    QObject::connect(&players, &ComputerOpponents::seated, &players,
                     [where, anySeated](const QString& name, int slot) {
                         *anySeated = true;
                         toStdout(QStringLiteral("%1 is seated %2, in slot %3.").arg(name, where).arg(slot));
                     });
    QObject::connect(&players, &ComputerOpponents::left, &players,
                     [&players, anySeated](const QString& name, const QString& why) {
                         if (why.isEmpty())
                             toStdout(QStringLiteral("%1 has left the game.").arg(name));
                         else
                             toStderr(QStringLiteral("%1: %2").arg(name, why));
                         if (players.count() == 0)
                             QCoreApplication::exit(*anySeated ? 0 : 1);
                     });
}

// With --start: once every player is seated, the one in the first slot starts a game, and the
// program ends when it is over.
void startWhenSeated(ComputerOpponents& players)
{
    QObject::connect(
        &players, &ComputerOpponents::ready, &players,
        [&players] {
            // With nobody left, the last to go has said why.
            if (players.count() > 0 && !players.startGame(QByteArrayLiteral("60"))) {
                toStderr(QStringLiteral("pinfall-bot: none of the players is in slot 1, so none may start"));
                QCoreApplication::exit(1);
            }
        },
        Qt::SingleShotConnection);
    QObject::connect(&players, &ComputerOpponents::startedGameEnded, qApp, &QCoreApplication::quit,
                     Qt::QueuedConnection);
}

// Looks for the lobby's first public game with a free place, and gives its code to `found`.
void findPublicGame(XmppConnection& link, const LobbyAddress& lobby,
                    const std::function<void(const InviteCode&)>& found)
{
    auto* games = new PublicGames(link, lobby, &link);
    QObject::connect(&link, &XmppConnection::online, games, [games] {
        games->watch(QStringLiteral("pinfall-bot %1").arg(QCoreApplication::applicationPid()));
    });
    QObject::connect(
        games, &PublicGames::changed, games,
        [games, found, &link] {
            const std::optional<GameListing> game = games->firstWithFreePlace();
            const std::optional<InviteCode> code = game ? InviteCode::parse(game->code) : std::nullopt;
            if (!code) {
                toStderr(QStringLiteral("pinfall-bot: no public game on the lobby has a free place"));
                QCoreApplication::exit(1);
                return;
            }
            link.disconnectFromServer();
            found(*code);
        },
        Qt::SingleShotConnection);
    QObject::connect(games, &PublicGames::failed, games, [](const QString& why) {
        toStderr(QStringLiteral("pinfall-bot: %1").arg(why));
        QCoreApplication::exit(1);
    });
    QObject::connect(&link, &XmppConnection::closed, games, [](const QString& why) {
        if (why.isEmpty())
            return;
        toStderr(QStringLiteral("pinfall-bot: %1").arg(why));
        QCoreApplication::exit(1);
    });
    connectAsGuest(link, lobby);
}

void seatThroughLobby(ComputerOpponents& players, int count, Level level, const LobbyAddress& lobby,
                      const InviteCode& code)
{
    reportOn(players, QStringLiteral("in game %1").arg(code.shown()));
    players.seat(count, level, [lobby, code] { return std::make_unique<LobbyRoute>(lobby, code); });
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    // Ctrl+C or kill ends the event loop, so that the players close their connections.
    const TerminationSignals endingFromOutside;
    QObject::connect(&endingFromOutside, &TerminationSignals::endRequested, &app, &QCoreApplication::quit);
    QCoreApplication::setApplicationName(QStringLiteral("pinfall-bot"));
    QCoreApplication::setApplicationVersion(QStringLiteral(PINFALL_VERSION));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Computer players that join a Pinfall game."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption levelOption(
        QStringLiteral("level"),
        QStringLiteral("How well they play: %1 (%2).").arg(levelNames(), Levels::nameOf(Levels::kDefault)),
        QStringLiteral("name"), Levels::nameOf(Levels::kDefault));
    const QCommandLineOption nameOption(
        QStringLiteral("name"),
        QStringLiteral("The players' name, numbered when there are several (\"Casual Bot N\")."),
        QStringLiteral("name"));
    // The same port the game itself plays on, PINFALL_PORT included.
    const QString portFromEnvironment = qEnvironmentVariable("PINFALL_PORT");
    const QCommandLineOption portOption(
        QStringLiteral("port"), QStringLiteral("The host's TCP port (7772, or PINFALL_PORT)."),
        QStringLiteral("N"), portFromEnvironment.isEmpty() ? QStringLiteral("7772") : portFromEnvironment);
    const QCommandLineOption countOption(
        QStringLiteral("count"),
        QStringLiteral("How many players join: 1 to %1 (1).").arg(GameSession::kPlayerSlots),
        QStringLiteral("N"), QStringLiteral("1"));
    const QCommandLineOption codeOption(
        QStringLiteral("code"),
        QStringLiteral(
            "Join the game with this invite code on the lobby PINFALL_LOBBY names (DOMAIN[:PORT]). "
            "With PINFALL_LOBBY set and neither a code nor a host, they join the lobby's first "
            "public game with a free place."),
        QStringLiteral("code"));
    const QCommandLineOption secondOption(
        QStringLiteral("second"),
        QStringLiteral("Length of the players' clock second in milliseconds, as the host's (1000)."),
        QStringLiteral("ms"), QStringLiteral("1000"));
    const QCommandLineOption startOption(
        QStringLiteral("start"),
        QStringLiteral("Once all are seated, the one in slot 1 starts a game, and they leave when it ends."));
    parser.addOptions(
        {levelOption, nameOption, portOption, countOption, codeOption, secondOption, startOption});
    parser.addPositionalArgument(QStringLiteral("host"), QStringLiteral("The host's address (127.0.0.1)."),
                                 QStringLiteral("[host]"));
    parser.process(app);

    const std::optional<Level> level = Levels::fromName(parser.value(levelOption));
    if (!level) {
        toStderr(QStringLiteral("pinfall-bot: there is no level \"%1\"; the levels are %2")
                     .arg(parser.value(levelOption), levelNames()));
        return 2;
    }
    bool countIsNumber = false;
    const int count = parser.value(countOption).toInt(&countIsNumber);
    if (!countIsNumber || count < 1 || count > GameSession::kPlayerSlots) {
        toStderr(QStringLiteral("pinfall-bot: --count takes 1 to %1").arg(GameSession::kPlayerSlots));
        return 2;
    }
    const QStringList hosts = parser.positionalArguments();
    if (hosts.size() > 1) {
        toStderr(QStringLiteral("pinfall-bot: one host at a time"));
        return 2;
    }

    bool secondIsNumber = false;
    const int second = parser.value(secondOption).toInt(&secondIsNumber);
    if (!secondIsNumber || second < 1) {
        toStderr(QStringLiteral("pinfall-bot: --second takes a number of milliseconds above 0"));
        return 2;
    }
    std::optional<InviteCode> code;
    if (parser.isSet(codeOption)) {
        code = InviteCode::parse(parser.value(codeOption));
        if (!code) {
            toStderr(QStringLiteral("pinfall-bot: \"%1\" is no invite code; they look like K7Q-4PZ")
                         .arg(parser.value(codeOption)));
            return 2;
        }
    }
    const QString lobbyText = qEnvironmentVariable("PINFALL_LOBBY");
    const std::optional<LobbyAddress> lobby = LobbyAddress::parse(lobbyText);
    const bool throughLobby = code || (hosts.isEmpty() && !lobbyText.isEmpty());
    if (throughLobby && !lobby) {
        toStderr(QStringLiteral("pinfall-bot: set PINFALL_LOBBY to the lobby's DOMAIN[:PORT]"));
        return 2;
    }

    ComputerOpponents players(QStringLiteral(PINFALL_VERSION));
    players.second = std::chrono::milliseconds(second);
    players.naming = [given = parser.value(nameOption), count](Level level, int number) {
        return nameOf(given, level, number, count);
    };
    if (parser.isSet(startOption))
        startWhenSeated(players);
    XmppConnection lookout; // looks for a public game
    if (code) {
        seatThroughLobby(players, count, *level, *lobby, *code);
    } else if (throughLobby) {
        findPublicGame(lookout, *lobby, [&](const InviteCode& found) {
            seatThroughLobby(players, count, *level, *lobby, found);
        });
    } else {
        const QString address = hosts.value(0, QStringLiteral("127.0.0.1"));
        const QString port = parser.value(portOption);
        reportOn(players, QStringLiteral("at %1, port %2").arg(address, port));
        players.seat(count, *level,
                     [address, port] { return std::make_unique<AddressRoute>(address, port); });
    }
    return QCoreApplication::exec();
}
