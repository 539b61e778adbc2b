// The main window's creation: the board with its controls at their places, and the menus.
#include "tchat.h"

#include "artwork.h"
#include "dialoglook.h"
#include "faultreport.h"
#include "messages.h"
#include "picturebutton.h"
#include "playcontroller.h"
#include "scorecard.h"
#include "tabout.h"
#include "tspylist.h"
#include "ttallylist.h"
#include "typeface.h"

#include <QActionGroup>
#include <QCloseEvent>
#include <QColorDialog>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextEdit>
#include <QUrl>

#include <cstdio>

namespace {

const QColor kWindowColour(190, 183, 155); // the platform colour value 10205118
// Tops of the roster's rows, slots 1 to 4.
constexpr std::array<int, 4> kWinnerTops{32, 73, 113, 154};
constexpr std::array<int, 4> kEyesTops{43, 83, 123, 163};
constexpr std::array<int, 4> kNameTops{49, 89, 129, 169};
constexpr std::array<int, 4> kScoreTops{46, 86, 126, 166};

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

} // namespace

Tchat::Tchat(QWidget* parent) : QMainWindow(parent), session_(Tabout::version())
{
    FormCreate();
}

Tchat::~Tchat()
{
    // No events for a window half taken down.
    QCoreApplication::instance()->removeEventFilter(this);
}

void Tchat::FormCreate()
{
    setObjectName(QStringLiteral("chat"));
    setWindowTitle(QStringLiteral("Pinfall"));
    resize(581, 576);
    pickColour = [this](const QColor& initial, const QString& title) -> std::optional<QColor> {
        const QColor chosen = QColorDialog::getColor(initial, this, title);
        return chosen.isValid() ? std::optional<QColor>(chosen) : std::nullopt;
    };
    openLink = [](const QString& address) { QDesktopServices::openUrl(QUrl::fromUserInput(address)); };
    noticeColour = QColor(0, 0, 255);
    buildBoard();
    buildMenus();
    applySettings();
    followSession();
    drawRoster();
    drawBoard();
    QCoreApplication::instance()->installEventFilter(this); // typing on the board: keys pass here first
}

