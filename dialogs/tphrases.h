#pragma once

#include <QStringList>
#include <QWidget>

#include <array>

class QLineEdit;

// The phrase dialog: the player edits the texts of the ten phrase buttons.
class Tphrases : public QWidget {
    Q_OBJECT

public:
    static constexpr int kPhrases = 10;
    static constexpr int kMaxLength = 50;

    explicit Tphrases(QWidget* parent = nullptr);

    void setPhrases(const QStringList& phrases);
    QStringList phrases() const;

    void button_doneClick();

Q_SIGNALS:
    // "Done": the ten phrases as the dialog shows them.
    void phrasesChosen(const QStringList& phrases);

private:
    std::array<QLineEdit*, kPhrases> phrase{};
};
