#include "thelp.h"

#include "dialoglook.h"
#include "tabout.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStackedLayout>
#include <QTextEdit>
#include <QVBoxLayout>

namespace {

struct Page {
    const char* button;
    const char* html;
};

// The pages, in the order of their buttons.
const std::array<Page, 6> kPages{{
    {"Overview",
     "<h3>Pinfall</h3><p>Pinfall is a word game scored like ten-pin bowling. Every frame, all players get "
     "the "
     "same ten shuffled letters. Each letter of a word the host accepts knocks down one pin.</p><p>A "
     "ten-letter "
     "word is a strike. Otherwise a second word from the letters left may clear the rest: a spare. Ten "
     "frames "
     "make a game, and a perfect game is 300.</p><p>Up to four players play at once, alone or as two teams "
     "(players 1 and 3 against 2 and 4); up to five more may watch and chat.</p>"},
    {"Connecting",
     "<h3>Playing over the internet</h3><p>Friends anywhere meet through an internet lobby, and nobody "
     "opens a port. In File &gt; Play with Others..., type the lobby's address under Internet lobby; the "
     "window says whether you are in and how many players and games are there. To <b>join</b>, type the "
     "code a friend gave you (such as K7Q-4PZ) and press Join with code, open their link "
     "<code>pinfall://join/K7Q-4PZ</code>, or double-click one of the lobby's public games. To "
     "<b>host</b>, pick a place beside Host here: on the internet, listed in the lobby (everyone there "
     "sees your game), or by invitation only (only those you give the code); the code shows in large "
     "letters with a Copy button. The lobby's talk is beside its "
     "games. A club runs its own lobby with <code>tools/lobby-server.sh</code>; only that server needs TCP "
     "port 5222 open.</p>"
     "<p><b>A dropped connection:</b> if your connection drops during a game, the host keeps your seat "
     "and scores for a minute, and Pinfall gets you back into it by itself, with a Stop button while it "
     "tries; you play the frame on with the tiles you had left. After a minute the seat is free "
     "again.</p>"
     "<h3>Solo and multi-player games</h3><p>Started without anything on its command line, Pinfall opens a "
     "solo game on your own computer, under the name You, with a computer player already chosen.</p>"
     "<p><b>Computer players:</b> START GAME lets whoever starts the game seat computer players in the free "
     "player places, at one of five levels: Novice, Casual, Club, Expert and Master. They play through the "
     "host like anybody else, from the tiles alone, and stay for the next game. "
     "<code>pinfall-bot</code> brings them to any game from a terminal.</p>"
     "<p><b>Play with Others:</b> File &gt; Play with Others... (or the Play with Others button of the "
     "window shown at a solo start) opens a window for finding games. Your name there is the name you play "
     "under. The list shows the games on your local network as they come and go: the host's name and "
     "address, the players (out of 4), the spectators (out of 5), and Waiting or the frame being played. "
     "Double-click a game, or choose it and press Join. Joining leaves the solo game you are in, after "
     "asking first if others are in it; a join that fails brings the window back with the reason. Pinfall "
     "remembers your name, the address and Host here.</p>"
     "<p><b>Hosting:</b> tick Host here, on my network, to make your game visible on the local network "
     "under your name. "
     "The window then shows this computer's addresses, for friends to type in.</p>"
     "<p><b>By address:</b> games are found on the local network only, as routers do not pass the "
     "search on. Without a lobby, the host forwards TCP port 7772 on the router to the hosting computer and "
     "tells friends "
     "the public address; they type it (or a host name) into Address, with :port after it if the host uses "
     "another port, and press Join Address.</p>"
     "<p><b>Ports and firewalls:</b> the game runs over TCP port 7772, and games are found over UDP port "
     "7772. A firewall on the host must let TCP 7772 in (for example <code>sudo ufw allow 7772/tcp</code>); "
     "to find each other on a local network, both sides must let UDP 7772 through (<code>sudo ufw allow "
     "7772/udp</code>). Players who join by address need no open ports. <code>PINFALL_PORT</code> moves "
     "the game to another TCP port; games are still found over UDP 7772, which tells the port to join.</p>"
     "<p><b>From a terminal:</b> one player hosts with <code>pinfall Bob 127.0.0.1 true</code> (a name, any "
     "address, and true); the others join with <code>pinfall Ann 192.168.1.20 false</code>, giving the "
     "host's address. <code>pinfall-host</code> hosts games on a machine without a display "
     "(<code>--announce</code> makes them visible on the local network); whoever holds slot 1 then starts "
     "the games.</p><p>If the host cannot be reached, Pinfall says why and you stay in the game you were in. "
     "If the host leaves, the game is over and you are back in a game of your own.</p>"},
    {"Game Play",
     "<h3>Playing a frame</h3><p>Click the tiles on the rack to lay a word on the word row, then SEND WORD. "
     "Click "
     "the last laid tile to take it back, or CLEAR WORD to take them all back. The two arrows shuffle the "
     "rack. "
     "To swap two tiles, right-click one (it rises), then click the other.</p><p>Each frame allows up to two "
     "words: a strike ends the frame at once, and the second word can only use the tiles left. In frame 10 a "
     "strike or a spare earns fresh tiles for a bonus word.</p><p><b>Typing:</b> with Options &gt; Type "
     "Words "
     "on, type the letters. Enter sends, Backspace takes the last tile back, 1 clears the word, 6 shuffles "
     "the "
     "letters, and Tab turns typing on and off.</p><p><b>Missed words:</b> when a frame ends, the chat shows "
     "the best play the letters allowed and up to five of the longest words you did not play. Options &gt; "
     "Show Missed Words turns this off and on.</p>"},
    {"Scoring",
     "<h3>Scoring</h3><p>Every letter of an accepted word is one pin, one point. A frame's two words knock "
     "down at "
     "most ten pins.</p><p>A <b>spare</b> (all ten pins with two words) scores 10 plus the pins of the next "
     "word. A <b>strike</b> (ten with one word) scores 10 plus the pins of the next two words. Frame 10 "
     "counts its "
     "two or three words without any bonus. Twelve strikes in a row make 300.</p>"},
    {"Documentation",
     "<h3>History</h3><p><b>1.0.7</b> &mdash; the game for Linux, built on Qt: the host, the main window, "
     "the "
     "score sheet, chat with phrase buttons, options, sounds and the tally against each opponent.</p>"},
    {"License",
     "<h3>Licence</h3><p>Pinfall is free software under the MIT licence: you may use, copy, change and pass "
     "it on, also for money, as long as its copyright notice and the licence go with it. It is provided as "
     "it "
     "is, without warranty of any kind. The licence is in the file LICENSE beside the program's source, and "
     "in "
     "/usr/share/doc/pinfall/copyright where it is installed.</p><p>The dictionary is the word list of the "
     "word-list package (MIT licence); the deal words "
     "come "
     "from the SCOWL word lists.</p>"},
}};

} // namespace

