#pragma once

#include "fieldreader.h"
#include "receivedlist.h"
#include "tsock.h"

#include <QColor>
#include <QLocalServer>
#include <QMainWindow>
#include <QString>
#include <QStringList>

#include <array>

class PictureButton;
class QAction;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QTextEdit;
class SoundPlayer;
class TServer;
class Tgamestart;
class Tspylist;

// The main window: the game client of every participant, the host's own player included. It
// reads the command line, hosts or joins, logs in, shows the roster and dispatches what the
// host says, one message per tick. It only reports what its user did; the host decides.
class Tchat : public QMainWindow {
    Q_OBJECT

public:
    static constexpr int kPlayerSlots = 4;
    static constexpr char kVersion[] = "1.0.7"; // what log-in sends; the host compares it

    explicit Tchat(QWidget* parent = nullptr);
    ~Tchat() override;

    // The windows it works with, all created at start-up.
    void setCompanions(TServer& host, Tgamestart& gamestart, Tspylist& spylist);
    void setSoundPlayer(SoundPlayer* sounds) { sounds_ = sounds; }
    // The game's TCP port, "7772" unless told otherwise; "0" lets the host take a free one.
    void setGamePort(const QString& port) { gamePort_ = port; }
    // Copies every chat line to stderr as well (for scripts that watch a running game).
    void setEchoChat(bool echo) { echoChat_ = echo; }

    // What the first showing does with the command line (the program's arguments, without its
    // name), unless it has been done already.
    void processparams(const QStringList& params);

    void addlinetochat(const QString& text, const QColor& colour);
    void playsounds(const QString& name);
    // Stores the options; the settings file arrives with a later release.
    void saveinifile() {}
    void kicking(int slot);
    void button_startClick();
    void JustWatch1Click();
    // Prepares the roster's menu for the name of `slot` (what a right-click on it does first).
    void label_playername1ContextPopup(int slot);
    void RemoveFromGame1Click();
    void SettoJustWatch1Click();
    void UnsetJustWatch1Click();

    // The pause between rounds the host uses, from "Options" > "Time Between Rounds".
    int timeBetweenRounds() const;

    int localSlot() const { return localslot; }
    bool loggedIn() const { return loggedin; }
    bool isHost() const { return ishost; }
    QString playerName() const { return playername; }
    QString hostAddress() const { return hostaddress; }
    ReceivedList& queue() { return receivedlist; }
    QStringList chatLines() const;

Q_SIGNALS:
    // The window has closed: the program ends.
    void closed();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void FormCreate();
    void buildBoard();
    void buildMenus();
    void hostpress();
    void joinpress();
    void sockRead();
    void sockInfo(const QString& text);
    void sendToHost(const QByteArray& message);

    void sendloginfo(FieldReader& fields);
    void newplayerinfo(FieldReader& fields);
    void playerdisconnected(FieldReader& fields);
    void justwatching(FieldReader& fields);
    void startthegame(FieldReader& fields);
    void gameIsFull();
    void clearall();
    void showTeams(bool teamGame);
    void startRequested(const QByteArray& secondsPerTurn, bool teamGame);

    // Client state
    QString playername;
    QString hostaddress;
    bool ishost = false;
    int localslot = 0;
    bool loggedin = false;
    int currentplayer = 0;
    int playerslots = kPlayerSlots;
    QColor noticeColour;
    QString loginName_;

    TServer* host_ = nullptr;
    Tgamestart* gamestart_ = nullptr;
    Tspylist* spylist_ = nullptr;
    SoundPlayer* sounds_ = nullptr;
    QString gamePort_ = QStringLiteral("7772");
    bool echoChat_ = false;
    bool paramsProcessed_ = false;
    bool connectionClosed_ = false;

    TSock sock;   // the game connection
    TSock Sock11; // the lobby connection: opened, never used
    ReceivedList receivedlist;
    QLocalServer programMarker_; // "Pinfall": lets the lobby see that the game runs

    // Board
    QWidget* panel_board = nullptr;
    QLabel* label_teamgame = nullptr;
    std::array<QLabel*, kPlayerSlots + 1> label_playername{};
    std::array<QLabel*, kPlayerSlots + 1> label_score{};
    std::array<QLabel*, kPlayerSlots + 1> image_eyes{};
    std::array<QLabel*, kPlayerSlots + 1> image_winner{};
    QLabel* label_theword = nullptr;
    QLabel* label_status = nullptr;
    QLabel* label_timeperturn = nullptr;
    QLabel* label_timer = nullptr;
    QWidget* panel_badword = nullptr;
    QLabel* image_noplay = nullptr;
    PictureButton* button_start = nullptr;
    PictureButton* button_send = nullptr;
    PictureButton* button_clear = nullptr;
    PictureButton* button_sort = nullptr;
    QTextEdit* mainchat = nullptr;
    QLineEdit* mychat = nullptr;
    int timePerTurnTag_ = 0;

    // Menus
    QAction* StartGame1 = nullptr;
    QAction* JustWatch1 = nullptr;
    QAction* timebetween = nullptr; // its data is the pause in seconds
    QMenu* popup_kick = nullptr;
    QAction* RemoveFromGame1 = nullptr;
    QAction* SettoJustWatch1 = nullptr;
    QAction* UnsetJustWatch1 = nullptr;
    int popupSlot_ = 0; // the roster slot the menu was opened on
};
