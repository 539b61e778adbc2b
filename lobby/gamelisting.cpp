#include "gamelisting.h"

#include "gamerules.h"
#include "invitecode.h"
#include "stanzawriter.h"

namespace {

// A count within `most`; nothing for anything else.
std::optional<int> count(const XmlElement& element, QStringView name, int most)
{
    bool isNumber = false;
    const int value = element.attribute(name).toInt(&isNumber);
    return isNumber && value >= 0 && value <= most ? std::optional<int>(value) : std::nullopt;
}

} // namespace

XmlElement GameListing::toElement() const
{
    return makeElement(QStringLiteral("game"), kNamespace,
                       {{QStringLiteral("code"), code},
                        {QStringLiteral("version"), version},
                        {QStringLiteral("name"), hostName},
                        {QStringLiteral("players"), QString::number(players)},
                        {QStringLiteral("spectators"), QString::number(spectators)},
                        {QStringLiteral("frame"), QString::number(frame)}});
}

std::optional<GameListing> GameListing::fromPresence(const XmlElement& presence)
{
    const XmlElement* game = presence.child(u"game", kNamespace);
    if (game == nullptr)
        return std::nullopt;
    const std::optional<InviteCode> code = InviteCode::parse(game->attribute(u"code"));
    const std::optional<int> players = count(*game, u"players", Rules::kPlayerSlots);
    const std::optional<int> spectators = count(*game, u"spectators", Rules::kLastSlot - Rules::kPlayerSlots);
    const std::optional<int> frame = count(*game, u"frame", Rules::kFrames);
    if (!code || !players || !spectators || !frame)
        return std::nullopt;
    return GameListing{.code = code->shown(),
                       .version = game->attribute(u"version").left(32),
                       .hostName = game->attribute(u"name").left(Rules::kLongestName),
                       .players = *players,
                       .spectators = *spectators,
                       .frame = *frame};
}
