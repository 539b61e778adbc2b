#include "clientmessages.h"

namespace FromClient {

LoginInfo loginInfo(FieldReader& fields)
{
    LoginInfo message;
    message.slot = fields.takeInt();
    message.version = fields.take();
    message.name = fields.rest();
    return message;
}

KickHim kickHim(FieldReader& fields)
{
    KickHim message;
    message.requester = fields.takeInt();
    message.target = fields.takeInt();
    return message;
}

Talk talk(FieldReader& fields)
{
    Talk message;
    message.slot = fields.takeInt();
    message.textAndColour = fields.rest();
    return message;
}

StartGame startGame(FieldReader& fields)
{
    StartGame message;
    message.name = fields.take();
    message.secondsPerTurn = fields.take();
    message.teamFlag = fields.take();
    return message;
}

JustWatch justWatch(FieldReader& fields)
{
    JustWatch message;
    message.slot = fields.takeInt();
    message.flag = fields.take();
    return message;
}

SendWord sendWord(FieldReader& fields)
{
    SendWord message;
    message.slot = fields.takeInt();
    while (!fields.atEnd())
        message.positions.append(fields.takeInt());
    return message;
}

Returning returning(FieldReader& fields)
{
    Returning message;
    message.slot = fields.takeInt();
    message.token = fields.take();
    return message;
}

Leaving leaving(FieldReader& fields)
{
    return {.slot = fields.takeInt()};
}

} // namespace FromClient
