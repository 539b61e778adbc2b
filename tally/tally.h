#pragma once

#include "tallyfile.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

// The user's running statistics: the own totals and, for every opponent the user follows, the
// games played together and who won them, all time and this run of the program. They are kept
// in a compressed file, read when the tally is made and written after every finished game, a
// reset, and when the tally goes away, so a counted game survives whatever becomes of the program.
class Tally : public QObject {
    Q_OBJECT

public:
    using Report = std::function<void(const QString&)>;

    // `file`: the compressed tally. `report` tells the user about a tally that cannot be read;
    // whatever could be read of it counts.
    Tally(QString file, Report report);
    ~Tally() override;

    void countStrike();
    void countPerfectGame();
    // A finished game with one winner: the user, or the named player. It counts against the
    // followed opponents among the players in the current game as last set, so whoever reports
    // the game sets those first.
    void countGameWon();
    void countGameWonBy(const QString& winner);
    // The user's final score of the game just counted.
    void addFinalScore(int score);

    void setPlayersInGame(const QStringList& names);
    // Starts following a player, every count at 0; a player already followed stays as he is.
    void follow(const QString& name);
    // Stops following opponents()[index] and forgets his counts; any other index changes nothing.
    void drop(qsizetype index);
    // No games counted, nobody followed.
    void reset();

    const OwnTotals& own() const { return contents_.own; }
    const QList<OpponentTally>& opponents() const { return contents_.opponents; }
    bool isFollowed(const QString& name) const { return indexOf(name) >= 0; }
    const QStringList& playersInGame() const { return playersInGame_; }

Q_SIGNALS:
    void ownTotalsChanged();
    void followedChanged();
    // A finished game changed the counts of followed opponents.
    void opponentsCounted();
    void playersInGameChanged();

private:
    // `opponentWinner` is empty when the user won.
    void countGame(const std::optional<QString>& opponentWinner);
    qsizetype indexOf(const QString& name) const; // in opponents(), -1 if not followed
    void load();
    void save() const;

    QString file_;
    Report report_;
    TallyContents contents_;
    QStringList playersInGame_;
};
