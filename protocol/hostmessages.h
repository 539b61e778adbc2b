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

// A block for a slot that is no player slot keeps its slot alone: the rest of it is not read.
PostScores postScores(FieldReader& fields);
LoadStats loadStats(FieldReader& fields);
// The winning slots; empty fields (the trailing "+") name nobody.
QList<int> winners(FieldReader& fields);

} // namespace FromHost