void Tchat::buildBoard()
{
    auto* client = new QWidget(this);
    client->setAutoFillBackground(true);
    QPalette windowColour = client->palette();
    windowColour.setColor(QPalette::Window, kWindowColour);
    client->setPalette(windowColour);
    setCentralWidget(client);
    // The board never shrinks: the window keeps room for it and a margin.
    client->setMinimumSize(567 + 15, 525 + 12);

    panel_board = new QWidget(client);
    panel_board->setObjectName(QStringLiteral("panel_board"));
    panel_board->setGeometry(2, 2, 567, 525);
    standOnLane(panel_board);
    QWidget* board = panel_board;

    makePaintedPicture(board, "Image4", {6, 5, 554, 205}, Artwork::paintScoreSheet);
    scorecard = new ScoreCard(session_.sheet(), board);
    scorecard->setObjectName(QStringLiteral("scorecard"));
    scorecard->setGeometry(107, 28, 273, 160);
    label_teamgame = makeLabel(board, "label_teamgame", {16, 15, 87, 14}, QStringLiteral("Good Luck!"));
    QPalette onHeader = label_teamgame->palette(); // it stands on the sheet's dark heading
    onHeader.setColor(QPalette::WindowText, QColor(255, 222, 140));
    label_teamgame->setPalette(onHeader);
    QFont headerFont = label_teamgame->font();
    headerFont.setBold(true);
    label_teamgame->setFont(headerFont);

    const QFont rosterFont = Typeface::bold(13);
    for (int slot = 1; slot <= kPlayerSlots; ++slot) {
        const auto row = static_cast<std::size_t>(slot - 1);
        image_winner[slot] = makePicture(board, numbered("image_winner", slot),
                                         {11, kWinnerTops[row], 94, 16}, Artwork::winnerMark());
        image_eyes[slot] =
            makePicture(board, numbered("image_eyes", slot), {12, kEyesTops[row], 25, 9}, Artwork::eyes());
        image_eyes[slot]->hide();
        QLabel* name = makeLabel(board, "", {13, kNameTops[row], 94, 16}, QStringLiteral("<Waiting>"));
        name->setObjectName(numbered("label_playername", slot));
        name->setProperty("Tag", slot);
        name->setFont(rosterFont);
        name->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(name, &QLabel::customContextMenuRequested, this, [this, slot, name](const QPoint& at) {
            FaultReport::guard([&] {
                label_playername1ContextPopup(slot);
                popup_kick->popup(name->mapToGlobal(at));
            });
        });
        label_playername[slot] = name;
        QLabel* score = makeLabel(board, "", {381, kScoreTops[row], 33, 19}, QStringLiteral("0"));
        score->setObjectName(numbered("label_score", slot));
        score->setAlignment(Qt::AlignCenter);
        score->setFont(rosterFont);
        label_score[slot] = score;
        const QFont wordFont = Typeface::bold(10); // three lines within the row
        for (int line = 1; line <= 3; ++line) {
            QLabel* word = makeLabel(board, "", {421, kWinnerTops[row] - 1 + 12 * (line - 1), 130, 12});
            word->setObjectName(numbered("label_word", slot * 10 + line));
            word->setFont(wordFont);
            label_word[static_cast<std::size_t>(slot)][static_cast<std::size_t>(line)] = word;
        }
    }

    label_theword = makeLabel(board, "label_theword", {16, 189, 536, 14});
    label_theword->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    button_clear = makeButton(board, "button_clear", {8, 213, 104, 23}, QStringLiteral("CLEAR WORD"));
    button_start = makeButton(board, "button_start", {64, 212, 104, 23}, QStringLiteral("START GAME"));
    button_send = makeButton(board, "button_send", {120, 213, 104, 23}, QStringLiteral("SEND WORD"));
    button_clear->hide();
    button_send->hide();
    connect(button_start, &PictureButton::clicked, this, guarded([this] { button_startClick(); }));
    connect(button_clear, &PictureButton::clicked, this, guarded([this] { button_clearClick(); }));
    connect(button_send, &PictureButton::clicked, this, guarded([this] { button_sendClick(); }));
    label_status = makeLabel(board, "label_status", {230, 216, 327, 16}, QStringLiteral("Welcome Pinfall"));

    for (int k = 1; k <= 10; ++k) {
        const int left = kTileLefts[static_cast<std::size_t>(k - 1)];
        image_word[static_cast<std::size_t>(k)] = makeLabel(board, "", {left, 240, 41, 41});
        image_word[static_cast<std::size_t>(k)]->setObjectName(numbered("image_word", k));
        image_word[static_cast<std::size_t>(k)]->installEventFilter(this);
        image_letters[static_cast<std::size_t>(k)] = makeLabel(board, "", {left, 289, 41, 41});
        image_letters[static_cast<std::size_t>(k)]->setObjectName(numbered("image_letters", k));
        image_letters[static_cast<std::size_t>(k)]->installEventFilter(this);
    }
    button_sort = new PictureButton(board);
    button_sort->setObjectName(QStringLiteral("button_sort"));
    button_sort->setGeometry(465, 241, 32, 32);
    button_sort->setPixmap(Artwork::sortArrows());
    button_sort->setToolTip(QStringLiteral("Sort Letters"));
    button_sort->hide();
    connect(button_sort, &PictureButton::clicked, this, guarded([this] { button_sortClick(); }));

    panel_badword = new QWidget(board);
    panel_badword->setObjectName(QStringLiteral("panel_badword"));
    panel_badword->setGeometry(120, 246, 240, 57);
    makePicture(panel_badword, QStringLiteral("badword"), {0, 0, 240, 57}, Artwork::badWordPanel());
    auto* ok = makeButton(panel_badword, "Image3", {95, 29, 50, 21}, QStringLiteral("OK"));
    connect(ok, &PictureButton::clicked, this, guarded([this] { Image3Click(); }));
    panel_badword->hide();
    image_noplay =
        makePicture(board, QStringLiteral("image_noplay"), {128, 262, 238, 41}, Artwork::framePending());
    image_noplay->hide();

    label_timeperturn = makeLabel(board, "label_timeperturn", {449, 275, 118, 14});
    QFont clockCaption = label_timeperturn->font(); // the longest time, 120 s., between rack and edge
    clockCaption.setPointSize(8);
    label_timeperturn->setFont(clockCaption);
    label_timeperturn->setAlignment(Qt::AlignCenter);
    makePicture(board, QStringLiteral("Image1"), {453, 288, 107, 44}, Artwork::clockFrame());
    image_timer =
        makePicture(board, QStringLiteral("image_timer"), {459, 293, 97, 34}, Artwork::timeBar({97, 34}));
    image_timer->setScaledContents(true);
    label_timer = makeLabel(board, "label_timer", {463, 301, 80, 19}, QStringLiteral("Time: 0:00"));
    label_timer->setAlignment(Qt::AlignCenter);
    QPalette clockText = label_timer->palette();
    clockText.setColor(QPalette::WindowText, Qt::white);
    label_timer->setPalette(clockText);
    QFont clockFont = label_timer->font();
    clockFont.setBold(true);
    label_timer->setFont(clockFont);

    settings_.phrases = {QStringLiteral("Way To Go!"),
                         QStringLiteral("Good One!"),
                         QStringLiteral("Nice Try!"),
                         QStringLiteral("Excellent!"),
                         QStringLiteral("Brilliant!"),
                         QStringLiteral("Wow, WTG!"),
                         QStringLiteral("Thanks!"),
                         QStringLiteral("Way To Go Teamie!"),
                         QStringLiteral("Good Game Everyone!"),
                         QStringLiteral("/me waves \"Good-Bye\"")};
    for (int k = 1; k <= 10; ++k) {
        auto* phrase = new QPushButton(QString::number(k), board);
        phrase->setObjectName(numbered("b_phrase", k));
        phrase->setGeometry(7, 332 + 19 * (k - 1), 25, 19);
        phrase->setFlat(true);
        phrase->setFocusPolicy(Qt::NoFocus);
        connect(phrase, &QPushButton::clicked, this, guarded([this, k] { phraseClick(k); }));
        b_phrase[static_cast<std::size_t>(k)] = phrase;
    }
    const QColor paneColour(249, 249, 247);
    mainchat = new QTextEdit(board);
    mainchat->setObjectName(QStringLiteral("mainchat"));
    mainchat->setGeometry(35, 332, 524, 166);
    mainchat->setReadOnly(true);
    mainchat->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    mainchat->viewport()->setMouseTracking(true);
    mainchat->viewport()->installEventFilter(this);
    mainchat->setFont(QFont(Typeface::family(), 8)); // in points, as the text size option counts
    mychat = new QLineEdit(QStringLiteral("<Enter Chat Here>"), board);
    mychat->setObjectName(QStringLiteral("mychat"));
    mychat->setGeometry(35, 499, 468, 22);
    mychat->setFont(Typeface::regular(13));
    mychat->installEventFilter(this);
    for (QWidget* pane : {static_cast<QWidget*>(mainchat), static_cast<QWidget*>(mychat)}) {
        QPalette colours = pane->palette();
        colours.setColor(QPalette::Base, paneColour);
        colours.setColor(QPalette::Inactive, QPalette::Highlight,
                         colours.color(QPalette::Active, QPalette::Highlight));
        pane->setPalette(colours);
    }
    auto* logo = makeButton(board, "Image2", {505, 500, 58, 24}, QString());
    logo->setPixmap(Artwork::logo());
    logo->setToolTip(QStringLiteral("Pinfall on the web"));
    connect(logo, &PictureButton::clicked, this, [this] {
        if (about_ != nullptr)
            about_->Label7Click();
    });
}

