#include "solver.h"

#include <algorithm>

namespace {

// Tiles showing the same letter are interchangeable: a word found with the first k of a run of
// equal letters fits any k of them. The canonical form of a subset takes, from each run, as many
// tiles as the subset does, from the run's start.
class Canonical {
public:
    explicit Canonical(QByteArrayView sortedLetters)
    {
        for (int i = 0; i < sortedLetters.size(); ++i)
            runStart_[static_cast<std::size_t>(i)] = i > 0 && sortedLetters[i] == sortedLetters[i - 1]
                                                         ? runStart_[static_cast<std::size_t>(i - 1)]
                                                         : i;
        count_ = static_cast<int>(sortedLetters.size());
    }

    quint16 of(unsigned tiles) const
    {
        unsigned canonical = 0;
        for (int i = 0; i < count_; ++i) {
            if ((tiles & (1U << i)) == 0)
                continue;
            // The first tile of the run not yet taken.
            int taken = runStart_[static_cast<std::size_t>(i)];
            while ((canonical & (1U << taken)) != 0)
                ++taken;
            canonical |= 1U << taken;
        }
        return static_cast<quint16>(canonical);
    }

private:
    std::array<int, WordIndex::kLongestWord> runStart_{};
    int count_ = 0;
};

bool longer(const RackWords& rack, int candidate, int best)
{
    return best < 0 || rack.words[static_cast<std::size_t>(candidate)].word.size() >
                           rack.words[static_cast<std::size_t>(best)].word.size();
}

} // namespace

QByteArray RackWords::lettersOf(quint16 tiles) const
{
    QByteArray chosen;
    for (int i = 0; i < letters.size(); ++i) {
        if ((tiles & (1U << i)) != 0)
            chosen += letters[i];
    }
    return chosen;
}

RackWords Solver::wordsIn(QByteArrayView rack) const
{
    RackWords found;
    for (const char c : rack) {
        const char lower = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
        if (lower >= 'a' && lower <= 'z' && found.letters.size() < WordIndex::kLongestWord)
            found.letters += lower;
    }
    std::sort(found.letters.begin(), found.letters.end());
    search(found, 0, 0, 0, 0, index().entries());
    return found;
}

void Solver::search(RackWords& found, int start, int count, quint64 key, quint16 tiles,
                    std::span<const WordIndex::Entry> range) const
{
    const QByteArrayView letters = found.letters;
    for (int i = start; i < letters.size(); ++i) {
        // The same letter again at this place would find the same words again.
        if (i > start && letters[i] == letters[i - 1])
            continue;
        const quint64 prefix = WordIndex::extend(key, count, letters[i]);
        const quint64 end = prefix + WordIndex::prefixSpan(count + 1);
        const auto byKey = [](const WordIndex::Entry& entry, quint64 k) { return entry.key < k; };
        const auto first = std::lower_bound(range.begin(), range.end(), prefix, byKey);
        const auto last = std::lower_bound(first, range.end(), end, byKey);
        if (first == last)
            continue;
        const auto chosen = static_cast<quint16>(tiles | (1U << i));
        // The words of exactly these letters come first in their range.
        auto entry = first;
        for (; entry != last && entry->key == prefix; ++entry)
            found.words.push_back({index().word(*entry), chosen, entry->familiarity});
        if (entry != last)
            search(found, i + 1, count + 1, prefix, chosen, {first, last});
    }
}

LongestWords Solver::longestWithin(const RackWords& rack, const std::function<bool(const FoundWord&)>& counts)
{
    LongestWords exactly;
    exactly.fill(-1);
    for (std::size_t i = 0; i < rack.words.size(); ++i) {
        if (counts(rack.words[i]) && longer(rack, static_cast<int>(i), exactly[rack.words[i].tiles]))
            exactly[rack.words[i].tiles] = static_cast<int>(i);
    }
    const Canonical canonical(rack.letters);
    LongestWords within;
    within.fill(-1);
    for (unsigned tiles = 1; tiles <= rack.allTiles(); ++tiles) {
        int best = exactly[canonical.of(tiles)];
        for (unsigned rest = tiles; rest != 0; rest &= rest - 1) {
            const int smaller = within[tiles & ~(rest & -rest)];
            if (smaller >= 0 && longer(rack, smaller, best))
                best = smaller;
        }
        within[tiles] = best;
    }
    return within;
}

Play Solver::bestPlay(const RackWords& rack, const std::function<bool(const FoundWord&)>& counts)
{
    const LongestWords within = longestWithin(rack, counts);
    const auto text = [&rack](int index) {
        return index < 0 ? QByteArray() : rack.words[static_cast<std::size_t>(index)].word.toByteArray();
    };
    Play best;
    for (const FoundWord& word : rack.words) {
        if (!counts(word))
            continue;
        const Play play{word.word.toByteArray(), text(within[rack.allTiles() & ~word.tiles])};
        if (play.pins() > best.pins() ||
            (play.pins() == best.pins() && play.first.size() > best.first.size()))
            best = play;
    }
    if (best.first.size() == WordIndex::kLongestWord)
        best.second.clear();
    return best;
}

Play Solver::bestPlay(QByteArrayView rack) const
{
    return bestPlay(wordsIn(rack), [](const FoundWord&) { return true; });
}
