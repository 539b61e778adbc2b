#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <span>
#include <vector>

// How common a word is: the SCOWL size at which it first appears, from 10 (the commonest words)
// to 95; kRareWord for a word of none of those lists.
using Familiarity = quint8;
constexpr Familiarity kRareWord = 100;

// The dictionary's words of up to ten letters, found by their letters in alphabetical order:
// "pinfall" is filed under "afillnp". Each word carries how common it is.
//
// A key packs the sorted letters five bits each (a = 1 .. z = 26), the first letter highest, so
// that keys sort as their letters do and all keys that start with the same letters form one
// range: the solver narrows that range letter by letter.
class WordIndex {
public:
    static constexpr int kLongestWord = 10;
    static constexpr int kBitsPerLetter = 5;

    struct Entry {
        quint64 key = 0;
        quint32 start = 0; // where the word starts in the index's text
        quint8 length = 0;
        Familiarity familiarity = kRareWord;
    };

    // From the dictionary's record file (15-byte records: a count byte, the word in capitals
    // padded with blanks, ascending) and the familiarity list ("size N" lines, each followed by
    // the words first seen at that size). Records that are not plain words of up to ten letters
    // are left out; a word the familiarity list does not name is rare.
    WordIndex(QByteArrayView records, QByteArrayView familiarityList);

    // The program's own lists, indexed the first time anybody asks.
    static const WordIndex& builtIn();

    // The key of letters already in alphabetical order, a to z only, at most ten of them.
    static quint64 keyOf(QByteArrayView sortedLetters);
    // The key of `count` letters followed by one more: what a prefix adds.
    static quint64 extend(quint64 key, int count, char letter);
    // Every key that starts with the `count` letters of `prefix` lies in [prefix, prefix + span).
    static quint64 prefixSpan(int count) { return quint64{1} << (kBitsPerLetter * (kLongestWord - count)); }

    // The entries with keys in [from, to).
    std::span<const Entry> range(quint64 from, quint64 to) const;
    std::span<const Entry> entries() const { return entries_; }
    QByteArrayView word(const Entry& entry) const
    {
        return QByteArrayView(text_).sliced(entry.start, entry.length);
    }
    std::size_t bytesUsed() const
    {
        return static_cast<std::size_t>(text_.capacity()) + entries_.capacity() * sizeof(Entry);
    }

private:
    QByteArray text_;            // the words in lower case, back to back
    std::vector<Entry> entries_; // ascending by key
};
