#pragma once

#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>
#include <QStringList>
#include <QWidget>

// What does not fit in `window`, one line each.
inline QStringList textMisfits(const QWidget& window)
{
    QStringList found;
    const auto name = [](const QWidget* widget, const QString& text) {
        return QStringLiteral("%1 \"%2\"").arg(widget->objectName(), text);
    };
    for (const QLabel* label : window.findChildren<QLabel*>()) {
        const QString text = label->text();
        if (text.isEmpty() || label->isHidden() || Qt::mightBeRichText(text))
            continue;
        const QFontMetrics metrics(label->font());
        const QRect needed =
            label->wordWrap()
                ? metrics.boundingRect(QRect(0, 0, label->width(), 10000), Qt::TextWordWrap, text)
                : QRect(0, 0, metrics.horizontalAdvance(text), metrics.tightBoundingRect(text).height());
        if (needed.width() > label->width() || needed.height() > label->height())
            found << name(label, text) + QStringLiteral(" is cut");
        // A text needs a little air before the next text on its row.
        for (const QLabel* next : window.findChildren<QLabel*>()) {
            const QRect written(label->pos(), needed.size());
            if (next != label && next->parentWidget() == label->parentWidget() && !next->isHidden() &&
                !next->text().isEmpty() && next->x() > label->x() && next->y() < written.bottom() &&
                label->y() < next->geometry().bottom() && written.right() + 3 > next->x())
                found << name(label, text) + QStringLiteral(" touches \"") + next->text() + QLatin1Char('"');
        }
        for (const QLineEdit* entry : window.findChildren<QLineEdit*>()) {
            const QRect written(label->mapTo(&window, QPoint(0, 0)), needed.size());
            if (entry->parentWidget() == label->parentWidget() &&
                written.intersects(QRect(entry->mapTo(&window, QPoint(0, 0)), entry->size())))
                found << name(label, text) + QStringLiteral(" runs under ") + entry->objectName();
        }
    }
    for (const QAbstractButton* button : window.findChildren<QAbstractButton*>()) {
        const QString text = button->text().remove(QLatin1Char('&'));
        if (!text.isEmpty() && !button->isHidden() &&
            QFontMetrics(button->font()).horizontalAdvance(text) + 8 > button->width())
            found << name(button, text) + QStringLiteral(" is cut");
    }
    return found;
}
