#pragma once

#include <QColor>

// Colour values of the settings file and the wire (0x00BBGGRR) and Qt's colours.
namespace ColorValue {

// System colours (top byte set) have no fixed value; they show as black.
inline QColor toQColor(quint32 value)
{
    if ((value & 0xFF000000) != 0)
        return Qt::black;
    return QColor(static_cast<int>(value & 0xFF), static_cast<int>((value >> 8) & 0xFF),
                  static_cast<int>((value >> 16) & 0xFF));
}

inline quint32 fromQColor(const QColor& colour)
{
    return static_cast<quint32>(colour.blue()) << 16 | static_cast<quint32>(colour.green()) << 8 |
           static_cast<quint32>(colour.red());
}

} // namespace ColorValue
