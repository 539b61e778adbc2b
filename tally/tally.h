#pragma once

#include "tallygrid.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>

// The user's running statistics: the own totals and, for every opponent the user follows, the
// games played together and who won them, all time and this run of the program. They are kept
// in a compressed file, read when the tally is made and written after every finished game, a
// reset, and when the tally goes away, so a counted game survives whatever becomes of the program.
class Tally : public QObject {
    Q_OBJECT

public:
    static constexpr char kWinnerIsMe[] = "addtomine";
    using Report = std::function<void(const QString&)>;

    // `file`: the compressed tally. `report` tells the user about a tally that cannot be read;
    // whatever could be read of it counts.
    Tally(QString file, Report report);
    ~Tally() override;

    // Own counters: k = 1 games, 2 wins, 3 perfect games, 4 strikes. A counter that is not a
    // number starts again at 1.
    void addtomineincrease(int k);
    // A finished game with one winner, kWinnerIsMe or the winning player's name. It counts
    // against the followed opponents among the players in the current game as last set, so
    // whoever reports the game sets those first.
    void addgame(const QString& winner);
    // The user's final score of the game just counted.
    void figureave(int score);
    void setPlayersInGame(const QStringList& names);
    // Starts following a player, every count at 0; a player already followed stays as he is.
    void follow(const QString& name);
    // Stops following followed()[index] and forgets his counts; any other index changes nothing.
    void drop(int index);
    // No games counted, nobody followed.
    void reset();

    const TallyGrid& grid() const { return grid_; }
    QStringList followed() const;
    bool isFollowed(const QString& name) const { return followedRow(name) != 0; }
    const QStringList& playersInGame() const { return playersInGame_; }

Q_SIGNALS:
    void ownTotalsChanged();
    void followedChanged();
    // A finished game changed the counts of followed opponents.
    void opponentsCounted();
    void playersInGameChanged();

private:
    void load();
    void save() const;
    int followedRow(const QString& name) const; // grid row, 0 if not followed
    void count(int column, int row);

    QString file_;
    Report report_;
    TallyGrid grid_;
    QStringList playersInGame_;
};
