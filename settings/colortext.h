#pragma once

#include <QString>
#include <QStringView>

#include <optional>

// Colours as the program writes them into the settings file and onto the wire: the values are
// 0x00BBGGRR (system colours have 0xFF in the top byte), the text is a colour name such as
// "clBlack" or "$" and eight hexadecimal digits.
namespace ColorText {

// A known colour name (without regard to case), "$" and hexadecimal digits, or a decimal
// number; nullopt for anything else.
std::optional<quint32> toColor(QStringView text);

// The colour's name if it has one, else "$" and eight hexadecimal digits.
QString fromColor(quint32 color);

} // namespace ColorText
