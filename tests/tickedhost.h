#pragma once

#include "tserver.h"

#include <QString>

// A host whose clock moves only when the test ticks it, with a seeded deal, a pause of five
// seconds between frames and its dictionary in `folder`.
inline HostSettings tickedHostSettings(const QString& folder, quint32 seed)
{
    HostSettings settings;
    settings.second = std::chrono::hours(1);
    settings.seed = seed;
    settings.pauseBetweenFrames = [] { return 5; };
    settings.dictionary.workingFolder = folder;
    settings.dictionary.fallbackFolder = folder;
    return settings;
}
