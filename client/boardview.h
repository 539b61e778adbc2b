#pragma once

#include "gamerules.h"
#include "rack.h"

#include <QWidget>

#include <array>

class ChatPane;
class GameSession;
class PictureButton;
class QLabel;
class RosterMenu;
class ScoreCard;

// The board the main window shows: the roster with its scores and words, the score sheet, the
// rack and the word row, the turn's buttons and clock, and the chat at its foot. It draws its
// game session as the session reports changes, and hands the player's clicks on tiles, turn
// buttons and the roster's menu straight to it.
class BoardView : public QWidget {
    Q_OBJECT

public:
    BoardView(GameSession& session, QWidget* parent);

    ChatPane& chat() { return *chat_; }

Q_SIGNALS:
    void startClicked();
    void logoClicked();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    static constexpr int kSlots = Rules::kPlayerSlots;

    void buildRoster();
    void buildTurn();
    void buildClock();
    void drawRoster();
    void drawBoard();
    void drawClock(bool ticking);
    void drawGameStart();

    GameSession& session_;
    QLabel* label_teamgame = nullptr;
    std::array<QLabel*, kSlots + 1> label_playername{};
    std::array<QLabel*, kSlots + 1> label_score{};
    std::array<QLabel*, kSlots + 1> image_eyes{};
    std::array<QLabel*, kSlots + 1> image_winner{};
    std::array<std::array<QLabel*, 4>, kSlots + 1> label_word{}; // [slot][line 1 to 3]
    ScoreCard* scorecard = nullptr;
    std::array<QLabel*, Rack::kTiles + 1> image_word{};    // the word row, 1 to 10
    std::array<QLabel*, Rack::kTiles + 1> image_letters{}; // the rack, 1 to 10
    QLabel* label_theword = nullptr;
    QLabel* label_status = nullptr;
    QLabel* label_timeperturn = nullptr;
    QLabel* label_timer = nullptr;
    QLabel* image_timer = nullptr;
    QWidget* panel_badword = nullptr;
    QLabel* image_noplay = nullptr;
    PictureButton* button_start = nullptr;
    PictureButton* button_send = nullptr;
    PictureButton* button_clear = nullptr;
    PictureButton* button_sort = nullptr;
    ChatPane* chat_ = nullptr;
    RosterMenu* rosterMenu_ = nullptr; // on a right click on a name
};
