#pragma once

#include "fieldreader.h"

#include <QByteArray>
#include <QList>

// The messages a host reads from its participants, each read into a struct of its own. A
// reader takes the fields after the command word and its "+", whatever bytes they are, and
// throws ProtocolError for a field that should be a number and is not; it never judges the
// values, which is the host's business.
namespace FromClient {

struct LoginInfo {
    int slot = 0;
    QByteArray version;
    QByteArray name; // the rest of the message, "+" characters included

    friend bool operator==(const LoginInfo&, const LoginInfo&) = default;
};

struct KickHim {
    int requester = 0;
    int target = 0;

    friend bool operator==(const KickHim&, const KickHim&) = default;
};

// CMD_chat and CMD_action: the text, "|" and the colour, passed on as sent.
struct Talk {
    int slot = 0;
    QByteArray textAndColour;

    friend bool operator==(const Talk&, const Talk&) = default;
};

struct StartGame {
    QByteArray name;
    QByteArray secondsPerTurn; // as typed: not always a number
    QByteArray teamFlag;       // "t" for a team game; sent back as it came

    friend bool operator==(const StartGame&, const StartGame&) = default;
};

struct JustWatch {
    int slot = 0;
    QByteArray flag; // "1" to sit out, "2" to play again

    friend bool operator==(const JustWatch&, const JustWatch&) = default;
};

struct SendWord {
    int slot = 0;
    QList<int> positions; // for each letter of the word, the position of its tile

    friend bool operator==(const SendWord&, const SendWord&) = default;
};

// CMD_returning: the slot the new connection was given, and the seat token it brings back.
struct Returning {
    int slot = 0;
    QByteArray token;

    friend bool operator==(const Returning&, const Returning&) = default;
};

// CMD_leaving: the slot of the player who leaves on purpose.
struct Leaving {
    int slot = 0;

    friend bool operator==(const Leaving&, const Leaving&) = default;
};

LoginInfo loginInfo(FieldReader& fields);
KickHim kickHim(FieldReader& fields);
Talk talk(FieldReader& fields);
StartGame startGame(FieldReader& fields);
JustWatch justWatch(FieldReader& fields);
SendWord sendWord(FieldReader& fields);
Returning returning(FieldReader& fields);
Leaving leaving(FieldReader& fields);

} // namespace FromClient
