#include "playwithothers.h"

#include "dialoglook.h"
#include "gamerules.h"
#include "gameslist.h"
#include "hostingchoice.h"
#include "internetpanel.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QNetworkInterface>
#include <QPushButton>
#include <QTreeWidget>

namespace {

// The port everybody's game is on unless they moved it: an address on it needs no ":port".
constexpr quint16 kUsualGamePort = 7772;

const QString kLooking = QStringLiteral("Looking for games on your network...");

// This machine's addresses as friends on its networks would type them.
QStringList ownAddresses(quint16 gamePort)
{
    QStringList addresses;
    for (const QHostAddress& address : QNetworkInterface::allAddresses()) {
        if (address.protocol() == QAbstractSocket::IPv4Protocol && !address.isLoopback())
            addresses << GameAddress{address.toString(), gamePort}.text(kUsualGamePort);
    }
    return addresses;
}

} // namespace

PlayWithOthers::PlayWithOthers(DiscoveryNetwork network, quint16 gamePort, QWidget* parent)
    : QWidget(parent, Qt::Window),
      finder_(std::move(network)),
      gamePort_(gamePort)
{
    giveDialogLook(this, "playwithothers", QStringLiteral("Play with Others"), {640, 700});
    buildControls();
    connect(&finder_, &GameFinder::gamesChanged, this, &PlayWithOthers::listGames);
}

void PlayWithOthers::buildControls()
{
    auto* grid = new QGridLayout(this);
    grid->addWidget(new QLabel(QStringLiteral("Your name:"), this), 0, 0);
    name_ = new QLineEdit(qEnvironmentVariable("USER").left(Rules::kLongestName), this);
    name_->setObjectName(QStringLiteral("name"));
    name_->setMaxLength(Rules::kLongestName);
    grid->addWidget(name_, 0, 1, 1, 2);

    grid->addWidget(new QLabel(QStringLiteral("Games on your network:"), this), 1, 0, 1, 3);
    games_ = GamesList::make(QStringLiteral("games"), QStringLiteral("Address"), this);
    connect(games_, &QTreeWidget::itemDoubleClicked, this, [this] { joinChosen(); });
    connect(games_, &QTreeWidget::itemSelectionChanged, this,
            [this] { join_->setEnabled(!games_->selectedItems().isEmpty()); });
    grid->addWidget(games_, 2, 0, 1, 3);
    join_ = new QPushButton(QStringLiteral("Join"), this);
    join_->setObjectName(QStringLiteral("join"));
    join_->setEnabled(false);
    connect(join_, &QPushButton::clicked, this, &PlayWithOthers::joinChosen);
    grid->addWidget(join_, 3, 2);

    grid->addWidget(new QLabel(QStringLiteral("Address:"), this), 4, 0);
    address_ = new QLineEdit(this);
    address_->setObjectName(QStringLiteral("address"));
    address_->setPlaceholderText(QStringLiteral("name or address, and :port if not %1").arg(gamePort_));
    connect(address_, &QLineEdit::returnPressed, this, &PlayWithOthers::joinAddress);
    grid->addWidget(address_, 4, 1);
    auto* joinAddress = new QPushButton(QStringLiteral("Join Address"), this);
    joinAddress->setObjectName(QStringLiteral("joinAddress"));
    connect(joinAddress, &QPushButton::clicked, this, &PlayWithOthers::joinAddress);
    grid->addWidget(joinAddress, 4, 2);

    internet_ = new InternetPanel([this] { return playerName(); }, this);
    grid->addWidget(internet_, 5, 0, 1, 3);
    hosting_ = new HostingChoice(this);
    connect(hosting_, &HostingChoice::chosen, this, &PlayWithOthers::choose);
    grid->addWidget(hosting_, 6, 0, 1, 3);

    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("status"));
    status_->setWordWrap(true);
    grid->addWidget(status_, 7, 0, 1, 2);
    auto* close = new QPushButton(QStringLiteral("Close"), this);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    grid->addWidget(close, 7, 2);
    grid->setColumnStretch(1, 1);
}

