#include "tally.h"

#include "lzrw1.h"

#include <QFile>
#include <QSaveFile>
#include <QtNumeric>

#include <algorithm>
#include <limits>

namespace {

void countIn(GamesTogether& games, TallyCount GamesTogether::*outcome)
{
    // A count the file left blank is 0 once the opponent plays again; one holding other text
    // starts again at 1 when it goes up.
    for (TallyCount GamesTogether::*count : kGamesTogetherInOrder) {
        if ((games.*count).isBlank())
            games.*count = TallyCount();
    }
    games.games.increase();
    (games.*outcome).increase();
}

} // namespace

Tally::Tally(QString file, Report report) : file_(std::move(file)), report_(std::move(report))
{
    load();
}

Tally::~Tally()
{
    save();
}

void Tally::countStrike()
{
    contents_.own.strikes.increase();
    Q_EMIT ownTotalsChanged();
}

void Tally::countPerfectGame()
{
    contents_.own.perfectGames.increase();
    Q_EMIT ownTotalsChanged();
}

void Tally::countGameWon()
{
    countGame(std::nullopt);
}

void Tally::countGameWonBy(const QString& winner)
{
    countGame(winner);
}

void Tally::countGame(const std::optional<QString>& opponentWinner)
{
    contents_.own.games.increase();
    if (!opponentWinner)
        contents_.own.wins.increase();
    Q_EMIT ownTotalsChanged();
    for (const QString& name : playersInGame_) {
        const qsizetype index = indexOf(name);
        if (index < 0)
            continue;
        const auto outcome = !opponentWinner           ? &GamesTogether::myWins
                             : name == *opponentWinner ? &GamesTogether::theirWins
                                                       : &GamesTogether::neitherWon;
        OpponentTally& counted = contents_.opponents[index];
        countIn(counted.allTime, outcome);
        countIn(counted.session, outcome);
    }
    Q_EMIT opponentsCounted();
    save();
}

void Tally::addFinalScore(int score)
{
    OwnTotals& own = contents_.own;
    qint64 sum = 0;
    // A sum that is not a number, or too big to grow, came from a damaged file: it starts again.
    if (qAddOverflow(own.scoreSum.number().value_or(0), qint64{score}, &sum))
        sum = score;
    own.scoreSum = TallyCount(sum);
    const std::optional<qint64> games = own.games.number();
    if (games && *games > 0 && *games <= std::numeric_limits<int>::max())
        own.average = TallyCount(sum / *games);
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
    contents_.opponents.append(OpponentTally{name, {}, {}});
    Q_EMIT followedChanged();
}

void Tally::drop(qsizetype index)
{
    if (index < 0 || index >= contents_.opponents.size())
        return;
    contents_.opponents.removeAt(index);
    Q_EMIT followedChanged();
}

void Tally::reset()
{
    contents_ = {};
    Q_EMIT ownTotalsChanged();
    Q_EMIT followedChanged();
    save();
}

qsizetype Tally::indexOf(const QString& name) const
{
    const auto found = std::find_if(contents_.opponents.cbegin(), contents_.opponents.cend(),
                                    [&](const OpponentTally& followed) { return followed.name == name; });
    return found == contents_.opponents.cend() ? -1 : found - contents_.opponents.cbegin();
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
            if (const std::optional<QString> damage = contents_.fromText(text); damage && !problem)
                problem = file_ + QStringLiteral(": ") + *damage;
        }
        for (OpponentTally& opponent : contents_.opponents)
            opponent.session = {}; // a new session
    }
    if (problem && report_)
        report_(*problem);
}

void Tally::save() const
{
    QByteArray packed;
    try {
        packed = Tlzrw1::compressBytes(contents_.toText(), Tlzrw1::Mode::Fast);
    } catch (const ELzrw1Exception&) {
        return; // a failed save is not worth troubling the user with; the old tally stays whole
    }
    // Written beside the tally and renamed over it, so a crash never leaves half a tally.
    QSaveFile file(file_);
    if (file.open(QIODevice::WriteOnly) && file.write(packed) == packed.size())
        file.commit();
}
