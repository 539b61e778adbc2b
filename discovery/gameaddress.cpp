#include "gameaddress.h"

namespace {

std::optional<quint16> portNumber(const QString& text)
{
    bool isNumber = false;
    const uint port = text.toUInt(&isNumber);
    if (!isNumber || port == 0 || port > 65535)
        return std::nullopt;
    return static_cast<quint16>(port);
}

} // namespace

std::optional<GameAddress> GameAddress::parse(const QString& text, quint16 defaultPort)
{
    const QString typed = text.trimmed();
    QString host = typed;
    std::optional<QString> port; // as typed after the colon
    if (typed.startsWith(QLatin1Char('['))) {
        const qsizetype close = typed.indexOf(QLatin1Char(']'));
        const QString rest = typed.mid(close + 1);
        if (close < 0 || (!rest.isEmpty() && !rest.startsWith(QLatin1Char(':'))))
            return std::nullopt;
        host = typed.mid(1, close - 1);
        if (!rest.isEmpty())
            port = rest.mid(1);
    } else if (typed.count(QLatin1Char(':')) == 1) {
        // More colons make an IPv6 address without a port.
        const qsizetype colon = typed.indexOf(QLatin1Char(':'));
        host = typed.left(colon);
        port = typed.mid(colon + 1);
    }
    if (host.isEmpty() || host.contains(QLatin1Char(' ')))
        return std::nullopt;
    if (!port)
        return GameAddress{host, defaultPort};
    const std::optional<quint16> number = portNumber(*port);
    if (!number)
        return std::nullopt;
    return GameAddress{host, *number};
}

QString GameAddress::text(quint16 defaultPort) const
{
    if (port == defaultPort)
        return host;
    const QString shownHost = host.contains(QLatin1Char(':')) ? QStringLiteral("[%1]").arg(host) : host;
    return QStringLiteral("%1:%2").arg(shownHost).arg(port);
}
