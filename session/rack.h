#pragma once

#include <QByteArray>

#include <array>

// The player's ten tiles and the word being laid from them. A tile keeps its position (1 to
// 10, what the host deals and judges by) wherever it stands; the rack's order is only where
// the player has moved the tiles, and it lasts from one deal to the next.
class Rack {
public:
    static constexpr int kTiles = 10;

    // What one place of the word row shows.
    struct WordCell {
        enum class Shows { StandingPin, FallenPin, Tile };
        Shows shows = Shows::StandingPin;
        char letter = '\0'; // on a tile; none for a blank tile
        int position = 0;   // the rack tile laid here, 0 for none

        friend bool operator==(const WordCell&, const WordCell&) = default;
    };

    Rack();

    // The letter of the tile at `position` while it stands on the rack, '\0' for none.
    char letterAt(int position) const;
    // The letters of the tiles standing on the rack, in position order.
    QByteArray standingLetters() const;
    // Where the tile of `position` stands on the rack, 0 (leftmost) to 9.
    int placeOf(int position) const;
    // The tile chosen for a swap, 0 for none.
    int chosen() const { return chosen_; }
    int laidCount() const { return laidCount_; }
    // Place 1 to 10 of the word row.
    const WordCell& wordCell(int place) const;
    // The positions of the laid tiles, in the word's order.
    std::array<int, kTiles> laidPositions() const;
    // The rack's first tile showing `letter`, 0 if none does.
    int positionOf(char letter) const;

    // A tile dealt: a position outside the rack is ignored.
    void deal(int position, char letter);
    // The deal is complete: nothing laid, nothing chosen, the word row all standing pins.
    void dealt();
    bool lay(int position);
    // Takes the last laid tile back to the rack; false if none was laid.
    bool takeBackLast();
    // Takes every laid tile back; false if none was laid.
    bool takeBackAll();
    void choose(int position)
    {
        chosen_ = validPosition(position) && letterAt(position) != '\0' ? position : 0;
    }
    void unchoose() { chosen_ = 0; }
    // The tiles of `position` and `other` change places on the rack.
    void swapPlaces(int position, int other);
    // A word was accepted: the row's last `pins` pins fall (after the first word of a frame) or
    // all stand again.
    void knockDown(int pins, bool firstWord);
    // Nothing laid any more, as the next word of the same set starts.
    void startAnotherWord() { laidCount_ = 0; }
    // The frame is over: the answer on the word row, the rack empty.
    void showAnswer(const QByteArray& answer);

private:
    static bool validPosition(int position) { return position >= 1 && position <= kTiles; }
    void takeBack(int place);

    std::array<char, kTiles> letters_{};     // by position; '\0' where a tile has been laid
    std::array<int, kTiles> places_{};       // by position: where it stands
    std::array<WordCell, kTiles> wordRow_{}; // by place
    int laidCount_ = 0;
    int chosen_ = 0;
};
