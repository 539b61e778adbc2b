#pragma once

#include "gamesession.h"
#include "gamesettings.h"
#include "hosting.h"

#include <QColor>
#include <QMainWindow>
#include <QRect>
#include <QStringList>

#include <functional>
#include <optional>

class BoardView;
class ChatPane;
class OptionsMenu;
class PlayWithOthers;
struct GameAddress;
class InviteCode;
struct LobbyAddress;
class PlayController;
class QAction;
class QMenu;
class QMessageBox;
class SoundPlayer;
class Tabout;
class Tgamestart;
class Tphrases;
class Tspylist;
class Ttallylist;

// The main window: what every participant sees of the game, the host's own player included.
// It draws its game session (the roster, the board, the score sheet and the chat) and hands
// clicks and keys to it; hosting, joining and leaving are the controller's.
class Tchat : public QMainWindow {
    Q_OBJECT

public:
    static constexpr int kPlayerSlots = Rules::kPlayerSlots;

    explicit Tchat(QWidget* parent = nullptr);
    ~Tchat() override;

    // What it plays through, and the windows it works with, all created at start-up.
    void setCompanions(PlayController& play, Tgamestart& gamestart, Tphrases& phrases, Tspylist& spylist);
    // The about window: its version is what log-in sends, its link what the logo opens.
    void setAbout(Tabout& about) { about_ = &about; }
    void setHelp(QWidget& help) { help_ = &help; }
    // The lobby download window, shown when a solo game starts.
    void setDownload(QWidget& download) { download_ = &download; }
    // The way to games with others.
    void setOthers(PlayWithOthers& window);
    void showOthers();
    void setTally(Ttallylist& tally) { tally_ = &tally; }
    // The settings file it shares with the lobby (see datafolder.h for where it lives).
    void setSettingsFile(const QString& path) { settingsPath_ = path; }
    // Asks the user for a colour; nullopt when cancelled. A colour dialog unless tests say otherwise.
    std::function<std::optional<QColor>(const QColor& initial, const QString& title)> pickColour;
    void setSoundPlayer(SoundPlayer* sounds) { sounds_ = sounds; }

    // What the first showing does with the command line (the program's arguments, without its
    // name), unless it has been done already.
    void processparams(const QStringList& params);
    // A link the program was given, such as "pinfall://join/K7Q-4PZ": that game is joined
    // through the lobby of Play with Others. Anything else is ignored.
    void openLink(const QString& link);

    void playsounds(const QString& name);
    void loadinifile();
    void saveinifile();
    void PrhaseList1Click();
    void TextColor1Click();
    void ActionColor1Click();
    void ResetLocation1Click();
    void button_startClick();

    // The options as the menus show them and the settings file keeps them.
    const GameSettings& settings() const { return settings_; }

    GameSession& session() { return session_; }
    ChatPane& chatPane();

Q_SIGNALS:
    // The window has closed: the program ends.
    void closed();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormCreate();
    Q_INVOKABLE void processCommandLine();
    void buildMenus();
    void buildOptions();
    void FormClose();
    void saveSettings(const QRect& geometry);
    // Shows the options in the menus and hands them to the chat and the session.
    void applySettings();
    // An option the player changed in a menu: applied at once, then saved.
    void optionChosen();
    void followSession();
    void followBoard();
    // What the menus and the companion windows show of the roster.
    void drawRoster();
    // The chat line looks switched off while the player's keys type on the board.
    void showWhereKeysGo();
    // Says something to the others, from the chat line.
    void sendit(const QString& text);
    // Asks, when this program hosts others, whether to end their game; true when the player
    // would rather keep it.
    bool othersWouldLoseTheirGame(const QString& question);
    static inline const QString kClosingEndsTheirGame = QStringLiteral(
        "Others are in the game you host, and closing Pinfall ends it for them. Close anyway?");
    // Playing with others (tchat_others.cpp).
    void followPlay();
    void joinElsewhere(const QString& playerName, const GameAddress& where);
    void joinByCode(const LobbyAddress& lobby, const InviteCode& code);
    void hostingChosen(Hosting hosting, const QString& playerName);
    // Asks before a choice of hosting ends the game of somebody: true to go on with it.
    bool hostingMayChange(Hosting hosting);
    // Hosting here failed: the player chooses what to do instead; the program stays.
    void hostingFailed(const QString& why, bool gameHoldsIt);
    // While the program tries to get back into the game, a box offers to stop trying.
    void showReconnecting(bool reconnecting);
    void startRequested(const QByteArray& secondsPerTurn, bool teamGame);

    GameSession session_;
    PlayController* play_ = nullptr;
    QColor noticeColour;

    Tgamestart* gamestart_ = nullptr;
    Tspylist* spylist_ = nullptr;
    Ttallylist* tally_ = nullptr;
    Tabout* about_ = nullptr;
    QWidget* help_ = nullptr;
    QWidget* download_ = nullptr;
    PlayWithOthers* others_ = nullptr;
    QMessageBox* reconnecting_ = nullptr;
    Tphrases* phrases_ = nullptr;
    SoundPlayer* sounds_ = nullptr;
    bool paramsProcessed_ = false;
    bool settingsLoaded_ = false; // settings never loaded are never written over
    QString settingsPath_;
    QRect savedGeometry_{3, 3, 581, 576}; // left, top, width, height as last loaded or saved
    // The options: the menus show them, the host and the session play by them, and the phrase
    // buttons send their phrases. Everything but the phrases is saved whenever one changes.
    GameSettings settings_;

    BoardView* board_ = nullptr;

    // Menus
    QAction* StartGame1 = nullptr;
    QAction* JustWatch1 = nullptr;
    OptionsMenu* options_ = nullptr;   // its items show settings_
    QAction* ScrollChatOff2 = nullptr; // the Options menu's item; mirrors the chat pane's
};
