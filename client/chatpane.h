#pragma once

#include <QColor>
#include <QStringList>
#include <QTimer>
#include <QWidget>

#include <array>
#include <functional>

class QAction;
class QLineEdit;
class QPushButton;
class QTextEdit;

// The chat at the foot of the board: the pane of lines (links open on a click), the line the
// player writes in, and the ten phrase buttons. It only shows and collects text; what is said
// goes out through whoever listens to its signals.
class ChatPane : public QWidget {
    Q_OBJECT

public:
    explicit ChatPane(QWidget* parent);

    void addLine(const QString& text, const QColor& colour);
    QStringList lines() const;
    // Empties the pane and puts the keys back on the chat line.
    void clear();
    void copySelection();
    void paste();
    void clearEntry();

    // A phrase button, pressed: it speaks unless the buttons still rest from the last one.
    void pressPhrase(int number);
    bool phraseReady() const { return !phrasePause_.isActive(); }
    // What buttons 1 to 10 say: a phrase, or an action after "/me ".
    void setPhrases(const std::array<QString, 10>& phrases);
    const std::array<QString, 10>& phrases() const { return phrases_; }

    void setTextSize(int points);
    void setEntryColour(const QColor& colour);
    // While the player's keys type words on the board, the chat line looks switched off.
    void setKeysToBoard(bool toBoard);
    // The pane's own "Scroll Chat Off" item: while it is ticked, new lines leave the view alone.
    QAction* scrollChatOff() const { return scrollChatOff_; }
    // Copies every line to stderr as well (for scripts that watch a running game).
    void setEcho(bool echo) { echo_ = echo; }
    // Opens a web address with the platform's default handler unless tests say otherwise.
    std::function<void(const QString& address)> openLink;

Q_SIGNALS:
    void lineEntered(const QString& text);
    // A phrase button's action: "says: " and its phrase, or what follows its "/me ".
    void phraseActed(const QString& action);
    // The chat line was clicked while keys went to the board: the player wants them back.
    void keysWanted();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildMenus();
    // A left click in the pane opens the link under the point, if any, and says whether it did.
    bool openLinkAt(const QPoint& at);

    QTextEdit* lines_ = nullptr;
    QLineEdit* entry_ = nullptr;
    std::array<QPushButton*, 10> phraseButtons_{};
    std::array<QString, 10> phrases_{QStringLiteral("Way To Go!"),
                                     QStringLiteral("Good One!"),
                                     QStringLiteral("Nice Try!"),
                                     QStringLiteral("Excellent!"),
                                     QStringLiteral("Brilliant!"),
                                     QStringLiteral("Wow, WTG!"),
                                     QStringLiteral("Thanks!"),
                                     QStringLiteral("Way To Go Teamie!"),
                                     QStringLiteral("Good Game Everyone!"),
                                     QStringLiteral("/me waves \"Good-Bye\"")};
    QAction* scrollChatOff_ = nullptr;
    QTimer phrasePause_; // phrase buttons rest while it runs
    QColor entryColour_;
    bool keysToBoard_ = false;
    bool echo_ = false;
};
