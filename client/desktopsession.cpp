#include "desktopsession.h"

#include <QRegularExpression>

namespace {

QString firstSet(std::initializer_list<const char*> variables, const QString& fallback)
{
    for (const char* variable : variables) {
        QString value = qEnvironmentVariable(variable);
        if (!value.isEmpty())
            return value;
    }
    return fallback;
}

} // namespace

QString sessionScopedName(const QString& identifier)
{
    const QString user = firstSet({"USER", "USERNAME", "LOGNAME"}, QStringLiteral("user"));
    const QString session =
        firstSet({"XDG_SESSION_ID", "WAYLAND_DISPLAY", "DISPLAY"}, QStringLiteral("console"));
    QString name = identifier + QLatin1Char('-') + user + QLatin1Char('-') + session;
    static const QRegularExpression unsafe(QStringLiteral("[^A-Za-z0-9_.-]"));
    return name.replace(unsafe, QStringLiteral("_"));
}
