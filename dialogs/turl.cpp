#include "turl.h"

#include <QDesktopServices>
#include <QUrl>

#include <array>

QString TURL::address() const
{
    static const std::array<const char*, 10> kPrefixes{
        "file://", "ftp://", "gopher://", "http://", "https://", "mailto:", "news:", "telnet:", "wais:", ""};
    return QString::fromLatin1(kPrefixes[static_cast<std::size_t>(URLType)]) + URL;
}

bool TURL::open() const
{
    return !URL.isEmpty() && opener()(address());
}

std::function<bool(const QString&)>& TURL::opener()
{
    static std::function<bool(const QString&)> open = [](const QString& address) {
        return QDesktopServices::openUrl(QUrl(address));
    };
    return open;
}
