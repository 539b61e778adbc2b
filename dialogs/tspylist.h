#pragma once

#include "spectator.h"

#include <QList>
#include <QStringList>
#include <QWidget>

class QAction;
class QListWidget;

// The spectator list: one line "slot: name" for each participant who watches. The host may
// remove the spectator whose line is under the pointer.
class Tspylist : public QWidget {
    Q_OBJECT

public:
    explicit Tspylist(QWidget* parent = nullptr);

    void setSpies(const QList<Spectator>& spectators);
    // The lines as the list shows them.
    QStringList spies() const;

    // Only the host may remove spectators.
    void setRemoveEnabled(bool enabled);
    bool removeEnabled() const;

    // The line under the pointer (what the list's Tag holds), -1 over no line.
    int lineUnderPointer() const { return tag_; }
    void listbox_spysMouseMove(const QPoint& at);
    void popup_kickhimClick();

Q_SIGNALS:
    // "Remove From Game" on a spectator's line: the main window asks the host.
    void removeRequested(int slot);

private:
    QList<Spectator> spectators_; // the list's rows, in their order
    QListWidget* listbox_spys;
    QAction* popup_kickhim;
    int tag_ = -1;
};
