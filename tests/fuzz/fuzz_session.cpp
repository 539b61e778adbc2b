// Feeds a game session whatever a host might send it, with the player's moves in between. The
// session joins over a connection held in memory, as the host fuzzer's participants do, so
// nothing waits on the network and what the session sends goes nowhere.
//
// Input: the host's bytes, cut after each 0xFF. A piece that begins with "!" is not sent: each
// of its other bytes is a move, of the player or of the host's end of the connection; its low
// nibble picks the move and its high nibble (the argument) what the move is about.
//   0  lay the tile at position arg%10+1      1  choose it, or swap the chosen tile with it
//   2  take back at place arg (11 and up: the last laid)    3  clear the word   4  shuffle
//   5  send the word         6  press a key                 7  type a letter
//   8  touch the board       9  the turn clock ticks arg+1 times, while it runs
//   10 a chat line (an action for odd arg)    11 just watch, or play again     12 remove a slot
//   13 start a game          14 the host closes, resets, vanishes, stops reading, reads again
//   15 switch one of the options; arg 5 and up: leave the game and join again
// Every input starts on a fresh connection, before the host has said anything, with the
// options as a new player has them. Messages are handled as soon as they have arrived.
//
// Besides crashes and sanitizer reports, a fault is anything but a broken number raised out of
// a handler, or a state the session never holds: a frame beyond 0 to 10, a spectator in a
// player slot, a winner or a result for a slot that does not play, a rack whose places are
// not its ten tiles each once, or whose laid tiles are still on it.
#include "faultreport.h"
#include "gamesession.h"
#include "memorytransport.h"
#include "numberfields.h"

#include <QCoreApplication>
#include <QPointer>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdint>
#include <cstdlib>

namespace {

constexpr std::uint8_t kEndOfMessage = 0xFF;
constexpr std::uint8_t kMoves = '!';

void require(bool holds)
{
    if (!holds)
        std::abort();
}

bool isPlayerSlot(int slot)
{
    return slot >= 1 && slot <= Rules::kPlayerSlots;
}

class Harness {
public:
    Harness()
    {
        FaultReport::setSink([](const QString& text) {
            // Broken numbers (reported as the field in quotes) are expected here; nothing else may
            // escape a handler.
            require(text.startsWith(u'\''));
        });
        session_.second = std::chrono::hours(1); // the input ticks the clock
        session_.answerTimeout = std::chrono::hours(1);
        QObject::connect(&session_, &GameSession::gameEnded, &session_, [](const GameResult& result) {
            require(isPlayerSlot(result.ownSlot));
            require(result.soleWinnerName.has_value() ==
                    (result.winners.size() == 1 && isPlayerSlot(result.winners.front())));
        });
    }

    void run(const std::uint8_t* data, std::size_t size)
    {
        session_.options = {};
        join();
        const std::uint8_t* const end = data + size;
        while (data < end) {
            const std::uint8_t* const terminator = std::find(data, end, kEndOfMessage);
            const std::uint8_t* const next = terminator == end ? end : terminator + 1;
            if (*data == kMoves) {
                for (const std::uint8_t* move = data + 1; move < terminator; ++move) {
                    FaultReport::guard([this, move] { perform(*move & 0x0F, *move >> 4); });
                    settle();
                }
            } else {
                if (host_)
                    host_->deliver(QByteArrayView(data, next - data));
                while (session_.queue().size() > 0)
                    session_.queue().dispatchNext();
                settle();
            }
            data = next;
        }
        session_.leave(); // an unfinished last message goes with the connection
        settle();
    }

private:
    // A fresh connection, the host's end of it in memory.
    void join()
    {
        session_.leave();
        host_ = new MemoryTransport;
        session_.joinOver(host_, QStringLiteral("Ann"));
    }

    void perform(int move, int argument)
    {
        const int position = argument % Rack::kTiles + 1;
        switch (move) {
        case 0:
            session_.pressTile(position, true);
            break;
        case 1:
            session_.pressTile(position, false);
            break;
        case 2:
            session_.takeBack(argument <= Rack::kTiles ? argument : session_.rack().laidCount());
            break;
        case 3:
            session_.clearWord();
            break;
        case 4:
            session_.shuffle();
            break;
        case 5:
            session_.sendWord();
            break;
        case 6:
            pressKey(argument);
            break;
        case 7:
            session_.typeLetter("abdeglnorstxyz?"[argument % 15]);
            break;
        case 8:
            session_.dismissRefusal();
            break;
        case 9:
            for (int second = 0; second <= argument && session_.clockRuns(); ++second)
                session_.tick();
            break;
        case 10:
            chat(argument);
            break;
        case 11:
            session_.setWatching(argument % 7, argument >= 8);
            break;
        case 12:
            session_.remove(argument % 10);
            break;
        case 13:
            session_.startGame(argument % 2 == 0 ? "60" : "-1", argument >= 8);
            break;
        case 14:
            hostEnd(argument);
            break;
        default:
            switchOption(argument);
            break;
        }
    }

