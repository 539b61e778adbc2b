#include "internetpanel.h"

#include "gamerules.h"

#include <QApplication>
#include <QClipboard>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTextEdit>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

enum Column { kHost, kCode, kPlayers, kSpectators, kGame, kColumns };

} // namespace

InternetPanel::InternetPanel(std::function<QString()> playerName, QWidget* parent)
    : QWidget(parent),
      playerName_(std::move(playerName))
{
    buildControls();
    connect(&lobby_, &InternetLobby::changed, this, &InternetPanel::showLobby);
    connect(&lobby_, &InternetLobby::said, this, [this](const QString& who, const QString& text) {
        // As the game's chat shows a line: the speaker in bold.
        talk_->append(QStringLiteral("<b>%1:</b> %2").arg(who.toHtmlEscaped(), text.toHtmlEscaped()));
    });
}

void InternetPanel::buildControls()
{
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->addWidget(new QLabel(QStringLiteral("Internet lobby:"), this), 0, 0);
    address_ = new QLineEdit(this);
    address_->setObjectName(QStringLiteral("lobbyAddress"));
    address_->setPlaceholderText(QStringLiteral("lobby.example.org"));
    connect(address_, &QLineEdit::returnPressed, this, &InternetPanel::enterLobby);
    grid->addWidget(address_, 0, 1, 1, 2);
    connect_ = new QPushButton(QStringLiteral("Connect"), this);
    connect_->setObjectName(QStringLiteral("lobbyConnect"));
    connect(connect_, &QPushButton::clicked, this, &InternetPanel::enterLobby);
    grid->addWidget(connect_, 0, 3);
    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("lobbyStatus"));
    status_->setWordWrap(true);
    grid->addWidget(status_, 1, 0, 1, 4);

    games_ = new QTreeWidget(this);
    games_->setObjectName(QStringLiteral("lobbyGames"));
    games_->setColumnCount(kColumns);
    games_->setHeaderLabels({QStringLiteral("Host"), QStringLiteral("Code"), QStringLiteral("Players"),
                             QStringLiteral("Spectators"), QStringLiteral("Game")});
    games_->setRootIsDecorated(false);
    games_->header()->setSectionResizeMode(kHost, QHeaderView::Stretch);
    games_->header()->setStretchLastSection(false);
    connect(games_, &QTreeWidget::itemDoubleClicked, this, &InternetPanel::joinChosen);
    grid->addWidget(games_, 2, 0, 1, 2);
    auto* talkColumn = new QVBoxLayout;
    people_ = new QLabel(this);
    people_->setObjectName(QStringLiteral("lobbyPeople"));
    people_->setWordWrap(true);
    talkColumn->addWidget(people_);
    talk_ = new QTextEdit(this);
    talk_->setObjectName(QStringLiteral("lobbyTalk"));
    talk_->setReadOnly(true);
    talkColumn->addWidget(talk_);
    grid->addLayout(talkColumn, 2, 2, 1, 2);
    auto* join = new QPushButton(QStringLiteral("Join"), this);
    join->setObjectName(QStringLiteral("lobbyJoin"));
    connect(join, &QPushButton::clicked, this, &InternetPanel::joinChosen);
    grid->addWidget(join, 3, 1, Qt::AlignRight);
    say_ = new QLineEdit(this);
    say_->setObjectName(QStringLiteral("lobbySay"));
    say_->setPlaceholderText(QStringLiteral("Say something to the lobby"));
    connect(say_, &QLineEdit::returnPressed, this, [this] {
        lobby_.say(say_->text()); // the room sends it back to us as to everyone
        say_->clear();
    });
    grid->addWidget(say_, 3, 2, 1, 2);

    grid->addWidget(new QLabel(QStringLiteral("Join with code:"), this), 4, 0);
    code_ = new QLineEdit(this);
    code_->setObjectName(QStringLiteral("inviteCode"));
    code_->setPlaceholderText(QStringLiteral("K7Q-4PZ"));
    connect(code_, &QLineEdit::returnPressed, this, &InternetPanel::joinTyped);
    grid->addWidget(code_, 4, 1);
    auto* joinCode = new QPushButton(QStringLiteral("Join with code"), this);
    joinCode->setObjectName(QStringLiteral("joinWithCode"));
    connect(joinCode, &QPushButton::clicked, this, &InternetPanel::joinTyped);
    grid->addWidget(joinCode, 4, 2);

    grid->addWidget(new QLabel(QStringLiteral("Host on the internet:"), this), 5, 0);
    auto* listed = new QPushButton(QStringLiteral("Listed"), this);
    listed->setObjectName(QStringLiteral("hostListed"));
    connect(listed, &QPushButton::clicked, this, [this] { host(true); });
    grid->addWidget(listed, 5, 1, Qt::AlignLeft);
    auto* invited = new QPushButton(QStringLiteral("By invitation"), this);
    invited->setObjectName(QStringLiteral("hostByInvitation"));
    connect(invited, &QPushButton::clicked, this, [this] { host(false); });
    grid->addWidget(invited, 5, 2);
    ownCode_ = new QLabel(this);
    ownCode_->setObjectName(QStringLiteral("ownCode"));
    ownCode_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    QFont large = ownCode_->font();
    large.setPointSizeF(large.pointSizeF() * 2);
    large.setBold(true);
    ownCode_->setFont(large);
    grid->addWidget(ownCode_, 6, 0, 1, 3);
    copy_ = new QPushButton(QStringLiteral("Copy"), this);
    copy_->setObjectName(QStringLiteral("copyCode"));
    copy_->hide();
    grid->addWidget(copy_, 6, 3);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(2, 1);
}

