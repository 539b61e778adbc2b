#pragma once

#include "gamesettings.h"

#include <QMenu>

#include <initializer_list>
#include <tuple>
#include <utility>

class QActionGroup;

// A menu whose items each show one of the player's options: a check mark for an on/off
// option, a submenu of radio items for a choice. A click writes the option into the settings
// and says so; showSettings() brings the marks back in line with the settings.
class OptionsMenu : public QMenu {
    Q_OBJECT

public:
    // A radio item: its object name, its caption, the value it stands for.
    using Item = std::tuple<const char*, QString, int>;

    OptionsMenu(const QString& title, GameSettings& settings, QWidget* parent);

    void addSwitch(const char* name, const QString& caption, bool GameSettings::*option);
    void addChoice(const char* name, const QString& caption, std::initializer_list<Item> items,
                   int GameSettings::*option);
    void showSettings();

Q_SIGNALS:
    void chosen();

private:
    GameSettings& settings_;
    QList<std::pair<QAction*, bool GameSettings::*>> switches_;
    QList<std::pair<QActionGroup*, int GameSettings::*>> choices_;
};
