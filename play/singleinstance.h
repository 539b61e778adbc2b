#pragma once

#include <QLocalServer>
#include <QObject>
#include <QString>

// Makes sure one copy of the program runs in a user's desktop session. The first copy
// listens on a local server named after the identifier; a later copy finds it there, asks it
// to come to the front, and ends.
class SingleInstance : public QObject {
    Q_OBJECT

public:
    explicit SingleInstance(const QString& identifier, QObject* parent = nullptr);

    // True when another copy runs (it has then been asked to come to the front). False for
    // the first copy, which from then on answers later copies.
    bool CheckPrevInstance();

Q_SIGNALS:
    // A later copy asks this one to restore and raise its window.
    void restoreRequested();

private:
    QString name_;
    QLocalServer server_;
};
