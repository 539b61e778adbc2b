#pragma once

#include "soundplayer.h"

#include <QHash>
#include <QString>
#include <QUrl>

#include <memory>
#include <optional>

class QSoundEffect;

// The game's sounds, built into the program. Each is loaded the first time it is played and
// kept from then on, so a game holds only the sounds it has used. A new sound cuts off the one
// playing; a name without a sound gives the system's beep. On a machine without a sound device
// the game stays silent.
//
// Looking for a sound device starts the sound system, which takes a moment: prepare() does it
// before the first sound is due (the program calls it once its window is shown), or else the
// first play() does.
class GameSounds : public SoundPlayer {
public:
    GameSounds();
    ~GameSounds() override;

    void prepare();
    void play(const QString& name) override;

    // The names of the sounds there are.
    QStringList names() const { return sounds_.keys(); }

private:
    struct Sound {
        QUrl source;
        std::shared_ptr<QSoundEffect> effect; // made when first played
    };

    QHash<QString, Sound> sounds_;   // by name in small letters
    std::optional<bool> haveDevice_; // unknown until prepared
    QSoundEffect* playing_ = nullptr;
};
