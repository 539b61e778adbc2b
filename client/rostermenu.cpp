#include "rostermenu.h"

#include "faultreport.h"
#include "gamesession.h"

RosterMenu::RosterMenu(GameSession& session, QWidget* parent) : QMenu(parent), session_(session)
{
    setObjectName(QStringLiteral("popup_kick"));
    const auto item = [this](const QString& caption, auto act) {
        return addAction(caption, this, [act] { FaultReport::guard(act); });
    };
    remove_ = item(QStringLiteral("Remove From Game"), [this] { session_.remove(slot_); });
    watch_ = item(QStringLiteral("Set to Just Watch"), [this] { session_.setWatching(slot_, true); });
    play_ = item(QStringLiteral("Unset Just Watch"), [this] { session_.setWatching(slot_, false); });
}

void RosterMenu::prepare(int slot)
{
    slot_ = slot;
    for (QAction* each : {remove_, watch_, play_})
        each->setEnabled(session_.leads());
    if (!session_.seat(slot).taken)
        remove_->setEnabled(false);
}
