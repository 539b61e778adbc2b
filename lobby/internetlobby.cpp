#include "internetlobby.h"

#include "chatroom.h"
#include "gameroomhost.h"
#include "gamerules.h"

#include <algorithm>

namespace {

// What an XMPP server says when it holds no lobby of ours: no such names, no guests, no rooms.
bool notOurs(const QString& why)
{
    return why == QLatin1String("The lobby ended the connection: host-unknown.") ||
           why == QLatin1String("The lobby does not let guests sign in.") ||
           why == QLatin1String("There is no such room") ||
           why.startsWith(QLatin1String("The room refused entry: remote-server-not-found"));
}

QString counted(qsizetype count, const char* one, const char* many)
{
    return QStringLiteral("%1 %2").arg(count).arg(QLatin1String(count == 1 ? one : many));
}

} // namespace

InternetLobby::InternetLobby(QObject* parent) : QObject(parent)
{
    connect(&connection_, &XmppConnection::online, this, [this] {
        room_ = std::make_unique<ChatRoom>(connection_, GameRoomHost::kLobbyRoom + QLatin1Char('@') +
                                                            lobby_.roomsDomain());
        connect(room_.get(), &ChatRoom::joined, this, &InternetLobby::roomJoined);
        connect(room_.get(), &ChatRoom::refused, this, &InternetLobby::fail);
        connect(room_.get(), &ChatRoom::occupantChanged, this, &InternetLobby::tellWhoIsIn);
        connect(room_.get(), &ChatRoom::occupantLeft, this, &InternetLobby::tellWhoIsIn);
        connect(room_.get(), &ChatRoom::said, this, &InternetLobby::said);
        room_->join(playerName_);
    });
    connect(&connection_, &XmppConnection::closed, this, [this](const QString& why) {
        if (!why.isEmpty())
            fail(why);
    });
}

InternetLobby::~InternetLobby() = default;

QString InternetLobby::fitName(const QString& typed)
{
    QString name;
    for (const QChar c : typed) {
        // One byte each on the wire; "+" and 0xFF end fields and messages there.
        if (c.unicode() >= 0x20 && c.unicode() < 0xFF && c != QLatin1Char('+') && c.unicode() != 0x7F)
            name += c;
    }
    return name.simplified().left(Rules::kLongestName).trimmed();
}

void InternetLobby::enter(const LobbyAddress& lobby, const QString& playerName)
{
    lobby_ = lobby;
    retry(playerName);
}

void InternetLobby::retry(const QString& playerName)
{
    leave();
    playerName_ = fitName(playerName);
    if (playerName_.isEmpty()) {
        setStatus(State::Failed, QStringLiteral("Type the name the others will see first."));
        return;
    }
    setStatus(State::Connecting, QStringLiteral("Connecting to %1…").arg(lobby_.domain));
    connectAsGuest(connection_, lobby_);
}

void InternetLobby::leave()
{
    room_.reset();
    connection_.disconnectFromServer();
    if (state_ != State::Off)
        setStatus(State::Off, {});
}

QList<GameListing> InternetLobby::games() const
{
    QList<GameListing> listed;
    if (room_) {
        for (const XmlElement& presence : room_->occupants()) {
            if (std::optional<GameListing> game = GameListing::fromPresence(presence))
                listed.append(std::move(*game));
        }
    }
    std::stable_sort(listed.begin(), listed.end(), [](const GameListing& a, const GameListing& b) {
        return a.hostName.compare(b.hostName, Qt::CaseInsensitive) < 0;
    });
    return listed;
}

QStringList InternetLobby::people() const
{
    QStringList names;
    if (room_) {
        const QMap<QString, XmlElement>& occupants = room_->occupants();
        for (auto occupant = occupants.begin(); occupant != occupants.end(); ++occupant) {
            if (!GameListing::fromPresence(occupant.value())) // a game's listing is no person
                names << occupant.key();
        }
    }
    return names;
}

void InternetLobby::say(const QString& text)
{
    if (state_ == State::In && !text.trimmed().isEmpty())
        room_->say(text);
}

void InternetLobby::roomJoined()
{
    state_ = State::In;
    tellWhoIsIn();
}

void InternetLobby::tellWhoIsIn()
{
    if (state_ != State::In)
        return;
    setStatus(State::In, QStringLiteral("In the lobby: %1, %2")
                             .arg(counted(people().size() + 1, "player", "players"),
                                  counted(games().size(), "game", "games")));
}

void InternetLobby::fail(const QString& why)
{
    room_.reset();
    connection_.disconnectFromServer();
    setStatus(State::Failed, notOurs(why) ? QStringLiteral("Not a Pinfall lobby") : why);
}

void InternetLobby::setStatus(State state, const QString& text)
{
    state_ = state;
    status_ = text;
    Q_EMIT changed();
}
