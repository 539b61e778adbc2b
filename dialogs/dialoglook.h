#pragma once

#include "artwork.h"
#include "paintedbackground.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QShortcut>
#include <QWidget>

// Gives a widget the lane of the main window's board as its background.
inline void standOnLane(QWidget* widget)
{
    new PaintedBackground(widget,
                          [widget](QPainter& painter) { Artwork::paintBoard(painter, widget->size()); });
}

// Gives a dialog the look every window of the game shares: a fixed size, and the lane of the
// main window's board as its background.
inline void giveDialogLook(QWidget* dialog, const char* name, const QString& title, QSize size)
{
    dialog->setObjectName(QString::fromLatin1(name));
    dialog->setWindowTitle(title);
    dialog->setFixedSize(size);
    standOnLane(dialog);
    QObject::connect(new QShortcut(QKeySequence(Qt::Key_Escape), dialog), &QShortcut::activated, dialog,
                     &QWidget::close);
}

// Escape in the open list of `choice` closes the list only. Left alone, the list lets the key go
// on to the dialog's Escape shortcut, which closes the dialog as well.
inline void keepEscapeInList(QComboBox* choice)
{
    struct KeepEscape : QObject {
        using QObject::QObject;
        bool eventFilter(QObject* /*watched*/, QEvent* event) override
        {
            if (event->type() != QEvent::ShortcutOverride ||
                !static_cast<QKeyEvent*>(event)->matches(QKeySequence::Cancel))
                return false;
            event->accept(); // the list's own key handling closes it
            return true;
        }
    };
    choice->view()->installEventFilter(new KeepEscape(choice->view()));
}

// A large picture of a window laid out by hand, painted each time it is shown, found by its name.
inline void makePaintedPicture(QWidget* parent, const char* name, const QRect& geometry,
                               PaintedBackground::Painting painting)
{
    auto* picture = new QWidget(parent);
    picture->setObjectName(QString::fromLatin1(name));
    picture->setGeometry(geometry);
    new PaintedBackground(picture, std::move(painting));
}

// A label of a window laid out by hand, found by its name.
inline QLabel* makeLabel(QWidget* parent, const char* name, const QRect& geometry, const QString& text = {})
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setGeometry(geometry);
    return label;
}
