#pragma once

#include "internetlobby.h"
#include "invitecode.h"

#include <QWidget>

#include <functional>

class QLabel;
class QLineEdit;
class QTextEdit;
class QPushButton;
class QTreeWidget;

// The internet half of Play with Others: the lobby's address and where it stands, its public
// games, its talk, and a game joined by its invite code. It is in the lobby only while shown;
// what to join is for the main window to do.
class InternetPanel : public QWidget {
    Q_OBJECT

public:
    // `playerName` tells the name to enter the lobby under when it is entered.
    InternetPanel(std::function<QString()> playerName, QWidget* parent = nullptr);

    // The lobby's address as saved; PINFALL_LOBBY, when set, comes first.
    void setLobbyText(const QString& text);
    QString lobbyText() const;
    void enterLobby();
    void leaveLobby();
    // The lobby typed, or nothing, with the panel saying what is wrong with it.
    std::optional<LobbyAddress> chosenLobby();
    // The code to join with, as a join link brings it.
    void setCode(const InviteCode& code);
    void tell(const QString& text);

    const InternetLobby& lobby() const { return lobby_; }

Q_SIGNALS:
    void joinRequested(const LobbyAddress& lobby, const InviteCode& code);

private:
    void buildControls();
    void showLobby();
    void joinChosen();
    void joinTyped();

    std::function<QString()> playerName_;
    InternetLobby lobby_;
    QLineEdit* address_ = nullptr;
    QPushButton* connect_ = nullptr;
    QLabel* status_ = nullptr;
    QTreeWidget* games_ = nullptr;
    QLabel* people_ = nullptr;
    QTextEdit* talk_ = nullptr;
    QLineEdit* say_ = nullptr;
    QLineEdit* code_ = nullptr;
};
