#include "linkfinder.h"

#include <array>

namespace {

constexpr std::array<const char*, 8> kPrefixes{"http://",   "ftp://", "file://", "gopher://",
                                               "telnet://", "news:",  "mailto:", "www."};

bool isBreak(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\r') || c == QLatin1Char('\n') ||
           c == QChar::ParagraphSeparator || c == QChar::LineSeparator || c == QLatin1Char('\t');
}

bool keepsAtEnd(QChar lower)
{
    return lower == QLatin1Char('/') || (lower >= QLatin1Char('0') && lower <= QLatin1Char('9')) ||
           (lower >= QLatin1Char('a') && lower <= QLatin1Char('z'));
}

} // namespace

std::optional<ChatLink> findLink(QStringView text, qsizetype position)
{
    if (position < 0 || position >= text.size() || isBreak(text[position]))
        return std::nullopt;
    qsizetype start = position;
    while (start > 0 && !isBreak(text[start - 1]))
        --start;
    qsizetype end = position;
    while (end < text.size() && !isBreak(text[end]))
        ++end;
    const QStringView word = text.mid(start, end - start);
    const QString lower = word.toString().toLower();

    for (const char* prefix : kPrefixes) {
        const QLatin1String wanted(prefix);
        const qsizetype at = lower.indexOf(wanted);
        if (at < 0)
            continue;
        qsizetype last = word.size();
        while (last > at && !keepsAtEnd(lower[last - 1]))
            --last;
        if (last - at <= wanted.size())
            return std::nullopt;
        return ChatLink{start + at, last - at, word.mid(at, last - at).toString()};
    }
    return std::nullopt;
}
