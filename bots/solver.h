#pragma once

#include "wordindex.h"

#include <QByteArray>
#include <QByteArrayView>

#include <array>
#include <functional>
#include <vector>

// A word a rack can make, and which of the rack's tiles it takes.
struct FoundWord {
    QByteArrayView word; // lower case, kept by the index
    quint16 tiles = 0;   // bit i: tile i of the rack's letters in alphabetical order
    Familiarity familiarity = kRareWord;
};

// Every word a rack of up to ten tiles can make, each word once.
struct RackWords {
    QByteArray letters; // the rack's letters, alphabetical
    std::vector<FoundWord> words;

    quint16 allTiles() const { return static_cast<quint16>((1U << letters.size()) - 1); }
    // The letters of the tiles in `tiles`.
    QByteArray lettersOf(quint16 tiles) const;
};

// For every subset of a rack's tiles, the longest word those tiles can make: an index into
// RackWords::words, or -1. A subset is a bit mask over the rack's sorted tiles.
using LongestWords = std::array<int, 1U << WordIndex::kLongestWord>;

// One player's best use of a rack: a ten-letter word (a strike), or two words that knock down
// as many pins as the rack allows.
struct Play {
    QByteArray first;
    QByteArray second; // from the tiles the first leaves; empty after a strike or when none fits

    int pins() const { return static_cast<int>(first.size() + second.size()); }
};

// Finds the words in a rack. A rack's words are found by walking its letters in alphabetical
// order and narrowing the index's range of keys letter by letter: a combination of tiles that
// starts no word is never extended.
class Solver {
public:
    // Without an index of its own, the program's built-in one, built on first use.
    Solver() = default;
    explicit Solver(const WordIndex& index) : index_(&index) {}

    // Letters other than a to z are left out (in any case, as they arrive).
    RackWords wordsIn(QByteArrayView rack) const;
    // The best play: a strike if the rack spells one, else the first word that leaves the
    // longest second word, the longer first word on a tie.
    Play bestPlay(QByteArrayView rack) const;

    // The longest word of each subset of the rack's tiles, among the words `counts` accepts.
    static LongestWords longestWithin(const RackWords& rack,
                                      const std::function<bool(const FoundWord&)>& counts);
    // The best play among the words `counts` accepts.
    static Play bestPlay(const RackWords& rack, const std::function<bool(const FoundWord&)>& counts);

private:
    void search(RackWords& found, int start, int count, quint64 key, quint16 tiles,
                std::span<const WordIndex::Entry> range) const;

    const WordIndex& index() const { return index_ != nullptr ? *index_ : WordIndex::builtIn(); }

    const WordIndex* index_ = nullptr;
};
