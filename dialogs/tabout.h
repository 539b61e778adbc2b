#pragma once

#include "turl.h"

#include <QWidget>

// The about window: the title, the version, the maker's home page.
class Tabout : public QWidget {
    Q_OBJECT

public:
    explicit Tabout(const QString& homePage, QWidget* parent = nullptr);

    // The version text log-in sends and the host compares.
    static QString version() { return QStringLiteral("1.0.7"); }
    // Opens the home page (the about window's link, and the logo on the board).
    bool Label7Click() const { return URL1.open(); }

private:
    TURL URL1;
};
