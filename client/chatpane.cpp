#include "chatpane.h"

#include "faultreport.h"
#include "linkfinder.h"
#include "typeface.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextEdit>

#include <cstdio>

namespace {

const QString kPrompt = QStringLiteral("<Enter Chat Here>");
const QString kKeysOnBoard = QStringLiteral("Tab: chat");
const QColor kSwitchedOff(150, 150, 150);
constexpr std::chrono::milliseconds kPhrasePause{2000}; // what the phrase dialog promises

} // namespace

ChatPane::ChatPane(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("chatpane"));
    resize(552, 189);
    for (int k = 1; k <= 10; ++k) {
        auto* phrase = new QPushButton(QString::number(k), this);
        phrase->setObjectName(QStringLiteral("b_phrase%1").arg(k));
        phrase->setGeometry(0, 19 * (k - 1), 25, 19);
        phrase->setFlat(true);
        phrase->setFocusPolicy(Qt::NoFocus);
        connect(phrase, &QPushButton::clicked, this, [this, k] { pressPhrase(k); });
        phraseButtons_[static_cast<std::size_t>(k - 1)] = phrase;
    }
    phrasePause_.setSingleShot(true);
    phrasePause_.setInterval(kPhrasePause);

    lines_ = new QTextEdit(this);
    lines_->setObjectName(QStringLiteral("mainchat"));
    lines_->setGeometry(28, 0, 524, 166);
    lines_->setReadOnly(true);
    lines_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    lines_->viewport()->setMouseTracking(true);
    lines_->viewport()->installEventFilter(this);
    lines_->setFont(QFont(Typeface::family(), 8)); // in points, as the text size option counts
    entry_ = new QLineEdit(kPrompt, this);
    entry_->setObjectName(QStringLiteral("mychat"));
    entry_->setGeometry(28, 167, 468, 22);
    entry_->setFont(Typeface::regular(13));
    entry_->installEventFilter(this);
    const QColor paneColour(249, 249, 247);
    for (QWidget* pane : {static_cast<QWidget*>(lines_), static_cast<QWidget*>(entry_)}) {
        QPalette colours = pane->palette();
        colours.setColor(QPalette::Base, paneColour);
        colours.setColor(QPalette::Inactive, QPalette::Highlight,
                         colours.color(QPalette::Active, QPalette::Highlight));
        pane->setPalette(colours);
    }
    openLink = [](const QString&) {};
    buildMenus();
}

void ChatPane::buildMenus()
{
    auto* linesMenu = new QMenu(lines_);
    linesMenu->setObjectName(QStringLiteral("popup_mainchat"));
    QAction* copy = linesMenu->addAction(QStringLiteral("Copy"), this, [this] { copySelection(); });
    copy->setObjectName(QStringLiteral("Copy1"));
    copy->setShortcut(QKeySequence::Copy);
    linesMenu->addAction(QStringLiteral("Clear Main Chat"), this, [this] { clear(); })
        ->setObjectName(QStringLiteral("ClearMainChat2"));
    linesMenu->addSeparator();
    scrollChatOff_ = linesMenu->addAction(QStringLiteral("Scroll Chat Off"));
    scrollChatOff_->setObjectName(QStringLiteral("ScrollChatOff1"));
    scrollChatOff_->setCheckable(true);
    lines_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(lines_, &QWidget::customContextMenuRequested, this,
            [this, linesMenu](const QPoint& at) { linesMenu->popup(lines_->mapToGlobal(at)); });

    auto* entryMenu = new QMenu(entry_);
    entryMenu->setObjectName(QStringLiteral("popup_mychat"));
    QAction* pasteItem = entryMenu->addAction(QStringLiteral("Paste"), this, [this] { paste(); });
    pasteItem->setObjectName(QStringLiteral("Paste1"));
    pasteItem->setShortcut(QKeySequence::Paste);
    entry_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(entry_, &QWidget::customContextMenuRequested, this,
            [this, entryMenu](const QPoint& at) { entryMenu->popup(entry_->mapToGlobal(at)); });
}

void ChatPane::addLine(const QString& text, const QColor& colour)
{
    QScrollBar* scroll = lines_->verticalScrollBar();
    const bool keepView = scrollChatOff_->isChecked();
    const int firstVisible = scroll->value();
    const QTextCursor selection = lines_->textCursor();

    QTextCursor cursor(lines_->document());
    cursor.movePosition(QTextCursor::End);
    if (!lines_->document()->isEmpty())
        cursor.insertBlock();
    QTextCharFormat plain;
    plain.setForeground(colour);
    plain.setFontWeight(QFont::Normal);
    QTextCharFormat speaker = plain;
    speaker.setFontWeight(QFont::Bold);
    // The speaker part, up to and including the first ":", is bold.
    const qsizetype colon = text.indexOf(QLatin1Char(':'));
    if (colon >= 0)
        cursor.insertText(text.left(colon + 1), speaker);
    cursor.insertText(text.mid(colon + 1), plain);

    if (keepView) {
        lines_->setTextCursor(selection);
        scroll->setValue(firstVisible);
    } else {
        scroll->setValue(scroll->maximum());
    }
    if (echo_) {
        std::fputs(qPrintable(text + QLatin1Char('\n')), stderr);
        std::fflush(stderr);
    }
}

