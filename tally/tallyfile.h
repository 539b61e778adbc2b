#pragma once

#include "tallycounts.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

// The tally as the text inside its file: a grid of nine columns, the user's own totals in row
// 0 and a row per followed opponent after it (his name, then his all-time and this session's
// counts). The text holds the column count, the row count, then every cell, column by column,
// each on a line of its own; lines end in CR LF.
struct TallyContents {
    OwnTotals own;
    QList<OpponentTally> opponents;

    QByteArray toText() const;
    // On damage, keeps what it read up to there and returns what is wrong.
    std::optional<QString> fromText(const QByteArray& text);
};
