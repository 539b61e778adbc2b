#pragma once

#include <QString>

#include <functional>

// A link: a scheme chosen by its type, joined to its address, opened with the platform's
// default handler.
class TURL {
public:
    enum class TURLType {
        utFile,
        utFtp,
        utGopher,
        utHttp,
        utHttps,
        utMailto,
        utNews,
        utTelnet,
        utWais,
        utnone
    };

    QString URL;
    TURLType URLType = TURLType::utHttp;

    // The address the link opens: its scheme followed by URL.
    QString address() const;
    // False when URL is empty or the platform refused.
    bool open() const;

    // How links are opened; the platform's default handler unless tests say otherwise.
    static std::function<bool(const QString& address)>& opener();
};
