#pragma once

#include "gamerules.h"
#include "hostmessages.h"
#include "rack.h"
#include "receivedlist.h"
#include "scoresheet.h"
#include "spectator.h"
#include "tsock.h"

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <array>

class JoinAttempt;
#include <optional>

// One seat of the roster.
struct Seat {
    bool taken = false;
    QString name;
    bool watching = false;
    bool away = false;            // the connection dropped; the host keeps the seat a while
    int score = 0;                // the running total the host last reported
    std::array<QString, 3> words; // the words of the frame just ended, shown until the next turn
};

// How the player wants the board to answer.
struct PlayOptions {
    bool typeWords = false;        // letters typed lay tiles; Tab switches it
    bool spaceShuffles = false;    // the space bar shuffles the rack, as "6" does
    bool newTurnSound = false;     // "turnnew" rather than "turn" when a turn starts
    bool showRefusedWord = true;   // the refusal panel after an invalid word
    bool clearRefusedWord = false; // an invalid word goes back to the rack
};

// The end of a game as this participant saw it.
struct GameResult {
    QList<int> winners;
    int ownSlot = 0;
    int ownTotal = 0;
    std::optional<QString> soleWinnerName; // when exactly one player slot won
};

// The client's half of a game: the connection to the host and its queue of messages, the
// roster, the rack, the turn and its clock, every player's scores and the winner. Whatever
// drives it (the window, a computer player, a test) calls the same actions, and hears through
// signals what changed. It only reports what its player did; the host decides.
class GameSession : public QObject {
    Q_OBJECT

public:
    static constexpr int kPlayerSlots = Rules::kPlayerSlots;
    // A notice of the game itself (connections, starts, winners) in the chat.
    static constexpr quint32 kNoticeColour = 0xFF0000; // blue, as 0x00BBGGRR

    explicit GameSession(QString version, QObject* parent = nullptr);
    // A session that goes leaves its game on purpose: the host need not keep the seat.
    ~GameSession() override;

    // Connecting. `hosting`: this participant's own program runs the host and may start
    // games and remove participants.
    void connectTo(const QString& address, const QString& port, const QString& playerName, bool hosting);
    // Joins over a stream that is connected already, which the session then owns: a lobby's
    // relay to the game called `gameName` (its invite code), or in the fuzzer a connection held
    // in memory.
    void joinOver(StreamTransport* stream, const QString& playerName, const QString& gameName = {});
    // Joins over the connection of an attempt the host has given a slot.
    void joinThrough(JoinAttempt& attempt, const QString& playerName);
    // After a failure: the same address and port once more.
    void retry();
    // Leaves the game without a word to the window: the host hears that the player leaves on
    // purpose, the connection closes, and everything the host told is forgotten, ready to
    // connect anew.
    void leave();
    // After connectionLost(): the next connection to the host brings back the seat's token
    // instead of logging in afresh. The board stays as it was meanwhile.
    void prepareReturn();
    // How long a host may take to greet a new connection before the session gives up on it.
    std::chrono::milliseconds answerTimeout{10000};
    // One second of the turn clock; a test that ticks the clock itself makes it long.
    std::chrono::milliseconds second{1000};
    ReceivedList& queue() { return queue_; }

    // The roster.
    bool loggedIn() const { return game_.loggedIn; }
    bool isHost() const { return isHost_; }
    // Whoever holds slot 1 starts games and removes participants, whichever program hosts.
    bool leads() const { return isHost_ || game_.localSlot == 1; }
    int localSlot() const { return game_.localSlot; }
    QString playerName() const { return playerName_; }
    // The version it logs in with.
    QString version() const { return version_; }
    QString hostAddress() const { return hostAddress_; }
    QString hostPort() const { return port_; }
    const Seat& seat(int slot) const;
    const QList<Spectator>& spectators() const { return game_.spectators; }
    // The names of the other players in the roster.
    QStringList opponentNames() const;
    bool allPlacesTaken() const;
    // The host told this participant it was removed from the game before closing its connection.
    bool removedByHost() const { return game_.removed; }

    // The game.
    bool teamGame() const { return game_.teamGame; }
    int secondsPerTurn() const { return game_.secondsPerTurn; }
    int currentPlayer() const { return game_.currentPlayer; }
    // The frame being played, 1 to 10; 0 before the first turn.
    int frame() const { return game_.frame; }
    bool myTurn() const { return game_.localSlot != 0 && game_.currentPlayer == game_.localSlot; }
    int secondsLeft() const { return game_.secondsLeft; }
    bool clockRuns() const { return clock_.isActive(); }
    // A latecomer waits for the next frame.
    bool sitsOutFrame() const { return game_.sitsOutFrame; }
    bool gameRunning() const { return game_.gameRunning; }
    bool refusalShown() const { return game_.refusalShown; }
    const Rack& rack() const { return game_.rack; }
    // The ten letters everybody was dealt for this frame, in position order.
    const QByteArray& frameLetters() const { return game_.frameLetters; }
    const ScoreSheet& sheet() const { return game_.sheet; }
    // The player's own words of this frame so far, as the host accepted them; -1 for none.
    const TFrameScore& ownRolls() const { return game_.ownRolls; }
    const QList<int>& winners() const { return game_.winners; }
    // What the board tells the player, and the line naming the frame's words.
    QString status() const { return game_.status; }
    QString wordsLine() const { return game_.wordsLine; }

    PlayOptions options;

