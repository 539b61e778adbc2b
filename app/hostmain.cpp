// pinfall-host: a game host without a window, for a machine without a display and for
// testing the protocol. It has no player of its own: the first participant to connect gets
// slot 1, and with it the right to start games and remove participants.
#include "lobbyaddress.h"
#include "lobbygame.h"
#include "terminationsignals.h"
#include "tserver.h"
#include "visiblehost.h"
#include "xmppconnection.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QSysInfo>
#include <QTextStream>

namespace {

void toStderr(const QString& text)
{
    QTextStream(stderr) << text << '\n';
}

// "--lobby" takes its lobby from PINFALL_LOBBY, "--lobby=DOMAIN[:PORT]" names it: the parser
// knows options with a value or without, not both, so the named form is taken out first.
QStringList takeLobby(QStringList arguments, std::optional<QString>& lobby)
{
    for (QString& argument : arguments) {
        if (argument == QLatin1String("--lobby")) {
            lobby = qEnvironmentVariable("PINFALL_LOBBY");
        } else if (argument.startsWith(QLatin1String("--lobby="))) {
            lobby = argument.mid(8);
            argument = QStringLiteral("--lobby");
        }
    }
    return arguments;
}

// Opens the game on the lobby once signed in there, and says its code; a lobby that goes away
// is said, while players nearby can still join over TCP.
void hostOnLobby(TServer& host, XmppConnection& link, const LobbyAddress& lobby, const QString& name,
                 bool invite)
{
    auto* game = new LobbyGame(host, link, lobby, &link);
    QObject::connect(&link, &XmppConnection::online, game,
                     [game, name, invite] { game->open(name, QStringLiteral(PINFALL_VERSION), !invite); });
    QObject::connect(&game->room(), &GameRoomHost::opened, game, [invite](const InviteCode& code) {
        toStderr(QStringLiteral("Invite code: %1").arg(code.shown()));
        if (!invite)
            toStderr(QStringLiteral("pinfall-host: listed in the lobby"));
    });
    QObject::connect(&game->room(), &GameRoomHost::failed, game,
                     [](const QString& why) { toStderr(QStringLiteral("pinfall-host: %1").arg(why)); });
    QObject::connect(&link, &XmppConnection::closed, game, [](const QString& why) {
        if (!why.isEmpty())
            toStderr(QStringLiteral("pinfall-host: %1").arg(why));
    });
    connectAsGuest(link, lobby);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    // A logout, Ctrl+C or kill ends the event loop, so that the host closes its connections and
    // removes the dictionary's working file on the way out.
    const TerminationSignals endingFromOutside;
    QObject::connect(&endingFromOutside, &TerminationSignals::endRequested, &app, &QCoreApplication::quit);
    QCoreApplication::setApplicationName(QStringLiteral("pinfall-host"));
    QCoreApplication::setApplicationVersion(QStringLiteral(PINFALL_VERSION));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Hosts Pinfall games without a window."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption portOption(QStringLiteral("port"),
                                        QStringLiteral("TCP port to listen on (7772)."), QStringLiteral("N"),
                                        QStringLiteral("7772"));
    const QCommandLineOption pauseOption(QStringLiteral("pause"),
                                         QStringLiteral("Seconds between frames: 5, 10 or 15 (10)."),
                                         QStringLiteral("seconds"), QStringLiteral("10"));
    const QCommandLineOption secondOption(
        QStringLiteral("second"),
        QStringLiteral("Length of a game-clock second in milliseconds "
                       "(1000; smaller values speed games up for testing)."),
        QStringLiteral("ms"), QStringLiteral("1000"));
    const QCommandLineOption announceOption(
        QStringLiteral("announce"),
        QStringLiteral("Make the game visible on the local network, so that players find it without "
                       "an address (UDP port 7772)."));
    const QCommandLineOption nameOption(
        QStringLiteral("name"), QStringLiteral("The name the game is announced under (this computer's)."),
        QStringLiteral("name"), QSysInfo::machineHostName());
    const QCommandLineOption lobbyOption(
        QStringLiteral("lobby"),
        QStringLiteral("Host on the internet lobby PINFALL_LOBBY names, or --lobby=DOMAIN[:PORT]; the "
                       "game is listed there unless --invite is given. It is still open on the TCP port."));
    const QCommandLineOption inviteOption(QStringLiteral("invite"),
                                          QStringLiteral("On the lobby, by invitation only: not listed."));
    parser.addOptions(
        {portOption, pauseOption, secondOption, announceOption, nameOption, lobbyOption, inviteOption});
    std::optional<QString> lobbyText;
    parser.process(takeLobby(QCoreApplication::arguments(), lobbyText));
    std::optional<LobbyAddress> lobby;
    if (lobbyText) {
        lobby = LobbyAddress::parse(*lobbyText);
        if (!lobby) {
            toStderr(
                QStringLiteral("pinfall-host: --lobby needs DOMAIN[:PORT], or PINFALL_LOBBY set to one"));
            return 2;
        }
    }

    const int pause = parser.value(pauseOption).toInt();
    if (pause != 5 && pause != 10 && pause != 15) {
        toStderr(QStringLiteral("pinfall-host: --pause takes 5, 10 or 15"));
        return 2;
    }

    bool secondIsNumber = false;
    const int second = parser.value(secondOption).toInt(&secondIsNumber);
    if (!secondIsNumber || second < 1) {
        toStderr(QStringLiteral("pinfall-host: --second takes a number of milliseconds above 0"));
        return 2;
    }

    HostSettings settings;
    settings.second = std::chrono::milliseconds(second);
    settings.version = PINFALL_VERSION;
    settings.pauseBetweenFrames = [pause] { return pause; };
    settings.report = toStderr;
    settings.dictionaryReport = toStderr;
    TServer host(std::move(settings));
    try {
        host.startListening(parser.value(portOption));
    } catch (const ESockException& e) {
        toStderr(QStringLiteral("pinfall-host: cannot listen on port %1: %2")
                     .arg(parser.value(portOption), QString::fromUtf8(e.what())));
        return 1;
    }
    toStderr(QStringLiteral("pinfall-host: listening on port %1").arg(host.listeningPort()));
    // Those in the game hear that it ends on purpose, and do not try to get back in.
    QObject::connect(&endingFromOutside, &TerminationSignals::endRequested, &host,
                     [&host] { host.stopHosting(); });
    // Only on request: nobody's game is advertised on a network they did not choose.
    VisibleHost visible(host, DiscoveryNetwork::fromEnvironment(), PINFALL_VERSION);
    if (parser.isSet(announceOption)) {
        if (!visible.show(parser.value(nameOption)))
            toStderr(QStringLiteral("pinfall-host: cannot announce the game: %1").arg(visible.error()));
        else
            toStderr(QStringLiteral("pinfall-host: announced on the local network as %1")
                         .arg(parser.value(nameOption)));
    }
    XmppConnection lobbyLink;
    if (lobby)
        hostOnLobby(host, lobbyLink, *lobby, parser.value(nameOption), parser.isSet(inviteOption));
    return QCoreApplication::exec();
}
