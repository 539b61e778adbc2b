#pragma once

#include "soundplayer.h"

#include <QHash>
#include <QString>

#include <memory>

class QSoundEffect;

// The game's sounds, built into the program and loaded once, so each starts at once. A new
// sound cuts off the one playing; a name without a sound gives the system's beep. On a
// machine without a sound device the game stays silent.
class GameSounds : public SoundPlayer {
public:
    GameSounds();
    ~GameSounds() override;

    void play(const QString& name) override;

    // The names of the sounds there are.
    const QStringList& names() const { return names_; }

private:
    QStringList names_;
    QHash<QString, std::shared_ptr<QSoundEffect>> effects_; // empty without a sound device
    QSoundEffect* playing_ = nullptr;
};
