#pragma once

#include <QWidget>

#include <array>

class QLabel;
class QStackedLayout;
class QTextEdit;
class Tabout;

// The help window: six pages, chosen with the buttons down its side.
class Thelp : public QWidget {
    Q_OBJECT

public:
    explicit Thelp(Tabout& about, QWidget* parent = nullptr);

    // Shows page 1 to 6 (what a page button with that Tag does).
    void SelButton1Click(int tag);
    int shownPage() const { return shown_; }
    QString caption() const;
    QString pageText(int tag) const;

private:
    QLabel* label_caption = nullptr;
    std::array<QTextEdit*, 7> memo{}; // 1 to 6
    QStackedLayout* pages_ = nullptr; // the page in front is the one shown
    int shown_ = 1;
};
