#pragma once

#include "framescore.h"
#include "gamerules.h"
#include "tsock.h"

#include <QByteArray>
#include <QPointer>
#include <QTimer>

#include <array>

// Ten tiles at positions 1 to 10 (index 0 to 9): a lower-case letter, 0 once the tile is gone
// (or never dealt), or '*' while the word being judged has taken it.
using LetterSet = std::array<char, 10>;

inline constexpr char kNoTile = 0;
inline constexpr char kTakenTile = '*';

// One entry of the host's slot table.
struct TPlayer {
    QByteArray name;                    // as sent at log-in; empty while free or not logged in yet
    bool connected = false;             // holds an open connection
    bool loggedIn = false;              // has sent CMD_logininfo on that connection
    QPointer<TSock> sock;               // that connection; its Tag is the slot number
    qint32 score = 0;                   // running score
    bool watching = false;              // sits out from the next deal on
    std::array<LetterSet, 3> letters{}; // the frame's deal, then the two bonus sets of frame 10
    qint32 rolls = 0;                   // words accepted this frame; Rules::kFrameFinished once finished
    std::array<TFrameScore, Rules::kFrames> frames{};
    qint32 letterset = 0;            // the set in play, 1 to 3; 0: may not send words now
    std::array<QByteArray, 3> words; // accepted words of this frame
    QByteArray answer;               // the ten-letter word of the set in play
    // Getting back after a dropped connection: the secret given at log-in to a player slot;
    // while away the seat is kept, neither free nor connected, until `keptFor` runs out.
    QByteArray seatToken;
    bool away = false;
    bool leaving = false;   // leaves on purpose, or is removed: the seat is not kept
    bool returning = false; // came back with the token and has yet to log in again
    QPointer<QTimer> keptFor;

    bool finishedFrame() const { return rolls == Rules::kFrameFinished; }
    // Nobody sits here any more, nor may come back to: what the seat scored stays.
    void forgetOccupant()
    {
        name.clear();
        watching = false;
        seatToken.clear();
        away = false;
        leaving = false;
        returning = false;
        delete keptFor;
    }
    // No more words in this frame: the player is not waited for, and a word sent is not judged.
    void finishFrame()
    {
        rolls = Rules::kFrameFinished;
        letterset = 0;
    }
};
