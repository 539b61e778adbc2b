#include "messages.h"

#include "messagebuilder.h"

namespace {

QByteArray joined(QByteArrayView first, QByteArrayView separator, QByteArrayView second)
{
    QByteArray text;
    text.reserve(first.size() + separator.size() + second.size());
    text.append(first).append(separator).append(second);
    return text;
}

QByteArray rollBlock(const PlayerReport& player)
{
    const QList<QByteArray> values{
        QByteArray::number(player.slot),
        QByteArray::number(player.score),
        QByteArray::number(player.frame.roll1),
        QByteArray::number(player.frame.roll2),
        QByteArray::number(player.frame.roll3),
        player.words[0],
        player.words[1],
        player.words[2],
    };
    return values.join('*');
}

QByteArray totalsBlock(const PlayerReport& player)
{
    QByteArray block = QByteArray::number(player.slot);
    for (int frame = 1; frame <= 10; ++frame)
        block += '#' + QByteArray::number(frame) + '#' + QByteArray::number(player.totals[frame - 1]);
    return block;
}

} // namespace

namespace ToClient {

QByteArray sendlogininfo(int slot)
{
    return Message(CMD_sendlogininfo).field(slot).end();
}

QByteArray full()
{
    return Message(CMD_full).endWithPlus();
}

QByteArray newplayerinfo(int slot, QByteArrayView name)
{
    return Message(CMD_newplayerinfo).field(slot).field(name).end();
}

QByteArray existingplayers(int slot, QByteArrayView name)
{
    return Message(CMD_existingplayers).field(slot).field(name).end();
}

QByteArray havewrongversion(QByteArrayView name)
{
    return Message(CMD_havewrongversion).field(name).end();
}

QByteArray wrongversion()
{
    return Message(CMD_wrongversion).endWithPlus();
}

QByteArray loadstats(int slot, int secondsPerTurn, bool teamGame, int countdown,
                     const std::array<int, 4>& scores)
{
    Message message(CMD_loadstats);
    message.field(slot).field(secondsPerTurn).field(teamGame ? "t" : "f").field(countdown);
    for (int score : scores)
        message.field(score);
    return message.endWithPlus();
}

QByteArray playerdisconnected(int slot, QByteArrayView name)
{
    return Message(CMD_playerdisconnected).field(slot).field(name).end();
}

QByteArray justwatching(int slot, bool watching)
{
    return Message(CMD_justwatching).field(slot).field(watching ? "1" : "2").end();
}

QByteArray action(QByteArrayView name, QByteArrayView textAndColour)
{
    return Message(CMD_action).field(joined(name, " ", textAndColour)).end();
}

QByteArray chat(QByteArrayView name, QByteArrayView textAndColour)
{
    return Message(CMD_chat).field(joined(name, " chats: ", textAndColour)).end();
}

QByteArray startgame(QByteArrayView name, int secondsPerTurn, QByteArrayView teamFlag)
{
    return Message(CMD_startgame).field(name).field(secondsPerTurn).field(teamFlag).endWithPlus();
}

QByteArray theletters(int slotField, const QList<DealtTile>& tiles)
{
    Message message(CMD_theletters);
    message.field(slotField);
    for (const DealtTile& tile : tiles)
        message.field(tile.position).field(QByteArrayView(&tile.letter, 1));
    return message.end();
}

QByteArray nextplayer(int slotField, int frame)
{
    return Message(CMD_nextplayer).field(slotField).field(frame).endWithPlus();
}

QByteArray worderror(int slot)
{
    return Message(CMD_worderror).field(slot).endWithPlus();
}

QByteArray goodword(int slot, int frame, int score, int wordNumber, int pins)
{
    return Message(CMD_goodword)
        .field(slot)
        .field(frame)
        .field(score)
        .field(wordNumber)
        .field(pins)
        .endWithPlus();
}

QByteArray timeisup()
{
    return Message(CMD_timeisup).endWithPlus();
}

QByteArray postscores(int frame, QByteArrayView answer, const QList<QByteArray>& dealWords,
                      const std::array<PlayerReport, 4>& players)
{
    Message message(CMD_postscores);
    message.field(frame).field(answer);
    for (const QByteArray& word : dealWords)
        message.field(word);
    for (const PlayerReport& player : players)
        message.field(rollBlock(player)).field(totalsBlock(player));
    return message.end();
}

QByteArray winner(const QList<int>& slots)
{
    Message message(CMD_winner);
    for (int slot : slots)
        message.field(slot);
    return message.endWithPlus();
}

QByteArray seattoken(int slot, QByteArrayView token)
{
    return Message(CMD_seattoken).field(slot).field(token).endWithPlus();
}

QByteArray playeraway(int slot, QByteArrayView name)
{
    return Message(CMD_playeraway).field(slot).field(name).end();
}

QByteArray seatgone()
{
    return Message(CMD_seatgone).endWithPlus();
}

QByteArray gameclosed()
{
    return Message(CMD_gameclosed).endWithPlus();
}

QByteArray backinframe(int slot, const FrameInPlay& frame)
{
    return Message(CMD_backinframe)
        .field(slot)
        .field(frame.frame)
        .field(frame.secondsLeft)
        .field(frame.rolls.roll1)
        .field(frame.rolls.roll2)
        .field(frame.rolls.roll3)
        .field(frame.tiles)
        .field(frame.deal)
        .endWithPlus();
}

} // namespace ToClient

namespace ToHost {

QByteArray logininfo(int slot, QByteArrayView version, QByteArrayView name)
{
    return Message(CMD_logininfo).field(slot).field(version).field(name).end() + MessageReader::kTerminator;
}

QByteArray chat(int slot, QByteArrayView text, QByteArrayView colour)
{
    return Message(CMD_chat).field(slot).field(joined(text, "|", colour)).end();
}

QByteArray action(int slot, QByteArrayView text, QByteArrayView colour)
{
    return Message(CMD_action).field(slot).field(joined(text, "|", colour)).end();
}

QByteArray kickhim(int slot, int target)
{
    return Message(CMD_kickhim).field(slot).field(target).endWithPlus();
}

QByteArray startgame(QByteArrayView name, QByteArrayView secondsPerTurn, bool teamGame)
{
    return Message(CMD_startgame).field(name).field(secondsPerTurn).field(teamGame ? "t" : "f").endWithPlus();
}

QByteArray justwatch(int slot, bool watching)
{
    return Message(CMD_justwatch).field(slot).field(watching ? "1" : "2").end();
}

QByteArray sendword(int slot, const QList<int>& positions)
{
    Message message(CMD_sendword);
    message.field(slot);
    for (int position : positions)
        message.field(position);
    return message.end();
}

QByteArray returning(int slot, QByteArrayView token)
{
    return Message(CMD_returning).field(slot).field(token).endWithPlus();
}

QByteArray leaving(int slot)
{
    return Message(CMD_leaving).field(slot).endWithPlus();
}

} // namespace ToHost
