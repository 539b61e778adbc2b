#pragma once

#include "hosting.h"
#include "level.h"
#include "solver.h"
#include "tsock.h"

#include <QLocalServer>
#include <QObject>
#include <QString>
#include <QStringList>

#include <chrono>
#include <memory>
#include <optional>

class ComputerOpponents;
class GameSession;
class HostRoute;
class InviteCode;
class JoinAttempt;
class LobbyRoute;
class Reconnection;
class Tally;
class TServer;
class VisibleHost;
struct GameAddress;
struct GameResult;
struct LobbyAddress;

// What the program does with games, without a window: it hosts, joins and leaves them, seats
// its computer players, makes the game it hosts visible, tells the words a player missed and
// counts finished games into the tally. Whatever happens on the network side, the player is
// left in a game: a join that fails keeps the game they are in, and when their host goes they
// get a game of their own again. The window shows the session and hands the player's choices
// here.
class PlayController : public QObject {
    Q_OBJECT

public:
    // The player's name in a game of their own that nobody else sees.
    static inline const QString kSoloName = QStringLiteral("You");

    // The session and the host must outlive the controller.
    PlayController(GameSession& session, TServer& host, QObject* parent = nullptr);
    ~PlayController() override;

    void setVisibleHost(VisibleHost* visibleHost) { visibleHost_ = visibleHost; }
    void setTally(Tally* tally) { tally_ = tally; }
    // The game's TCP port, "7772" unless told otherwise; "0" lets the host take a free one.
    QString gamePort = QStringLiteral("7772");
    // How long a host may take to give a slot before a join gives up.
    std::chrono::milliseconds answerTimeout{10000};
    bool showMissedWords = true;

    // What the command line asks for (the program's arguments without its name): nothing for a
    // solo game; a name, the host's address and "true" to host, anything else to join.
    void start(const QStringList& params);
    // Hosts a game here; false, with hostingFailed(), when the port cannot be had.
    bool host(const QString& playerName);
    // Asks the game at `where` for a place; the game the player is in goes on until it gives one.
    void join(const QString& playerName, const GameAddress& where);
    // Joins the game that holds the port this program would host on.
    void joinLocalGame(const QString& playerName);
    // Asks the game with invite code `code` on `lobby` for a place, as join() asks at an address.
    void joinByCode(const QString& playerName, const LobbyAddress& lobby, const InviteCode& code);
    // "Host here": who can find the game hosted here, under `playerName`. A player in somebody
    // else's game gets one of their own. On the internet, the game is opened on `lobby` and its
    // code comes with lobbyGameOpened(); leaving the internet ends it for those who came that way.
    void setHosting(Hosting hosting, const QString& playerName, const std::optional<LobbyAddress>& lobby);
    Hosting hosting() const;
    // Players or spectators came through the lobby into the game hosted here.
    bool lobbyPlayersInGame() const;
    bool isJoining() const { return attempt_ != nullptr || routeTried_ != nullptr; }
    // The connection to the game joined dropped and the program is trying to get back in.
    bool isReconnecting() const;
    // The player gives up getting back in: a game of their own follows.
    void stopReconnecting();
    // One second of the waits between tries to get back in; tests make it short.
    void setReconnectionSecond(std::chrono::milliseconds second);
    bool isInGameAt(const GameAddress& where) const;
    // Leaves the game, ending it first when it is hosted here.
    void leave();
    // What the player wants once seated, without acting on it now: the game hosted here
    // visible on the local network.
    void rememberVisible(bool visible, const QString& playerName);

    // Starts a game with `computerPlayers` of the program's own at `level`, once they are seated.
    void startGame(const QByteArray& secondsPerTurn, bool teamGame, int computerPlayers, Level level);
    int ownComputerPlayers() const;
    // People other than the program's own computer players are in the game hosted here.
    bool othersInHostedGame() const;

Q_SIGNALS:
    // A line for the chat, in the notice colour.
    void notice(const QString& text);
    // The best play of the frame just scored and the longest words the player did not play.
    void missedWords(const QString& line);
    // The solo game of a start without arguments is up.
    void soloGameStarted();
    // A join that did not work; the player is where they were.
    void joinFailed(const QString& why);
    // The port for hosting is held by another program; `gameHoldsIt` when that is a game host,
    // which joinLocalGame() joins.
    void hostingFailed(const QString& why, bool gameHoldsIt);
    // The player has no game: one of their own could not be hosted after a game ended or a
    // join failed. Play with Others is the way on.
    void withoutGame(const QString& why);
    // The game hosted here cannot be made visible.
    void visibilityFailed(const QString& why);
    // The game hosted here is on the lobby under `code`, or could not be put or kept there.
    void lobbyGameOpened(const InviteCode& code);
    void lobbyGameFailed(const QString& why);
    // The program is trying to get back into the game after a dropped connection, or no
    // longer is (back in it, or given up).
    void reconnectingChanged(bool reconnecting);

private:
    // Back to a game of one's own, once the player's game has gone.
    void hostOwnGame();
    static bool portTaken(const QString& report);
    QString hostingFailure(const QString& report) const;
    void askWhetherAGameHoldsThePort(const QString& why);
    void joined(const QString& playerName);
    void attemptFailed(const QString& why);
    void hostWent();
    void setVisible(bool visible, const QString& playerName);
    void showHostedGame();
    void hostOnLobby(const LobbyAddress& lobby, bool listedPublicly, const QString& playerName);
    void closeLobbyGame();
    void lobbyGameLost(const QString& why);
    void tellMissedWords();
    void countInTally(const GameResult& result);

    GameSession& session_;
    TServer& host_;
    VisibleHost* visibleHost_ = nullptr;
    Tally* tally_ = nullptr;
    std::unique_ptr<JoinAttempt> attempt_;   // a join waiting for the host's answer
    std::unique_ptr<LobbyRoute> routeTried_; // a join by code on its way to the host
    std::unique_ptr<LobbyRoute> route_;      // the lobby connection of the game joined by code
    // The way back to the game joined, after a dropped connection.
    std::unique_ptr<Reconnection> reconnection_;
    std::function<std::unique_ptr<HostRoute>()> routeBack_;
    struct LobbyHosting;
    std::unique_ptr<LobbyHosting> lobbyHosting_; // the game hosted here, on a lobby
    std::unique_ptr<JoinAttempt> probe_;         // asks whether a game holds the port
    // This program's computer players, made at the first start that asks for any; they leave
    // with the game, while its host is still there.
    std::unique_ptr<ComputerOpponents> computers_;
    QMetaObject::Connection startWhenSeated_; // a start that waits for them
    Solver solver_;                           // its index is built the first time a frame ends
    bool visible_ = false;                    // "Host here"
    QString visibleName_;
    TSock lobby_;                // the lobby connection the command line asks for: opened, never used
    QLocalServer programMarker_; // "Pinfall": lets the lobby see that the game runs
};