QString PlayWithOthers::playerName() const
{
    return name_->text().trimmed();
}

QString PlayWithOthers::address() const
{
    return address_->text().trimmed();
}

void PlayWithOthers::remember(const QString& playerName, const QString& address, Hosting hosting)
{
    if (!playerName.trimmed().isEmpty())
        name_->setText(playerName.trimmed().left(Rules::kLongestName));
    address_->setText(address);
    showHosting(hosting);
}

void PlayWithOthers::showHosting(Hosting hosting)
{
    hosting_->showHosting(hosting);
    if (hosting == Hosting::LocalNetwork)
        hosting_->showAddresses(ownAddresses(gamePort_));
}

void PlayWithOthers::choose(Hosting hosting)
{
    const bool possible =
        hosting == Hosting::Unseen || (haveName() && (!onTheInternet(hosting) || internet_->chosenLobby()));
    if (!possible) {
        hosting_->takeBack();
        return;
    }
    tell(QString());
    Q_EMIT hostingChosen(hosting, playerName());
}

void PlayWithOthers::showFailure(const QString& why)
{
    tell(why);
    show();
    raise();
    activateWindow();
}

void PlayWithOthers::joinChosen()
{
    const int row = games_->indexOfTopLevelItem(games_->currentItem());
    if (row < 0 || !haveName())
        return;
    const FoundGame& chosen = listed_[row];
    tell(QString());
    Q_EMIT joinRequested(playerName(), {chosen.address.toString(), chosen.game.port});
}

void PlayWithOthers::joinAddress()
{
    const std::optional<GameAddress> where = GameAddress::parse(address(), gamePort_);
    if (!where) {
        tell(QStringLiteral("Type the host's name or address, with \":port\" after it if the game "
                            "is not on port %1.")
                 .arg(gamePort_));
        return;
    }
    if (!haveName())
        return;
    tell(QString());
    Q_EMIT joinRequested(playerName(), *where);
}

bool PlayWithOthers::haveName()
{
    if (!playerName().isEmpty())
        return true;
    tell(QStringLiteral("Type the name the others will see first."));
    name_->setFocus();
    return false;
}

void PlayWithOthers::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!finder_.start())
        tell(QStringLiteral("Cannot look for games on your network: %1").arg(finder_.error()));
    listGames();
    internet_->enterLobby();
}

void PlayWithOthers::hideEvent(QHideEvent* event)
{
    finder_.stop();
    internet_->leaveLobby();
    QWidget::hideEvent(event);
}

void PlayWithOthers::listGames()
{
    // The game chosen stays chosen while the list is redrawn.
    const int current = games_->indexOfTopLevelItem(games_->currentItem());
    const QByteArray chosen = current >= 0 ? listed_[current].game.instance : QByteArray();
    games_->clear();
    listed_ = finder_.games();
    listed_.removeIf([this](const FoundGame& found) { return found.game.instance == ownGame_; });
    for (const FoundGame& found : listed_) {
        const GameAnnouncement& game = found.game;
        const GameAddress where{found.address.toString(), game.port};
        QTreeWidgetItem* row = GamesList::add(*games_, {.host = QString::fromLatin1(game.hostName),
                                                        .reach = where.text(kUsualGamePort),
                                                        .players = game.players,
                                                        .spectators = game.spectators,
                                                        .frame = game.frame});
        if (game.instance == chosen || games_->currentItem() == nullptr)
            games_->setCurrentItem(row);
    }
    join_->setEnabled(!games_->selectedItems().isEmpty());
    // Says the empty list is no fault, without covering a reason told before.
    const bool searching = finder_.isSearching() && games_->topLevelItemCount() == 0;
    if (status_->text().isEmpty() || status_->text() == kLooking)
        tell(searching ? kLooking : QString());
}

void PlayWithOthers::tell(const QString& text)
{
    status_->setText(text);
}
