#pragma once

#include "tallygrid.h"

#include <QString>
#include <QStringList>
#include <QWidget>

#include <array>
#include <functional>

class QLabel;
class QListWidget;
class QListWidgetItem;

// The tally window: the user's own totals and, for every opponent the user follows, the
// games played together and who won them, all time and this run. The numbers live in a grid
// kept in a compressed file beside the settings; it is read when the window is created and
// written after every finished game and when the window is destroyed.
class Ttallylist : public QWidget {
    Q_OBJECT

public:
    static constexpr char kWinnerIsMe[] = "addtomine";

    // `tallyFile`: the compressed file. `report` tells the user about a tally that cannot be read.
    Ttallylist(QString tallyFile, std::function<void(const QString&)> report, QWidget* parent = nullptr);
    ~Ttallylist() override;

    // Own counters: k = 1 games, 2 wins, 3 perfect games, 4 strikes.
    void addtomineincrease(int k);
    // A finished game with one winner: kWinnerIsMe, or the winning player's name.
    void addgame(const QString& winner);
    // The user's final score of the game just counted.
    void figureave(int score);
    // "Players In Current Game": the names the main window's roster shows, besides the user's own.
    void setPlayersInGame(const QStringList& names);
    // The main window's way to fill "Players In Current Game"; a game counted asks it first.
    std::function<void()> loadchecklist;

    void checklistClickCheck(int row);
    void listbox_tallyClickCheck(int row);
    void listbox_tallyClick(int row);
    void button_resetClick();

    const TallyGrid& grid() const { return stringgrid_scores; }
    QStringList followed() const;
    QStringList playersInGame() const;
    QString shown(const char* label) const;

private:
    void load();
    void save() const;
    void loadtally();
    void showOwn(int k);
    int followedRow(const QString& name) const; // grid row, 0 if not followed

    QString tallyFile_;
    std::function<void(const QString&)> report_;
    TallyGrid stringgrid_scores;
    QListWidget* checklist = nullptr;
    QListWidget* listbox_tally = nullptr;
    std::array<QLabel*, 7> mylabel{}; // 1 to 6
    std::array<QLabel*, 9> label{};   // 1 to 8
    QLabel* label_hisname = nullptr;
    QLabel* label_hisnametop = nullptr;
};
