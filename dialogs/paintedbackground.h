#pragma once

#include <QObject>

#include <functional>

class QPainter;
class QWidget;

// Paints a picture as a widget's background each time the widget is painted, rather than
// keeping it as a pixmap. The game's large pictures (the lane under every window, the score
// sheet, the lobby's poster) would each hold as much memory as the pixels of a window, shown or
// not; painted, a window never shown costs nothing for them, and a shown one keeps them only in
// its backing store.
class PaintedBackground : public QObject {
public:
    // Paints on a painter set to the widget's top left corner.
    using Painting = std::function<void(QPainter& painter)>;

    // Paints behind `widget`, which owns it from then on.
    PaintedBackground(QWidget* widget, Painting painting);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* widget_;
    Painting painting_;
};
