#include "tgamestart.h"

#include "artwork.h"
#include "dialoglook.h"
#include "picturebutton.h"

#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QSpinBox>

Tgamestart::Tgamestart(QWidget* parent) : QWidget(parent, Qt::Dialog)
{
    giveDialogLook(this, "gamestart", QStringLiteral("Pinfall - Game Start"), {257, 147});

    auto* title = new QLabel(QStringLiteral("Game Options"), this);
    title->setObjectName(QStringLiteral("Label3"));
    QFont titleFont = title->font();
    titleFont.setPixelSize(19);
    titleFont.setBold(true);
    title->setFont(titleFont);
    title->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    title->setGeometry(0, 6, 257, 24);

    auto* timeLabel = new QLabel(QStringLiteral("Time Per Turn:"), this);
    timeLabel->setObjectName(QStringLiteral("Label1"));
    timeLabel->setGeometry(40, 42, 100, 22);

    UpDown2 = new QSpinBox(this);
    UpDown2->setObjectName(QStringLiteral("UpDown2"));
    UpDown2->setRange(kMinimumSeconds, kMaximumSeconds);
    UpDown2->setSingleStep(5);
    UpDown2->setValue(60);
    UpDown2->setWrapping(false);
    UpDown2->setGeometry(145, 40, 64, 24);
    // The number is chosen with the arrows only, in steps of 5.
    if (auto* edit_creationtime = UpDown2->findChild<QLineEdit*>()) {
        edit_creationtime->setObjectName(QStringLiteral("edit_creationtime"));
        edit_creationtime->setReadOnly(true);
    }

    image_team = new PictureButton(this);
    image_team->setObjectName(QStringLiteral("image_team"));
    image_team->setGeometry(72, 72, 33, 23);
    image_team->setCursor(Qt::PointingHandCursor);
    auto* teamLabel = new QLabel(QStringLiteral("Team Game"), this);
    teamLabel->setObjectName(QStringLiteral("label6"));
    teamLabel->setGeometry(108, 72, 90, 23);
    showTeamChoice();
    connect(image_team, &PictureButton::clicked, this, &Tgamestart::image_teamClick);

    auto* start = new PictureButton(this);
    start->setObjectName(QStringLiteral("Image1"));
    start->setPixmap(Artwork::captionButton(QStringLiteral("START GAME")));
    start->setGeometry(76, 110, 104, 23);
    start->setCursor(Qt::PointingHandCursor);
    connect(start, &PictureButton::clicked, this, &Tgamestart::button_startClick);
}

void Tgamestart::setTimePerTurn(int seconds)
{
    UpDown2->setValue(std::clamp(seconds, kMinimumSeconds, kMaximumSeconds));
}

int Tgamestart::timePerTurn() const
{
    return UpDown2->value();
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
    if (!allPlacesTaken_) {
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
