#pragma once

#include "solver.h"

#include <QByteArray>
#include <QList>
#include <QString>

// What a frame's rack allowed beside what the player made of it, told after the frame.
struct MissedWords {
    static constexpr int kLongestShown = 5;

    Play best;
    QList<QByteArray> missed; // the longest words not played, longest first, at most five

    // Works it out for the frame's ten letters and the words the player made of them.
    static MissedWords of(const Solver& solver, QByteArrayView letters, const QList<QByteArray>& played);
    // One line for the chat: "Best play: ... Missed: ..."; empty when the rack had no word.
    QString line() const;
};
