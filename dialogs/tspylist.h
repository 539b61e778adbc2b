#pragma once

#include <QString>
#include <QStringList>
#include <QWidget>

class QListWidget;

// The spectator list: one line "slot: name" for each participant who watches.
class Tspylist : public QWidget {
    Q_OBJECT

public:
    explicit Tspylist(QWidget* parent = nullptr);

    void addSpy(const QString& line);
    // Removes the line with exactly this text; false if there is none.
    bool removeSpy(const QString& line);
    QStringList spies() const;

    // Only the host may remove spectators.
    void setRemoveEnabled(bool enabled) { removeEnabled_ = enabled; }
    bool removeEnabled() const { return removeEnabled_; }

private:
    QListWidget* listbox_spys;
    bool removeEnabled_ = false;
};
