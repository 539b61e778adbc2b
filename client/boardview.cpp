#include "boardview.h"

#include "artwork.h"
#include "chatpane.h"
#include "dialoglook.h"
#include "faultreport.h"
#include "gamesession.h"
#include "picturebutton.h"
#include "rostermenu.h"
#include "scorecard.h"
#include "typeface.h"

#include <QMouseEvent>

namespace {

const QColor kRosterColour(221, 0, 0);
// Tops of the roster's rows, slots 1 to 4.
constexpr std::array<int, 4> kWinnerTops{32, 73, 113, 154};
constexpr std::array<int, 4> kEyesTops{43, 83, 123, 163};
constexpr std::array<int, 4> kNameTops{49, 89, 129, 169};
constexpr std::array<int, 4> kScoreTops{46, 86, 126, 166};
// Left edges of the rack's places and of the word row's, 0 to 9.
constexpr std::array<int, Rack::kTiles> kTileLefts{8, 52, 97, 141, 186, 230, 275, 319, 364, 408};
constexpr int kRackTop = 289;
constexpr int kChosenTop = 282;
constexpr int kTimeBarWidth = 97;

// Every user action is one event: whatever it throws goes to the general error report.
template <typename Handler> auto guarded(Handler handler)
{
    return [handler] { FaultReport::guard(handler); };
}

QLabel* makePicture(QWidget* parent, const QString& name, const QRect& geometry, const QPixmap& picture)
{
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->setGeometry(geometry);
    label->setPixmap(picture);
    return label;
}

PictureButton* makeButton(QWidget* parent, const char* name, const QRect& geometry, const QString& caption)
{
    auto* button = new PictureButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setGeometry(geometry);
    button->setPixmap(Artwork::captionButton(caption, geometry.size()));
    button->setCursor(Qt::PointingHandCursor);
    return button;
}

QString numbered(const char* prefix, int number)
{
    return QString::fromLatin1(prefix) + QString::number(number);
}

// The picture of a letter on a tile: "a" to "z" give 1 to 26; anything else has none.
int numofletter(char letter)
{
    return letter >= 'a' && letter <= 'z' ? letter - 'a' + 1 : 0;
}

int pictureOf(const Rack::WordCell& cell, int place)
{
    switch (cell.shows) {
    case Rack::WordCell::Shows::Tile:
        return numofletter(cell.letter);
    case Rack::WordCell::Shows::FallenPin:
        return Artwork::kFallenPin;
    case Rack::WordCell::Shows::StandingPin:
        break;
    }
    return Artwork::kFirstStandingPin + place - 1;
}

void showPicture(QLabel* place, int picture)
{
    place->setPixmap(Artwork::tile(picture));
}

void setTextColour(QLabel* label, const QColor& colour)
{
    QPalette text = label->palette();
    text.setColor(QPalette::WindowText, colour);
    label->setPalette(text);
}

} // namespace

BoardView::BoardView(GameSession& session, QWidget* parent) : QWidget(parent), session_(session)
{
    setObjectName(QStringLiteral("panel_board"));
    resize(567, 525);
    standOnLane(this);
    makePaintedPicture(this, "Image4", {6, 5, 554, 205}, Artwork::paintScoreSheet);
    scorecard = new ScoreCard(session_.sheet(), this);
    scorecard->setObjectName(QStringLiteral("scorecard"));
    scorecard->setGeometry(107, 28, 273, 160);
    buildRoster();
    buildTurn();
    buildClock();
    chat_ = new ChatPane(this);
    chat_->move(7, 332);
    auto* logo = makeButton(this, "Image2", {505, 500, 58, 24}, QString());
    logo->setPixmap(Artwork::logo());
    logo->setToolTip(QStringLiteral("Pinfall on the web"));
    connect(logo, &PictureButton::clicked, this, &BoardView::logoClicked);

    const auto drawing = [this](auto draw) { return [draw] { FaultReport::guard(draw); }; };
    connect(&session_, &GameSession::rosterChanged, this, drawing([this] { drawRoster(); }));
    connect(&session_, &GameSession::boardChanged, this, drawing([this] { drawBoard(); }));
    connect(&session_, &GameSession::clockTicked, this, drawing([this] { drawClock(true); }));
    connect(&session_, &GameSession::gameStarted, this, drawing([this] { drawGameStart(); }));
    drawRoster();
    drawBoard();
}

