#pragma once

#include <QString>

#include <optional>

// Where a player asked to join: a host name or address, and the game's TCP port.
struct GameAddress {
    QString host;
    quint16 port = 0;

    // Reads what a player types: "name", "name:port", an IPv6 address alone or as
    // "[address]:port". Nothing for an empty host or a port outside 1 to 65535.
    static std::optional<GameAddress> parse(const QString& text, quint16 defaultPort);
    // As a player would type it again: the port only where it is not the default.
    QString text(quint16 defaultPort) const;

    friend bool operator==(const GameAddress&, const GameAddress&) = default;
};
