#include "tdownload.h"

#include "artwork.h"
#include "datafolder.h"
#include "dialoglook.h"
#include "faultreport.h"
#include "shellopen.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QStandardPaths>

#include <stdexcept>

namespace {

constexpr QSize kClientArea(724, 500);
// Inno Setup's switches: no "this will install" prompt, no wizard, no start menu folder.
const QStringList kInstallerSwitches{QStringLiteral("/SP-"), QStringLiteral("/silent"),
                                     QStringLiteral("/noicons")};

QPushButton* makePushButton(QWidget* parent, const char* name, const QRect& geometry, const QString& caption)
{
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setGeometry(geometry);
    return button;
}

QLabel* makeWrappedLabel(QWidget* parent, const char* name, const QRect& geometry, const QString& text)
{
    QLabel* label = makeLabel(parent, name, geometry, text);
    label->setWordWrap(true);
    return label;
}

} // namespace

DownloadPlaces DownloadPlaces::standard(const QString& address)
{
    const QString ownFolder = QCoreApplication::applicationDirPath();
#ifdef Q_OS_WIN
    const QString lobby = QStringLiteral("C:\\Program Files\\Varo11\\Varo11Lobby.exe");
#else
    const QString lobby = QDir(ownFolder).filePath(QStringLiteral("Varo11Lobby"));
#endif
    // A copy installed for the whole system cannot write beside itself: the user's downloads
    // folder takes the installer then.
    const QString saveIn =
        chooseDataFolder(ownFolder, QStandardPaths::writableLocation(QStandardPaths::DownloadLocation));
    return {address, saveIn, lobby};
}

Tdownload::Tdownload(DownloadPlaces places, QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint),
      places_(std::move(places))
{
    giveDialogLook(this, "download", QStringLiteral("Download The Varo11 Lobby"), kClientArea);
    buildControls();
    HttpCli1.OnHeaderData = [this](const QByteArray&) { HttpCli1HeaderData(); };
    HttpCli1.OnDocBegin = [this] { HttpCli1DocBegin(); };
    HttpCli1.OnDocData = [this](qint64 received) { HttpCli1DocData(received); };
}

void Tdownload::buildControls()
{
    makePaintedPicture(this, "Image1", {8, 8, 400, 339}, Artwork::paintLobbyAdvert);

    constexpr int kLeft = 420;
    constexpr int kWidth = 296;
    QLabel* closed = makeLabel(this, "Label2", {kLeft, 8, kWidth, 36}, QStringLiteral("IS CLOSED"));
    QFont big = closed->font();
    big.setPixelSize(26);
    big.setBold(true);
    closed->setFont(big);
    closed->setAlignment(Qt::AlignCenter);
    closed->setStyleSheet(QStringLiteral("color: #c81818"));
    makeWrappedLabel(this, "Label1", {kLeft, 48, kWidth, 60},
                     QStringLiteral("Download The Varo11 Lobby Now to play this  and other exciting games "
                                    "online with other players!"));
    getbutton = makePushButton(this, "getbutton", {kLeft, 112, kWidth, 30},
                               QStringLiteral("Download And Install The Varo11 Lobby Now"));
    abortbutton =
        makePushButton(this, "abortbutton", {kLeft, 146, kWidth, 26}, QStringLiteral("Stop Download"));
    infolabel = makeLabel(this, "infolabel", {kLeft, 180, kWidth, 20});
    infolabel->setAlignment(Qt::AlignCenter);
    infolabel3 = makeLabel(this, "infolabel3", {kLeft, 202, kWidth, 20});
    infolabel3->setAlignment(Qt::AlignCenter);
    infolabel2 = makeLabel(this, "infolabel2", {kLeft, 224, kWidth, 20});
    infolabel2->hide();
    makeWrappedLabel(this, "Label7", {kLeft, 236, kWidth, 48},
                     QStringLiteral("To proceed to the game without the ability to play against others click "
                                    "the button below."));
    QPushButton* solo =
        makePushButton(this, "Button1", {kLeft, 288, kWidth, 30}, QStringLiteral("Play Solo Game"));

    makeWrappedLabel(this, "Label3", {8, 356, 708, 40},
                     QStringLiteral("Note: Even if you are playing offline, you will need to configure your "
                                    "FIREWALL to allow the game to access the internet components."));
    makeWrappedLabel(
        this, "Label5", {8, 400, 708, 48},
        QStringLiteral("If you already have The Varo11 Lobby and you wish to play with others then "
                       "click the button below to close this game and open The Varo11 Lobby."));
    QPushButton* others =
        makePushButton(this, "Button2", {262, 456, 200, 32}, QStringLiteral("Play with Others"));

    connect(getbutton, &QPushButton::clicked, this,
            [this] { FaultReport::guard([this] { getbuttonClick(); }); });
    connect(abortbutton, &QPushButton::clicked, this, [this] { abortbuttonClick(); });
    connect(solo, &QPushButton::clicked, this, [this] { Button1Click(); });
    connect(others, &QPushButton::clicked, this, [this] { Button2Click(); });
}