QStringList ChatPane::lines() const
{
    QStringList all;
    for (QTextBlock block = lines_->document()->begin(); block.isValid(); block = block.next()) {
        if (!block.text().isEmpty())
            all << block.text();
    }
    return all;
}

void ChatPane::clear()
{
    lines_->clear();
    entry_->setFocus();
}

void ChatPane::copySelection()
{
    QApplication::clipboard()->setText(lines_->textCursor().selectedText());
}

void ChatPane::paste()
{
    const QString text = QApplication::clipboard()->text();
    if (!text.isEmpty())
        entry_->setText(text);
}

void ChatPane::clearEntry()
{
    entry_->clear();
}

void ChatPane::pressPhrase(int number)
{
    if (phrasePause_.isActive())
        return;
    const QString& text = phrases_.at(static_cast<std::size_t>(number - 1));
    Q_EMIT phraseActed(text.startsWith(QLatin1String("/me ")) ? text.mid(4)
                                                              : QStringLiteral("says: ") + text);
    phrasePause_.start();
}

void ChatPane::setPhrases(const std::array<QString, 10>& phrases)
{
    phrases_ = phrases;
    for (std::size_t index = 0; index < phrases.size(); ++index)
        phraseButtons_[index]->setToolTip(phrases[index]); // the phrase is the button's hint
}

void ChatPane::setTextSize(int points)
{
    QFont font = lines_->font();
    font.setPointSize(std::max(1, points));
    lines_->setFont(font);
}

void ChatPane::setEntryColour(const QColor& colour)
{
    entryColour_ = colour;
    QPalette text = entry_->palette();
    text.setColor(QPalette::Text, keysToBoard_ ? kSwitchedOff : colour);
    entry_->setPalette(text);
}

void ChatPane::setKeysToBoard(bool toBoard)
{
    if (toBoard == keysToBoard_)
        return;
    keysToBoard_ = toBoard;
    if (toBoard && entry_->text() == kPrompt)
        entry_->clear(); // so that the hint shows
    entry_->setReadOnly(toBoard);
    entry_->setPlaceholderText(toBoard ? kKeysOnBoard : QString());
    setEntryColour(entryColour_);
}

bool ChatPane::openLinkAt(const QPoint& at)
{
    const QTextCursor under = lines_->cursorForPosition(at);
    const std::optional<ChatLink> link = findLink(lines_->toPlainText(), under.position());
    if (!link)
        return false;
    QTextCursor range(lines_->document());
    range.setPosition(static_cast<int>(link->start));
    range.setPosition(static_cast<int>(link->start + link->length), QTextCursor::KeepAnchor);
    lines_->setTextCursor(range);
    openLink(link->address);
    return true;
}

bool ChatPane::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == entry_) {
        if (event->type() == QEvent::MouseButtonPress && keysToBoard_)
            Q_EMIT keysWanted();
        if (event->type() == QEvent::KeyPress) {
            if (entry_->text() == kPrompt)
                entry_->clear();
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                Q_EMIT lineEntered(entry_->text());
                return true;
            }
        }
        return false;
    }
    // The pane's viewport: the pointer shows links, a click opens one, and the keys go back
    // to the chat line once the mouse is let go.
    switch (event->type()) {
    case QEvent::MouseMove: {
        const QPoint at = static_cast<QMouseEvent*>(event)->position().toPoint();
        const bool overLink =
            findLink(lines_->toPlainText(), lines_->cursorForPosition(at).position()).has_value();
        lines_->viewport()->setCursor(overLink ? Qt::PointingHandCursor : Qt::IBeamCursor);
        break;
    }
    case QEvent::MouseButtonPress: {
        const auto* press = static_cast<QMouseEvent*>(event);
        bool opened = false;
        if (press->button() == Qt::LeftButton)
            FaultReport::guard([&] { opened = openLinkAt(press->position().toPoint()); });
        return opened; // a click on a link selects the link, not text
    }
    case QEvent::MouseButtonRelease:
        entry_->setFocus();
        break;
    default:
        break;
    }
    return false;
}
