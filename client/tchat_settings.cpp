// The main window's options and their settings file, shared with the lobby.
#include "colortext.h"
#include "colorvalue.h"
#include "faultreport.h"
#include "inifile.h"
#include "tchat.h"
#include "tgamestart.h"

#include <QAction>
#include <QActionGroup>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QTextEdit>

namespace {

const QString kSection = QStringLiteral("Pinfall");
constexpr QRect kDefaultGeometry{3, 3, 581, 576};

QString flag(bool on)
{
    return on ? QStringLiteral("true") : QStringLiteral("false");
}

// Checks the item of a radio group whose number is `tag`; the others keep their marks.
void choose(QAction* owner, int tag)
{
    owner->setData(tag);
    for (QAction* item : owner->menu()->actions()) {
        if (item->data().toInt() == tag)
            item->setChecked(true);
    }
}

} // namespace

void Tchat::loadinifile()
{
    const IniFile ini(settingsPath_);
    const int top = ini.readInteger(kSection, QStringLiteral("Top"), kDefaultGeometry.top());
    const int left = ini.readInteger(kSection, QStringLiteral("Left"), kDefaultGeometry.left());
    const int width = ini.readInteger(kSection, QStringLiteral("Width"), kDefaultGeometry.width());
    const int height = ini.readInteger(kSection, QStringLiteral("Height"), kDefaultGeometry.height());
    savedGeometry_ = QRect(left, top, width, height);
    move(left, top);
    resize(width, height);
    savedGeometry_.setSize(size()); // the window may not go below its minimum size

    applyTextSize(ini.readInteger(kSection, QStringLiteral("Textsize"), 8));
    const auto colour = [&ini](const char* key) {
        return ColorText::toColor(
                   ini.readString(kSection, QString::fromLatin1(key), QStringLiteral("clblack")))
            .value_or(0);
    };
    textColour_ = colour("Textcolor");
    actionColour_ = colour("Actioncolor");
    setChatColour(textColour_);

    // An empty text leaves the time as it is; a text that is no number is ignored.
    bool isNumber = false;
    const int seconds =
        ini.readString(kSection, QStringLiteral("Timeperturn"), QStringLiteral("1")).toInt(&isNumber);
    if (isNumber && gamestart_ != nullptr)
        gamestart_->setTimePerTurn(seconds);
    const QString pause = ini.readString(kSection, QStringLiteral("Timebetween"), QString());
    choose(timebetween, pause == QStringLiteral("5") ? 5 : pause == QStringLiteral("15") ? 15 : 10);

    for (int k = 1; k <= 10; ++k) {
        const QString stored = ini.readString(kSection, QStringLiteral("Phrase%1").arg(k), QString());
        if (!stored.isEmpty())
            b_phrase[k]->setToolTip(stored);
    }
    const auto isExactly = [&ini](const char* key, const char* text, const char* fallback) {
        return ini.readString(kSection, QString::fromLatin1(key), QString::fromLatin1(fallback)) ==
               QLatin1String(text);
    };
    TypeWords1->setChecked(isExactly("Type", "true", "false"));
    usespace->setChecked(isExactly("Usespace", "true", "false"));
    showbadword->setChecked(!isExactly("Showbadword", "false", "true"));
    clearwords1->setChecked(isExactly("Clearwords", "true", "false"));
    choose(TurnSound1, isExactly("Turnsound", "1", "0") ? 1 : 0);
    PlaySounds1->setChecked(!isExactly("Playsounds", "false", "true"));
}

void Tchat::saveinifile()
{
    saveSettings(QRect(x(), y(), width(), height()));
}

void Tchat::saveSettings(const QRect& geometry)
{
    if (settingsPath_.isEmpty())
        return;
    const IniFile ini(settingsPath_);
    const auto write = [&ini](const char* key, const QString& value) {
        ini.writeString(kSection, QString::fromLatin1(key), value);
    };
    write("Top", QString::number(geometry.top()));
    write("Left", QString::number(geometry.left()));
    write("Width", QString::number(geometry.width()));
    write("Height", QString::number(geometry.height()));
    write("Textsize", QString::number(mainchat->font().pointSize()));
    write("Textcolor", ColorText::fromColor(textColour_));
    write("Actioncolor", ColorText::fromColor(actionColour_));
    write("Timeperturn", QString::number(gamestart_ != nullptr ? gamestart_->timePerTurn() : 60));
    write("Turnsound", QString::number(TurnSound1->data().toInt()));
    write("Timebetween", QString::number(timebetween->data().toInt()));
    write("Type", flag(TypeWords1->isChecked()));
    write("Usespace", flag(usespace->isChecked()));
    write("Showbadword", flag(showbadword->isChecked()));
    write("Clearwords", flag(clearwords1->isChecked()));
    write("Playsounds", flag(PlaySounds1->isChecked()));
}

void Tchat::applyTextSize(int points)
{
    QFont font = mainchat->font();
    font.setPointSize(std::max(1, points));
    mainchat->setFont(font);
    for (QAction* item : textSizes_->actions())
        item->setChecked(item->data().toInt() == points);
    TextSize1->setData(points);
}

void Tchat::setChatColour(quint32 colour)
{
    QPalette text = mychat->palette();
    text.setColor(QPalette::Text, ColorValue::toQColor(colour));
    mychat->setPalette(text);
}

void Tchat::TextColor1Click()
{
    if (const auto chosen = pickColour(ColorValue::toQColor(textColour_), QStringLiteral("Text Color"))) {
        textColour_ = ColorValue::fromQColor(*chosen);
        setChatColour(textColour_);
        saveinifile();
    }
}

void Tchat::ActionColor1Click()
{
    if (const auto chosen = pickColour(ColorValue::toQColor(actionColour_), QStringLiteral("Action Color")))
        actionColour_ = ColorValue::fromQColor(*chosen);
    saveinifile(); // saved whether or not a colour was chosen
}

void Tchat::ResetLocation1Click()
{
    move(kDefaultGeometry.topLeft());
    resize(kDefaultGeometry.size());
}

void Tchat::FormClose()
{
    const QRect now(x(), y(), width(), height());
    if (now == savedGeometry_)
        return;
    QRect kept = now;
    if (const QScreen* where = screen()) {
        // One step in from the edges of a window larger than the work area.
        const QRect work = where->availableGeometry();
        if (kept.width() > work.width())
            kept.setWidth(kept.width() - 15);
        if (kept.height() > work.height())
            kept.setHeight(kept.height() - 15);
    }
    savedGeometry_ = kept;
    saveSettings(kept);
}
