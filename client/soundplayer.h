#pragma once

#include <QString>

// Plays the game's sounds by name ("entered", "strike", ...). The main window owns the
// choice of whether to play at all; a player only plays.
class SoundPlayer {
public:
    virtual ~SoundPlayer() = default;
    virtual void play(const QString& name) = 0;
};
