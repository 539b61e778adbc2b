#pragma once

#include "xmlelement.h"

#include <QString>

#include <optional>

// What a game's host tells the lobby about it, in its presence in the game's room (and in the
// lobby room while the game is public): what a host on the local network announces, and the
// game's invite code.
struct GameListing {
    static inline const QString kNamespace = QStringLiteral("urn:pinfall:game");

    QString code; // as shown, "K7Q-4PZ"
    QString version;
    QString hostName;
    int players = 0;
    int spectators = 0;
    int frame = 0; // 0 while no game runs

    XmlElement toElement() const;
    // The listing a presence carries; nothing when it carries none or a broken one.
    static std::optional<GameListing> fromPresence(const XmlElement& presence);
    friend bool operator==(const GameListing&, const GameListing&) = default;
};
