#pragma once

// One copy of the program in a test, wired as the entry point wires it, and a game of such
// copies: one hosts, the others join.
#include "chatpane.h"
#include "loopbacknetwork.h"
#include "playcontroller.h"
#include "playwithothers.h"
#include "rostermenu.h"
#include "soundplayer.h"
#include "tabout.h"
#include "tchat.h"
#include "tdownload.h"
#include "tgamestart.h"
#include "thelp.h"
#include "tphrases.h"
#include "tserver.h"
#include "tspylist.h"
#include "ttallylist.h"
#include "visiblehost.h"

#include <QAction>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <vector>

struct RecordedSounds : SoundPlayer {
    QStringList played;
    void play(const QString& name) override { played << name; }
};

// One copy of the program: its windows and its host, as the entry point wires them.
struct Program {
    QTemporaryDir folder;
    Tchat chat;
    Tabout about{QStringLiteral("pinfall.example.org"), &chat};
    Ttallylist tally{folder.filePath(QStringLiteral("Pinfall1tally.tld")), {}, &chat};
    Tdownload download{{QStringLiteral("http://127.0.0.1:9/lobby/vrlsetup.exe"), folder.path(),
                        folder.filePath(QStringLiteral("Varo11Lobby"))},
                       &chat};
    Tgamestart gamestart{&chat};
    Thelp help{about, &chat};
    Tphrases phrases{&chat};
    std::unique_ptr<TServer> server;
    std::unique_ptr<PlayController> play;
    Tspylist spylist{&chat};
    RecordedSounds sounds;
    std::unique_ptr<VisibleHost> visibleHost;
    PlayWithOthers others{network(), 7772, &chat};

    explicit Program(const QString& port = QStringLiteral("0"))
    {
        HostSettings settings;
        settings.second = std::chrono::hours(1);
        settings.dictionary.workingFolder = folder.path();
        settings.dictionary.fallbackFolder = folder.path();
        server = std::make_unique<TServer>(std::move(settings));
        play = std::make_unique<PlayController>(chat.session(), *server);
        play->setTally(&tally.tally());
        play->gamePort = port;
        chat.setCompanions(*play, gamestart, phrases, spylist);
        chat.setTally(tally);
        chat.setAbout(about);
        chat.setHelp(help);
        chat.setDownload(download);
        visibleHost = std::make_unique<VisibleHost>(*server, network(), Tabout::version().toLatin1());
        play->setVisibleHost(visibleHost.get());
        others.setOwnGame(visibleHost->beacon().game().instance);
        chat.setOthers(others);
        QObject::connect(&download, &Tdownload::othersRequested, &chat, &Tchat::showOthers);
        chat.setSettingsFile(settingsFile());
        chat.setSoundPlayer(&sounds);
    }

    // Every copy in a test finds the others' games on the same loopback network.
    static const DiscoveryNetwork& network()
    {
        static const DiscoveryNetwork shared = loopbackNetwork();
        return shared;
    }

    quint16 port() const { return server->listeningPort(); }
    QString settingsFile() const { return folder.filePath(QStringLiteral("varolobby.ini")); }

    bool waitForLine(const QString& line, int timeoutMs = 5000)
    {
        return QTest::qWaitFor([&] { return chat.chatPane().lines().contains(line); }, timeoutMs);
    }

    QString rosterName(int slot) const
    {
        return chat.findChild<QLabel*>(QStringLiteral("label_playername%1").arg(slot))->text();
    }

    bool eyesShown(int slot) const
    {
        return !chat.findChild<QLabel*>(QStringLiteral("image_eyes%1").arg(slot))->isHidden();
    }

    QAction* action(const char* name) const { return chat.findChild<QAction*>(QString::fromLatin1(name)); }
    QWidget* widget(const char* name) const { return chat.findChild<QWidget*>(QString::fromLatin1(name)); }
    // The roster menu's item, as a right click on the name in `slot` readies it.
    QAction* rosterItem(int slot, const char* caption) const
    {
        auto* menu = chat.findChild<RosterMenu*>(QStringLiteral("popup_kick"));
        menu->prepare(slot);
        for (QAction* item : menu->actions()) {
            if (item->text() == QLatin1String(caption))
                return item;
        }
        return nullptr;
    }
};

// A hosting copy (Bob) and, on demand, copies that join it.
struct Game {
    Program host;
    std::vector<std::unique_ptr<Program>> joiners;

    Game() { host.chat.processparams({"Bob", "10.255.255.1", "true"}); }

    bool ready() { return host.waitForLine(QStringLiteral("You are Connected.")); }

    Program& join(const QString& name)
    {
        joiners.push_back(std::make_unique<Program>(QString::number(host.port())));
        Program& joiner = *joiners.back();
        joiner.chat.processparams({name, QStringLiteral("127.0.0.1"), QStringLiteral("false")});
        return joiner;
    }
};
