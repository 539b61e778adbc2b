#pragma once

#include "framescore.h"

#include <QByteArray>
#include <QList>

#include <array>

// The game's vocabulary and the one place where messages are put together. A message is its
// command word, each field preceded by "+", sometimes one trailing "+", and the terminator
// 0xFF. Text fields are bytes and pass through unchanged.

inline constexpr char CMD_sendlogininfo[] = "CMD_sendlogininfo";
inline constexpr char CMD_full[] = "CMD_full";
inline constexpr char CMD_logininfo[] = "CMD_logininfo";
inline constexpr char CMD_newplayerinfo[] = "CMD_newplayerinfo";
inline constexpr char CMD_existingplayers[] = "CMD_existingplayers";
inline constexpr char CMD_havewrongversion[] = "CMD_havewrongversion";
inline constexpr char CMD_wrongversion[] = "CMD_wrongversion";
inline constexpr char CMD_loadstats[] = "CMD_loadstats";
inline constexpr char CMD_playerdisconnected[] = "CMD_playerdisconnected";
inline constexpr char CMD_justwatch[] = "CMD_justwatch";
inline constexpr char CMD_justwatching[] = "CMD_justwatching";
inline constexpr char CMD_chat[] = "CMD_chat";
inline constexpr char CMD_action[] = "CMD_action";
inline constexpr char CMD_kickhim[] = "CMD_kickhim";
inline constexpr char CMD_startgame[] = "CMD_startgame";
inline constexpr char CMD_theletters[] = "CMD_theletters";
inline constexpr char CMD_nextplayer[] = "CMD_nextplayer";
inline constexpr char CMD_sendword[] = "CMD_sendword";
inline constexpr char CMD_worderror[] = "CMD_worderror";
inline constexpr char CMD_goodword[] = "CMD_goodword";
inline constexpr char CMD_timeisup[] = "CMD_timeisup";
inline constexpr char CMD_postscores[] = "CMD_postscores";
inline constexpr char CMD_winner[] = "CMD_winner";
// Getting back into a game after a dropped connection. A peer that knows none of these ignores
// them: an old client never returns, and logs in afresh as a newcomer.
inline constexpr char CMD_seattoken[] = "CMD_seattoken";
inline constexpr char CMD_playeraway[] = "CMD_playeraway";
inline constexpr char CMD_returning[] = "CMD_returning";
inline constexpr char CMD_seatgone[] = "CMD_seatgone";
inline constexpr char CMD_backinframe[] = "CMD_backinframe";
inline constexpr char CMD_leaving[] = "CMD_leaving";
inline constexpr char CMD_gameclosed[] = "CMD_gameclosed";

// One tile of a deal: its position (1 to 10) and its lower-case letter.
struct DealtTile {
    int position;
    char letter;
};

// One player slot's part of CMD_postscores.
struct PlayerReport {
    int slot = 0;
    int score = 0;
    TFrameScore frame;               // the rolls of the frame just ended
    std::array<QByteArray, 3> words; // the words of that frame; empty where none was made
    std::array<qint32, 10> totals{}; // cumulative totals of frames 1 to 10, -1 where unknown
};

// A player's frame as it stands, for a player who comes back in the middle of it.
struct FrameInPlay {
    int frame = 0;
    int secondsLeft = 0;
    TFrameScore rolls; // the player's words of this frame so far
    QByteArray tiles;  // the set in play by position, '-' where a tile has gone
    QByteArray deal;   // the frame's ten letters by position
};

// Messages from the host.
namespace ToClient {
QByteArray sendlogininfo(int slot);
QByteArray full();
QByteArray newplayerinfo(int slot, QByteArrayView name);
QByteArray existingplayers(int slot, QByteArrayView name);
QByteArray havewrongversion(QByteArrayView name);
QByteArray wrongversion();
QByteArray loadstats(int slot, int secondsPerTurn, bool teamGame, int countdown,
                     const std::array<int, 4>& scores);
QByteArray playerdisconnected(int slot, QByteArrayView name);
QByteArray justwatching(int slot, bool watching);
// `textAndColour` is what the sender sent after its slot: the text, "|", the colour.
QByteArray action(QByteArrayView name, QByteArrayView textAndColour);
QByteArray chat(QByteArrayView name, QByteArrayView textAndColour);
// `teamFlag` goes back exactly as the starter sent it.
QByteArray startgame(QByteArrayView name, int secondsPerTurn, QByteArrayView teamFlag);
// `slotField` 0 deals a frame to everyone; a player's slot gives that player a bonus set.
QByteArray theletters(int slotField, const QList<DealtTile>& tiles);
QByteArray nextplayer(int slotField, int frame);
QByteArray worderror(int slot);
QByteArray goodword(int slot, int frame, int score, int wordNumber, int pins);
QByteArray timeisup();
// `dealWords`: the frame's deal word; after frame 10 also the two bonus words.
QByteArray postscores(int frame, QByteArrayView answer, const QList<QByteArray>& dealWords,
                      const std::array<PlayerReport, 4>& players);
QByteArray winner(const QList<int>& slots);
// The secret that gives a player's seat back after a dropped connection.
QByteArray seattoken(int slot, QByteArrayView token);
// The player's connection dropped; the seat waits for it.
QByteArray playeraway(int slot, QByteArrayView name);
// A token that names no seat kept.
QByteArray seatgone();
QByteArray backinframe(int slot, const FrameInPlay& frame);
// The host ends its game on purpose: nobody need try to get back in.
QByteArray gameclosed();
} // namespace ToClient

// Messages from a client.
namespace ToHost {
// Ends with two 0xFF bytes; the host sees an empty message after it and ignores it.
QByteArray logininfo(int slot, QByteArrayView version, QByteArrayView name);
QByteArray chat(int slot, QByteArrayView text, QByteArrayView colour);
QByteArray action(int slot, QByteArrayView text, QByteArrayView colour);
QByteArray kickhim(int slot, int target);
// `secondsPerTurn` as the user typed it; the host falls back to 90 when it is not a number.
QByteArray startgame(QByteArrayView name, QByteArrayView secondsPerTurn, bool teamGame);
QByteArray justwatch(int slot, bool watching);
// `positions`: for each letter of the word, the position of the tile that supplies it.
QByteArray sendword(int slot, const QList<int>& positions);
// Sent instead of logging in from the slot a new connection was given: the seat of `token`.
QByteArray returning(int slot, QByteArrayView token);
// The player leaves on purpose: the seat is not kept for it.
QByteArray leaving(int slot);
} // namespace ToHost