    void pressKey(int argument)
    {
        static constexpr std::array<int, 16> kKeys{
            Qt::Key_Tab,   Qt::Key_Return, Qt::Key_Enter, Qt::Key_Backspace, Qt::Key_1, Qt::Key_6,
            Qt::Key_Space, Qt::Key_A,      Qt::Key_D,     Qt::Key_E,         Qt::Key_N, Qt::Key_R,
            Qt::Key_Z,     Qt::Key_Escape, Qt::Key_0,     Qt::Key_Question};
        session_.pressKey(kKeys[static_cast<std::size_t>(argument)]);
    }

    void chat(int argument)
    {
        static constexpr std::array<quint32, 4> kColours{0x0000FF, 0xFF0000, 0, 0xFFFFFFFF};
        const quint32 colour = kColours[static_cast<std::size_t>(argument / 2 % 4)];
        const QString text = argument >= 8 ? QStringLiteral("a|b+c\u00ff") : QStringLiteral("hello");
        if (argument % 2 == 0)
            session_.say(text, colour);
        else
            session_.act(text, colour);
    }

    void hostEnd(int argument)
    {
        static constexpr std::array<void (MemoryTransport::*)(), 5> kHostDoes{
            &MemoryTransport::peerCloses, &MemoryTransport::peerResets, &MemoryTransport::vanish,
            &MemoryTransport::stopReading, &MemoryTransport::resumeReading};
        if (host_)
            (host_->*kHostDoes[static_cast<std::size_t>(argument % 5)])();
    }

    void switchOption(int argument)
    {
        static constexpr std::array<bool PlayOptions::*, 5> kOptions{
            &PlayOptions::typeWords, &PlayOptions::spaceShuffles, &PlayOptions::newTurnSound,
            &PlayOptions::showRefusedWord, &PlayOptions::clearRefusedWord};
        if (argument < 5) {
            bool& option = session_.options.*kOptions[static_cast<std::size_t>(argument)];
            option = !option;
        } else {
            join();
        }
    }

    // What the event loop would do next: news of a connection that ended, and transports
    // let go. Then the session must hold a state it can hold.
    void settle()
    {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        checkState();
    }

    void checkState() const
    {
        require(session_.frame() >= 0 && session_.frame() <= Rules::kFrames);
        for (const Spectator& spectator : session_.spectators())
            require(!isPlayerSlot(spectator.slot));
        for (const int slot : session_.winners())
            require(isPlayerSlot(slot));
        require(session_.frameLetters().size() <= Rack::kTiles);

        const Rack& rack = session_.rack();
        require(rack.laidCount() >= 0 && rack.laidCount() <= Rack::kTiles);
        require(rack.chosen() >= 0 && rack.chosen() <= Rack::kTiles);
        std::array<bool, Rack::kTiles> placeTaken{};
        for (int position = 1; position <= Rack::kTiles; ++position) {
            const int place = rack.placeOf(position);
            require(place >= 0 && place < Rack::kTiles && !placeTaken[static_cast<std::size_t>(place)]);
            placeTaken[static_cast<std::size_t>(place)] = true;
        }
        for (int place = 1; place <= rack.laidCount(); ++place) {
            const Rack::WordCell& cell = rack.wordCell(place);
            if (cell.shows == Rack::WordCell::Shows::Tile && cell.position != 0)
                require(rack.letterAt(cell.position) == '\0');
        }
    }

    GameSession session_{QStringLiteral("1.0.7")};
    QPointer<MemoryTransport> host_; // the session owns it, and lets it go when the connection ends
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static int argc = 1;
    static char name[] = "fuzz_session";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    static Harness harness;
    harness.run(data, size);
    return 0;
}

extern "C" std::size_t LLVMFuzzerCustomMutator(std::uint8_t* data, std::size_t size, std::size_t maxSize,
                                               unsigned int seed)
{
    return mutateNumberFields(data, size, maxSize, seed);
}
