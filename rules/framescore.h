#pragma once

#include <QtGlobal>

// One player's frame. -1 means no value yet.
struct TFrameScore {
    qint32 roll1 = -1; // pins of the first word
    qint32 roll2 = -1; // pins of the second word
    qint32 roll3 = -1; // pins of the bonus word, frame 10 only
    qint32 total = -1; // cumulative score up to and including this frame

    friend bool operator==(const TFrameScore&, const TFrameScore&) = default;
};
