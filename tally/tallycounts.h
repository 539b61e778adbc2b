#pragma once

#include <QString>

#include <array>
#include <optional>

// One number of the tally. The tally file keeps its numbers as text, and a file damaged or
// edited by hand may hold anything in their place: such text is kept, shown and written back
// as it was found until the count next goes up, when it starts again at 1.
class TallyCount {
public:
    TallyCount() = default;
    explicit TallyCount(qint64 number) : number_(number) {}
    static TallyCount fromText(const QString& text);

    QString text() const { return found_ ? *found_ : QString::number(number_); }
    // Empty for text that is not a whole number.
    std::optional<qint64> number() const;
    bool isBlank() const { return found_ && found_->isEmpty(); }

    // One more. A count that is not a whole number, or no longer fits an int, starts again at 1.
    void increase();

    friend bool operator==(const TallyCount&, const TallyCount&) = default;

private:
    qint64 number_ = 0;
    std::optional<QString> found_; // text that is not the number as this program writes it
};

// The user's own totals over every game counted.
struct OwnTotals {
    TallyCount games;
    TallyCount wins;
    TallyCount perfectGames;
    TallyCount strikes;
    TallyCount average;  // whole points
    TallyCount scoreSum; // behind the average

    friend bool operator==(const OwnTotals&, const OwnTotals&) = default;
};

// In the order the tally file keeps them and the window shows them.
inline constexpr std::array<TallyCount OwnTotals::*, 6> kOwnTotalsInOrder{
    &OwnTotals::games,   &OwnTotals::wins,    &OwnTotals::perfectGames,
    &OwnTotals::strikes, &OwnTotals::average, &OwnTotals::scoreSum};

// The games the user played with one opponent, and how each ended.
struct GamesTogether {
    TallyCount games;
    TallyCount theirWins;
    TallyCount myWins;
    TallyCount neitherWon;

    friend bool operator==(const GamesTogether&, const GamesTogether&) = default;
};

// In the order the tally file keeps them and the window shows them.
inline constexpr std::array<TallyCount GamesTogether::*, 4> kGamesTogetherInOrder{
    &GamesTogether::games, &GamesTogether::theirWins, &GamesTogether::myWins, &GamesTogether::neitherWon};

// A followed opponent, under his name as the roster shows it.
struct OpponentTally {
    QString name;
    GamesTogether allTime;
    GamesTogether session; // since the program started

    friend bool operator==(const OpponentTally&, const OpponentTally&) = default;
};
