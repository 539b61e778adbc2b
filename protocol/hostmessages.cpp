#include "hostmessages.h"

namespace FromHost {
namespace {

bool isPlayerSlot(int slot)
{
    return slot >= 1 && slot <= Rules::kPlayerSlots;
}

// A block of rolls ("slot*score*roll1*roll2*roll3*word*word*word") and one of totals
// ("slot#frame#total#frame#total...").
PlayerScores playerScores(const QByteArray& rollBlock, const QByteArray& totalsBlock)
{
    const QList<QByteArray> player = rollBlock.split('*');
    PlayerScores scores;
    scores.slot = parseDecimal(player.value(0));
    if (!isPlayerSlot(scores.slot))
        return scores;
    scores.score = parseDecimal(player.value(1));
    scores.rolls.roll1 = parseDecimal(player.value(2));
    scores.rolls.roll2 = parseDecimal(player.value(3));
    scores.rolls.roll3 = parseDecimal(player.value(4));
    for (std::size_t line = 0; line < scores.words.size(); ++line)
        scores.words[line] = player.value(5 + static_cast<qsizetype>(line));
    const QList<QByteArray> totals = totalsBlock.split('#');
    for (qsizetype pair = 1; pair + 1 < totals.size(); pair += 2)
        scores.totals.append({parseDecimal(totals[pair]), parseDecimal(totals[pair + 1])});
    return scores;
}

} // namespace

int slot(FieldReader& fields)
{
    return fields.takeInt();
}

NextPlayer nextPlayer(FieldReader& fields)
{
    NextPlayer message;
    message.slot = fields.takeInt();
    message.frame = fields.takeInt();
    return message;
}

SlotName slotName(FieldReader& fields)
{
    SlotName message;
    message.slot = fields.takeInt();
    message.name = fields.rest();
    return message;
}

Watching watching(FieldReader& fields)
{
    Watching message;
    message.slot = fields.takeInt();
    message.watching = fields.take() == "1";
    return message;
}

GameStart gameStart(FieldReader& fields)
{
    constexpr int kUsualSeconds = 90;
    GameStart message;
    message.starter = fields.take();
    try {
        message.secondsPerTurn = parseDecimal(fields.take());
    } catch (const ProtocolError&) {
        message.secondsPerTurn = kUsualSeconds;
    }
    message.teamGame = fields.take() == "t";
    return message;
}

Letters letters(FieldReader& fields)
{
    Letters message;
    message.slot = fields.takeInt();
    while (!fields.atEnd()) {
        Letters::Tile tile;
        tile.position = fields.takeInt();
        const QByteArray letter = fields.take();
        tile.letter = letter.isEmpty() ? '\0' : letter.front();
        message.tiles.append(tile);
    }
    return message;
}

GoodWord goodWord(FieldReader& fields)
{
    GoodWord message;
    message.slot = fields.takeInt();
    message.frame = fields.takeInt();
    message.score = fields.takeInt();
    message.word = fields.takeInt();
    message.pins = fields.takeInt();
    return message;
}

ChatLine chatLine(FieldReader& fields)
{
    const QByteArray relayed = fields.rest();
    const qsizetype bar = relayed.indexOf('|');
    if (bar < 0)
        return {relayed, {}};
    return {relayed.left(bar), relayed.mid(bar + 1)};
}

PostScores postScores(FieldReader& fields)
{
    PostScores message;
    message.frame = fields.takeInt();
    message.answer = fields.take();
    const int dealWords = message.frame == Rules::kFrames ? 3 : 1;
    for (int word = 0; word < dealWords; ++word)
        message.dealWords.append(fields.take());
    for (PlayerScores& player : message.players) {
        const QByteArray rollBlock = fields.take();
        player = playerScores(rollBlock, fields.take());
    }
    return message;
}

LoadStats loadStats(FieldReader& fields)
{
    LoadStats message;
    message.slot = fields.takeInt();
    message.secondsPerTurn = fields.takeInt();
    message.teamFlag = fields.take();
    message.countdown = fields.takeInt();
    for (int& score : message.scores)
        score = fields.takeInt();
    return message;
}

SeatToken seatToken(FieldReader& fields)
{
    SeatToken message;
    message.slot = fields.takeInt();
    message.token = fields.take();
    return message;
}

BackInFrame backInFrame(FieldReader& fields)
{
    BackInFrame message;
    message.slot = fields.takeInt();
    message.frame = fields.takeInt();
    message.secondsLeft = fields.takeInt();
    message.rolls.roll1 = fields.takeInt();
    message.rolls.roll2 = fields.takeInt();
    message.rolls.roll3 = fields.takeInt();
    message.tiles = fields.take();
    message.deal = fields.take();
    return message;
}

QList<int> winners(FieldReader& fields)
{
    QList<int> slots;
    while (!fields.atEnd()) {
        const QByteArray field = fields.take();
        if (!field.isEmpty())
            slots << parseDecimal(field);
    }
    return slots;
}

} // namespace FromHost
