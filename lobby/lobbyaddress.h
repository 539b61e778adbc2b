#pragma once

#include <QString>

#include <optional>

class XmppConnection;

// A lobby as players name it: its XMPP domain with an optional port, "DOMAIN[:PORT]", reached
// at that name. Guests sign in at the domain's guest host, and games have their rooms at its
// rooms service.
struct LobbyAddress {
    static constexpr quint16 kDefaultPort = 5222;

    QString domain;
    quint16 port = kDefaultPort;

    // Nothing when the text names no lobby.
    static std::optional<LobbyAddress> parse(QStringView text);

    QString guestDomain() const { return QStringLiteral("guest.") + domain; }
    friend bool operator==(const LobbyAddress&, const LobbyAddress&) = default;
    QString roomsDomain() const { return QStringLiteral("rooms.") + domain; }
};

// Signs `connection` in to the lobby as a guest, as every player and host does.
void connectAsGuest(XmppConnection& connection, const LobbyAddress& lobby);
