#pragma once

#include <QLocalServer>
#include <QObject>
#include <QString>
#include <QStringList>

// Makes sure one copy of the program runs in a user's desktop session. The first copy
// listens on a local server named after the identifier; a later copy finds it there, asks it
// to come to the front, hands it the links it was started with, and ends.
class SingleInstance : public QObject {
    Q_OBJECT

public:
    explicit SingleInstance(const QString& identifier, QObject* parent = nullptr);

    // True when another copy runs (it has then been asked to come to the front and to open
    // `links`). False for the first copy, which from then on answers later copies.
    bool CheckPrevInstance(const QStringList& links = {});

Q_SIGNALS:
    // A later copy asks this one to restore and raise its window.
    void restoreRequested();
    // A later copy was started with this link, such as a game's join link.
    void linkOpened(const QString& link);

private:
    QString name_;
    QLocalServer server_;
};
