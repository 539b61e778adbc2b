#pragma once

#include "gameaddress.h"
#include "gamefinder.h"
#include "hosting.h"

#include <QWidget>

class HostingChoice;
class InternetPanel;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;

// The way to games with other people: the games found on the local network, an address for
// games elsewhere, the internet lobby, and "Host here", which makes this program's game
// visible to them. It looks for games only while it is shown; what to join or host is for the
// main window to do.
class PlayWithOthers : public QWidget {
    Q_OBJECT

public:
    // `gamePort`: the TCP port an address without one means, and the one this program hosts on.
    PlayWithOthers(DiscoveryNetwork network, quint16 gamePort, QWidget* parent = nullptr);

    QString playerName() const;
    QString address() const;
    // What the settings remember; an empty name leaves the one the window has.
    void remember(const QString& playerName, const QString& address, Hosting hosting);
    // The hosting in effect, whatever was chosen.
    void showHosting(Hosting hosting);
    // This program's own visible game, which the list leaves out.
    void setOwnGame(const QByteArray& instance) { ownGame_ = instance; }
    // A join, or hosting, that failed: the window comes back saying why.
    void showFailure(const QString& why);

    // Join the game chosen in the list, or the one at the address typed.
    void joinChosen();
    void joinAddress();

    InternetPanel& internet() { return *internet_; }
    HostingChoice& hostingChoice() { return *hosting_; }

Q_SIGNALS:
    void joinRequested(const QString& playerName, const GameAddress& where);
    // On the internet, the lobby typed is a valid address.
    void hostingChosen(Hosting hosting, const QString& playerName);

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void buildControls();
    void listGames();
    void choose(Hosting hosting);
    void tell(const QString& text);
    // The name to play under; false, with the window saying so, when there is none.
    bool haveName();

    GameFinder finder_;
    quint16 gamePort_;
    QByteArray ownGame_;
    QList<FoundGame> listed_; // the list's rows, in their order
    QLineEdit* name_ = nullptr;
    QTreeWidget* games_ = nullptr;
    QPushButton* join_ = nullptr;
    QLineEdit* address_ = nullptr;
    QLabel* status_ = nullptr;
    InternetPanel* internet_ = nullptr;
    HostingChoice* hosting_ = nullptr;
};
