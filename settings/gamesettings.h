#pragma once

#include "inifile.h"

#include <QString>

#include <array>
#include <optional>

// The main window's place and options as the section "Pinfall" of the shared settings file keeps
// them. A fresh value holds what a missing file or key gives. The members follow the order their
// keys are written in.
struct GameSettings {
    static constexpr int kPhrases = 10;
    using Phrases = std::array<QString, kPhrases>;

    int top = 3;
    int left = 3;
    int width = 581;
    int height = 576;
    int textSize = 8;         // the chat's font, in points
    quint32 textColour = 0;   // 0x00BBGGRR; text that names no colour reads as black
    quint32 actionColour = 0; // likewise
    // The game start dialog brings any number into its own range, this default included; nothing
    // when the stored text is no number, and the dialog keeps the time it has.
    std::optional<int> timePerTurn = 1;
    int turnSound = 0;             // 0 Classic, 1 New
    int secondsBetweenRounds = 10; // 5, 10 or 15
    bool typeWords = false;
    bool spaceSorts = false;
    bool showBadWord = true;
    bool clearBadWords = false;
    bool playSounds = true;
    bool showMissedWords = true; // the best play and the words missed, after each frame
    // The computer players the game start dialog offers. Nothing when never chosen: the window
    // then picks by the kind of game.
    std::optional<int> computerPlayers{};
    QString computerLevel{}; // a level's name; the window takes any other text for its default level
    // Playing with others: the name and the address last used, and whether the games this
    // program hosts are visible on the local network.
    QString playerName{};
    QString joinAddress{};
    bool hostHere = false;
    QString lobbyAddress{}; // the internet lobby, DOMAIN[:PORT]
    // Phrase buttons 1 to 10; an empty text leaves the button with the phrase it has.
    Phrases phrases{};

    bool operator==(const GameSettings&) const = default;
};

// A text that does not fit its key gives that key's default, except a time per turn or a number
// of computer players that is no number (see above). Text is compared exactly: "TRUE" is not "true".
GameSettings readGameSettings(const IniFile& ini);

// Every key but the phrases, which change only when the player edits them.
void writeGameSettings(const IniFile& ini, const GameSettings& settings);
void writePhrases(const IniFile& ini, const GameSettings::Phrases& phrases);