Thelp::Thelp(Tabout& about, QWidget* parent) : QWidget(parent, Qt::Window)
{
    giveDialogLook(this, "help", QStringLiteral("Pinfall - Help File"), {521, 422});
    setMinimumSize(360, 300);
    setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX); // this window may be resized

    auto* panel_side = new QWidget(this);
    panel_side->setObjectName(QStringLiteral("panel_side"));
    panel_side->setFixedWidth(137);
    auto* side = new QVBoxLayout(panel_side);
    for (int tag = 1; tag <= 6; ++tag) {
        auto* button = new QPushButton(QString::fromLatin1(kPages[static_cast<std::size_t>(tag - 1)].button),
                                       panel_side);
        button->setObjectName(QStringLiteral("SelButton%1").arg(tag));
        button->setProperty("Tag", tag);
        connect(button, &QPushButton::clicked, this, [this, tag] { SelButton1Click(tag); });
        side->addWidget(button);
    }
    auto* aboutButton = new QPushButton(QStringLiteral("About"), panel_side);
    aboutButton->setObjectName(QStringLiteral("button_about"));
    connect(aboutButton, &QPushButton::clicked, &about, &QWidget::show);
    side->addWidget(aboutButton);
    side->addStretch();
    for (const char* credit : {"Pinfall", "a word game", "scored like", "ten-pin bowling"})
        side->addWidget(new QLabel(QString::fromLatin1(credit), panel_side));
    auto* done = new QPushButton(QStringLiteral("Done"), panel_side);
    done->setObjectName(QStringLiteral("button_done"));
    connect(done, &QPushButton::clicked, this, &QWidget::hide);
    side->addWidget(done);

    auto* panel_main = new QWidget(this);
    panel_main->setObjectName(QStringLiteral("panel_main"));
    auto* main = new QVBoxLayout(panel_main);
    label_caption = new QLabel(panel_main);
    label_caption->setObjectName(QStringLiteral("label_caption"));
    label_caption->setAlignment(Qt::AlignCenter);
    QFont bold = label_caption->font();
    bold.setBold(true);
    bold.setPixelSize(16);
    label_caption->setFont(bold);
    main->addWidget(label_caption);
    pages_ = new QStackedLayout;
    for (int tag = 1; tag <= 6; ++tag) {
        auto* page = new QTextEdit(panel_main);
        page->setObjectName(QStringLiteral("memo%1").arg(tag));
        page->setReadOnly(true);
        page->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        page->setHtml(QString::fromUtf8(kPages[static_cast<std::size_t>(tag - 1)].html));
        memo[static_cast<std::size_t>(tag)] = page;
        pages_->addWidget(page);
    }
    main->addLayout(pages_);

    auto* layout = new QHBoxLayout(this);
    layout->addWidget(panel_side);
    layout->addWidget(panel_main, 1);
    SelButton1Click(1);
}

void Thelp::SelButton1Click(int tag)
{
    if (tag < 1 || tag > 6)
        return;
    shown_ = tag;
    QTextEdit* page = memo[static_cast<std::size_t>(tag)];
    pages_->setCurrentWidget(page);
    label_caption->setText(QString::fromLatin1(kPages[static_cast<std::size_t>(tag - 1)].button));
}

QString Thelp::caption() const
{
    return label_caption->text();
}

QString Thelp::pageText(int tag) const
{
    return tag >= 1 && tag <= 6 ? memo[static_cast<std::size_t>(tag)]->toPlainText() : QString();
}
