#pragma once

#include "clientmessages.h"
#include "dealer.h"
#include "fieldreader.h"
#include "gamerules.h"
#include "messages.h"
#include "receivedlist.h"
#include "tdictn.h"
#include "tplayer.h"
#include "tsock.h"

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

#include <array>
#include <chrono>
#include <functional>
#include <optional>

// What the host needs from the program around it.
struct HostSettings {
    QByteArray version = "1.0.7"; // a newcomer with another version is told so
    // Seconds of pause between frames (5, 10 or 15), asked each time a frame ends.
    std::function<int()> pauseBetweenFrames = [] { return 10; };
    // Consistency reports that should never be seen in play ("error in rolling").
    std::function<void(const QString&)> report;
    // Tells the user that the dictionary cannot be opened.
    TDictn::Reporter dictionaryReport;
    DictionaryPlaces dictionary;
    // Length of one second of the game clock; tests run the clock faster.
    std::chrono::milliseconds second{1000};
    // Seed of the deal; from the clock when not given.
    std::optional<quint32> seed;
    // A connection that has not logged in by then is closed: a real program logs in at once,
    // and idle connections must not keep the game full.
    std::chrono::milliseconds loginTimeout{std::chrono::seconds(30)};
    // How long a player whose connection dropped during a game keeps the seat.
    std::chrono::milliseconds seatKept{std::chrono::minutes(1)};
};

// The game host. It listens for participants, gives each connection a slot, deals the
// letters, judges words, keeps every score and tells every participant what happened. It has
// no window: the main window or pinfall-host owns it.
//
// A participant is known by its connection: a message that claims another participant's slot
// is ignored, and only slot 1 may start games and remove participants.
//
// A player whose connection drops during a game keeps the seat, name and scores for a while:
// the others hear that the player is away, and the program that brings back the seat's token
// on a new connection sits in it again and plays on. A player who leaves on purpose, or is
// removed, or drops between games, frees the seat at once.
//
// The host works in turns: a queued message, a clock tick, an accepted connection, bytes read,
// a connection's end. A connection that ends during a turn (a send that meets a broken pipe
// closes it from inside the send) is let go when the turn is over, so every handler and every
// loop over the slots runs to its end on a table that does not change under it; sends to it
// in the meantime are dropped.
class TServer : public QObject {
    Q_OBJECT

public:
    static constexpr int kLastSlot = Rules::kLastSlot;
    static constexpr int kFullSlot = kLastSlot + 1; // where a tenth connection is turned away
    static constexpr int kPlayerSlots = Rules::kPlayerSlots;
    static constexpr int kMaxWaitingMessages = 256;    // a connection with more is flooding
    static constexpr qint64 kMaxUnsentBytes = 1 << 20; // a connection with more has stopped reading

    explicit TServer(HostSettings settings, QObject* parent = nullptr);
    ~TServer() override;

    // Starts listening; throws ESockException when the port cannot be had. Port "0" takes a free one.
    void startListening(const QString& port = QStringLiteral("7772"));
    quint16 listeningPort() const { return Sock1.localPort(); }
    // Ends the game for everybody and stops listening, as when its player goes to play
    // elsewhere; startListening hosts anew.
    void stopHosting();

    // Seats a connection that has just been accepted in the lowest free slot, or turns it away
    // when the game is full. Sock1Accept hands every connection here; tests and the fuzzer
    // hand in connections over streams of their own.
    void admit(TSock* sock);

    // Read event of every participant's connection.
    void Sock1Read(TSock* sender);
    // Bytes that arrived on a participant's connection. Tests and the fuzzer call it directly.
    void receivedFrom(TSock* sender, QByteArrayView bytes);

    // Game clock tick.
    void timer1Timer();

    // What can be told about the game without joining it.
    struct Summary {
        int players = 0;    // logged in at player slots
        int spectators = 0; // logged in beyond them
        int frame = 0;      // the frame being played, 0 while no game runs
        friend bool operator==(const Summary&, const Summary&) = default;
    };
    Summary summary() const;

