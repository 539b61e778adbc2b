#include "hostingchoice.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

HostingChoice::HostingChoice(QWidget* parent) : QWidget(parent)
{
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    hostHere_ = new QCheckBox(QStringLiteral("Host here: let others find my game"), this);
    hostHere_->setObjectName(QStringLiteral("hostHere"));
    grid->addWidget(hostHere_, 0, 0);
    place_ = new QComboBox(this);
    place_->setObjectName(QStringLiteral("hostOn"));
    // In the order of Hosting, after Unseen.
    place_->addItems({QStringLiteral("on my network"), QStringLiteral("on the internet, listed in the lobby"),
                      QStringLiteral("on the internet, by invitation only")});
    grid->addWidget(place_, 0, 1, 1, 2);
    connect(hostHere_, &QCheckBox::clicked, this, [this] { Q_EMIT chosen(hosting()); });
    connect(place_, &QComboBox::activated, this, [this] {
        hostHere_->setChecked(true); // picking a place is asking to host there
        Q_EMIT chosen(hosting());
    });

    addresses_ = new QLabel(this);
    addresses_->setObjectName(QStringLiteral("addresses"));
    addresses_->setWordWrap(true);
    addresses_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    grid->addWidget(addresses_, 1, 0, 1, 3);
    ownCode_ = new QLabel(this);
    ownCode_->setObjectName(QStringLiteral("ownCode"));
    ownCode_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    QFont large = ownCode_->font();
    large.setPointSizeF(large.pointSizeF() * 2);
    large.setBold(true);
    ownCode_->setFont(large);
    grid->addWidget(ownCode_, 2, 0, 1, 2);
    copy_ = new QPushButton(QStringLiteral("Copy"), this);
    copy_->setObjectName(QStringLiteral("copyCode"));
    copy_->hide();
    connect(copy_, &QPushButton::clicked, this, [this] { QApplication::clipboard()->setText(copied_); });
    grid->addWidget(copy_, 2, 2);
    grid->setColumnStretch(1, 1);
}

Hosting HostingChoice::hosting() const
{
    return hostHere_->isChecked() ? static_cast<Hosting>(place_->currentIndex() + 1) : Hosting::Unseen;
}

void HostingChoice::showHosting(Hosting hosting)
{
    shown_ = hosting;
    hostHere_->setChecked(hosting != Hosting::Unseen);
    if (hosting != Hosting::Unseen)
        place_->setCurrentIndex(static_cast<int>(hosting) - 1);
    if (hosting != Hosting::LocalNetwork)
        addresses_->clear();
    if (hosting == Hosting::Unseen || hosting == Hosting::LocalNetwork)
        forgetInviteCode();
}

void HostingChoice::showAddresses(const QStringList& addresses)
{
    addresses_->setText(addresses.isEmpty()
                            ? QStringLiteral("This machine is on no network: only players on it can join.")
                            : QStringLiteral("Friends can also join by typing %1.")
                                  .arg(addresses.join(QStringLiteral(" or "))));
}

void HostingChoice::showOpening(const QString& lobbyDomain)
{
    forgetInviteCode();
    ownCode_->setText(QStringLiteral("Opening your game on %1…").arg(lobbyDomain));
}

void HostingChoice::showInviteCode(const InviteCode& code)
{
    ownCode_->setText(QStringLiteral("%1   %2").arg(code.shown(), code.joinLink()));
    copied_ = QStringLiteral("%1 %2").arg(code.shown(), code.joinLink());
    copy_->show();
}

void HostingChoice::forgetInviteCode()
{
    ownCode_->clear();
    copy_->hide();
}
