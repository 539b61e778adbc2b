#include "tally.h"

#include "lzrw1.h"

#include <QFile>
#include <QSaveFile>

#include <optional>

Tally::Tally(QString file, Report report) : file_(std::move(file)), report_(std::move(report))
{
    load();
}

Tally::~Tally()
{
    save();
}

void Tally::count(int column, int row)
{
    if (!grid_.addit(column, row))
        grid_.setCell(column, row, QStringLiteral("1")); // an empty or broken counter starts again
}

void Tally::addtomineincrease(int k)
{
    count(k, 0);
    Q_EMIT ownTotalsChanged();
}

void Tally::addgame(const QString& winner)
{
    count(1, 0);
    const bool iWon = winner == QLatin1String(kWinnerIsMe);
    if (iWon)
        count(2, 0);
    Q_EMIT ownTotalsChanged();
    for (const QString& name : playersInGame_) {
        const int row = followedRow(name);
        if (row == 0)
            continue;
        for (int column = 1; column < TallyGrid::kColumns; ++column) {
            if (grid_.cell(column, row).isEmpty())
                grid_.setCell(column, row, QStringLiteral("0"));
        }
        count(1, row);
        count(5, row);
        const int allTime = name == winner ? 2 : iWon ? 3 : 4; // the opponent won, the user did, or neither
        count(allTime, row);
        count(allTime + 4, row);
    }
    Q_EMIT opponentsCounted();
    save();
}

void Tally::figureave(int score)
{
    bool isNumber = false;
    const qint64 sum = grid_.cell(6, 0).toLongLong(&isNumber) + score;
    grid_.setCell(6, 0, QString::number(sum));
    const int games = grid_.cell(1, 0).toInt(&isNumber);
    if (isNumber && games > 0)
        grid_.setCell(5, 0, QString::number(sum / games));
    Q_EMIT ownTotalsChanged();
    save();
}

void Tally::setPlayersInGame(const QStringList& names)
{
    if (names == playersInGame_)
        return; // the roster changes far more often than who is in it
    playersInGame_ = names;
    Q_EMIT playersInGameChanged();
}

void Tally::follow(const QString& name)
{
    if (isFollowed(name))
        return;
    grid_.appendRow(QStringList{name} + QStringList(TallyGrid::kColumns - 1, QStringLiteral("0")));
    Q_EMIT followedChanged();
}

void Tally::drop(int index)
{
    grid_.moverow(index + 1);
    Q_EMIT followedChanged();
}

void Tally::reset()
{
    grid_.reset();
    Q_EMIT ownTotalsChanged();
    Q_EMIT followedChanged();
    save();
}

QStringList Tally::followed() const
{
    QStringList names;
    for (int row = 1; row < grid_.rowCount(); ++row)
        names << grid_.cell(0, row);
    return names;
}

int Tally::followedRow(const QString& name) const
{
    const qsizetype index = followed().indexOf(name);
    return index < 0 ? 0 : static_cast<int>(index) + 1;
}

void Tally::load()
{
    QFile file(file_);
    if (!file.exists())
        return;
    std::optional<QString> problem;
    if (!file.open(QIODevice::ReadOnly)) {
        problem = QStringLiteral("Lzrw1 (de)compression : Failed to open input file : ") + file_;
    } else {
        QByteArray text;
        try {
            Tlzrw1::decompressBytes(file.readAll(), text);
        } catch (const ELzrw1Exception& e) {
            problem = file_ + QStringLiteral(": ") + QString::fromUtf8(e.what());
        }
        // Whatever could be read counts, even from a damaged file.
        if (!text.isEmpty() || !problem) {
            if (const std::optional<QString> damage = grid_.fromText(text); damage && !problem)
                problem = file_ + QStringLiteral(": ") + *damage;
        }
        for (int row = 1; row < grid_.rowCount(); ++row) {
            for (int column = 5; column <= 8; ++column)
                grid_.setCell(column, row, QStringLiteral("0")); // a new session
        }
    }
    if (problem && report_)
        report_(*problem);
}

void Tally::save() const
{
    QByteArray packed;
    try {
        packed = Tlzrw1::compressBytes(grid_.toText(), Tlzrw1::Mode::Fast);
    } catch (const ELzrw1Exception&) {
        return; // a failed save is not worth troubling the user with; the old tally stays whole
    }
    // Written beside the tally and renamed over it, so a crash never leaves half a tally.
    QSaveFile file(file_);
    if (file.open(QIODevice::WriteOnly) && file.write(packed) == packed.size())
        file.commit();
}
