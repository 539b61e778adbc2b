#include "internetpanel.h"

#include "gameslist.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTextEdit>
#include <QTreeWidget>
#include <QVBoxLayout>

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

    games_ = GamesList::make(QStringLiteral("lobbyGames"), QStringLiteral("Code"), this);
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

    grid->setColumnStretch(1, 3); // the games' columns are wider than the talk needs
    grid->setColumnStretch(2, 2);
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

std::optional<LobbyAddress> InternetPanel::chosenLobby()
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
    if (const std::optional<LobbyAddress> lobby = chosenLobby())
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
        GamesList::add(*games_, {.host = game.hostName,
                                 .reach = game.code,
                                 .players = game.players,
                                 .spectators = game.spectators,
                                 .frame = game.frame});
    }
}

void InternetPanel::joinChosen()
{
    const QTreeWidgetItem* chosen = games_->currentItem();
    const std::optional<InviteCode> code =
        chosen != nullptr ? InviteCode::parse(chosen->text(GamesList::kReach)) : std::nullopt;
    if (code)
        Q_EMIT joinRequested(lobby_.lobby(), *code);
}

void InternetPanel::joinTyped()
{
    const std::optional<InviteCode> code = InviteCode::fromPassedOn(code_->text());
    if (!code) {
        tell(QStringLiteral("An invite code is six letters and digits, such as K7Q-4PZ."));
        return;
    }
    if (const std::optional<LobbyAddress> lobby = chosenLobby()) {
        tell(QStringLiteral("Joining %1…").arg(code->shown()));
        Q_EMIT joinRequested(*lobby, *code);
    }
}

void InternetPanel::setCode(const InviteCode& code)
{
    code_->setText(code.shown());
}

void InternetPanel::tell(const QString& text)
{
    status_->setText(text);
}