void BoardView::buildRoster()
{
    label_teamgame = makeLabel(this, "label_teamgame", {16, 15, 87, 14}, QStringLiteral("Good Luck!"));
    setTextColour(label_teamgame, QColor(255, 222, 140)); // it stands on the sheet's dark heading
    QFont headerFont = label_teamgame->font();
    headerFont.setBold(true);
    label_teamgame->setFont(headerFont);

    rosterMenu_ = new RosterMenu(session_, this);
    const QFont rosterFont = Typeface::bold(13);
    const QFont wordFont = Typeface::bold(10); // three lines within the row
    for (int slot = 1; slot <= kSlots; ++slot) {
        const auto row = static_cast<std::size_t>(slot - 1);
        image_winner[slot] = makePicture(this, numbered("image_winner", slot), {11, kWinnerTops[row], 94, 16},
                                         Artwork::winnerMark());
        image_eyes[slot] =
            makePicture(this, numbered("image_eyes", slot), {12, kEyesTops[row], 25, 9}, Artwork::eyes());
        image_eyes[slot]->hide();
        QLabel* name = makeLabel(this, "", {13, kNameTops[row], 94, 16}, QStringLiteral("<Waiting>"));
        name->setObjectName(numbered("label_playername", slot));
        name->setProperty("Tag", slot);
        name->setFont(rosterFont);
        name->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(name, &QLabel::customContextMenuRequested, this, [this, slot, name](const QPoint& at) {
            rosterMenu_->prepare(slot);
            rosterMenu_->popup(name->mapToGlobal(at));
        });
        label_playername[slot] = name;
        QLabel* score = makeLabel(this, "", {381, kScoreTops[row], 33, 19}, QStringLiteral("0"));
        score->setObjectName(numbered("label_score", slot));
        score->setAlignment(Qt::AlignCenter);
        score->setFont(rosterFont);
        label_score[slot] = score;
        for (int line = 1; line <= 3; ++line) {
            QLabel* word = makeLabel(this, "", {421, kWinnerTops[row] - 1 + 12 * (line - 1), 130, 12});
            word->setObjectName(numbered("label_word", slot * 10 + line));
            word->setFont(wordFont);
            label_word[static_cast<std::size_t>(slot)][static_cast<std::size_t>(line)] = word;
        }
    }
    label_theword = makeLabel(this, "label_theword", {16, 189, 536, 14});
    label_theword->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
}

void BoardView::buildTurn()
{
    button_clear = makeButton(this, "button_clear", {8, 213, 104, 23}, QStringLiteral("CLEAR WORD"));
    button_start = makeButton(this, "button_start", {64, 212, 104, 23}, QStringLiteral("START GAME"));
    button_send = makeButton(this, "button_send", {120, 213, 104, 23}, QStringLiteral("SEND WORD"));
    connect(button_start, &PictureButton::clicked, this, &BoardView::startClicked);
    connect(button_clear, &PictureButton::clicked, this, guarded([this] { session_.clearWord(); }));
    connect(button_send, &PictureButton::clicked, this, guarded([this] { session_.sendWord(); }));
    label_status = makeLabel(this, "label_status", {230, 216, 327, 16}, QStringLiteral("Welcome Pinfall"));

    for (int k = 1; k <= Rack::kTiles; ++k) {
        const int left = kTileLefts[static_cast<std::size_t>(k - 1)];
        for (auto [row, name, top] : {std::tuple{&image_word, "image_word", 240},
                                      std::tuple{&image_letters, "image_letters", kRackTop}}) {
            QLabel* place = makeLabel(this, "", {left, top, 41, 41});
            place->setObjectName(numbered(name, k));
            place->installEventFilter(this);
            (*row)[static_cast<std::size_t>(k)] = place;
        }
    }
    button_sort = new PictureButton(this);
    button_sort->setObjectName(QStringLiteral("button_sort"));
    button_sort->setGeometry(465, 241, 32, 32);
    button_sort->setPixmap(Artwork::sortArrows());
    button_sort->setToolTip(QStringLiteral("Sort Letters"));
    connect(button_sort, &PictureButton::clicked, this, guarded([this] { session_.shuffle(); }));

    panel_badword = new QWidget(this);
    panel_badword->setObjectName(QStringLiteral("panel_badword"));
    panel_badword->setGeometry(120, 246, 240, 57);
    makePicture(panel_badword, QStringLiteral("badword"), {0, 0, 240, 57}, Artwork::badWordPanel());
    auto* ok = makeButton(panel_badword, "Image3", {95, 29, 50, 21}, QStringLiteral("OK"));
    connect(ok, &PictureButton::clicked, this, guarded([this] { session_.dismissRefusal(); }));
    image_noplay =
        makePicture(this, QStringLiteral("image_noplay"), {128, 262, 238, 41}, Artwork::framePending());
}

void BoardView::buildClock()
{
    label_timeperturn = makeLabel(this, "label_timeperturn", {449, 275, 118, 14});
    QFont clockCaption = label_timeperturn->font(); // the longest time, 120 s., between rack and edge
    clockCaption.setPointSize(8);
    label_timeperturn->setFont(clockCaption);
    label_timeperturn->setAlignment(Qt::AlignCenter);
    makePicture(this, QStringLiteral("Image1"), {453, 288, 107, 44}, Artwork::clockFrame());
    image_timer =
        makePicture(this, QStringLiteral("image_timer"), {459, 293, 97, 34}, Artwork::timeBar({97, 34}));
    image_timer->setScaledContents(true);
    label_timer = makeLabel(this, "label_timer", {463, 301, 80, 19}, QStringLiteral("Time: 0:00"));
    label_timer->setAlignment(Qt::AlignCenter);
    setTextColour(label_timer, Qt::white);
    QFont clockFont = label_timer->font();
    clockFont.setBold(true);
    label_timer->setFont(clockFont);
}

