#pragma once

#include <QByteArray>

#include <vector>

// The ten-letter words the host deals from, kept as a string table: identifiers 0 to 12969
// hold a word, in alphabetical order; the identifiers up to 13085 hold none.
class DealWords {
public:
    static constexpr int kIdentifiers = 13086;

    DealWords();

    // The word with that identifier, or an empty text where there is none.
    QByteArray GetString(int id) const;

    int count() const { return static_cast<int>(starts_.size()); }

private:
    // The built-in list, one word a line, and where each word starts in it: one block rather
    // than a string for each of the thirteen thousand words.
    QByteArray text_;
    std::vector<quint32> starts_;
};
