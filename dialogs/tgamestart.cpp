#include "tgamestart.h"

#include "artwork.h"
#include "dialoglook.h"
#include "gamerules.h"
#include "picturebutton.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QShortcut>
#include <QSpinBox>

namespace {

// Numbers here are chosen with the arrows; Space would only replace one with a blank.
struct IgnoreSpace : QObject {
    using QObject::QObject;
    bool eventFilter(QObject* /*watched*/, QEvent* event) override
    {
        return event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Space;
    }
};

} // namespace

Tgamestart::Tgamestart(QWidget* parent) : QWidget(parent, Qt::Dialog)
{
    giveDialogLook(this, "gamestart", QStringLiteral("Pinfall - Game Start"), {257, 213});

    auto* title = new QLabel(QStringLiteral("Game Options"), this);
    title->setObjectName(QStringLiteral("Label3"));
    QFont titleFont = title->font();
    titleFont.setPixelSize(19);
    titleFont.setBold(true);
    title->setFont(titleFont);
    title->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    title->setGeometry(0, 6, 257, 24);

    // A choice per row: its name on the left, the control on the right.
    const auto row = [this](const char* name, const QString& text, QWidget* control, int top, int width) {
        makeLabel(this, name, {28, top + 2, 116, 22}, text);
        control->setGeometry(148, top, width, 24);
    };

    UpDown2 = new QSpinBox(this);
    UpDown2->setObjectName(QStringLiteral("UpDown2"));
    UpDown2->setRange(kMinimumSeconds, kMaximumSeconds);
    UpDown2->setSingleStep(5);
    UpDown2->setValue(60);
    UpDown2->setWrapping(false);
    row("Label1", QStringLiteral("Time Per Turn:"), UpDown2, 40, 64);
    // The number is chosen with the arrows only, in steps of 5.
    if (auto* edit_creationtime = UpDown2->findChild<QLineEdit*>()) {
        edit_creationtime->setObjectName(QStringLiteral("edit_creationtime"));
        edit_creationtime->setReadOnly(true);
    }

    computerPlayers_ = new QSpinBox(this);
    computerPlayers_->setObjectName(QStringLiteral("computerPlayers"));
    computerPlayers_->setMinimum(0);
    // Until the roster tells otherwise, every place but the user's own is free.
    setFreePlaces(Rules::kPlayerSlots - 1);
    row("label_computerplayers", QStringLiteral("Computer Players:"), computerPlayers_, 72, 64);
    for (QSpinBox* number : {UpDown2, computerPlayers_})
        number->installEventFilter(new IgnoreSpace(number));

    computerLevel_ = new QComboBox(this);
    computerLevel_->setObjectName(QStringLiteral("computerLevel"));
    for (const Level level : Levels::kAll)
        computerLevel_->addItem(Levels::nameOf(level), static_cast<int>(level));
    setComputerLevel(Levels::kDefault);
    keepEscapeInList(computerLevel_);
    row("label_computerlevel", QStringLiteral("Computer Level:"), computerLevel_, 104, 84);

    image_team = new PictureButton(this);
    image_team->setObjectName(QStringLiteral("image_team"));
    image_team->setGeometry(72, 138, 33, 23);
    image_team->setCursor(Qt::PointingHandCursor);
    image_team->setFocusPolicy(Qt::StrongFocus);
    makeLabel(this, "label6", {108, 138, 90, 23}, QStringLiteral("Team Game"));
    showTeamChoice();
    connect(image_team, &PictureButton::clicked, this, &Tgamestart::image_teamClick);

    auto* start = new PictureButton(this);
    start->setObjectName(QStringLiteral("Image1"));
    start->setPixmap(Artwork::captionButton(QStringLiteral("START GAME")));
    start->setGeometry(76, 176, 104, 23);
    start->setCursor(Qt::PointingHandCursor);
    start->setFocusPolicy(Qt::StrongFocus);
    connect(start, &PictureButton::clicked, this, &Tgamestart::button_startClick);
    // Enter starts the game from whichever control has the focus.
    for (const Qt::Key enter : {Qt::Key_Return, Qt::Key_Enter})
        connect(new QShortcut(QKeySequence(enter), this), &QShortcut::activated, this,
                &Tgamestart::button_startClick);
}

void Tgamestart::setTimePerTurn(int seconds)
{
    UpDown2->setValue(std::clamp(seconds, kMinimumSeconds, kMaximumSeconds));
}

int Tgamestart::timePerTurn() const
{
    return UpDown2->value();
}

void Tgamestart::setFreePlaces(int places)
{
    freePlaces_ = std::max(places, 0);
    computerPlayers_->setMaximum(freePlaces_);
}

void Tgamestart::setComputerPlayers(int count)
{
    computerPlayers_->setValue(count);
}

int Tgamestart::computerPlayers() const
{
    return computerPlayers_->value();
}

void Tgamestart::setComputerLevel(Level level)
{
    computerLevel_->setCurrentIndex(computerLevel_->findData(static_cast<int>(level)));
}

Level Tgamestart::computerLevel() const
{
    return static_cast<Level>(computerLevel_->currentData().toInt());
}

void Tgamestart::showChoices(const GameSettings& stored)
{
    if (stored.timePerTurn)
        setTimePerTurn(*stored.timePerTurn);
    if (stored.computerPlayers)
        setComputerPlayers(*stored.computerPlayers);
    setComputerLevel(Levels::fromName(stored.computerLevel).value_or(Levels::kDefault));
}

void Tgamestart::keepChoices(GameSettings& settings) const
{
    settings.timePerTurn = timePerTurn();
    settings.computerPlayers = computerPlayers();
    settings.computerLevel = Levels::nameOf(computerLevel());
}

void Tgamestart::showTeamChoice()
{
    image_team->setPixmap(Artwork::tickBox(teamGame()));
}

void Tgamestart::image_teamClick()
{
    if (teamTag_ != 0) {
        teamTag_ = 0;
        showTeamChoice();
        return;
    }
    // Two teams of two need every free place filled by a computer player.
    if (computerPlayers() < freePlaces_) {
        const auto answer = QMessageBox::question(
            this, windowTitle(),
            QStringLiteral(
                "There are not enough players for evenly matched teams. Do you wish to play a team "
                "game anyway?"),
            QMessageBox::Yes | QMessageBox::No);
        if (answer != QMessageBox::Yes)
            return;
    }
    teamTag_ = 1;
    showTeamChoice();
}

void Tgamestart::button_startClick()
{
    Q_EMIT startRequested(QByteArray::number(timePerTurn()), teamGame());
    hide();
}