void BoardView::drawRoster()
{
    const bool teamGame = session_.teamGame();
    for (int slot = 1; slot <= kSlots; ++slot) {
        const Seat& seat = session_.seat(slot);
        const QString name = seat.away ? seat.name + QStringLiteral(" (away)") : seat.name;
        label_playername[slot]->setText(seat.taken ? name : QStringLiteral("<Waiting>"));
        label_score[slot]->setText(QString::number(seat.score));
        image_eyes[slot]->setVisible(seat.watching);
        image_winner[slot]->setVisible(session_.winners().contains(slot));
        for (int line = 1; line <= 3; ++line)
            label_word[static_cast<std::size_t>(slot)][static_cast<std::size_t>(line)]->setText(
                seat.words[static_cast<std::size_t>(line - 1)]);
        const QColor colour = seat.away                   ? QColor(Qt::gray)
                              : teamGame && slot % 2 == 1 ? QColor(Qt::black)
                                                          : kRosterColour;
        setTextColour(label_playername[slot], colour);
        setTextColour(label_score[slot], colour);
    }
    label_teamgame->setText(teamGame ? QStringLiteral("Team Game") : QStringLiteral("Good Luck!"));
    button_start->setVisible(session_.leads() && !session_.gameRunning());
}

void BoardView::drawBoard()
{
    const Rack& rack = session_.rack();
    for (int position = 1; position <= Rack::kTiles; ++position) {
        QLabel* tile = image_letters[static_cast<std::size_t>(position)];
        showPicture(tile, numofletter(rack.letterAt(position)));
        tile->move(kTileLefts[static_cast<std::size_t>(rack.placeOf(position))],
                   rack.chosen() == position ? kChosenTop : kRackTop);
        showPicture(image_word[static_cast<std::size_t>(position)],
                    pictureOf(rack.wordCell(position), position));
    }
    const bool myTurn = session_.myTurn();
    for (QWidget* button : {static_cast<QWidget*>(button_send), static_cast<QWidget*>(button_clear),
                            static_cast<QWidget*>(button_sort)})
        button->setVisible(myTurn);
    label_status->setText(session_.status());
    label_theword->setText(session_.wordsLine());
    panel_badword->setVisible(session_.refusalShown());
    image_noplay->setVisible(session_.sitsOutFrame());
    scorecard->update();
    if (!session_.clockRuns() && session_.secondsLeft() == 0)
        drawClock(false);
}

// The bar and the colour change as the clock ticks; the text also shows a clock set to nothing.
void BoardView::drawClock(bool ticking)
{
    const int seconds = session_.secondsLeft();
    if (ticking) {
        const int perTurn = std::max(1, session_.secondsPerTurn()); // a turn of no time still has a bar
        const int scale = perTurn < kTimeBarWidth ? kTimeBarWidth / perTurn : 1;
        // A clock beyond the bar's width fills it, however long it is.
        image_timer->resize(std::min(kTimeBarWidth, scale * std::min(seconds, kTimeBarWidth)),
                            image_timer->height());
    }
    if (ticking && seconds > 0)
        setTextColour(label_timer, seconds < 20 ? QColor(255, 0, 0) : QColor(224, 227, 157));
    label_timer->setText(
        QStringLiteral("Time: %1:%2").arg(seconds / 60).arg(seconds % 60, 2, 10, QLatin1Char('0')));
}

void BoardView::drawGameStart()
{
    label_timeperturn->setText(QStringLiteral("Time Per Turn: %1 s.").arg(session_.secondsPerTurn()));
}

// A tile on the rack answers the press (left: lay it, right: choose or swap it), a place in
// the word row the release (take the tile back).
bool BoardView::eventFilter(QObject* watched, QEvent* event)
{
    const bool press = event->type() == QEvent::MouseButtonPress;
    if (!press && event->type() != QEvent::MouseButtonRelease)
        return false;
    const auto* mouse = static_cast<QMouseEvent*>(event);
    for (int k = 1; k <= Rack::kTiles; ++k) {
        if (press && watched == image_letters[static_cast<std::size_t>(k)]) {
            FaultReport::guard([&] { session_.pressTile(k, mouse->button() == Qt::LeftButton); });
            return true;
        }
        if (!press && watched == image_word[static_cast<std::size_t>(k)]) {
            FaultReport::guard([&] { session_.takeBack(k); });
            return true;
        }
    }
    return false;
}
