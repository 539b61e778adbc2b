#pragma once

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QStringList>
#include <QWidget>

// What does not fit in `window`, one line each.
inline QStringList textMisfits(const QWidget& window)
{
    QStringList found;
    QList<const QWidget*> entries; // what a label must not run under
    for (const QWidget* widget : window.findChildren<QWidget*>()) {
        if (qobject_cast<const QLineEdit*>(widget) != nullptr ||
            qobject_cast<const QAbstractSpinBox*>(widget) != nullptr ||
            qobject_cast<const QComboBox*>(widget) != nullptr)
            entries << widget;
    }
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
        for (const QWidget* entry : entries) {
            const QRect written(label->mapTo(&window, QPoint(0, 0)), needed.size());
            if (entry->parentWidget() == label->parentWidget() &&
                written.intersects(QRect(entry->mapTo(&window, QPoint(0, 0)), entry->size())))
                found << name(label, text) + QStringLiteral(" runs under ") + entry->objectName();
        }
    }
    // A choice needs room for its longest item besides the arrow.
    for (const QComboBox* choice : window.findChildren<QComboBox*>()) {
        if (!choice->isHidden() && choice->sizeHint().width() > choice->width())
            found << name(choice, choice->currentText()) + QStringLiteral(" is cut");
    }
    for (const QAbstractButton* button : window.findChildren<QAbstractButton*>()) {
        const QString text = button->text().remove(QLatin1Char('&'));
        if (!text.isEmpty() && !button->isHidden() &&
            QFontMetrics(button->font()).horizontalAdvance(text) + 8 > button->width())
            found << name(button, text) + QStringLiteral(" is cut");
    }
    return found;
}
