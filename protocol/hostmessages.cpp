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
