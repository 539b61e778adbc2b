#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>

// Answers the next message box that opens, as a user would, and keeps its text.
class BoxAnswerer : public QObject {
public:
    explicit BoxAnswerer(QMessageBox::StandardButton answer = QMessageBox::Ok) : answer_(answer)
    {
        timer_.setInterval(10);
        connect(&timer_, &QTimer::timeout, this, [this] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (box == nullptr)
                return;
            text_ = box->text();
            timer_.stop();
            if (QAbstractButton* button = box->button(answer_))
                button->click();
            else
                box->reject();
        });
        timer_.start();
    }

    QString text() const { return text_; }

private:
    QMessageBox::StandardButton answer_;
    QTimer timer_;
    QString text_;
};
