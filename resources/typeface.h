#pragma once

#include <QFont>
#include <QString>

// The typeface the windows and pictures write their own texts in. Liberation Sans comes with
// Debian's fonts-liberation2, which the program depends on, so the texts have the same shapes on
// every machine; its letters take the room Arial's take, which the boxes around them were made for.
namespace Typeface {

inline QString family()
{
    return QStringLiteral("Liberation Sans");
}

// Sized in pixels, so that a text keeps to the box drawn for it whatever the screen's resolution.
inline QFont regular(int pixelSize)
{
    QFont font(family());
    font.setPixelSize(pixelSize);
    return font;
}

inline QFont bold(int pixelSize)
{
    QFont font = regular(pixelSize);
    font.setBold(true);
    return font;
}

} // namespace Typeface
