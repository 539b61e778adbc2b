#include "tallyfile.h"

#include <QStringList>

namespace {

constexpr int kColumns = 9;
constexpr int kMaxRows = 100000; // far more players than anybody follows
constexpr int kMaxColumns = 64;
// The own row's first cell and its last two hold nothing but "0"; an opponent's first cell
// holds his name, and his session's counts follow his all-time ones.
constexpr int kFirstOwnTotal = 1;
constexpr int kFirstAllTime = 1;
constexpr int kFirstSession = kFirstAllTime + static_cast<int>(kGamesTogetherInOrder.size());

using Row = QStringList;

Row ownRow(const OwnTotals& own)
{
    Row row(kColumns, QStringLiteral("0"));
    for (std::size_t k = 0; k < kOwnTotalsInOrder.size(); ++k)
        row[kFirstOwnTotal + static_cast<int>(k)] = (own.*kOwnTotalsInOrder[k]).text();
    return row;
}

OwnTotals ownTotals(const Row& row)
{
    OwnTotals own;
    for (std::size_t k = 0; k < kOwnTotalsInOrder.size(); ++k)
        own.*kOwnTotalsInOrder[k] = TallyCount::fromText(row[kFirstOwnTotal + static_cast<int>(k)]);
    return own;
}

void putGames(Row& row, int first, const GamesTogether& games)
{
    for (std::size_t k = 0; k < kGamesTogetherInOrder.size(); ++k)
        row[first + static_cast<int>(k)] = (games.*kGamesTogetherInOrder[k]).text();
}

GamesTogether gamesTogether(const Row& row, int first)
{
    GamesTogether games;
    for (std::size_t k = 0; k < kGamesTogetherInOrder.size(); ++k)
        games.*kGamesTogetherInOrder[k] = TallyCount::fromText(row[first + static_cast<int>(k)]);
    return games;
}

Row opponentRow(const OpponentTally& opponent)
{
    Row row(kColumns);
    row[0] = opponent.name;
    putGames(row, kFirstAllTime, opponent.allTime);
    putGames(row, kFirstSession, opponent.session);
    return row;
}

OpponentTally opponentTally(const Row& row)
{
    return {row[0], gamesTogether(row, kFirstAllTime), gamesTogether(row, kFirstSession)};
}

} // namespace

QByteArray TallyContents::toText() const
{
    QList<Row> rows{ownRow(own)};
    for (const OpponentTally& opponent : opponents)
        rows << opponentRow(opponent);
    QByteArray text = QByteArray::number(kColumns) + "\r\n" + QByteArray::number(rows.size()) + "\r\n";
    for (int column = 0; column < kColumns; ++column) {
        for (const Row& row : rows)
            text += row[column].toLatin1() + "\r\n";
    }
    return text;
}

std::optional<QString> TallyContents::fromText(const QByteArray& text)
{
    QList<QByteArray> lines = text.split('\n');
    for (QByteArray& line : lines) {
        if (line.endsWith('\r'))
            line.chop(1);
    }
    bool columnsOk = false;
    bool rowsOk = false;
    const int columns = lines.value(0).toInt(&columnsOk);
    const int rowCount = lines.value(1).toInt(&rowsOk);
    if (!columnsOk || !rowsOk || columns < 1 || columns > kMaxColumns || rowCount < 1 || rowCount > kMaxRows)
        return QStringLiteral("The tally is damaged: its size is not readable.");
    // Cells the file does not reach stay blank, as a cut-off file leaves them.
    QList<Row> rows(rowCount, Row(kColumns));
    std::optional<QString> damage;
    for (qsizetype index = 0; index < qsizetype{columns} * rowCount; ++index) {
        const qsizetype line = 2 + index;
        if (line >= lines.size() || (line == lines.size() - 1 && lines[line].isEmpty())) {
            damage = QStringLiteral("The tally is damaged: it ends after %1 of its %2 numbers.")
                         .arg(index)
                         .arg(qsizetype{columns} * rowCount);
            break;
        }
        const int column = static_cast<int>(index / rowCount);
        if (column < kColumns)
            rows[index % rowCount][column] = QString::fromLatin1(lines[line]);
    }
    own = ownTotals(rows.front());
    opponents.clear();
    for (qsizetype row = 1; row < rows.size(); ++row)
        opponents << opponentTally(rows[row]);
    return damage;
}