void Tchat::buildMenus()
{
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    StartGame1 =
        file->addAction(QStringLiteral("&Start Game"), this, guarded([this] { button_startClick(); }));
    StartGame1->setObjectName(QStringLiteral("StartGame1"));
    StartGame1->setEnabled(false);
    file->addAction(QStringLiteral("Play with &Others..."), this, guarded([this] { showOthers(); }))
        ->setObjectName(QStringLiteral("PlayWithOthers1"));
    file->addSeparator();
    file->addAction(QStringLiteral("E&xit"), this,
                    [this] {
                        if (!othersWouldLoseTheirGame(kClosingEndsTheirGame))
                            close();
                    })
        ->setObjectName(QStringLiteral("Exit1"));

    buildOptions(menuBar()->addMenu(QStringLiteral("&Options")));

    QMenu* view = menuBar()->addMenu(QStringLiteral("&View"));
    QAction* viewTally = view->addAction(QStringLiteral("View &Tally"), this, guarded([this] {
                                             if (tally_ != nullptr)
                                                 tally_->show();
                                         }));
    viewTally->setObjectName(QStringLiteral("ViewTally1"));
    QAction* spyList = view->addAction(QStringLiteral("&Spy List"));
    spyList->setObjectName(QStringLiteral("SpyList1"));
    connect(spyList, &QAction::triggered, this, [this] {
        if (spylist_ != nullptr)
            spylist_->show();
    });
    view->addAction(QStringLiteral("&Phrase List"), this, guarded([this] { PrhaseList1Click(); }))
        ->setObjectName(QStringLiteral("PhraseList1"));

    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    QAction* content = help->addAction(QStringLiteral("&Content"), this, [this] {
        if (help_ != nullptr)
            help_->show();
    });
    content->setObjectName(QStringLiteral("Content1"));
    content->setShortcut(QKeySequence(Qt::Key_F1));
    help->addSeparator();
    help->addAction(QStringLiteral("&About"), this,
                    [this] {
                        if (about_ != nullptr)
                            about_->show();
                    })
        ->setObjectName(QStringLiteral("About1"));

    popup_kick = new QMenu(this);
    popup_kick->setObjectName(QStringLiteral("popup_kick"));
    RemoveFromGame1 = popup_kick->addAction(QStringLiteral("Remove From Game"), this,
                                            guarded([this] { RemoveFromGame1Click(); }));
    SettoJustWatch1 = popup_kick->addAction(QStringLiteral("Set to Just Watch"), this,
                                            guarded([this] { SettoJustWatch1Click(); }));
    UnsetJustWatch1 = popup_kick->addAction(QStringLiteral("Unset Just Watch"), this,
                                            guarded([this] { UnsetJustWatch1Click(); }));
    buildChatMenus();
}

