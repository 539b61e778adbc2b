#pragma once

#include "gamesettings.h"
#include "levels.h"

#include <QByteArray>
#include <QWidget>

class PictureButton;
class QComboBox;
class QSpinBox;

// The game start dialog: the host's user chooses the time per turn, the computer players and a
// team game, then starts. It only asks; the main window seats the computer players and sends
// the request to the host.
class Tgamestart : public QWidget {
    Q_OBJECT

public:
    static constexpr int kMinimumSeconds = 45;
    static constexpr int kMaximumSeconds = 120;

    explicit Tgamestart(QWidget* parent = nullptr);

    // The time per turn, brought within 45 to 120 seconds.
    void setTimePerTurn(int seconds);
    int timePerTurn() const;
    bool teamGame() const { return teamTag_ == 1; }

    // The player places that people do not hold, as the roster last showed: at most that many
    // computer players are offered, and a team game that leaves one of them empty is asked about.
    void setFreePlaces(int places);
    // Brought within 0 and the free places.
    void setComputerPlayers(int count);
    int computerPlayers() const;
    void setComputerLevel(Level level);
    Level computerLevel() const;
    // The choices the settings file keeps: shown as it holds them, written back as shown.
    void showChoices(const GameSettings& stored);
    void keepChoices(GameSettings& settings) const;

    void image_teamClick();
    void button_startClick();

Q_SIGNALS:
    // The time per turn as the dialog shows it, and whether the game is a team game.
    void startRequested(const QByteArray& secondsPerTurn, bool teamGame);

private:
    void showTeamChoice();

    QSpinBox* UpDown2;
    QSpinBox* computerPlayers_;
    QComboBox* computerLevel_;
    PictureButton* image_team;
    int teamTag_ = 0; // 1: team game
    int freePlaces_ = 0;
};
