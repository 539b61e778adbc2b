// The main window's creation: the board, the menus and the options.
#include "tchat.h"

#include "boardview.h"
#include "chatpane.h"
#include "faultreport.h"
#include "optionsmenu.h"
#include "playcontroller.h"
#include "tabout.h"
#include "tspylist.h"
#include "ttallylist.h"

#include <QCloseEvent>
#include <QColorDialog>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QMenuBar>
#include <QMessageBox>
#include <QUrl>

namespace {

const QColor kWindowColour(190, 183, 155); // the platform colour value 10205118

// Every user action is one event: whatever it throws goes to the general error report.
template <typename Handler> auto guarded(Handler handler)
{
    return [handler] { FaultReport::guard(handler); };
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
    noticeColour = QColor(0, 0, 255);
    auto* client = new QWidget(this);
    client->setAutoFillBackground(true);
    QPalette windowColour = client->palette();
    windowColour.setColor(QPalette::Window, kWindowColour);
    client->setPalette(windowColour);
    setCentralWidget(client);
    // The board never shrinks: the window keeps room for it and a margin.
    client->setMinimumSize(567 + 15, 525 + 12);
    board_ = new BoardView(session_, client);
    board_->move(2, 2);
    settings_.phrases = chatPane().phrases(); // the buttons' own, until the settings name others
    chatPane().openLink = [](const QString& address) {
        QDesktopServices::openUrl(QUrl::fromUserInput(address));
    };
    buildMenus();
    applySettings();
    followSession();
    followBoard();
    drawRoster();
    QCoreApplication::instance()->installEventFilter(this); // typing on the board: keys pass here first
}

ChatPane& Tchat::chatPane()
{
    return board_->chat();
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

    buildOptions();

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
}

void Tchat::buildOptions()
{
    options_ = new OptionsMenu(QStringLiteral("&Options"), settings_, this);
    menuBar()->addMenu(options_);
    connect(options_, &OptionsMenu::chosen, this, [this] { FaultReport::guard([this] { optionChosen(); }); });
    options_->addSwitch("PlaySounds1", QStringLiteral("Play Sounds"), &GameSettings::playSounds);
    options_->addChoice("TurnSound1", QStringLiteral("Turn Sound"),
                        {{"Classic1", QStringLiteral("Classic"), 0}, {"New1", QStringLiteral("New"), 1}},
                        &GameSettings::turnSound);
    options_->addSeparator();
    options_->addSwitch("TypeWords1", QStringLiteral("Type Words"), &GameSettings::typeWords);
    options_->addSwitch("usespace", QStringLiteral("Use Space to Sort"), &GameSettings::spaceSorts);
    options_->addSwitch("clearwords1", QStringLiteral("Automatically Clear Invalid Words"),
                        &GameSettings::clearBadWords);
    options_->addChoice("timebetween", QStringLiteral("Time Between Rounds"),
                        {{"Slow1", QStringLiteral("Short"), 5},
                         {"Normal1", QStringLiteral("Normal"), 10},
                         {"Fast1", QStringLiteral("Long"), 15}},
                        &GameSettings::secondsBetweenRounds);
    options_->addSwitch("showbadword", QStringLiteral("Show Invalid Word Panel"), &GameSettings::showBadWord);
    options_->addSwitch("showmissedwords", QStringLiteral("Show Missed Words"),
                        &GameSettings::showMissedWords);
    options_->addSeparator();
    options_->addAction(QStringLiteral("Text Color"), this, guarded([this] { TextColor1Click(); }))
        ->setObjectName(QStringLiteral("TextColor1"));
    options_->addAction(QStringLiteral("Action Color"), this, guarded([this] { ActionColor1Click(); }))
        ->setObjectName(QStringLiteral("ActionColor1"));
    options_->addChoice("TextSize1", QStringLiteral("Text Size"),
                        {{"N8", QStringLiteral("8"), 8},
                         {"N10", QStringLiteral("10"), 10},
                         {"N12", QStringLiteral("12"), 12},
                         {"N14", QStringLiteral("14"), 14}},
                        &GameSettings::textSize);
    ScrollChatOff2 = options_->addAction(QStringLiteral("Scroll Chat Off"));
    ScrollChatOff2->setObjectName(QStringLiteral("ScrollChatOff2"));
    ScrollChatOff2->setCheckable(true);
    ScrollChatOff2->setShortcut(QKeySequence(QStringLiteral("Ctrl+S")));
    // The two "Scroll Chat Off" items are one option.
    QAction* paneItem = chatPane().scrollChatOff();
    connect(paneItem, &QAction::toggled, ScrollChatOff2, &QAction::setChecked);
    connect(ScrollChatOff2, &QAction::toggled, paneItem, &QAction::setChecked);
    options_->addAction(QStringLiteral("Clear Main Chat"), this, guarded([this] { chatPane().clear(); }))
        ->setObjectName(QStringLiteral("ClearMainChat1"));
    options_
        ->addAction(QStringLiteral("Reset Screen Location"), this, guarded([this] { ResetLocation1Click(); }))
        ->setObjectName(QStringLiteral("ResetLocation1"));
    options_->addSeparator();
    JustWatch1 = options_->addAction(QStringLiteral("Just Watch"));
    JustWatch1->setObjectName(QStringLiteral("JustWatch1"));
    JustWatch1->setCheckable(true);
    connect(JustWatch1, &QAction::triggered, this, guarded([this] {
                JustWatch1->setChecked(!JustWatch1->isChecked()); // only the host's answer ticks it
                const int own = session_.localSlot();
                session_.setWatching(own, !session_.seat(own).watching);
            }));
}

void Tchat::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    // Read once the window is on screen, so that what it may have to ask stands over the window.
    // By name: the analyser takes the functor a typed call would queue for a leak.
    QMetaObject::invokeMethod(this, "processCommandLine", Qt::QueuedConnection);
}

void Tchat::processCommandLine()
{
    if (!paramsProcessed_)
        FaultReport::guard([this] { processparams(QCoreApplication::arguments().mid(1)); });
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
