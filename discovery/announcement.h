#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <optional>
#include <variant>

// The datagrams that let programs on a local network find each other's games, in the game's
// own message style: a command word, fields after "+", the terminator 0xFF. A finder asks, a
// visible host answers and announces itself, and says goodbye when it stops or hides.

inline constexpr char CMD_findgames[] = "CMD_findgames";
inline constexpr char CMD_gamehere[] = "CMD_gamehere";
inline constexpr char CMD_gamegone[] = "CMD_gamegone";

// What a visible host tells about its game.
struct GameAnnouncement {
    QByteArray instance; // tells one running host from another, whatever address it is seen at
    QByteArray version;
    quint16 port = 0; // the game's TCP port
    int players = 0;
    int spectators = 0;
    int frame = 0; // the frame being played, 0 while no game runs
    QByteArray hostName;

    bool gameRunning() const { return frame > 0; }
    friend bool operator==(const GameAnnouncement&, const GameAnnouncement&) = default;
};

struct GamesQuery {
    friend bool operator==(const GamesQuery&, const GamesQuery&) = default;
};

struct GameGone {
    QByteArray instance;
    friend bool operator==(const GameGone&, const GameGone&) = default;
};

namespace Discovery {

// No datagram is longer: anything longer is not ours.
inline constexpr qsizetype kLongestDatagram = 512;
inline constexpr qsizetype kLongestInstance = 32;
inline constexpr qsizetype kLongestVersion = 16;

QByteArray query();
QByteArray announcement(const GameAnnouncement& game);
QByteArray goodbye(QByteArrayView instance);

using Datagram = std::variant<GamesQuery, GameAnnouncement, GameGone>;
// Reads a datagram strictly: every field present and in its range, nothing after the last one.
// Anything else, from a broken datagram to another program's, reads as nothing.
std::optional<Datagram> read(QByteArrayView datagram);

} // namespace Discovery
