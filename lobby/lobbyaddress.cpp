#include "lobbyaddress.h"

#include "xmppconnection.h"

#include <QRegularExpression>

std::optional<LobbyAddress> LobbyAddress::parse(QStringView text)
{
    // A host name of letters, digits, dots and dashes: what a DNS name may hold.
    static const QRegularExpression form(
        QStringLiteral("^([A-Za-z0-9]([A-Za-z0-9.-]{0,252}[A-Za-z0-9])?)(:([0-9]{1,5}))?$"));
    const QRegularExpressionMatch match = form.match(text.trimmed().toString());
    if (!match.hasMatch())
        return std::nullopt;
    LobbyAddress lobby;
    lobby.domain = match.captured(1).toLower();
    if (match.hasCaptured(4)) {
        const uint port = match.captured(4).toUInt();
        if (port == 0 || port > 65535)
            return std::nullopt;
        lobby.port = static_cast<quint16>(port);
    }
    return lobby;
}

void connectAsGuest(XmppConnection& connection, const LobbyAddress& lobby)
{
    connection.connectToServer(lobby.domain, lobby.port,
                               {.domain = lobby.guestDomain(), .user = {}, .password = {}});
}