    const TPlayer& player(int slot) const { return players[static_cast<std::size_t>(slot)]; }
    bool gameOn() const { return gameon; }
    int currentFrame() const { return currentframe; }
    int secondsLeft() const { return countdown; }
    int slotCount() const { return slotcount; }
    const LetterSet& masterLetters(int set) const { return masterletters[static_cast<std::size_t>(set - 1)]; }
    ReceivedList& queue() { return receivedlist; }
    // Tests only: the next deal words, in the order they will be drawn.
    void fixNextWords(const QList<QByteArray>& words) { dealer.fixNextWords(words); }

Q_SIGNALS:
    // After a turn that changed the summary.
    void summaryChanged();

private:
    // One turn of the host's work; connections that end during it are let go when the
    // outermost turn is over.
    class Turn {
    public:
        explicit Turn(TServer& host);
        ~Turn();
        Turn(const Turn&) = delete;
        Turn& operator=(const Turn&) = delete;

    private:
        TServer& host_;
    };

    // Connections and log-in
    void Sock1Accept(TSock* sender);
    void closeIfNotLoggedIn(TSock* sock);
    int chooseSlot();
    void tempsockDisconnect(TSock* sender);
    void tempsockInfo(TSock* sender, TSocketInfo info, const QString& msg);
    void letDepartedGo();
    void freeSlotOf(TSock* sock);
    void disconnectsock(int slot);
    int slotOf(const TSock* connection) const;
    // Each client message is read by its reader and handed to its handler in a turn of its own.
    template <typename Message>
    void handle(const char* command, Message (*read)(FieldReader&),
                void (TServer::*handler)(const Message&, TSock*));
    void receivedlogininfo(const FromClient::LoginInfo& login, TSock* from);
    void kickhim(const FromClient::KickHim& request, TSock* from);
    void chat(const FromClient::Talk& talk, TSock* from);
    void action(const FromClient::Talk& talk, TSock* from);
    void justwatch(const FromClient::JustWatch& request, TSock* from);
    void returning(const FromClient::Returning& request, TSock* from);
    void leaving(const FromClient::Leaving& request, TSock* from);
    void keepSeat(int slot);
    void releaseSeat(int slot);
    // The player seat whose token this is, kept or still held by an older connection; 0 for none.
    int seatOf(const QByteArray& token) const;
    // A player back in the middle of a frame gets it as it stands.
    void resumeFrame(int slot);

    // Game flow
    void startgame(const FromClient::StartGame& request, TSock* from);
    void dealSet(int set, QByteArray& word);
    void startround();
    void findplayer();
    void startClock(int tag, int seconds);
    void timeup();
    void checkforwin();

    // Judging and scoring
    void sendword(const FromClient::SendWord& word, TSock* from);
    void refuseWord(int slot, LetterSet& tiles, int set);
    void afterGoodWord(int slot);
    void sendBonusSet(int slot, int set);
    void endFrameIfAllDone();
    // Every player slot's record of the current frame, closed for `why`.
    void closeFrames(Rules::Closing why);
    void postheirscores();

    void sendTo(int slot, const QByteArray& message);
    void sendToAll(const QByteArray& message);
    void sendToOthers(int slot, const QByteArray& message);
    void report(const QString& text) const;

    HostSettings settings_;
    TSock Sock1;
    TSock tempsock; // never opened: carries the handlers every accepted connection gets
    // Entries 1 to 11; 0 is unused so that an entry's index is its slot number.
    std::array<TPlayer, 12> players{};
    ReceivedList receivedlist;
    QTimer timer1;     // the game clock
    int timer1Tag = 0; // 2: a frame runs; 1: the pause between frames
    TDictn spell;
    Dealer dealer;
    int turnDepth_ = 0;
    Summary toldSummary_;             // as it was after the last turn
    QList<QPointer<TSock>> departed_; // closed during the running turn, let go at its end

    bool gameon = false;
    int slotcount = 0;
    int playerslots = kPlayerSlots;
    int currentframe = 0;
    int secondsperturn = 0;
    bool teamgame = false;
    int countdown = 0; // whole seconds left on the game clock
    QByteArray dealword;
    QByteArray bonusword2;
    QByteArray bonusword3;
    std::array<LetterSet, 3> masterletters{};
};
