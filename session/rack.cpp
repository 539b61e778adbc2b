#include "rack.h"

namespace {

std::size_t at(int oneBased)
{
    return static_cast<std::size_t>(oneBased - 1);
}

} // namespace

Rack::Rack()
{
    for (int position = 1; position <= kTiles; ++position)
        places_[at(position)] = position - 1;
}

char Rack::letterAt(int position) const
{
    return validPosition(position) ? letters_[at(position)] : '\0';
}

QByteArray Rack::standingLetters() const
{
    QByteArray letters;
    for (int position = 1; position <= kTiles; ++position) {
        if (const char letter = letterAt(position); letter != '\0')
            letters += letter;
    }
    return letters;
}

int Rack::placeOf(int position) const
{
    return validPosition(position) ? places_[at(position)] : 0;
}

const Rack::WordCell& Rack::wordCell(int place) const
{
    static constexpr WordCell kNone;
    return validPosition(place) ? wordRow_[at(place)] : kNone;
}

std::array<int, Rack::kTiles> Rack::laidPositions() const
{
    std::array<int, kTiles> positions{};
    for (int place = 1; place <= laidCount_; ++place)
        positions[at(place)] = wordRow_[at(place)].position;
    return positions;
}

int Rack::positionOf(char letter) const
{
    for (int position = 1; position <= kTiles; ++position) {
        if (letter != '\0' && letters_[at(position)] == letter)
            return position;
    }
    return 0;
}

void Rack::deal(int position, char letter)
{
    if (validPosition(position))
        letters_[at(position)] = letter;
}

void Rack::dealt()
{
    laidCount_ = 0;
    chosen_ = 0;
    wordRow_.fill(WordCell{});
}

bool Rack::lay(int position)
{
    if (laidCount_ >= kTiles || letterAt(position) == '\0')
        return false;
    ++laidCount_;
    wordRow_[at(laidCount_)] = {WordCell::Shows::Tile, letters_[at(position)], position};
    letters_[at(position)] = '\0'; // a gap where the tile was
    return true;
}

void Rack::takeBack(int place)
{
    WordCell& cell = wordRow_[at(place)];
    if (validPosition(cell.position))
        letters_[at(cell.position)] = cell.letter;
    cell = WordCell{};
}

bool Rack::takeBackLast()
{
    if (laidCount_ == 0)
        return false;
    takeBack(laidCount_);
    --laidCount_;
    return true;
}

bool Rack::takeBackAll()
{
    if (laidCount_ == 0)
        return false;
    for (int place = 1; place <= laidCount_; ++place)
        takeBack(place);
    laidCount_ = 0;
    return true;
}

void Rack::swapPlaces(int position, int other)
{
    if (validPosition(position) && validPosition(other))
        std::swap(places_[at(position)], places_[at(other)]);
}

void Rack::knockDown(int pins, bool firstWord)
{
    // Compared this way round, no count from the host overflows.
    for (int place = 1; place <= kTiles; ++place) {
        const bool fallen = firstWord && pins > kTiles - place;
        wordRow_[at(place)] = {fallen ? WordCell::Shows::FallenPin : WordCell::Shows::StandingPin, '\0', 0};
    }
}

void Rack::showAnswer(const QByteArray& answer)
{
    for (int place = 1; place <= kTiles; ++place) {
        const char letter = place <= answer.size() ? answer[place - 1] : '\0';
        wordRow_[at(place)] = {WordCell::Shows::Tile, letter, 0};
    }
    letters_.fill('\0');
}
