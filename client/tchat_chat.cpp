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

void Tchat::PrhaseList1Click()
{
    phrases_->setPhrases(QStringList(settings_.phrases.begin(), settings_.phrases.end()));
    phrases_->show();
}

bool Tchat::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && watched->isWidgetType()) {
        // Keys reach the board before the focused control; only their first delivery counts.
        const QWidget* focus = QApplication::focusWidget();
        const QWidget* target = focus != nullptr && focus->window() == this ? focus : this;
        if (watched == target) {
            bool taken = false;
            FaultReport::guard([&] { taken = session_.pressKey(static_cast<QKeyEvent*>(event)->key()); });
            if (taken)
                return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}
