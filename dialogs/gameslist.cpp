#include "gameslist.h"

#include "gamerules.h"

#include <QHeaderView>
#include <QTreeWidget>

namespace GamesList {

QTreeWidget* make(const QString& objectName, const QString& reachedBy, QWidget* parent)
{
    auto* list = new QTreeWidget(parent);
    list->setObjectName(objectName);
    list->setColumnCount(kColumns);
    list->setHeaderLabels({QStringLiteral("Host"), reachedBy, QStringLiteral("Players"),
                           QStringLiteral("Spectators"), QStringLiteral("Game")});
    list->setRootIsDecorated(false);
    list->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    list->header()->setSectionResizeMode(kHost, QHeaderView::Stretch);
    list->header()->setStretchLastSection(false);
    return list;
}

QTreeWidgetItem* add(QTreeWidget& list, const GameRow& game)
{
    auto* row = new QTreeWidgetItem(&list);
    row->setText(kHost, game.host);
    row->setText(kReach, game.reach);
    row->setText(kPlayers, QStringLiteral("%1/%2").arg(game.players).arg(Rules::kPlayerSlots));
    row->setText(kSpectators,
                 QStringLiteral("%1/%2").arg(game.spectators).arg(Rules::kLastSlot - Rules::kPlayerSlots));
    row->setText(kGame,
                 game.frame > 0 ? QStringLiteral("Frame %1").arg(game.frame) : QStringLiteral("Waiting"));
    return row;
}

} // namespace GamesList
