// The main window's chat and keys: what the chat pane collects goes to the others, and keys
// typed anywhere in the window reach the board first.
#include "chatpane.h"
#include "faultreport.h"
#include "tchat.h"
#include "tphrases.h"

#include <QApplication>
#include <QKeyEvent>

void Tchat::sendit(const QString& text)
{
    if (!session_.loggedIn())
        return;
    if (!text.isEmpty() && !text.startsWith(QLatin1Char('/')))
        session_.say(text, settings_.textColour);
    else if (text.startsWith(QLatin1String("/me")))
        session_.act(text.mid(4), settings_.actionColour);
    chatPane().clearEntry();
}

QString Tchat::phrase(int number) const
{
    return settings_.phrases.at(static_cast<std::size_t>(number - 1));
}

void Tchat::phraseChosen(int number)
{
    const QString text = phrase(number);
    const QString action =
        text.startsWith(QLatin1String("/me ")) ? text.mid(4) : QStringLiteral("says: ") + text;
    session_.act(action, settings_.actionColour);
}

void Tchat::PrhaseList1Click()
{
    QStringList current;
    for (int k = 1; k <= 10; ++k)
        current << phrase(k);
    phrases_->setPhrases(current);
    phrases_->show();
}

bool Tchat::FormShortCut(int key)
{
    return session_.pressKey(key);
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
    return QMainWindow::eventFilter(watched, event);
}
