#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// The tally's numbers as the grid of text cells they are kept in: nine columns; row 0 the
// user's own totals, one row per followed opponent after it. It also reads and writes the
// grid's text form: the column count, the row count, then every cell, column by column, each
// on a line of its own (lines end in CR LF).
class TallyGrid {
public:
    static constexpr int kColumns = 9;

    TallyGrid() { rows_.append(QStringList(kColumns, QStringLiteral("0"))); }

    int rowCount() const { return static_cast<int>(rows_.size()); }
    QString cell(int column, int row) const { return rows_.value(row).value(column); }
    void setCell(int column, int row, const QString& text);

    // Adds one to a cell that holds a whole number and returns the new value; nullopt (and no
    // change) for a cell that does not.
    std::optional<int> addit(int column, int row);

    void appendRow(const QStringList& cells);
    // Takes row `row` out, moving the rows below it up; row 0 always stays.
    void moverow(int row);
    // Row 0 only, every cell "0".
    void reset();

    QByteArray toText() const;
    // Reads the text form. On damage, keeps what it read up to there and returns what is wrong.
    std::optional<QString> fromText(const QByteArray& text);

private:
    QList<QStringList> rows_;
};
