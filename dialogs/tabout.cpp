#include "tabout.h"

#include "dialoglook.h"

#include <QLabel>
#include <QPushButton>

#include "picturebutton.h"

Tabout::Tabout(const QString& homePage, QWidget* parent) : QWidget(parent, Qt::Dialog)
{
    giveDialogLook(this, "about", QStringLiteral("Pinfall - About"), {304, 174});
    URL1.URL = homePage;
    auto* title = new QLabel(QStringLiteral("Pinfall"), this);
    title->setObjectName(QStringLiteral("Label8"));
    QFont big = title->font();
    big.setPixelSize(28);
    big.setBold(true);
    title->setFont(big);
    title->setAlignment(Qt::AlignCenter);
    title->setGeometry(0, 8, 304, 36);

    auto* link = new PictureButton(this);
    link->setObjectName(QStringLiteral("Label7"));
    link->setText(QStringLiteral("<u>http://") + homePage.toHtmlEscaped() + QStringLiteral("</u>"));
    link->setAlignment(Qt::AlignCenter);
    link->setCursor(Qt::PointingHandCursor);
    link->setGeometry(0, 48, 304, 20);
    connect(link, &PictureButton::clicked, this, [this] { Label7Click(); });

    auto* credit = new QLabel(QStringLiteral("A word game scored like ten-pin bowling."), this);
    credit->setObjectName(QStringLiteral("Label2"));
    credit->setAlignment(Qt::AlignCenter);
    credit->setGeometry(0, 70, 304, 18);
    auto* licence = new QLabel(QStringLiteral("Free software under the MIT licence."), this);
    licence->setObjectName(QStringLiteral("licence"));
    licence->setAlignment(Qt::AlignCenter);
    licence->setGeometry(0, 86, 304, 18);

    auto* versionLabel = new QLabel(QStringLiteral("Version"), this);
    versionLabel->setObjectName(QStringLiteral("Label1"));
    versionLabel->setGeometry(96, 108, 50, 20);
    auto* number = new QLabel(version(), this);
    number->setObjectName(QStringLiteral("version"));
    number->setGeometry(146, 108, 34, 20);
    auto* build = new QLabel(QStringLiteral(".15"), this);
    build->setObjectName(QStringLiteral("Label9"));
    build->setGeometry(180, 108, 30, 20);

    auto* done = new QPushButton(QStringLiteral("Done"), this);
    done->setObjectName(QStringLiteral("button_done"));
    done->setGeometry(115, 136, 74, 28);
    connect(done, &QPushButton::clicked, this, &QWidget::hide);
}
