#include "hostingfailedbox.h"

#include <QMessageBox>
#include <QPushButton>

AfterHostingFailed askAfterHostingFailed(QWidget* parent, const QString& why, bool gameHoldsIt)
{
    const QString advice = gameHoldsIt ? QStringLiteral("It is a Pinfall game: you can join it.")
                                       : QStringLiteral("Close that program and try again, or start Pinfall "
                                                        "with PINFALL_PORT set to a free port.");
    QMessageBox box(QMessageBox::Warning, parent->windowTitle(), why + QLatin1Char(' ') + advice,
                    QMessageBox::Retry, parent);
    QPushButton* joinIt =
        gameHoldsIt ? box.addButton(QStringLiteral("Join the game on this machine"), QMessageBox::AcceptRole)
                    : nullptr;
    box.setEscapeButton(box.addButton(QStringLiteral("Play with Others"), QMessageBox::RejectRole));
    if (joinIt != nullptr)
        box.setDefaultButton(joinIt);
    box.exec();
    if (box.clickedButton() == box.button(QMessageBox::Retry))
        return AfterHostingFailed::Retry;
    if (joinIt != nullptr && box.clickedButton() == joinIt)
        return AfterHostingFailed::JoinGameHere;
    return AfterHostingFailed::PlayWithOthers;
}
