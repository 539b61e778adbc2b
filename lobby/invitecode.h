#pragma once

#include <QString>

#include <optional>

class QRandomGenerator;

// The code that names an internet game: six characters from an alphabet without look-alikes
// (no 0 or O, no 1, I or L), shown as "K7Q-4PZ" and read back in any case, with or without
// the dash. The game's room on the lobby is named by it.
class InviteCode {
public:
    static constexpr int kLength = 6;
    static constexpr QStringView kAlphabet = u"ABCDEFGHJKMNPQRSTUVWXYZ23456789";

    static InviteCode random(QRandomGenerator& generator);
    // The code the player typed; nullopt when it cannot be one.
    static std::optional<InviteCode> parse(QStringView typed);
    // The code of a join link, "pinfall://join/K7Q-4PZ"; nullopt for anything else.
    static std::optional<InviteCode> fromJoinLink(QStringView link);
    // What a friend passes on: the code, its join link, or both as the host's Copy gives them.
    static std::optional<InviteCode> fromPassedOn(QStringView text);

    QString shown() const;    // "K7Q-4PZ"
    QString roomName() const; // "k7q4pz": room names are case-blind
    QString joinLink() const; // "pinfall://join/K7Q-4PZ"
    friend bool operator==(const InviteCode&, const InviteCode&) = default;

private:
    explicit InviteCode(QString characters) : characters_(std::move(characters)) {}

    QString characters_; // kLength of them, upper case, no dash
};
