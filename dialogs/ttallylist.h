#pragma once

#include "tally.h"

#include <QString>
#include <QWidget>

#include <array>

class QLabel;
class QListWidget;

// The tally window: shows the tally it owns (the user's own totals, the followed opponents and
// the selected one's numbers, the players in the current game) and hands the user's ticks and
// buttons to it. It is hidden most of the time and keeps its state between showings.
class Ttallylist : public QWidget {
    Q_OBJECT

public:
    // `tallyFile`: the compressed file. `report` tells the user about a tally that cannot be read.
    Ttallylist(QString tallyFile, Tally::Report report, QWidget* parent = nullptr);

    Tally& tally() { return tally_; }

    void checklistClickCheck(int row);
    void listbox_tallyClickCheck(int row);
    void listbox_tallyClick(int row);
    void button_resetClick();

    QString shown(const char* label) const;

private:
    void showOwnTotals();
    void showFollowed();
    void showPlayersInGame();
    void showSelectedAgain();

    Tally tally_;
    QListWidget* checklist = nullptr;
    QListWidget* listbox_tally = nullptr;
    std::array<QLabel*, 7> mylabel{}; // 1 to 6
    std::array<QLabel*, 9> label{};   // 1 to 8
    QLabel* label_hisname = nullptr;
    QLabel* label_hisnametop = nullptr;
};
