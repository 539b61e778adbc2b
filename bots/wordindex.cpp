#include "wordindex.h"

#include <QResource>

#include <algorithm>
#include <array>
#include <optional>

namespace {

constexpr int kRecordSize = 15;
constexpr QByteArrayView kSizeLine = "size ";

// The words the familiarity list gives one size, alphabetical, and how far the walk through
// them has come.
struct SizeGroup {
    Familiarity familiarity = kRareWord;
    std::vector<QByteArrayView> words;
    std::size_t next = 0;

    bool holds(QByteArrayView word)
    {
        while (next < words.size() && words[next] < word)
            ++next;
        return next < words.size() && words[next] == word;
    }
};

std::vector<SizeGroup> sizeGroups(QByteArrayView list)
{
    std::vector<SizeGroup> groups;
    while (!list.isEmpty()) {
        const qsizetype end = list.indexOf('\n');
        const QByteArrayView line = list.first(end < 0 ? list.size() : end);
        list = end < 0 ? QByteArrayView() : list.sliced(end + 1);
        if (line.startsWith(kSizeLine)) {
            bool number = false;
            const int value = line.sliced(kSizeLine.size()).toInt(&number);
            groups.push_back(
                {number && value > 0 && value < kRareWord ? static_cast<Familiarity>(value) : kRareWord, {}});
        } else if (!line.isEmpty() && !line.startsWith('#') && !groups.empty()) {
            groups.back().words.push_back(line);
        }
    }
    return groups;
}

// The record's word in lower case, when it is a plain word the index keeps.
std::optional<QByteArrayView> plainWord(QByteArrayView record,
                                        std::array<char, WordIndex::kLongestWord>& word)
{
    const QByteArrayView letters = record.sliced(1).trimmed();
    if (letters.isEmpty() || letters.size() > WordIndex::kLongestWord)
        return std::nullopt;
    for (qsizetype i = 0; i < letters.size(); ++i) {
        if (letters[i] < 'A' || letters[i] > 'Z')
            return std::nullopt;
        word[static_cast<std::size_t>(i)] = static_cast<char>(letters[i] - 'A' + 'a');
    }
    return QByteArrayView(word.data(), letters.size());
}

} // namespace

quint64 WordIndex::extend(quint64 key, int count, char letter)
{
    return key | (static_cast<quint64>(letter - 'a' + 1) << (kBitsPerLetter * (kLongestWord - 1 - count)));
}

quint64 WordIndex::keyOf(QByteArrayView sortedLetters)
{
    quint64 key = 0;
    for (int i = 0; i < sortedLetters.size(); ++i)
        key = extend(key, i, sortedLetters[i]);
    return key;
}

WordIndex::WordIndex(QByteArrayView records, QByteArrayView familiarityList)
{
    // Records and every size's words are alphabetical: one walk through each.
    std::vector<SizeGroup> groups = sizeGroups(familiarityList);
    entries_.reserve(static_cast<std::size_t>(records.size() / kRecordSize));
    std::array<char, kLongestWord> buffer{};
    for (qsizetype at = 0; at + kRecordSize <= records.size(); at += kRecordSize) {
        const std::optional<QByteArrayView> word = plainWord(records.sliced(at, kRecordSize), buffer);
        if (!word)
            continue;
        Familiarity familiarity = kRareWord;
        for (SizeGroup& group : groups) {
            if (group.holds(*word)) {
                familiarity = group.familiarity;
                break;
            }
        }
        std::array<char, kLongestWord> sorted = buffer;
        std::sort(sorted.begin(), sorted.begin() + word->size());
        entries_.push_back({keyOf(QByteArrayView(sorted.data(), word->size())),
                            static_cast<quint32>(text_.size()), static_cast<quint8>(word->size()),
                            familiarity});
        text_.append(word->data(), word->size());
    }
    std::sort(entries_.begin(), entries_.end(), [](const Entry& a, const Entry& b) { return a.key < b.key; });
    entries_.shrink_to_fit();
    text_.squeeze();
}

const WordIndex& WordIndex::builtIn()
{
    static const WordIndex index(QResource(QStringLiteral(":/TEXT_DEMO")).uncompressedData(),
                                 QResource(QStringLiteral(":/familiarity.txt")).uncompressedData());
    return index;
}

std::span<const WordIndex::Entry> WordIndex::range(quint64 from, quint64 to) const
{
    const auto byKey = [](const Entry& entry, quint64 key) { return entry.key < key; };
    const auto first = std::lower_bound(entries_.begin(), entries_.end(), from, byKey);
    const auto last = std::lower_bound(first, entries_.end(), to, byKey);
    return {first, last};
}