void InternetPanel::setLobbyText(const QString& text)
{
    const QString fromEnvironment = qEnvironmentVariable("PINFALL_LOBBY");
    address_->setText(fromEnvironment.isEmpty() ? text : fromEnvironment);
}

QString InternetPanel::lobbyText() const
{
    return address_->text().trimmed();
}

std::optional<LobbyAddress> InternetPanel::typedLobby()
{
    std::optional<LobbyAddress> lobby = LobbyAddress::parse(lobbyText());
    if (!lobby)
        tell(QStringLiteral("Type the lobby's name, with \":port\" after it if it is not on 5222."));
    return lobby;
}

void InternetPanel::enterLobby()
{
    if (lobbyText().isEmpty())
        return; // no lobby chosen yet: nothing to connect to
    if (const std::optional<LobbyAddress> lobby = typedLobby())
        lobby_.enter(*lobby, playerName_());
}

void InternetPanel::leaveLobby()
{
    lobby_.leave();
}

void InternetPanel::showLobby()
{
    tell(lobby_.statusText());
    const QStringList others = lobby_.people();
    people_->setText(lobby_.state() != InternetLobby::State::In ? QString()
                     : others.isEmpty()                         ? QStringLiteral("Nobody else is here yet.")
                                        : QStringLiteral("Here: %1").arg(others.join(QStringLiteral(", "))));
    connect_->setText(lobby_.state() == InternetLobby::State::Failed ? QStringLiteral("Retry")
                                                                     : QStringLiteral("Connect"));
    games_->clear();
    for (const GameListing& game : lobby_.games()) {
        auto* row = new QTreeWidgetItem(games_);
        row->setText(kHost, game.hostName);
        row->setText(kCode, game.code);
        row->setText(kPlayers, QStringLiteral("%1/%2").arg(game.players).arg(Rules::kPlayerSlots));
        row->setText(
            kSpectators,
            QStringLiteral("%1/%2").arg(game.spectators).arg(Rules::kLastSlot - Rules::kPlayerSlots));
        row->setText(kGame,
                     game.frame > 0 ? QStringLiteral("Frame %1").arg(game.frame) : QStringLiteral("Waiting"));
    }
}

void InternetPanel::joinChosen()
{
    const QTreeWidgetItem* chosen = games_->currentItem();
    const std::optional<InviteCode> code =
        chosen != nullptr ? InviteCode::parse(chosen->text(kCode)) : std::nullopt;
    if (code)
        Q_EMIT joinRequested(lobby_.lobby(), *code);
}

void InternetPanel::joinTyped()
{
    const std::optional<InviteCode> code = InviteCode::parse(code_->text());
    if (!code) {
        tell(QStringLiteral("An invite code is six letters and digits, such as K7Q-4PZ."));
        return;
    }
    if (const std::optional<LobbyAddress> lobby = typedLobby()) {
        tell(QStringLiteral("Joining %1…").arg(code->shown()));
        Q_EMIT joinRequested(*lobby, *code);
    }
}

void InternetPanel::host(bool listedPublicly)
{
    if (const std::optional<LobbyAddress> lobby = typedLobby()) {
        ownCode_->setText(QStringLiteral("Opening your game on %1…").arg(lobby->domain));
        Q_EMIT hostRequested(*lobby, listedPublicly);
    }
}

void InternetPanel::showInviteCode(const InviteCode& code)
{
    ownCode_->setText(QStringLiteral("%1   %2").arg(code.shown(), code.joinLink()));
    copy_->show();
    disconnect(copy_, nullptr, this, nullptr);
    connect(copy_, &QPushButton::clicked, this, [code] {
        QApplication::clipboard()->setText(QStringLiteral("%1 %2").arg(code.shown(), code.joinLink()));
    });
}

void InternetPanel::forgetInviteCode()
{
    ownCode_->clear();
    copy_->hide();
}

void InternetPanel::setCode(const InviteCode& code)
{
    code_->setText(code.shown());
}

void InternetPanel::tell(const QString& text)
{
    status_->setText(text);
}
