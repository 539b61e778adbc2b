#include "missedwords.h"

#include "gamerules.h"

#include <algorithm>
#include <tuple>

MissedWords MissedWords::of(const Solver& solver, QByteArrayView letters, const QList<QByteArray>& played)
{
    const RackWords rack = solver.wordsIn(letters);
    MissedWords result;
    result.best = Solver::bestPlay(rack, [](const FoundWord&) { return true; });
    std::vector<FoundWord> others;
    for (const FoundWord& word : rack.words) {
        const QByteArray text = word.word.toByteArray();
        if (!played.contains(text) && text != result.best.first && text != result.best.second)
            others.push_back(word);
    }
    // The longest first; among equals the commoner word, then the alphabet.
    std::sort(others.begin(), others.end(), [](const FoundWord& a, const FoundWord& b) {
        return std::tuple(-a.word.size(), a.familiarity, a.word) <
               std::tuple(-b.word.size(), b.familiarity, b.word);
    });
    for (std::size_t i = 0; i < others.size() && i < kLongestShown; ++i)
        result.missed << others[i].word.toByteArray();
    return result;
}

QString MissedWords::line() const
{
    if (best.first.isEmpty())
        return {};
    const auto upper = [](const QByteArray& word) { return QString::fromLatin1(word).toUpper(); };
    QString text = QStringLiteral("Best play: ") + upper(best.first);
    if (best.first.size() == Rules::kPins)
        text += QStringLiteral(", a strike.");
    else if (best.second.isEmpty())
        text += QStringLiteral(", %1 pins.").arg(best.pins());
    else
        text += QStringLiteral(" + %1, %2.")
                    .arg(upper(best.second), best.pins() == Rules::kPins
                                                 ? QStringLiteral("a spare")
                                                 : QStringLiteral("%1 pins").arg(best.pins()));
    if (!missed.isEmpty()) {
        QStringList words;
        for (const QByteArray& word : missed)
            words << upper(word);
        text += QStringLiteral(" Missed: ") + words.join(QStringLiteral(", ")) + QLatin1Char('.');
    }
    return text;
}