    // What the player can do. Each does nothing where the rules or the turn do not allow it.
    // A press on a rack tile: with a tile chosen it swaps the two (or puts the chosen one back);
    // otherwise `lay` lays it on the word row and choosing picks it for a swap.
    void pressTile(int position, bool lay);
    // Lays the rack's tile that shows `letter`.
    void typeLetter(char letter);
    // A press on place `place` of the word row: the last laid tile comes back.
    void takeBack(int place);
    void clearWord();
    void shuffle();
    void sendWord();
    // One second of the turn clock: its timer calls it, and a test may.
    void tick();
    // A key pressed on the board during the player's turn; false when the board did not take it.
    bool pressKey(int key);
    // Any other touch of the board puts the refusal panel away.
    void dismissRefusal();
    void startGame(const QByteArray& secondsPerTurn, bool teamGame);
    void remove(int slot);
    void setWatching(int slot, bool watching);
    // A chat line, and an action ("Ann waves"), in a colour as 0x00BBGGRR.
    void say(const QString& text, quint32 colour);
    void act(const QString& text, quint32 colour);

Q_SIGNALS:
    void rosterChanged();
    // Rack, word row, turn, status, scores: whatever the board shows.
    void boardChanged();
    void clockTicked();
    // The player switched typing on or off with a key.
    void optionsChanged();
    void lineAdded(const QString& text, quint32 colour);
    void sound(const QString& name);
    void loggedInAs(int slot);
    // The player's own seat is taken: the program may load its settings for it.
    void seated();
    // A game has started, or a latecomer has caught up with the one running.
    void gameStarted();
    // The host has scored a frame (once, though a late word may bring its scores again).
    void frameEnded();
    // The player has fresh tiles to play: a turn begins, or a bonus set of the last frame.
    void newTiles();
    void ownStrike();
    void gameEnded(const GameResult& result);
    void gameFull();
    // The host could not be reached, or did not answer; `why` says so for the player.
    void connectionFailed(const QString& why);
    // The host has gone, has removed this participant (removedByHost()), or the connection
    // broke; what it said before is handled first.
    void connectionClosed();
    // The connection dropped during a game in which the host keeps the player's seat for a
    // while: instead of connectionClosed(), the session waits for a way back.
    void connectionLost();
    // Back in the seat after a dropped connection.
    void returned();
    // The host no longer keeps the seat: the player was away too long.
    void seatGone();

private:
    void send(const QByteArray& message);
    void readArrived();
    void open();
    void connectionInfo(TSocketInfo kind, const QString& text);
    void fail(const QString& reason);
    void notice(const QString& text) { Q_EMIT lineAdded(text, kNoticeColour); }
    void setStatus(const QString& text);
    void startClock();
    void boardActionStarts(const QString& status);
    void giveTurn(int slot);
    void endTurn();
    QString nameOf(int slot) const;

    void logIn(int slot);
    void arrived(const FromHost::SlotName& message);
    void left(const FromHost::SlotName& message);
    void watchingChanged(const FromHost::Watching& message);
    void started(const FromHost::GameStart& message);
    void dealt(const FromHost::Letters& message);
    void nextPlayer(const FromHost::NextPlayer& message);
    void accepted(const FromHost::GoodWord& message);
    void refused(int slot);
    void timeIsUp();
    void scoresPosted(const FromHost::PostScores& message);
    void won(const QList<int>& winners);
    void caughtUp(const FromHost::LoadStats& message);
    void chatArrived(const FromHost::ChatLine& message);
    void away(const FromHost::SlotName& message);
    void tokenGiven(const FromHost::SeatToken& message);
    void resumed(const FromHost::BackInFrame& message);
    bool mayReturn() const;

    QString version_;
    QString playerName_;
    QString hostAddress_;
    QString port_;
    QString gameName_; // a game reached by its name rather than by address and port
    bool isHost_ = false;
    // Getting back after a dropped connection: the seat's secret, and how far the way back has
    // got (asking for the seat with it, then seated in it again).
    QByteArray seatToken_;
    enum class Return { No, Asking, Asked, Seated };
    Return return_ = Return::No;
    // Everything the host has told since connecting, forgotten when the player leaves.
    struct Joined {
        bool loggedIn = false;
        int localSlot = 0;
        std::array<Seat, kPlayerSlots> seats;
        QList<Spectator> spectators;

        bool teamGame = false;
        int secondsPerTurn = 0;
        int currentPlayer = 0;
        int frame = 0;
        int secondsLeft = 0;
        bool sitsOutFrame = false;
        bool gameRunning = false;
        bool refusalShown = false;
        QString status = QStringLiteral("Welcome Pinfall");
        QString wordsLine;
        QString lastWords; // what the words line shows once the next frame starts
        Rack rack;
        QByteArray frameLetters;
        int scoredFrame = 0; // the last frame whose end was told
        ScoreSheet sheet;
        TFrameScore ownRolls;
        QList<int> winners;
        bool turnedAway = false;   // the game was full
        bool removed = false;      // the host removed this participant
        bool closedByHost = false; // the host ended its game on purpose
    };
    Joined game_;

    TSock sock_;
    ReceivedList queue_;
    QTimer clock_;            // the turn clock, one tick a second while a turn runs
    QElapsedTimer sinceTick_; // a tick long overdue tells that the computer slept
    QTimer answerTimer_;      // runs from connecting until the host gives a slot
    bool closed_ = false;
};
