#include "tallygrid.h"

#include <limits>

namespace {

constexpr int kMaxRows = 100000; // far more players than anybody follows
constexpr int kMaxColumns = 64;

QStringList blankRow()
{
    return QStringList(TallyGrid::kColumns, QString());
}

} // namespace

void TallyGrid::setCell(int column, int row, const QString& text)
{
    if (row >= 0 && row < rows_.size() && column >= 0 && column < kColumns)
        rows_[row][column] = text;
}

std::optional<int> TallyGrid::addit(int column, int row)
{
    bool isNumber = false;
    const int value = cell(column, row).toInt(&isNumber);
    if (!isNumber || value == std::numeric_limits<int>::max())
        return std::nullopt;
    setCell(column, row, QString::number(value + 1));
    return value + 1;
}

void TallyGrid::appendRow(const QStringList& cells)
{
    QStringList row = cells.mid(0, kColumns);
    while (row.size() < kColumns)
        row.append(QString());
    rows_.append(row);
}

void TallyGrid::moverow(int row)
{
    if (row >= 1 && row < rows_.size())
        rows_.removeAt(row);
}

void TallyGrid::reset()
{
    rows_ = {QStringList(kColumns, QStringLiteral("0"))};
}

QByteArray TallyGrid::toText() const
{
    QByteArray text = QByteArray::number(kColumns) + "\r\n" + QByteArray::number(rows_.size()) + "\r\n";
    for (int column = 0; column < kColumns; ++column) {
        for (const QStringList& row : rows_)
            text += row[column].toLatin1() + "\r\n";
    }
    return text;
}

std::optional<QString> TallyGrid::fromText(const QByteArray& text)
{
    QList<QByteArray> lines = text.split('\n');
    for (QByteArray& line : lines) {
        if (line.endsWith('\r'))
            line.chop(1);
    }
    bool columnsOk = false;
    bool rowsOk = false;
    const int columns = lines.value(0).toInt(&columnsOk);
    const int rows = lines.value(1).toInt(&rowsOk);
    if (!columnsOk || !rowsOk || columns < 1 || columns > kMaxColumns || rows < 1 || rows > kMaxRows)
        return QStringLiteral("The tally is damaged: its size is not readable.");
    rows_ = QList<QStringList>(rows, blankRow());
    for (qsizetype index = 0; index < qsizetype{columns} * rows; ++index) {
        const qsizetype line = 2 + index;
        if (line >= lines.size() || (line == lines.size() - 1 && lines[line].isEmpty()))
            return QStringLiteral("The tally is damaged: it ends after %1 of its %2 numbers.")
                .arg(index)
                .arg(qsizetype{columns} * rows);
        const int column = static_cast<int>(index / rows);
        const int row = static_cast<int>(index % rows);
        if (column < kColumns)
            rows_[row][column] = QString::fromLatin1(lines[line]);
    }
    return std::nullopt;
}
