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
// games, its talk, a game joined by its invite code, and the game hosted here put on the lobby,
// with its code to pass on. It is in the lobby only while shown; what to join or host is for
// the main window to do.
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
    void showInviteCode(const InviteCode& code);
    // The game hosted here is no longer on the lobby: no code to pass on.
    void forgetInviteCode();
    // The code to join with, as a join link brings it.
    void setCode(const InviteCode& code);
    void tell(const QString& text);

    const InternetLobby& lobby() const { return lobby_; }

Q_SIGNALS:
    void joinRequested(const LobbyAddress& lobby, const InviteCode& code);
    void hostRequested(const LobbyAddress& lobby, bool listedPublicly);

private:
    void buildControls();
    void showLobby();
    void joinChosen();
    void joinTyped();
    void host(bool listedPublicly);
    std::optional<LobbyAddress> typedLobby();

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
    QLabel* ownCode_ = nullptr;
    QPushButton* copy_ = nullptr;
};