void Tchat::buildOptions(QMenu* options)
{
    // An on/off option: its check mark shows it; a click changes it.
    const auto toggle = [&](const char* name, const QString& caption, bool GameSettings::*option) {
        QAction* item = options->addAction(caption);
        item->setObjectName(QString::fromLatin1(name));
        item->setCheckable(true);
        connect(item, &QAction::triggered, this, [this, option](bool on) {
            settings_.*option = on;
            FaultReport::guard([this] { optionChosen(); });
        });
        optionSwitches_.append({item, option});
    };
    // A submenu of radio items, one for each value the option may take.
    const auto choice = [&](const char* name, const QString& caption,
                            std::initializer_list<std::tuple<const char*, QString, int>> items,
                            int GameSettings::*option) {
        QMenu* menu = options->addMenu(caption);
        menu->menuAction()->setObjectName(QString::fromLatin1(name));
        auto* group = new QActionGroup(menu);
        group->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
        for (const auto& [itemName, itemCaption, value] : items) {
            QAction* item = menu->addAction(itemCaption);
            item->setObjectName(QString::fromLatin1(itemName));
            item->setCheckable(true);
            item->setData(value);
            group->addAction(item);
        }
        connect(group, &QActionGroup::triggered, this, [this, option](QAction* item) {
            settings_.*option = item->data().toInt();
            FaultReport::guard([this] { optionChosen(); });
        });
        optionChoices_.append({group, option});
    };
    toggle("PlaySounds1", QStringLiteral("Play Sounds"), &GameSettings::playSounds);
    choice("TurnSound1", QStringLiteral("Turn Sound"),
           {{"Classic1", QStringLiteral("Classic"), 0}, {"New1", QStringLiteral("New"), 1}},
           &GameSettings::turnSound);
    options->addSeparator();
    toggle("TypeWords1", QStringLiteral("Type Words"), &GameSettings::typeWords);
    toggle("usespace", QStringLiteral("Use Space to Sort"), &GameSettings::spaceSorts);
    toggle("clearwords1", QStringLiteral("Automatically Clear Invalid Words"), &GameSettings::clearBadWords);
    choice("timebetween", QStringLiteral("Time Between Rounds"),
           {{"Slow1", QStringLiteral("Short"), 5},
            {"Normal1", QStringLiteral("Normal"), 10},
            {"Fast1", QStringLiteral("Long"), 15}},
           &GameSettings::secondsBetweenRounds);
    toggle("showbadword", QStringLiteral("Show Invalid Word Panel"), &GameSettings::showBadWord);
    toggle("showmissedwords", QStringLiteral("Show Missed Words"), &GameSettings::showMissedWords);
    options->addSeparator();
    options->addAction(QStringLiteral("Text Color"), this, guarded([this] { TextColor1Click(); }))
        ->setObjectName(QStringLiteral("TextColor1"));
    options->addAction(QStringLiteral("Action Color"), this, guarded([this] { ActionColor1Click(); }))
        ->setObjectName(QStringLiteral("ActionColor1"));
    choice("TextSize1", QStringLiteral("Text Size"),
           {{"N8", QStringLiteral("8"), 8},
            {"N10", QStringLiteral("10"), 10},
            {"N12", QStringLiteral("12"), 12},
            {"N14", QStringLiteral("14"), 14}},
           &GameSettings::textSize);
    ScrollChatOff2 = options->addAction(QStringLiteral("Scroll Chat Off"));
    ScrollChatOff2->setObjectName(QStringLiteral("ScrollChatOff2"));
    ScrollChatOff2->setCheckable(true);
    ScrollChatOff2->setShortcut(QKeySequence(QStringLiteral("Ctrl+S")));
    options->addAction(QStringLiteral("Clear Main Chat"), this, guarded([this] { ClearMainChat1Click(); }))
        ->setObjectName(QStringLiteral("ClearMainChat1"));
    options
        ->addAction(QStringLiteral("Reset Screen Location"), this, guarded([this] { ResetLocation1Click(); }))
        ->setObjectName(QStringLiteral("ResetLocation1"));
    options->addSeparator();
    JustWatch1 = options->addAction(QStringLiteral("Just Watch"));
    JustWatch1->setObjectName(QStringLiteral("JustWatch1"));
    JustWatch1->setCheckable(true);
    connect(JustWatch1, &QAction::triggered, this, guarded([this] {
                JustWatch1->setChecked(!JustWatch1->isChecked()); // only the host's answer ticks it
                JustWatch1Click();
            }));
}

