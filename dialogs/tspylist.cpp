#include "tspylist.h"

#include <QListWidget>
#include <QVBoxLayout>

Tspylist::Tspylist(QWidget* parent) : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("spylist"));
    setWindowTitle(QStringLiteral("Spy List"));
    resize(180, 160);
    listbox_spys = new QListWidget(this);
    listbox_spys->setObjectName(QStringLiteral("listbox_spys"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addWidget(listbox_spys);
}

void Tspylist::addSpy(const QString& line)
{
    listbox_spys->addItem(line);
}

bool Tspylist::removeSpy(const QString& line)
{
    const QList<QListWidgetItem*> found =
        listbox_spys->findItems(line, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (found.isEmpty())
        return false;
    delete found.first();
    return true;
}

QStringList Tspylist::spies() const
{
    QStringList lines;
    for (int row = 0; row < listbox_spys->count(); ++row)
        lines << listbox_spys->item(row)->text();
    return lines;
}
