#include "desktopsession.h"

namespace {

bool isAsciiAlnum(QChar c)
{
    return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9');
}

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
    // By hand, not by regular expression: this one replacement would load the whole engine.
    for (QChar& c : name) {
        if (!isAsciiAlnum(c) && c != u'_' && c != u'.' && c != u'-')
            c = u'_';
    }
    return name;
}
