#include "invitecode.h"

#include <QList>
#include <QRandomGenerator>

InviteCode InviteCode::random(QRandomGenerator& generator)
{
    QString characters;
    for (int index = 0; index < kLength; ++index)
        characters += kAlphabet[generator.bounded(static_cast<int>(kAlphabet.size()))];
    return InviteCode(characters);
}

std::optional<InviteCode> InviteCode::parse(QStringView typed)
{
    QString characters;
    for (const QChar character : typed.trimmed()) {
        if (character == QLatin1Char('-') && characters.size() == kLength / 2)
            continue; // the dash the code is shown with, in its place only
        const QChar upper = character.toUpper();
        if (!kAlphabet.contains(upper) || characters.size() == kLength)
            return std::nullopt;
        characters += upper;
    }
    if (characters.size() != kLength)
        return std::nullopt;
    return InviteCode(characters);
}

QString InviteCode::shown() const
{
    return characters_.left(kLength / 2) + QLatin1Char('-') + characters_.mid(kLength / 2);
}

QString InviteCode::roomName() const
{
    return characters_.toLower();
}

namespace {
const QString kJoinLinkStart = QStringLiteral("pinfall://join/");
} // namespace

std::optional<InviteCode> InviteCode::fromJoinLink(QStringView link)
{
    link = link.trimmed();
    if (!link.startsWith(kJoinLinkStart, Qt::CaseInsensitive))
        return std::nullopt;
    QStringView code = link.mid(kJoinLinkStart.size());
    if (code.endsWith(u'/'))
        code.chop(1); // as some browsers hand it on
    return parse(code);
}

std::optional<InviteCode> InviteCode::fromPassedOn(QStringView text)
{
    for (const QStringView word : text.split(u' ', Qt::SkipEmptyParts)) {
        if (std::optional<InviteCode> code = parse(word))
            return code;
        if (std::optional<InviteCode> code = fromJoinLink(word))
            return code;
    }
    return std::nullopt;
}

QString InviteCode::joinLink() const
{
    return kJoinLinkStart + shown();
}
