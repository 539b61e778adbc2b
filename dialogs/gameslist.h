#pragma once

#include <QString>

class QTreeWidget;
class QTreeWidgetItem;
class QWidget;

// One row of a list of games, local or on the internet: `reach` is how to get there, the host's
// address or the game's invite code.
struct GameRow {
    QString host;
    QString reach;
    int players = 0;
    int spectators = 0;
    int frame = 0; // 0 while waiting for a start
};

// The lists of games both halves of Play with Others show, with the same columns.
namespace GamesList {

enum Column { kHost, kReach, kPlayers, kSpectators, kGame, kColumns };

// `reachedBy` heads the column of `reach`.
QTreeWidget* make(const QString& objectName, const QString& reachedBy, QWidget* parent);
QTreeWidgetItem* add(QTreeWidget& list, const GameRow& game);

} // namespace GamesList
