#pragma once

#include "framescore.h"

#include <QList>
#include <QtGlobal>

#include <array>

// The rules of the game that the host, the client and the score sheet share.
namespace Rules {

inline constexpr int kFrames = 10;
inline constexpr int kPins = 10;       // the tiles of a set, the pins of a frame
inline constexpr int kPlayerSlots = 4; // slots 1 to 4 play
inline constexpr int kLastSlot = 9;    // slots 5 to 9 watch
inline constexpr int kMostWords = 3;   // words in a frame: two, and a bonus word in the last frame
// The host's count of a player's words in a frame once the player has finished it: one past
// any count of words, so that no word can reach it.
inline constexpr int kFrameFinished = kMostWords + 1;
inline constexpr qint32 kPerfectGame = 300; // twelve strikes in a row
// A longer name would flood the chat and run over the score sheet: the host cuts it at log-in.
inline constexpr int kLongestName = 24;

// Whether two rolls together knock down all the pins. Rolls may come from a peer and be any
// number, so they are added beyond the range of either.
constexpr bool makeTen(qint64 first, qint64 second)
{
    return first + second == kPins;
}

// Stores `pins` as roll `word` (1 to kMostWords) of `frame`; any other word number is ignored.
void setRoll(TFrameScore& frame, int word, qint32 pins);

// What an accepted word leads to for the player who sent it.
enum class Next {
    SameSet,      // the frame goes on with the tiles that are left
    BonusSet2,    // a strike in the last frame: a fresh set for the bonus words
    BonusSet3,    // a spare, or a second strike, in the last frame: a fresh set for the last word
    FrameOver,    // the player's frame is finished
    Inconsistent, // rolls that play cannot give
};

// `rolls` already holds the word, as roll `word` (1 to 3) of `frame` (1 to kFrames).
Next afterWord(int frame, int word, const TFrameScore& rolls);

// What an accepted word counts as for the player who made it, as the board tells it.
enum class WordResult {
    Strike,      // all the pins with the first word
    Spare,       // the first two words together knock down all the pins
    BonusStrike, // a later word of the last frame knocks down a whole fresh set
    BonusSpare,  // the third word of the last frame makes ten with the second
    Pins,        // none of these: only its pins
};

// `rolls` already holds the word, as roll `word` (1 to 3) of `frame` (1 to kFrames); rolls
// not yet made may hold anything.
WordResult resultOf(int frame, int word, const TFrameScore& rolls);

// How many words of the frame the tiles in hand may still make, given the rolls so far: two on
// a fresh deal or a fresh bonus set after a strike, one otherwise.
int wordsLeftForTiles(int frame, const TFrameScore& rolls);

// Why the host closes a frame whose values are not all made.
enum class Closing {
    TimeUp,   // the clock ran out: every roll not made counts 0, except the second of a
              // strike before the last frame, which stays empty
    NoWord,   // the others have finished: a player without a word in the frame gets 0 for its
              // rolls (the third only in the last frame); a frame with a word keeps its rolls
    NoPlayer, // the report of a slot without a player: no value of the frame stays unknown
};

// Fills the values of `frame` that `why` closes.
void closeFrame(TFrameScore& frame, bool lastFrame, Closing why);

constexpr bool isPerfectGame(qint64 total)
{
    return total == kPerfectGame;
}

// The winning slots, in the order they are announced: with teams, slots 1 and 3 against 2
// and 4 (both teams on a tie); else the lowest slot with the best score, then every other
// slot with that score. Every player slot takes part, occupied or not.
QList<int> winners(const std::array<qint32, kPlayerSlots>& scores, bool teamGame);

// What one box of the sheet shows.
struct Mark {
    enum Kind { Blank, Roll, Miss, Strike, Spare };
    Kind kind = Blank;
    qint32 roll = 0; // with Roll: the roll, drawn as itself

    friend bool operator==(const Mark&, const Mark&) = default;
};

// The boxes of a frame on the sheet: A and B, and C in the last frame.
std::array<Mark, 3> marksOf(const TFrameScore& frame, bool lastFrame);

} // namespace Rules
