#include "colortext.h"

#include <array>

namespace ColorText {
namespace {

struct Named {
    quint32 color;
    const char* name;
};

constexpr quint32 kSystem = 0xFF000000;

// In the order names are looked for when a colour is written: the first name of a value wins.
constexpr std::array<Named, 51> kNames{{
    {0x000000, "clBlack"},
    {0x000080, "clMaroon"},
    {0x008000, "clGreen"},
    {0x008080, "clOlive"},
    {0x800000, "clNavy"},
    {0x800080, "clPurple"},
    {0x808000, "clTeal"},
    {0x808080, "clGray"},
    {0xC0C0C0, "clSilver"},
    {0x0000FF, "clRed"},
    {0x00FF00, "clLime"},
    {0x00FFFF, "clYellow"},
    {0xFF0000, "clBlue"},
    {0xFF00FF, "clFuchsia"},
    {0xFFFF00, "clAqua"},
    {0xFFFFFF, "clWhite"},
    {0xC0DCC0, "clMoneyGreen"},
    {0xF0CAA6, "clSkyBlue"},
    {0xF0FBFF, "clCream"},
    {0xA4A0A0, "clMedGray"},
    {kSystem | 10, "clActiveBorder"},
    {kSystem | 2, "clActiveCaption"},
    {kSystem | 12, "clAppWorkSpace"},
    {kSystem | 1, "clBackground"},
    {kSystem | 15, "clBtnFace"},
    {kSystem | 20, "clBtnHighlight"},
    {kSystem | 16, "clBtnShadow"},
    {kSystem | 18, "clBtnText"},
    {kSystem | 9, "clCaptionText"},
    {0x20000000, "clDefault"},
    {kSystem | 27, "clGradientActiveCaption"},
    {kSystem | 28, "clGradientInactiveCaption"},
    {kSystem | 17, "clGrayText"},
    {kSystem | 13, "clHighlight"},
    {kSystem | 14, "clHighlightText"},
    {kSystem | 26, "clHotLight"},
    {kSystem | 11, "clInactiveBorder"},
    {kSystem | 3, "clInactiveCaption"},
    {kSystem | 19, "clInactiveCaptionText"},
    {kSystem | 24, "clInfoBk"},
    {kSystem | 23, "clInfoText"},
    {kSystem | 4, "clMenu"},
    {kSystem | 30, "clMenuBar"},
    {kSystem | 29, "clMenuHighlight"},
    {kSystem | 7, "clMenuText"},
    {0x1FFFFFFF, "clNone"},
    {kSystem | 0, "clScrollBar"},
    {kSystem | 21, "cl3DDkShadow"},
    {kSystem | 22, "cl3DLight"},
    {kSystem | 5, "clWindow"},
    {kSystem | 6, "clWindowFrame"},
}};

} // namespace

std::optional<quint32> toColor(QStringView text)
{
    for (const Named& named : kNames) {
        if (text.compare(QLatin1String(named.name), Qt::CaseInsensitive) == 0)
            return named.color;
    }
    bool ok = false;
    if (text.startsWith(QLatin1Char('$'))) {
        const quint32 value = text.mid(1).toUInt(&ok, 16);
        if (ok && text.size() > 1)
            return value;
        return std::nullopt;
    }
    const int value = text.toInt(&ok, 10);
    return ok ? std::optional<quint32>(static_cast<quint32>(value)) : std::nullopt;
}

QString fromColor(quint32 color)
{
    for (const Named& named : kNames) {
        if (named.color == color)
            return QString::fromLatin1(named.name);
    }
    return QStringLiteral("$%1").arg(color, 8, 16, QLatin1Char('0')).toUpper();
}

} // namespace ColorText
