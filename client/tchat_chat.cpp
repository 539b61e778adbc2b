// The chat: the pane and its lines, the entry, the phrase buttons and their dialog, links.
#include "colortext.h"
#include "colorvalue.h"
#include "faultreport.h"
#include "inifile.h"
#include "linkfinder.h"
#include "messages.h"
#include "tchat.h"
#include "tphrases.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextEdit>

#include <cstdio>

namespace {

const QString kPlaceholder = QStringLiteral("<Enter Chat Here>");
constexpr std::chrono::milliseconds kPhrasePause{2000}; // what the phrase dialog promises

} // namespace

void Tchat::buildChatMenus()
{
    auto* popup_mainchat = new QMenu(mainchat);
    popup_mainchat->setObjectName(QStringLiteral("popup_mainchat"));
    QAction* copy = popup_mainchat->addAction(QStringLiteral("Copy"), this, [this] { Copy1Click(); });
    copy->setObjectName(QStringLiteral("Copy1"));
    copy->setShortcut(QKeySequence::Copy);
    popup_mainchat->addAction(QStringLiteral("Clear Main Chat"), this, [this] { ClearMainChat1Click(); })
        ->setObjectName(QStringLiteral("ClearMainChat2"));
    popup_mainchat->addSeparator();
    ScrollChatOff1 = popup_mainchat->addAction(QStringLiteral("Scroll Chat Off"));
    ScrollChatOff1->setObjectName(QStringLiteral("ScrollChatOff1"));
    ScrollChatOff1->setCheckable(true);
    // The two "Scroll Chat Off" items are one option.
    connect(ScrollChatOff1, &QAction::toggled, ScrollChatOff2, &QAction::setChecked);
    connect(ScrollChatOff2, &QAction::toggled, ScrollChatOff1, &QAction::setChecked);
    mainchat->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(mainchat, &QWidget::customContextMenuRequested, this,
            [this, popup_mainchat](const QPoint& at) { popup_mainchat->popup(mainchat->mapToGlobal(at)); });

    auto* popup_mychat = new QMenu(mychat);
    popup_mychat->setObjectName(QStringLiteral("popup_mychat"));
    QAction* paste = popup_mychat->addAction(QStringLiteral("Paste"), this, [this] { Paste1Click(); });
    paste->setObjectName(QStringLiteral("Paste1"));
    paste->setShortcut(QKeySequence::Paste);
    mychat->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(mychat, &QWidget::customContextMenuRequested, this,
            [this, popup_mychat](const QPoint& at) { popup_mychat->popup(mychat->mapToGlobal(at)); });

    phrasePause_.setSingleShot(true);
    phrasePause_.setInterval(kPhrasePause);
}

void Tchat::addlinetochat(const QString& text, const QColor& colour)
{
    QScrollBar* scroll = mainchat->verticalScrollBar();
    const bool keepView = ScrollChatOff1->isChecked();
    const int firstVisible = scroll->value();
    const QTextCursor selection = mainchat->textCursor();

    QTextCursor cursor(mainchat->document());
    cursor.movePosition(QTextCursor::End);
    if (!mainchat->document()->isEmpty())
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
        mainchat->setTextCursor(selection);
        scroll->setValue(firstVisible);
    } else {
        scroll->setValue(scroll->maximum());
    }
    if (echoChat_) {
        std::fputs(qPrintable(text + QLatin1Char('\n')), stderr);
        std::fflush(stderr);
    }
}

void Tchat::sendit()
{
    if (!session_.loggedIn())
        return;
    const QString text = mychat->text();
    if (!text.isEmpty() && !text.startsWith(QLatin1Char('/')))
        session_.say(text, settings_.textColour);
    else if (text.startsWith(QLatin1String("/me")))
        session_.act(text.mid(4), settings_.actionColour);
    mychat->clear();
}

QString Tchat::phrase(int number) const
{
    return settings_.phrases.at(static_cast<std::size_t>(number - 1));
}

void Tchat::phraseClick(int number)
{
    if (phrasePause_.isActive())
        return;
    const QString text = phrase(number);
    const QString action =
        text.startsWith(QLatin1String("/me ")) ? text.mid(4) : QStringLiteral("says: ") + text;
    session_.act(action, settings_.actionColour);
    phrasePause_.start();
}

void Tchat::PrhaseList1Click()
{
    QStringList current;
    for (int k = 1; k <= 10; ++k)
        current << phrase(k);
    phrases_->setPhrases(current);
    phrases_->show();
}

bool Tchat::mainchatMouseDown(const QPoint& at)
{
    const QTextCursor under = mainchat->cursorForPosition(at);
    const std::optional<ChatLink> link = findLink(mainchat->toPlainText(), under.position());
    if (!link)
        return false;
    QTextCursor range(mainchat->document());
    range.setPosition(static_cast<int>(link->start));
    range.setPosition(static_cast<int>(link->start + link->length), QTextCursor::KeepAnchor);
    mainchat->setTextCursor(range);
    openLink(link->address);
    return true;
}

void Tchat::Copy1Click()
{
    QApplication::clipboard()->setText(mainchat->textCursor().selectedText());
}

void Tchat::Paste1Click()
{
    const QString text = QApplication::clipboard()->text();
    if (!text.isEmpty())
        mychat->setText(text);
}

void Tchat::ClearMainChat1Click()
{
    mainchat->clear();
    mychat->setFocus();
}

bool Tchat::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && watched->isWidgetType()) {
        // Keys reach the board before the focused control; only their first delivery counts.
        const QWidget* focus = QApplication::focusWidget();
        const QWidget* target = focus != nullptr && focus->window() == this ? focus : this;
        if (watched == target) {
            bool taken = false;
            FaultReport::guard([&] { taken = FormShortCut(static_cast<QKeyEvent*>(event)->key()); });
            if (taken)
                return true;
        }
    }
    if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonRelease) {
        for (int k = 1; k <= 10; ++k) {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            if (watched == image_letters[static_cast<std::size_t>(k)] &&
                event->type() == QEvent::MouseButtonPress) {
                FaultReport::guard([&] { image_letters1MouseDown(k, mouse->button()); });
                return true;
            }
            if (watched == image_word[static_cast<std::size_t>(k)] &&
                event->type() == QEvent::MouseButtonRelease) {
                FaultReport::guard([&] { image_word1MouseUp(k); });
                return true;
            }
        }
    }
    if (watched == mychat && event->type() == QEvent::KeyPress) {
        if (mychat->text() == kPlaceholder)
            mychat->clear();
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            FaultReport::guard([this] { sendit(); });
            return true;
        }
    } else if (watched == mainchat->viewport()) {
        switch (event->type()) {
        case QEvent::MouseMove: {
            const QPoint at = static_cast<QMouseEvent*>(event)->position().toPoint();
            const bool overLink =
                findLink(mainchat->toPlainText(), mainchat->cursorForPosition(at).position()).has_value();
            mainchat->viewport()->setCursor(overLink ? Qt::PointingHandCursor : Qt::IBeamCursor);
            break;
        }
        case QEvent::MouseButtonPress: {
            const auto* press = static_cast<QMouseEvent*>(event);
            bool opened = false;
            if (press->button() == Qt::LeftButton)
                FaultReport::guard([&] { opened = mainchatMouseDown(press->position().toPoint()); });
            if (opened)
                return true; // a click on a link selects the link, not text
            break;
        }
        case QEvent::MouseButtonRelease:
            mychat->setFocus();
            break;
        default:
            break;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}
