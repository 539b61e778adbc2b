#include "gamesettings.h"

#include "colortext.h"

#include <algorithm>
#include <span>
#include <variant>

namespace {

const QString kSection = QStringLiteral("Pinfall");
const GameSettings kDefaults;

// The key's text, or the text its default would be written as when the section lacks the key;
// so a default is stated once, in GameSettings.
template <typename Kind> QString storedText(const IniFile& ini, const QString& key, const Kind& kind)
{
    return ini.readString(kSection, key, kind.text(kDefaults));
}

// A whole number; anything else gives the default.
struct Number {
    int GameSettings::*member;

    QString text(const GameSettings& from) const { return QString::number(from.*member); }
    void read(const IniFile& ini, const QString& key, GameSettings& into) const
    {
        into.*member = ini.readInteger(kSection, key, kDefaults.*member);
    }
};

// A whole number, or nothing for any other text, an empty one included.
struct NumberOrNothing {
    std::optional<int> GameSettings::*member;

    QString text(const GameSettings& from) const
    {
        const std::optional<int>& value = from.*member;
        return value ? QString::number(*value) : QString();
    }
    void read(const IniFile& ini, const QString& key, GameSettings& into) const
    {
        bool isNumber = false;
        const int value = storedText(ini, key, *this).toInt(&isNumber);
        into.*member = isNumber ? std::optional(value) : std::nullopt;
    }
};

// One of a few numbers, by its exact text ("05" is none of them); any other text gives the default.
struct Choice {
    int GameSettings::*member;
    std::span<const int> choices;

    QString text(const GameSettings& from) const { return QString::number(from.*member); }
    void read(const IniFile& ini, const QString& key, GameSettings& into) const
    {
        const QString stored = storedText(ini, key, *this);
        const auto chosen = std::ranges::find_if(
            choices, [&stored](int choice) { return stored == QString::number(choice); });
        into.*member = chosen != choices.end() ? *chosen : kDefaults.*member;
    }
};

// Colour text (see colortext.h); text that names no colour gives the default.
struct Colour {
    quint32 GameSettings::*member;

    QString text(const GameSettings& from) const { return ColorText::fromColor(from.*member); }
    void read(const IniFile& ini, const QString& key, GameSettings& into) const
    {
        into.*member = ColorText::toColor(storedText(ini, key, *this)).value_or(kDefaults.*member);
    }
};

// Any text, kept as it is.
struct Text {
    QString GameSettings::*member;

    QString text(const GameSettings& from) const { return from.*member; }
    void read(const IniFile& ini, const QString& key, GameSettings& into) const
    {
        into.*member = storedText(ini, key, *this);
    }
};

QString flagText(bool on)
{
    return on ? QStringLiteral("true") : QStringLiteral("false");
}

// "true" or "false". Only the exact text of the value that is not the default gives that value,
// so "TRUE" or "yes" leaves the option as a fresh install has it.
struct Flag {
    bool GameSettings::*member;

    QString text(const GameSettings& from) const { return flagText(from.*member); }
    void read(const IniFile& ini, const QString& key, GameSettings& into) const
    {
        const bool other = !(kDefaults.*member);
        into.*member = storedText(ini, key, *this) == flagText(other) ? other : kDefaults.*member;
    }
};

constexpr std::array kTurnSounds{0, 1};
constexpr std::array kSecondsBetweenRounds{5, 10, 15};

struct Key {
    QLatin1String name;
    std::variant<Number, NumberOrNothing, Choice, Colour, Flag, Text> kind;
};

// Every key but the phrases, in the order they are written.
constexpr std::array<Key, 22> kKeys{{
    {QLatin1String("Top"), Number{&GameSettings::top}},
    {QLatin1String("Left"), Number{&GameSettings::left}},
    {QLatin1String("Width"), Number{&GameSettings::width}},
    {QLatin1String("Height"), Number{&GameSettings::height}},
    {QLatin1String("Textsize"), Number{&GameSettings::textSize}},
    {QLatin1String("Textcolor"), Colour{&GameSettings::textColour}},
    {QLatin1String("Actioncolor"), Colour{&GameSettings::actionColour}},
    {QLatin1String("Timeperturn"), NumberOrNothing{&GameSettings::timePerTurn}},
    {QLatin1String("Turnsound"), Choice{&GameSettings::turnSound, kTurnSounds}},
    {QLatin1String("Timebetween"), Choice{&GameSettings::secondsBetweenRounds, kSecondsBetweenRounds}},
    {QLatin1String("Type"), Flag{&GameSettings::typeWords}},
    {QLatin1String("Usespace"), Flag{&GameSettings::spaceSorts}},
    {QLatin1String("Showbadword"), Flag{&GameSettings::showBadWord}},
    {QLatin1String("Clearwords"), Flag{&GameSettings::clearBadWords}},
    {QLatin1String("Playsounds"), Flag{&GameSettings::playSounds}},
    {QLatin1String("Showmissedwords"), Flag{&GameSettings::showMissedWords}},
    {QLatin1String("ComputerPlayers"), NumberOrNothing{&GameSettings::computerPlayers}},
    {QLatin1String("ComputerLevel"), Text{&GameSettings::computerLevel}},
    {QLatin1String("PlayerName"), Text{&GameSettings::playerName}},
    {QLatin1String("JoinAddress"), Text{&GameSettings::joinAddress}},
    {QLatin1String("HostHere"), Flag{&GameSettings::hostHere}},
    {QLatin1String("LobbyAddress"), Text{&GameSettings::lobbyAddress}},
}};

QString phraseKey(std::size_t index)
{
    return QStringLiteral("Phrase%1").arg(index + 1);
}

} // namespace

GameSettings readGameSettings(const IniFile& ini)
{
    GameSettings settings;
    for (const Key& key : kKeys)
        std::visit([&](const auto& kind) { kind.read(ini, QString(key.name), settings); }, key.kind);
    for (std::size_t index = 0; index < settings.phrases.size(); ++index)
        settings.phrases[index] = ini.readString(kSection, phraseKey(index), QString());
    return settings;
}

void writeGameSettings(const IniFile& ini, const GameSettings& settings)
{
    for (const Key& key : kKeys) {
        const QString text = std::visit([&](const auto& kind) { return kind.text(settings); }, key.kind);
        ini.writeString(kSection, QString(key.name), text);
    }
}

void writePhrases(const IniFile& ini, const GameSettings::Phrases& phrases)
{
    for (std::size_t index = 0; index < phrases.size(); ++index)
        ini.writeString(kSection, phraseKey(index), phrases[index]);
}
