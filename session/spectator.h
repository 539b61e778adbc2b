#pragma once

#include <QString>

// A participant who watches from beyond the player slots.
struct Spectator {
    int slot = 0;
    QString name;

    friend bool operator==(const Spectator&, const Spectator&) = default;
};
