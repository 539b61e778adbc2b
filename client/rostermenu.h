#pragma once

#include <QMenu>

class GameSession;

// The menu on a name in the roster. Only the player who leads the game may use it: to remove
// a player, or to set a place to watch or play.
class RosterMenu : public QMenu {
    Q_OBJECT

public:
    RosterMenu(GameSession& session, QWidget* parent);

    // Readies the items for the name in `slot`: what a right click does before the menu shows.
    void prepare(int slot);

private:
    GameSession& session_;
    QAction* remove_ = nullptr;
    QAction* watch_ = nullptr;
    QAction* play_ = nullptr;
    int slot_ = 0;
};
