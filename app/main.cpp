// The program's entry: one copy per desktop session, every window created at start-up in
// its order, then the event loop. The main window's first showing reads the command line.
#include "artwork.h"
#include "chatpane.h"
#include "datafolder.h"
#include "faultreport.h"
#include "gamesounds.h"
#include "playcontroller.h"
#include "playwithothers.h"
#include "singleinstance.h"
#include "tabout.h"
#include "tchat.h"
#include "tdownload.h"
#include "terminationsignals.h"
#include "tgamestart.h"
#include "thelp.h"
#include "tphrases.h"
#include "tserver.h"
#include "tspylist.h"
#include "ttallylist.h"
#include "visiblehost.h"

#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QTimer>

#include <cstdio>
#include <cstring>

namespace {

constexpr quint16 kStandardGamePort = 7772;

constexpr const char* kUsage =
    "Usage: pinfall [NAME ADDRESS true|false]\n"
    "A word game scored like ten-pin bowling.\n"
    "\n"
    "Without arguments pinfall starts a solo game. With a player name, the host's address and\n"
    "\"true\" it hosts a game under that name; with \"false\" it joins the game at ADDRESS.\n"
    "Games are played on TCP port 7772 (PINFALL_PORT=N picks another). File > Play with\n"
    "Others finds the games on the local network, over UDP port 7772.\n"
    "\n"
    "  -h, --help     Show this help and end.\n"
    "  -v, --version  Show the version and end.\n";

// Answers "--help" and "--version" given alone, before any window or the check for another
// copy, so that they work anywhere, a machine without a display included. Any other command
// line belongs to the game, a player called "-v" included.
bool answeredInformationRequest(int argc, char** argv)
{
    if (argc != 2)
        return false;
    const char* request = argv[1];
    if (std::strcmp(request, "--help") == 0 || std::strcmp(request, "-h") == 0) {
        std::fputs(kUsage, stdout);
        return true;
    }
    if (std::strcmp(request, "--version") == 0 || std::strcmp(request, "-v") == 0) {
        std::printf("pinfall %s\n", PINFALL_VERSION);
        return true;
    }
    return false;
}

} // namespace

int main(int argc, char** argv)
{
    if (answeredInformationRequest(argc, argv))
        return 0;
    QApplication app(argc, argv);
    SingleInstance instance(QStringLiteral("ovar11"));
    // A join link given to a second copy is opened by the first.
    if (instance.CheckPrevInstance(QCoreApplication::arguments().mid(1)))
        return 0;
    QApplication::setApplicationName(QStringLiteral("Pinfall"));
    // No display name: the platform would add it to titles that already name the program.
    QApplication::setApplicationVersion(Tabout::version());
    QApplication::setDesktopFileName(QStringLiteral(PINFALL_APP_ID));
    QApplication::setWindowIcon(QPixmap::fromImage(Artwork::iconImage(Artwork::kIconCanvas)));
    // The main window decides when the program ends, whatever other windows are open.
    QApplication::setQuitOnLastWindowClosed(false);
    // Made before the windows, so that it outlives them: a logout or Ctrl+C during their
    // destruction must not cut it short.
    TerminationSignals endingFromOutside;

    Tchat chat;
    Tabout about(QStringLiteral(PINFALL_HOME_PAGE), &chat);
    Ttallylist tally(
        QDir(dataFolder()).filePath(QStringLiteral("Pinfall1tally.tld")),
        [](const QString& text) { QMessageBox::warning(nullptr, QStringLiteral("Pinfall"), text); }, &chat);
    Tdownload download(DownloadPlaces::standard(QStringLiteral(PINFALL_LOBBY_DOWNLOAD)), &chat);
    Tgamestart gamestart(&chat);
    Thelp help(about, &chat);
    Tphrases phrases(&chat);
    HostSettings hostSettings;
    hostSettings.version = Tabout::version().toLatin1();
    hostSettings.pauseBetweenFrames = [&chat] { return chat.settings().secondsBetweenRounds; };
    hostSettings.report = [&chat](const QString& text) {
        QMessageBox::information(&chat, chat.windowTitle(), text);
    };
    hostSettings.dictionaryReport = [](const QString& text) {
        QMessageBox::warning(nullptr, QStringLiteral("Pinfall"), text);
    };
    TServer server(std::move(hostSettings));
    PlayController play(chat.session(), server);
    play.setTally(&tally.tally());
    Tspylist spylist(&chat);
    chat.setCompanions(play, gamestart, phrases, spylist);
    chat.setTally(tally);
    chat.setAbout(about);
    chat.setHelp(help);
    chat.setDownload(download);
    QObject::connect(&download, &Tdownload::exitRequested, &chat, &QWidget::close);
    chat.setSettingsFile(QDir(dataFolder()).filePath(QStringLiteral("varolobby.ini")));
    GameSounds sounds;
    chat.setSoundPlayer(&sounds);

    FaultReport::setSink(
        [&chat](const QString& text) { QMessageBox::critical(&chat, chat.windowTitle(), text); });
    const QString port = qEnvironmentVariable("PINFALL_PORT");
    if (!port.isEmpty())
        play.gamePort = port;
    // Nothing is announced unless the player asks for it in this window.
    const DiscoveryNetwork network = DiscoveryNetwork::fromEnvironment();
    VisibleHost visibleHost(server, network, Tabout::version().toLatin1());
    play.setVisibleHost(&visibleHost);
    const quint16 gamePort = port.toUShort();
    PlayWithOthers others(network, gamePort != 0 ? gamePort : kStandardGamePort, &chat);
    others.setOwnGame(visibleHost.beacon().game().instance);
    chat.setOthers(others);
    QObject::connect(&download, &Tdownload::othersRequested, &chat, &Tchat::showOthers);
    chat.chatPane().setEcho(qEnvironmentVariableIsSet("PINFALL_ECHO_CHAT"));

    QObject::connect(&instance, &SingleInstance::restoreRequested, &chat, [&chat] {
        chat.setWindowState(chat.windowState() & ~Qt::WindowMinimized);
        chat.show();
        chat.raise();
        chat.activateWindow();
    });
    QObject::connect(&instance, &SingleInstance::linkOpened, &chat, &Tchat::openLink);
    QObject::connect(&chat, &Tchat::closed, &app, &QCoreApplication::quit);
    // Ended from outside the way File > Exit ends it: the settings saved, and on the way out the
    // tally too and the dictionary's working file removed.
    QObject::connect(&endingFromOutside, &TerminationSignals::endRequested, &chat, &QWidget::close);
    chat.show();
    // The sound system starts once the window is up, neither holding it back nor the first sound.
    QTimer::singleShot(0, &chat, [&sounds] { sounds.prepare(); });
    return QApplication::exec();
}
