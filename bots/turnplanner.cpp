#include "turnplanner.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr double kNever = std::numeric_limits<double>::infinity();
constexpr double kDecision = 0.6;      // between seeing a word and starting to type it
constexpr double kSpread = 0.7;        // of the time to see a word, on a log scale
constexpr double kCommonLength = 5.0;  // the length searchSeconds is given for
constexpr double kLengthEffort = 1.6;  // longer words are harder to see, more than in proportion
constexpr double kRarityEffort = 40.0; // each 40 sizes of SCOWL add the time of a common word
constexpr Familiarity kCommonest = 10;

std::size_t at(int index)
{
    return static_cast<std::size_t>(index);
}

} // namespace

TurnPlanner::TurnPlanner(const LevelTraits& level, const Solver& solver, quint32 seed)
    : level_(level),
      solver_(solver),
      random_(seed)
{}

std::vector<double> TurnPlanner::seenTimes(const RackWords& rack, double now)
{
    std::lognormal_distribution<double> spread(0.0, kSpread);
    std::vector<double> seen;
    seen.reserve(rack.words.size());
    for (const FoundWord& word : rack.words) {
        const double length = std::pow(static_cast<double>(word.word.size()) / kCommonLength, kLengthEffort);
        const double rarity = 1.0 + (word.familiarity - kCommonest) / kRarityEffort;
        const double effort = level_.searchSeconds * length * rarity * spread(random_);
        seen.push_back(knows(word) ? now + effort : kNever);
    }
    return seen;
}

double TurnPlanner::typing(QByteArrayView word) const
{
    return kDecision + level_.secondsPerLetter * static_cast<double>(word.size());
}

std::optional<TimedWord> TurnPlanner::strike(const RackWords& rack, const std::vector<double>& seen,
                                             double before) const
{
    std::optional<TimedWord> first;
    for (std::size_t i = 0; i < rack.words.size(); ++i) {
        const FoundWord& word = rack.words[i];
        if (word.word.size() != WordIndex::kLongestWord || seen[i] >= before)
            continue;
        const double sent = seen[i] + typing(word.word);
        if (!first || sent < first->at)
            first = TimedWord{word.word.toByteArray(), sent};
    }
    return first;
}

std::vector<TimedWord> TurnPlanner::plan(QByteArrayView rack, int wordsLeft, double now, double end)
{
    const RackWords words = solver_.wordsIn(rack);
    const double last = end - kMargin;
    if (wordsLeft < 2 || words.letters.size() < WordIndex::kLongestWord) {
        const std::optional<TimedWord> word = lastWord(words, now, end, std::nullopt);
        return word ? std::vector<TimedWord>{*word} : std::vector<TimedWord>{};
    }
    const std::vector<double> seen = seenTimes(words, now);
    const double settle = now + level_.commitShare * (end - now);
    if (const std::optional<TimedWord> ten = strike(words, seen, settle); ten && ten->at <= last)
        return {*ten};

    // What each first word leaves, as far as this player can tell.
    const LongestWords within =
        level_.plansAhead ? Solver::longestWithin(words, [this](const FoundWord& w) { return knows(w); })
                          : LongestWords{};
    const auto secondAfter = [&](const FoundWord& first) {
        const int second = level_.plansAhead ? within[words.allTiles() & ~first.tiles] : -1;
        return second < 0 ? QByteArrayView() : words.words[at(second)].word;
    };
    const auto worth = [&](std::size_t i) {
        const qsizetype length = words.words[i].word.size();
        return 16 * (length + secondAfter(words.words[i]).size()) + length;
    };
    int chosen = -1;
    for (std::size_t i = 0; i < words.words.size(); ++i) {
        if (seen[i] <= settle && (chosen < 0 || worth(i) > worth(at(chosen))))
            chosen = static_cast<int>(i);
    }
    if (chosen < 0) {
        // Nothing yet: the first word that comes to mind.
        const auto earliest = std::min_element(seen.begin(), seen.end());
        if (earliest == seen.end() || *earliest == kNever)
            return {};
        chosen = static_cast<int>(earliest - seen.begin());
    }
    const FoundWord& first = words.words[at(chosen)];
    const double sent = std::max(settle, seen[at(chosen)]) + typing(first.word);
    if (sent > last)
        return {};
    std::vector<TimedWord> played{{first.word.toByteArray(), sent}};
    const QByteArray rest = words.lettersOf(words.allTiles() & ~first.tiles);
    const QByteArrayView planned = secondAfter(first);
    if (const std::optional<TimedWord> second = lastWord(
            solver_.wordsIn(rest), sent, end, planned.isEmpty() ? std::nullopt : std::optional(planned)))
        played.push_back(*second);
    return played;
}

std::optional<TimedWord> TurnPlanner::lastWord(const RackWords& rack, double now, double end,
                                               std::optional<QByteArrayView> alreadySeen)
{
    std::vector<double> seen = seenTimes(rack, now);
    for (std::size_t i = 0; i < rack.words.size(); ++i) {
        if (alreadySeen && rack.words[i].word == *alreadySeen)
            seen[i] = now;
    }
    const double last = end - kMargin;
    const auto sentAt = [&](std::size_t i, double from) {
        return std::max(from, seen[i]) + typing(rack.words[i].word);
    };

    // All the tiles at once: there is nothing better to wait for.
    std::optional<TimedWord> best;
    for (std::size_t i = 0; i < rack.words.size(); ++i) {
        if (rack.words[i].tiles == rack.allTiles() && sentAt(i, now) <= last &&
            (!best || sentAt(i, now) < best->at))
            best = TimedWord{rack.words[i].word.toByteArray(), sentAt(i, now)};
    }
    if (best)
        return best;
    // Else the longest seen while there is time to type it, sent at the last moment.
    const double settle = last - typing(QByteArray(rack.letters.size(), 'x'));
    int chosen = -1;
    for (std::size_t i = 0; i < rack.words.size(); ++i) {
        if (seen[i] <= settle &&
            (chosen < 0 || rack.words[i].word.size() > rack.words[at(chosen)].word.size()))
            chosen = static_cast<int>(i);
    }
    if (chosen < 0) {
        const auto earliest = std::min_element(seen.begin(), seen.end());
        if (earliest == seen.end() || *earliest == kNever)
            return std::nullopt;
        chosen = static_cast<int>(earliest - seen.begin());
    }
    const double sent = sentAt(at(chosen), settle);
    if (sent > last)
        return std::nullopt;
    return TimedWord{rack.words[at(chosen)].word.toByteArray(), sent};
}