void Tdownload::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (const QScreen* desktop = screen())
        move(desktop->availableGeometry().center() - rect().center());
}

void Tdownload::getbuttonClick()
{
    downloadState_ = kNormal;
    fileName_ = places_.address.section(QLatin1Char('/'), -1);
    infolabel2->setText(fileName_);
    // Unbuffered, so that a full disk fails the write that fills it, not a later close.
    QFile file(QDir(places_.folder).filePath(fileName_));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered))
        throw std::runtime_error(
            QStringLiteral("Cannot create %1: %2").arg(file.fileName(), file.errorString()).toStdString());

    getbutton->setEnabled(false);
    abortbutton->setEnabled(true);
    infolabel->setText(QStringLiteral("Loading"));
    try {
        HttpCli1.URL = places_.address;
        HttpCli1.Get(&file);
        infolabel->setText(QStringLiteral("Received %1 bytes").arg(file.size()));
    } catch (const HttpError& failure) {
        infolabel->setText(QStringLiteral("Download Aborted"));
        // Below it, why, unless the player stopped it and has been told so.
        if (downloadState_ != kAborted)
            infolabel3->setText(
                failure.status() >= 400
                    ? QStringLiteral("The server answered %1 %2").arg(failure.status()).arg(failure.reason())
                    : failure.reason());
        downloadState_ = kAborted;
        // Part of an installer is of no use to anybody, and would only be mistaken for one.
        file.remove();
    }
    getbutton->setEnabled(true);
    abortbutton->setEnabled(false);
    file.close();
    if (downloadState_ != kAborted)
        install(file.fileName());
}

void Tdownload::install(const QString& installer)
{
    infolabel3->setText(QStringLiteral("Installing"));
    if (ShellOpen::open(installer, kInstallerSwitches))
        Q_EMIT exitRequested(); // the installer replaces this program
    else
        QMessageBox::warning(this, windowTitle(), QStringLiteral("An Error has Occurred."));
}

void Tdownload::abortbuttonClick()
{
    HttpCli1.Abort();
    infolabel->setText(QStringLiteral("Download has been aborted."));
    downloadState_ = kAborted;
    infolabel3->setText(QStringLiteral("Download Aborted"));
}

void Tdownload::Button2Click()
{
    // Without the lobby the game finds others itself.
    if (!QFileInfo::exists(places_.lobbyProgram)) {
        close();
        Q_EMIT othersRequested();
        return;
    }
    ShellOpen::open(places_.lobbyProgram);
    Q_EMIT exitRequested();
}

void Tdownload::HttpCli1HeaderData()
{
    infolabel->setText(infolabel->text() + QLatin1Char('.'));
}

void Tdownload::HttpCli1DocBegin()
{
    infolabel3->setText(QStringLiteral("Downloading: ") + fileName_);
}

void Tdownload::HttpCli1DocData(qint64 received)
{
    infolabel->setText(QStringLiteral("%1 bytes").arg(received));
}
