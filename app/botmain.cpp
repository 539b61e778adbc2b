// pinfall-bot: computer players for any game, from a terminal. Each player has a session of its
// own and joins the host like a person, so that the host treats it as anybody else; the program
// ends once the last of them has left.
#include "computeropponents.h"
#include "gamesession.h"
#include "level.h"
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
void reportOn(ComputerOpponents& players, const QString& address, const QString& port)
{
    auto anySeated = std::make_shared<bool>(false);
    QObject::connect(&players, &ComputerOpponents::seated, &players,
                     [address, port, anySeated](const QString& name, int slot) {
                         *anySeated = true;
                         toStdout(QStringLiteral("%1 is seated at %2, port %3, in slot %4.")
                                      .arg(name, address, port)
                                      .arg(slot));
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
    parser.addOptions({levelOption, nameOption, portOption, countOption});
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

    const QString address = hosts.value(0, QStringLiteral("127.0.0.1"));
    const QString port = parser.value(portOption);
    ComputerOpponents players(QStringLiteral(PINFALL_VERSION));
    players.naming = [given = parser.value(nameOption), count](Level level, int number) {
        return nameOf(given, level, number, count);
    };
    reportOn(players, address, port);
    players.seat(count, *level, address, port);
    return QCoreApplication::exec();
}
