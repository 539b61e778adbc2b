#pragma once

#include <QByteArray>
#include <QFile>
#include <QHash>
#include <QList>
#include <QString>

#include <algorithm>
#include <optional>
#include <utility>

// The words of the host's list, looked up by their letters.
class WordFinder {
public:
    explicit WordFinder(const QString& path)
    {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return;
        while (!file.atEnd()) {
            const QByteArray word = file.readLine().trimmed();
            const bool plain =
                std::all_of(word.begin(), word.end(), [](char c) { return c >= 'a' && c <= 'z'; });
            if (plain && word.size() >= 2 && word.size() <= 10)
                byLetters_.insert(sorted(word), word);
        }
    }

    bool loaded() const { return !byLetters_.isEmpty(); }

    // A word made of exactly these letters; empty if the list has none.
    QByteArray usingAll(const QByteArray& letters) const { return byLetters_.value(sorted(letters)); }

    // Words made of some of these letters, not all of them.
    QList<QByteArray> usingSome(const QByteArray& letters) const
    {
        QList<QByteArray> words;
        forEachPart(letters, [&](unsigned mask) {
            if (const QByteArray word = usingAll(part(letters, mask)); !word.isEmpty())
                words.append(word);
        });
        return words;
    }

    // Two words that use up the letters between them: a spare.
    std::optional<std::pair<QByteArray, QByteArray>> split(const QByteArray& letters) const
    {
        std::optional<std::pair<QByteArray, QByteArray>> found;
        const unsigned all = (1U << letters.size()) - 1;
        forEachPart(letters, [&](unsigned mask) {
            if (found)
                return;
            const QByteArray first = usingAll(part(letters, mask));
            const QByteArray second = usingAll(part(letters, all & ~mask));
            if (!first.isEmpty() && !second.isEmpty())
                found = std::pair(first, second);
        });
        return found;
    }

private:
    static QByteArray sorted(QByteArray letters)
    {
        std::sort(letters.begin(), letters.end());
        return letters;
    }
    static QByteArray part(const QByteArray& letters, unsigned mask)
    {
        QByteArray chosen;
        for (qsizetype i = 0; i < letters.size(); ++i) {
            if ((mask & (1U << i)) != 0)
                chosen += letters[i];
        }
        return chosen;
    }
    template <typename Visit> static void forEachPart(const QByteArray& letters, Visit visit)
    {
        const unsigned all = (1U << letters.size()) - 1;
        for (unsigned mask = 1; mask < all; ++mask)
            visit(mask);
    }

    QHash<QByteArray, QByteArray> byLetters_;
};