QStringList Tchat::chatLines() const
{
    QStringList lines;
    for (QTextBlock block = mainchat->document()->begin(); block.isValid(); block = block.next()) {
        if (!block.text().isEmpty())
            lines << block.text();
    }
    return lines;
}

void Tchat::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    // Read once the window is on screen, so that what it may have to ask stands over the window.
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (!paramsProcessed_)
                FaultReport::guard([this] { processparams(QCoreApplication::arguments().mid(1)); });
        },
        Qt::QueuedConnection);
}

bool Tchat::othersWouldLoseTheirGame(const QString& question)
{
    return play_ != nullptr && play_->othersInHostedGame() &&
           QMessageBox::question(this, windowTitle(), question) != QMessageBox::Yes;
}

void Tchat::closeEvent(QCloseEvent* event)
{
    // The window manager's close button asks like File > Exit; a logout or a program that
    // ends this one does not wait for an answer.
    if (event->spontaneous() && othersWouldLoseTheirGame(kClosingEndsTheirGame)) {
        event->ignore();
        return;
    }
    FaultReport::guard([this] { FormClose(); });
    QMainWindow::closeEvent(event);
    if (event->isAccepted()) {
        if (play_ != nullptr)
            play_->leave(); // the computer players go while their host is still there
        Q_EMIT closed();
    }
}
