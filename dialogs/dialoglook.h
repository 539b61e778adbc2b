#pragma once

#include "artwork.h"

#include <QLabel>
#include <QWidget>

// Gives a dialog the look every window of the game shares: a fixed size, and the lane of the
// main window's board as its background.
inline void giveDialogLook(QWidget* dialog, const char* name, const QString& title, QSize size)
{
    dialog->setObjectName(QString::fromLatin1(name));
    dialog->setWindowTitle(title);
    dialog->setFixedSize(size);
    QPalette background = dialog->palette();
    background.setBrush(QPalette::Window, Artwork::boardBackground(size));
    dialog->setPalette(background);
    dialog->setAutoFillBackground(true);
}

// A label of a window laid out by hand, found by its name.
inline QLabel* makeLabel(QWidget* parent, const char* name, const QRect& geometry, const QString& text = {})
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setGeometry(geometry);
    return label;
}
