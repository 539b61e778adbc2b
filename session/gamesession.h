#pragma once

#include "gamerules.h"
#include "hostmessages.h"
#include "rack.h"
#include "receivedlist.h"
#include "scoresheet.h"
#include "tsock.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <array>
#include <optional>

// One seat of the roster.
struct Seat {
    bool taken = false;
    QString name;
    bool watching = false;
    int score = 0;                // the running total the host last reported
    std::array<QString, 3> words; // the words of the frame just ended, shown until the next turn
};

// A participant who watches from beyond the player slots.
struct Spectator {
    int slot = 0;
    QString name;

    friend bool operator==(const Spectator&, const Spectator&) = default;
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

    // Connecting. `hosting`: this participant's own program runs the host and may start
    // games and remove participants.
    void connectTo(const QString& address, const QString& port, const QString& playerName, bool hosting);
    // After a failure: the same address and port once more.
    void retry();
    // How long a host may take to greet a new connection before the session gives up on it.
    std::chrono::milliseconds answerTimeout{10000};
    // One second of the turn clock; a test that ticks the clock itself makes it long.
    std::chrono::milliseconds second{1000};
    ReceivedList& queue() { return queue_; }

    // The roster.
    bool loggedIn() const { return loggedIn_; }
    bool isHost() const { return isHost_; }
    // Whoever holds slot 1 starts games and removes participants, whichever program hosts.
    bool leads() const { return isHost_ || localSlot_ == 1; }
    int localSlot() const { return localSlot_; }
    QString playerName() const { return playerName_; }
    QString hostAddress() const { return hostAddress_; }
    QString hostPort() const { return port_; }
    const Seat& seat(int slot) const;
    const QList<Spectator>& spectators() const { return spectators_; }
    // The names of the other players in the roster.
    QStringList opponentNames() const;
    bool allPlacesTaken() const;

    // The game.
    bool teamGame() const { return teamGame_; }
    int secondsPerTurn() const { return secondsPerTurn_; }
    int currentPlayer() const { return currentPlayer_; }
    // The frame being played, 1 to 10; 0 before the first turn.
    int frame() const { return frame_; }
    bool myTurn() const { return localSlot_ != 0 && currentPlayer_ == localSlot_; }
    int secondsLeft() const { return secondsLeft_; }
    bool clockRuns() const { return clock_.isActive(); }
    // A latecomer waits for the next frame.
    bool sitsOutFrame() const { return sitsOutFrame_; }
    bool gameRunning() const { return gameRunning_; }
    bool refusalShown() const { return refusalShown_; }
    const Rack& rack() const { return rack_; }
    // The ten letters everybody was dealt for this frame, in position order.
    const QByteArray& frameLetters() const { return frameLetters_; }
    const ScoreSheet& sheet() const { return sheet_; }
    // The player's own words of this frame so far, as the host accepted them; -1 for none.
    const TFrameScore& ownRolls() const { return ownRolls_; }
    const QList<int>& winners() const { return winners_; }
    // What the board tells the player, and the line naming the frame's words.
    QString status() const { return status_; }
    QString wordsLine() const { return wordsLine_; }

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
    // The host has gone or the connection broke; what it said before is handled first.
    void connectionClosed();

private:
    void send(const QByteArray& message);
    void readArrived();
    void open();
    void connectionInfo(TSocketInfo kind, const QString& text);
    void fail(const QString& reason);
    void notice(const QString& text) { Q_EMIT lineAdded(text, kNoticeColour); }
    void setStatus(const QString& text);
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

    QString version_;
    QString playerName_;
    QString hostAddress_;
    QString port_;
    bool isHost_ = false;
    bool loggedIn_ = false;
    int localSlot_ = 0;
    std::array<Seat, kPlayerSlots> seats_;
    QList<Spectator> spectators_;

    bool teamGame_ = false;
    int secondsPerTurn_ = 0;
    int currentPlayer_ = 0;
    int frame_ = 0;
    int secondsLeft_ = 0;
    bool sitsOutFrame_ = false;
    bool gameRunning_ = false;
    bool refusalShown_ = false;
    QString status_ = QStringLiteral("Welcome Pinfall");
    QString wordsLine_;
    QString lastWords_; // what the words line shows once the next frame starts
    Rack rack_;
    QByteArray frameLetters_;
    int scoredFrame_ = 0; // the last frame whose end was told
    ScoreSheet sheet_;
    TFrameScore ownRolls_;
    QList<int> winners_;

    TSock sock_;
    ReceivedList queue_;
    QTimer clock_;       // the turn clock, one tick a second while a turn runs
    QTimer answerTimer_; // runs from connecting until the host gives a slot
    bool closed_ = false;
    bool turnedAway_ = false; // the game was full
};
