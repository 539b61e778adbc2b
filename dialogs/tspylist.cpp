#include "tspylist.h"

#include "dialoglook.h"

#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>

namespace {

// Follows the pointer over the list for the spectator list.
class PointerWatcher : public QObject {
public:
    PointerWatcher(Tspylist* list, QObject* parent) : QObject(parent), list_(list) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::MouseMove)
            list_->listbox_spysMouseMove(static_cast<QMouseEvent*>(event)->position().toPoint());
        return QObject::eventFilter(watched, event);
    }

private:
    Tspylist* list_;
};

} // namespace

Tspylist::Tspylist(QWidget* parent) : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint)
{
    // Wide enough for a window manager to show the whole title beside its buttons.
    constexpr int kWidth = 220;
    giveDialogLook(this, "spylist", QStringLiteral("Pinfall - Spys"), {kWidth, 168});
    auto* title = new QLabel(QStringLiteral("Spy List"), this);
    title->setObjectName(QStringLiteral("Label1"));
    QFont bold = title->font();
    bold.setPixelSize(19);
    bold.setBold(true);
    title->setFont(bold);
    title->setAlignment(Qt::AlignCenter);
    title->setGeometry(0, 4, kWidth, 24);

    listbox_spys = new QListWidget(this);
    listbox_spys->setObjectName(QStringLiteral("listbox_spys"));
    listbox_spys->setGeometry(8, 30, kWidth - 16, 100);
    listbox_spys->setMouseTracking(true);
    listbox_spys->viewport()->setMouseTracking(true);
    listbox_spys->viewport()->installEventFilter(new PointerWatcher(this, this));

    auto* popup_kick = new QMenu(this);
    popup_kick->setObjectName(QStringLiteral("popup_kick"));
    popup_kickhim =
        popup_kick->addAction(QStringLiteral("Remove From Game"), this, &Tspylist::popup_kickhimClick);
    popup_kickhim->setObjectName(QStringLiteral("popup_kickhim"));
    popup_kickhim->setEnabled(false);
    listbox_spys->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(listbox_spys, &QWidget::customContextMenuRequested, this, [this, popup_kick](const QPoint& at) {
        listbox_spysMouseMove(at);
        popup_kick->popup(listbox_spys->viewport()->mapToGlobal(at));
    });

    auto* done = new QPushButton(QStringLiteral("Done"), this);
    done->setObjectName(QStringLiteral("button_done"));
    done->setGeometry((kWidth - 74) / 2, 136, 74, 26);
    connect(done, &QPushButton::clicked, this, &QWidget::hide);
}

void Tspylist::setSpies(const QList<Spectator>& spectators)
{
    if (spectators == spectators_)
        return; // the line under the pointer stays where it is
    spectators_ = spectators;
    listbox_spys->clear();
    for (const Spectator& spectator : spectators_)
        listbox_spys->addItem(QStringLiteral("%1: %2").arg(spectator.slot).arg(spectator.name));
}

QStringList Tspylist::spies() const
{
    QStringList lines;
    for (int row = 0; row < listbox_spys->count(); ++row)
        lines << listbox_spys->item(row)->text();
    return lines;
}

void Tspylist::setRemoveEnabled(bool enabled)
{
    popup_kickhim->setEnabled(enabled);
}

bool Tspylist::removeEnabled() const
{
    return popup_kickhim->isEnabled();
}

void Tspylist::listbox_spysMouseMove(const QPoint& at)
{
    const QListWidgetItem* item = listbox_spys->itemAt(at);
    tag_ = item != nullptr ? listbox_spys->row(item) : -1;
}

void Tspylist::popup_kickhimClick()
{
    if (tag_ >= 0 && tag_ < spectators_.size())
        Q_EMIT removeRequested(spectators_.at(tag_).slot);
}
