#pragma once

#include "fieldreader.h"
#include "framescore.h"
#include "gamerules.h"

#include <QByteArray>
#include <QList>

#include <array>
#include <utility>

// The messages a client reads from its host, each read into a struct of its own. A reader
// takes the fields after the command word and its "+", whatever bytes they are, and throws
// ProtocolError for a field that should be a number and is not.
namespace FromHost {

// One player's block of CMD_postscores.
struct PlayerScores {
    int slot = 0;
    int score = 0;
    TFrameScore rolls;                 // the three rolls of the frame just ended
    std::array<QByteArray, 3> words;   // the words of that frame, empty where none
    QList<std::pair<int, int>> totals; // frame and its total, for every frame reported
};

struct PostScores {
    int frame = 0;
    QByteArray answer;           // the ten-letter word of the receiver's set in play
    QList<QByteArray> dealWords; // the frame's deal word; after frame 10 the bonus words too
    std::array<PlayerScores, Rules::kPlayerSlots> players;
};

struct LoadStats {
    int slot = 0;
    int secondsPerTurn = 0;
    QByteArray teamFlag;
    int countdown = 0;
    std::array<int, Rules::kPlayerSlots> scores{};

    friend bool operator==(const LoadStats&, const LoadStats&) = default;
};

// CMD_newplayerinfo, CMD_existingplayers and CMD_playerdisconnected: a slot and the name in it.
struct SlotName {
    int slot = 0;
    QByteArray name; // all the rest, "+" included

    friend bool operator==(const SlotName&, const SlotName&) = default;
};

struct Watching {
    int slot = 0;
    bool watching = false; // "1" is watching, anything else is playing

    friend bool operator==(const Watching&, const Watching&) = default;
};

struct GameStart {
    QByteArray starter;
    int secondsPerTurn = 0;
    bool teamGame = false;

    friend bool operator==(const GameStart&, const GameStart&) = default;
};

// CMD_theletters: a frame's deal (slot 0, for everybody) or one player's bonus set of frame 10.
struct Letters {
    struct Tile {
        int position = 0;
        char letter = '\0'; // the first byte of its field; none for an empty field

        friend bool operator==(const Tile&, const Tile&) = default;
    };
    int slot = 0;
    QList<Tile> tiles; // as sent: a position may be out of the rack

    friend bool operator==(const Letters&, const Letters&) = default;
};

struct GoodWord {
    int slot = 0;
    int frame = 0;
    int score = 0;
    int word = 0; // 1 to 3: which word of the frame
    int pins = 0;

    friend bool operator==(const GoodWord&, const GoodWord&) = default;
};

// CMD_chat and CMD_action: the line as the host relayed it.
struct NextPlayer {
    int slot = 0;
    int frame = 0;

    friend bool operator==(const NextPlayer&, const NextPlayer&) = default;
};

struct ChatLine {
    QByteArray text;
    QByteArray colour; // what follows the first "|", empty when there is none

    friend bool operator==(const ChatLine&, const ChatLine&) = default;
};

// CMD_seattoken: the secret that gives the seat at `slot` back after a dropped connection.
struct SeatToken {
    int slot = 0;
    QByteArray token;

    friend bool operator==(const SeatToken&, const SeatToken&) = default;
};

// CMD_backinframe: the receiver's frame as it stands, to play on after coming back.
struct BackInFrame {
    int slot = 0;
    int frame = 0;
    int secondsLeft = 0;
    TFrameScore rolls;
    QByteArray tiles; // by position, '-' where a tile has gone
    QByteArray deal;  // the frame's letters by position

    friend bool operator==(const BackInFrame&, const BackInFrame&) = default;
};

// CMD_sendlogininfo and CMD_worderror: the slot they are about.
int slot(FieldReader& fields);
NextPlayer nextPlayer(FieldReader& fields);
SlotName slotName(FieldReader& fields);
Watching watching(FieldReader& fields);
// A time per turn that is no number is 90 seconds, as the host takes it.
GameStart gameStart(FieldReader& fields);
Letters letters(FieldReader& fields);
GoodWord goodWord(FieldReader& fields);
ChatLine chatLine(FieldReader& fields);
// A block for a slot that is no player slot keeps its slot alone: the rest of it is not read.
PostScores postScores(FieldReader& fields);
LoadStats loadStats(FieldReader& fields);
SeatToken seatToken(FieldReader& fields);
BackInFrame backInFrame(FieldReader& fields);
// The winning slots; empty fields (the trailing "+") name nobody.
QList<int> winners(FieldReader& fields);

} // namespace FromHost
