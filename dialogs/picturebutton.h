#pragma once

#include <QLabel>
#include <QMouseEvent>

// A picture that acts as a button: the board's START GAME, SEND WORD and similar pictures.
class PictureButton : public QLabel {
    Q_OBJECT

public:
    using QLabel::QLabel;

Q_SIGNALS:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override
    {
        if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
            Q_EMIT clicked();
        QLabel::mouseReleaseEvent(event);
    }
};
