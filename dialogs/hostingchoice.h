#pragma once

#include "hosting.h"
#include "invitecode.h"

#include <QWidget>

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;

// "Host here" and where: the local network, the internet lobby for everyone to see, or the
// lobby for those given the invite code. Below the choice it shows how friends get in: this
// machine's addresses, or the invite code in large letters with its join link and Copy.
class HostingChoice : public QWidget {
    Q_OBJECT

public:
    explicit HostingChoice(QWidget* parent = nullptr);

    Hosting hosting() const;
    // As remembered or as it turned out; says nothing through chosen().
    void showHosting(Hosting hosting);
    // Back to the hosting shown last, after a choice that could not be had.
    void takeBack() { showHosting(shown_); }
    void showAddresses(const QStringList& addresses);
    void showOpening(const QString& lobbyDomain);
    void showInviteCode(const InviteCode& code);
    // The game hosted here is no longer on the lobby: no code to pass on.
    void forgetInviteCode();

Q_SIGNALS:
    void chosen(Hosting hosting);

private:
    QCheckBox* hostHere_ = nullptr;
    QComboBox* place_ = nullptr;
    QLabel* addresses_ = nullptr;
    QLabel* ownCode_ = nullptr;
    QPushButton* copy_ = nullptr;
    QString copied_; // what Copy puts on the clipboard
    Hosting shown_ = Hosting::Unseen;
};
