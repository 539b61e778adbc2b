#include "announcement.h"

#include "fieldreader.h"
#include "gamerules.h"
#include "messagebuilder.h"

#include <algorithm>

namespace {

// Letters, digits and a few marks: what instance ids and versions are made of.
bool isPlainToken(QByteArrayView text, qsizetype longest)
{
    return !text.isEmpty() && text.size() <= longest && std::all_of(text.begin(), text.end(), [](char c) {
        return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '.' ||
               c == '-';
    });
}

// A name is shown in a list: no control characters, and no longer than a player's name.
bool isShowableName(QByteArrayView name)
{
    return !name.isEmpty() && name.size() <= Rules::kLongestName &&
           std::all_of(name.begin(), name.end(),
                       [](char c) { return static_cast<unsigned char>(c) >= 0x20; });
}

// The terminator and control characters cannot travel in a name: they become "?".
QByteArray showableName(QByteArray name)
{
    name.truncate(Rules::kLongestName);
    for (char& c : name) {
        if (static_cast<unsigned char>(c) < 0x20 || c == MessageReader::kTerminator)
            c = '?';
    }
    return name;
}

int takeNumber(FieldReader& fields, int lowest, int highest)
{
    const int number = fields.takeInt();
    if (number < lowest || number > highest)
        throw ProtocolError("out of range");
    return number;
}

QByteArray takeToken(FieldReader& fields, qsizetype longest)
{
    QByteArray token = fields.take();
    if (!isPlainToken(token, longest))
        throw ProtocolError("not a token");
    return token;
}

GameAnnouncement readAnnouncement(FieldReader& fields)
{
    GameAnnouncement game;
    game.instance = takeToken(fields, Discovery::kLongestInstance);
    game.version = takeToken(fields, Discovery::kLongestVersion);
    game.port = static_cast<quint16>(takeNumber(fields, 1, 65535));
    game.players = takeNumber(fields, 0, Rules::kPlayerSlots);
    game.spectators = takeNumber(fields, 0, Rules::kLastSlot - Rules::kPlayerSlots);
    game.frame = takeNumber(fields, 0, Rules::kFrames);
    // The name comes last, so that it may hold "+".
    game.hostName = fields.rest();
    if (!isShowableName(game.hostName))
        throw ProtocolError("no name to show");
    return game;
}

} // namespace

namespace Discovery {

QByteArray query()
{
    return Message(CMD_findgames).end();
}

QByteArray announcement(const GameAnnouncement& game)
{
    return Message(CMD_gamehere)
        .field(game.instance)
        .field(game.version)
        .field(game.port)
        .field(game.players)
        .field(game.spectators)
        .field(game.frame)
        .field(showableName(game.hostName))
        .end();
}

QByteArray goodbye(QByteArrayView instance)
{
    return Message(CMD_gamegone).field(instance).end();
}

std::optional<Datagram> read(QByteArrayView datagram)
{
    if (datagram.size() > kLongestDatagram || !datagram.endsWith(MessageReader::kTerminator))
        return std::nullopt;
    const QByteArrayView body = datagram.chopped(1);
    if (body.contains(MessageReader::kTerminator))
        return std::nullopt;
    const qsizetype plus = body.indexOf('+');
    const QByteArrayView command = plus < 0 ? body : body.first(plus);
    FieldReader fields(plus < 0 ? QByteArray() : body.sliced(plus + 1).toByteArray());
    try {
        if (command == CMD_findgames && plus < 0)
            return GamesQuery{};
        if (command == CMD_gamehere)
            return readAnnouncement(fields);
        if (command == CMD_gamegone) {
            GameGone gone{takeToken(fields, kLongestInstance)};
            if (fields.atEnd())
                return gone;
        }
    } catch (const ProtocolError&) {
    }
    return std::nullopt;
}

} // namespace Discovery
