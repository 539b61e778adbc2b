#include "paintedbackground.h"

#include <QPaintEvent>
#include <QPainter>
#include <QWidget>

PaintedBackground::PaintedBackground(QWidget* widget, Painting painting)
    : QObject(widget),
      widget_(widget),
      painting_(std::move(painting))
{
    widget_->installEventFilter(this);
}

bool PaintedBackground::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == widget_ && event->type() == QEvent::Paint) {
        QPainter painter(widget_);
        painter.setClipRegion(static_cast<QPaintEvent*>(event)->region());
        painting_(painter);
    }
    return false; // the widget paints itself over it
}
