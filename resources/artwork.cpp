#include "artwork.h"

#include "typeface.h"

#include <QHash>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <vector>

namespace Artwork {
namespace {

const QColor kLaneLight(232, 196, 140);
const QColor kLaneDark(198, 150, 92);
const QColor kPinRed(200, 24, 24);
const QColor kInk(40, 28, 20);
const QColor kPinEdge(120, 120, 120);
const QColor kTileEdge(90, 80, 70);
const QColor kLetterTileLight(255, 255, 255);
const QColor kLetterTileDark(232, 228, 216);
const QColor kLetterShadow(90, 0, 0);

QPixmap blank(QSize size)
{
    QPixmap pixmap(size);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

void antialiased(QPainter& painter)
{
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
}

// The outline of a bowling pin standing in `box`.
QPainterPath pinOutline(const QRectF& box)
{
    const qreal w = box.width();
    const qreal h = box.height();
    QPainterPath pin;
    pin.moveTo(box.left() + w * 0.5, box.top());
    pin.cubicTo(box.left() + w * 0.85, box.top(), box.left() + w * 0.8, box.top() + h * 0.3,
                box.left() + w * 0.62, box.top() + h * 0.38);
    pin.cubicTo(box.left() + w * 1.05, box.top() + h * 0.55, box.left() + w * 0.95, box.top() + h * 0.9,
                box.left() + w * 0.75, box.bottom());
    pin.lineTo(box.left() + w * 0.25, box.bottom());
    pin.cubicTo(box.left() + w * 0.05, box.top() + h * 0.9, box.left() - w * 0.05, box.top() + h * 0.55,
                box.left() + w * 0.38, box.top() + h * 0.38);
    pin.cubicTo(box.left() + w * 0.2, box.top() + h * 0.3, box.left() + w * 0.15, box.top(),
                box.left() + w * 0.5, box.top());
    return pin;
}

// The white of a pin in `box`, lit from the left.
QLinearGradient pinBody(const QRectF& box)
{
    QLinearGradient body(box.topLeft(), box.topRight());
    body.setColorAt(0, QColor(235, 235, 235));
    body.setColorAt(0.4, Qt::white);
    body.setColorAt(1, QColor(190, 190, 190));
    return body;
}

// A bowling pin standing in `box`.
void drawPin(QPainter& painter, const QRectF& box)
{
    const qreal w = box.width();
    const qreal h = box.height();
    painter.setPen(QPen(kPinEdge, 0.8));
    painter.setBrush(pinBody(box));
    painter.drawPath(pinOutline(box));
    painter.setPen(QPen(kPinRed, h * 0.06));
    painter.drawLine(QPointF(box.left() + w * 0.36, box.top() + h * 0.3),
                     QPointF(box.left() + w * 0.64, box.top() + h * 0.3));
}

// One shape of the program's icon. Only what iconSvg() can write is used: solid or linear
// gradient fills and solid pens.
struct IconShape {
    QPainterPath path;
    QBrush fill;
    QPen outline = Qt::NoPen;
};

std::vector<IconShape> iconShapes()
{
    const QRectF pinBox(124, 8, 104, 240);
    const QPainterPath pin = pinOutline(pinBox);
    QPainterPath band;
    band.addRect(pinBox.left(), pinBox.top() + pinBox.height() * 0.27, pinBox.width(),
                 pinBox.height() * 0.06);

    const QRectF face(12, 108, 136, 136);
    QPainterPath tile;
    tile.addRoundedRect(face, 18, 18);
    QLinearGradient tileFill(face.topLeft(), face.bottomRight());
    tileFill.setColorAt(0, kLetterTileLight);
    tileFill.setColorAt(1, kLetterTileDark);

    // A capital P in strokes rather than a font, so that every renderer draws the same letter.
    QPainterPath letter;
    letter.moveTo(52, 218);
    letter.lineTo(52, 134);
    letter.lineTo(84, 134);
    letter.cubicTo(118, 134, 118, 180, 84, 180);
    letter.lineTo(52, 180);
    const auto letterPen = [](const QColor& color) {
        return QPen(color, 22, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    };

    return {
        {pin, pinBody(pinBox)},
        {pin.intersected(band), kPinRed},
        {pin, Qt::NoBrush, QPen(kPinEdge, 4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin)},
        {tile.translated(5, 6), QColor(0, 0, 0, 70)},
        {tile, tileFill, QPen(kTileEdge, 5)},
        {letter.translated(3, 3), Qt::NoBrush, letterPen(kLetterShadow)},
        {letter, Qt::NoBrush, letterPen(kPinRed)},
    };
}

QByteArray svgNumber(qreal value)
{
    return QByteArray::number(value, 'g', 6);
}

// ` property="#rrggbb"`, and ` property-opacity="a"` when the colour is see-through.
QByteArray svgColor(const QByteArray& property, const QColor& color)
{
    QByteArray text = ' ' + property + "=\"" + color.name(QColor::HexRgb).toLatin1() + '"';
    if (color.alpha() < 255)
        text += ' ' + property + "-opacity=\"" + svgNumber(color.alphaF()) + '"';
    return text;
}

// The fill attributes of one shape; a gradient goes into `defs` under a name of its own.
QByteArray svgFill(const QBrush& brush, QByteArray& defs)
{
    if (brush.style() == Qt::NoBrush)
        return " fill=\"none\"";
    if (brush.style() != Qt::LinearGradientPattern)
        return svgColor("fill", brush.color());
    const auto* gradient = static_cast<const QLinearGradient*>(brush.gradient());
    const QByteArray id = "fill" + QByteArray::number(defs.count("<linearGradient"));
    defs += "<linearGradient id=\"" + id + "\" gradientUnits=\"userSpaceOnUse\" x1=\"" +
            svgNumber(gradient->start().x()) + "\" y1=\"" + svgNumber(gradient->start().y()) + "\" x2=\"" +
            svgNumber(gradient->finalStop().x()) + "\" y2=\"" + svgNumber(gradient->finalStop().y()) +
            "\">\n";
    for (const auto& [offset, color] : gradient->stops())
        defs += "<stop offset=\"" + svgNumber(offset) + '"' + svgColor("stop-color", color) + "/>\n";
    defs += "</linearGradient>\n";
    return " fill=\"url(#" + id + ")\"";
}

QByteArray svgStroke(const QPen& pen)
{
    if (pen.style() == Qt::NoPen)
        return {};
    static const QHash<Qt::PenCapStyle, QByteArray> caps{
        {Qt::FlatCap, "butt"}, {Qt::SquareCap, "square"}, {Qt::RoundCap, "round"}};
    static const QHash<Qt::PenJoinStyle, QByteArray> joins{
        {Qt::MiterJoin, "miter"}, {Qt::BevelJoin, "bevel"}, {Qt::RoundJoin, "round"}};
    return svgColor("stroke", pen.color()) + " stroke-width=\"" + svgNumber(pen.widthF()) +
           "\" stroke-linecap=\"" + caps.value(pen.capStyle()) + "\" stroke-linejoin=\"" +
           joins.value(pen.joinStyle()) + "\" stroke-miterlimit=\"" + svgNumber(pen.miterLimit()) + '"';
}

QByteArray svgPathData(const QPainterPath& path)
{
    QByteArray data;
    QPointF start;
    for (int i = 0; i < path.elementCount(); ++i) {
        const QPainterPath::Element element = path.elementAt(i);
        if (element.isMoveTo()) {
            start = element;
            data += " M";
        } else if (element.isLineTo()) {
            data += " L";
        } else if (element.isCurveTo()) {
            data += " C";
        }
        data += ' ' + svgNumber(element.x) + ' ' + svgNumber(element.y);
        // QPainter joins the ends of a figure that comes back to its start; SVG only where told.
        const bool figureEnds = i + 1 == path.elementCount() || path.elementAt(i + 1).isMoveTo();
        if (figureEnds && QPointF(element) == start)
            data += " Z";
    }
    return data.mid(1);
}

} // namespace

void paintBoard(QPainter& painter, QSize size)
{
    painter.save();
    // Maple lane boards, lit from above.
    constexpr int kBoard = 21;
    for (int x = 0, n = 0; x < size.width(); x += kBoard, ++n) {
        QLinearGradient plank(x, 0, x + kBoard, 0);
        const QColor base = n % 2 == 0 ? kLaneLight : kLaneLight.darker(106);
        plank.setColorAt(0, base.darker(104));
        plank.setColorAt(0.5, base);
        plank.setColorAt(1, base.darker(108));
        painter.fillRect(QRect(x, 0, kBoard, size.height()), plank);
        painter.setPen(QPen(kLaneDark, 1));
        painter.drawLine(x, 0, x, size.height());
    }
    QLinearGradient gloss(0, 0, 0, size.height());
    gloss.setColorAt(0, QColor(255, 255, 255, 70));
    gloss.setColorAt(0.5, QColor(255, 255, 255, 0));
    gloss.setColorAt(1, QColor(80, 40, 0, 60));
    const QRect whole(QPoint(0, 0), size);
    painter.fillRect(whole, gloss);
    painter.setPen(QPen(QColor(110, 70, 30), 2));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(whole.adjusted(1, 1, -1, -1));
    painter.restore();
}

QPixmap captionButton(const QString& caption, QSize size)
{
    QPixmap pixmap = blank(size);
    QPainter painter(&pixmap);
    antialiased(painter);
    const QRectF face = QRectF(pixmap.rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    QLinearGradient fill(face.topLeft(), face.bottomLeft());
    fill.setColorAt(0, QColor(226, 60, 48));
    fill.setColorAt(0.5, QColor(176, 20, 20));
    fill.setColorAt(1, QColor(120, 8, 8));
    painter.setPen(QPen(QColor(70, 0, 0), 1));
    painter.setBrush(fill);
    painter.drawRoundedRect(face, 5, 5);
    painter.setPen(QPen(QColor(255, 255, 255, 90), 1));
    painter.drawLine(QPointF(face.left() + 5, face.top() + 1.5), QPointF(face.right() - 5, face.top() + 1.5));
    painter.setFont(Typeface::bold(size.height() / 2 + 1));
    painter.setPen(QColor(60, 0, 0));
    painter.drawText(face.translated(1, 1), Qt::AlignCenter, caption);
    painter.setPen(Qt::white);
    painter.drawText(face, Qt::AlignCenter, caption);
    return pixmap;
}

QPixmap sortArrows()
{
    QPixmap pixmap = blank({32, 32});
    QPainter painter(&pixmap);
    antialiased(painter);
    painter.setBrush(QColor(255, 245, 225));
    painter.setPen(QPen(QColor(110, 70, 30), 1.5));
    painter.drawEllipse(QRectF(1, 1, 30, 30));
    const QRectF ring(8, 8, 16, 16);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(kPinRed, 3, Qt::SolidLine, Qt::RoundCap));
    painter.drawArc(ring, 20 * 16, 140 * 16);
    painter.drawArc(ring, 200 * 16, 140 * 16);
    painter.setPen(Qt::NoPen);
    painter.setBrush(kPinRed);
    // Arrow heads at the end of each arc, pointing on round the circle.
    painter.drawPolygon(QPolygonF{QPointF(5, 13), QPointF(12, 13), QPointF(8.5, 18.5)});
    painter.drawPolygon(QPolygonF{QPointF(27, 19), QPointF(20, 19), QPointF(23.5, 13.5)});
    return pixmap;
}

QPixmap eyes()
{
    QPixmap pixmap = blank({25, 9});
    QPainter painter(&pixmap);
    antialiased(painter);
    for (const qreal left : {1.0, 13.0}) {
        painter.setPen(QPen(kInk, 1));
        painter.setBrush(Qt::white);
        painter.drawEllipse(QRectF(left, 0.5, 11, 8));
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(30, 60, 140));
        painter.drawEllipse(QRectF(left + 4.5, 2.5, 4, 4));
        painter.setBrush(Qt::black);
        painter.drawEllipse(QRectF(left + 5.5, 3.5, 2, 2));
    }
    return pixmap;
}

QPixmap winnerMark()
{
    QPixmap pixmap = blank({94, 16});
    QPainter painter(&pixmap);
    antialiased(painter);
    QPainterPath ribbon;
    ribbon.moveTo(0, 1);
    ribbon.lineTo(94, 1);
    ribbon.lineTo(88, 8);
    ribbon.lineTo(94, 15);
    ribbon.lineTo(0, 15);
    ribbon.lineTo(6, 8);
    ribbon.closeSubpath();
    QLinearGradient gold(0, 0, 0, 16);
    gold.setColorAt(0, QColor(255, 236, 140));
    gold.setColorAt(0.5, QColor(230, 180, 40));
    gold.setColorAt(1, QColor(170, 120, 10));
    painter.setPen(QPen(QColor(120, 80, 0), 1));
    painter.setBrush(gold);
    painter.drawPath(ribbon);
    painter.setFont(Typeface::bold(11));
    painter.setPen(QColor(90, 40, 0));
    painter.drawText(QRectF(0, 0, 94, 16), Qt::AlignCenter, QStringLiteral("WINNER"));
    return pixmap;
}

QPixmap badWordPanel()
{
    QPixmap pixmap = blank({240, 57});
    QPainter painter(&pixmap);
    antialiased(painter);
    const QRectF face(0.5, 0.5, 239, 56);
    painter.setPen(QPen(kPinRed, 2));
    painter.setBrush(QColor(255, 250, 236));
    painter.drawRoundedRect(face.adjusted(1, 1, -1, -1), 6, 6);
    painter.setFont(Typeface::bold(14));
    painter.setPen(kInk);
    painter.drawText(QRectF(8, 4, 224, 24), Qt::AlignCenter, QStringLiteral("That is not a valid word."));
    return pixmap;
}

QPixmap clockFrame()
{
    QPixmap pixmap = blank({107, 44});
    QPainter painter(&pixmap);
    antialiased(painter);
    QLinearGradient metal(0, 0, 0, 44);
    metal.setColorAt(0, QColor(250, 250, 250));
    metal.setColorAt(1, QColor(150, 150, 150));
    painter.setPen(QPen(QColor(80, 80, 80), 1));
    painter.setBrush(metal);
    painter.drawRoundedRect(QRectF(0.5, 0.5, 106, 43), 6, 6);
    painter.setBrush(QColor(30, 30, 30));
    painter.setPen(QPen(QColor(255, 255, 255, 160), 1));
    painter.drawRoundedRect(QRectF(5.5, 4.5, 96, 35), 3, 3);
    return pixmap;
}

QPixmap timeBar(QSize size)
{
    QPixmap pixmap(size);
    QPainter painter(&pixmap);
    QLinearGradient red(0, 0, 0, size.height());
    red.setColorAt(0, QColor(255, 110, 90));
    red.setColorAt(0.45, QColor(210, 20, 10));
    red.setColorAt(1, QColor(120, 0, 0));
    painter.fillRect(pixmap.rect(), red);
    return pixmap;
}

QPixmap logo()
{
    QPixmap pixmap = blank({58, 24});
    QPainter painter(&pixmap);
    antialiased(painter);
    painter.setPen(QPen(QColor(110, 70, 30), 1));
    painter.setBrush(QColor(40, 24, 12));
    painter.drawRoundedRect(QRectF(0.5, 0.5, 57, 23), 4, 4);
    drawPin(painter, QRectF(4, 3, 8, 18));
    painter.setFont(Typeface::bold(11));
    painter.setPen(QColor(255, 214, 90));
    painter.drawText(QRectF(13, 0, 44, 24), Qt::AlignCenter, QStringLiteral("Pinfall"));
    return pixmap;
}

void paintScoreSheet(QPainter& painter)
{
    // Geometry shared with the marks drawn over it: the frames start 101 pixels in, 23 down.
    constexpr int kFramesLeft = 101;
    constexpr int kHeader = 23;
    constexpr int kRow = 40;
    constexpr int kFrame = 26;
    constexpr int kTenthFrame = 39;
    constexpr int kTotalWidth = 34;
    const QColor paper(255, 254, 244);
    const QColor shade(236, 235, 230);
    const QColor rule(120, 110, 90);

    const QRect whole(0, 0, 554, 205);
    painter.save();
    painter.fillRect(whole, paper);
    painter.setRenderHint(QPainter::TextAntialiasing);
    const int framesRight = kFramesLeft + 9 * kFrame + kTenthFrame;
    const int totalRight = framesRight + kTotalWidth;
    const int rowsBottom = kHeader + 4 * kRow;

    painter.fillRect(QRect(0, 0, 554, kHeader), QColor(60, 40, 24));
    painter.setFont(Typeface::bold(11));
    painter.setPen(QColor(255, 222, 140));
    for (int frame = 1; frame <= 10; ++frame) {
        const int left = kFramesLeft + (frame - 1) * kFrame;
        const int width = frame < 10 ? kFrame : kTenthFrame;
        painter.drawText(QRect(left, 0, width, kHeader), Qt::AlignCenter, QString::number(frame));
    }
    painter.drawText(QRect(framesRight, 0, kTotalWidth, kHeader), Qt::AlignCenter, QStringLiteral("TOT"));
    painter.drawText(QRect(totalRight, 0, 554 - totalRight, kHeader), Qt::AlignCenter,
                     QStringLiteral("WORDS"));

    for (int row = 0; row < 4; ++row) {
        const int top = kHeader + row * kRow;
        // The small shaded boxes for the second ball, and the third of frame 10.
        for (int frame = 1; frame <= 9; ++frame)
            painter.fillRect(QRect(kFramesLeft + frame * kFrame - 12, top, 12, 17), shade);
        painter.fillRect(QRect(framesRight - 26, top, 13, 17), shade);
        painter.fillRect(QRect(framesRight - 13, top, 13, 17), shade);
        painter.setPen(QPen(rule, 1));
        for (int frame = 1; frame <= 9; ++frame)
            painter.drawRect(QRect(kFramesLeft + frame * kFrame - 12, top, 12, 17));
        painter.drawRect(QRect(framesRight - 26, top, 13, 17));
        painter.drawRect(QRect(framesRight - 13, top, 13, 17));
        painter.drawLine(0, top, 553, top);
    }
    painter.setPen(QPen(rule, 1));
    for (int frame = 0; frame <= 9; ++frame)
        painter.drawLine(kFramesLeft + frame * kFrame, kHeader, kFramesLeft + frame * kFrame, rowsBottom);
    painter.drawLine(framesRight, kHeader, framesRight, rowsBottom);
    painter.drawLine(totalRight, kHeader, totalRight, rowsBottom);
    painter.drawLine(0, rowsBottom, 553, rowsBottom);
    painter.setPen(QPen(kInk, 2));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(whole.adjusted(1, 1, -1, -1));
    painter.restore();
}

QPixmap framePending()
{
    QPixmap pixmap = blank({238, 41});
    QPainter painter(&pixmap);
    antialiased(painter);
    painter.setPen(QPen(kPinRed, 1.5));
    painter.setBrush(QColor(255, 250, 236, 235));
    painter.drawRoundedRect(QRectF(0.75, 0.75, 236.5, 39.5), 5, 5);
    painter.setFont(Typeface::bold(12));
    painter.drawText(QRectF(0, 2, 238, 18), Qt::AlignCenter, QStringLiteral("Current Frame in Progress.."));
    painter.drawText(QRectF(0, 20, 238, 18), Qt::AlignCenter, QStringLiteral("Please Wait for Next Frame."));
    return pixmap;
}

QPixmap tile(int index)
{
    if (index < 1 || index > kFirstStandingPin + 9)
        return {};
    QPixmap pixmap = blank({41, 41});
    QPainter painter(&pixmap);
    antialiased(painter);
    const QRectF face(1.5, 1.5, 38, 38);
    const bool letter = index <= 26;
    QLinearGradient fill(face.topLeft(), face.bottomRight());
    fill.setColorAt(0, letter ? kLetterTileLight : QColor(214, 214, 210));
    fill.setColorAt(1, letter ? kLetterTileDark : QColor(170, 170, 165));
    painter.setPen(QPen(kTileEdge, 1));
    painter.setBrush(fill);
    painter.drawRoundedRect(face, 5, 5);
    painter.setPen(QPen(QColor(255, 255, 255, 150), 1));
    painter.drawLine(QPointF(5, 3), QPointF(36, 3));
    if (letter) {
        painter.setFont(Typeface::bold(26));
        painter.setPen(kLetterShadow);
        const QString capital(QChar('A' + index - 1));
        painter.drawText(face.translated(1, 1), Qt::AlignCenter, capital);
        painter.setPen(kPinRed);
        painter.drawText(face, Qt::AlignCenter, capital);
    } else if (index == kFallenPin) {
        painter.translate(20.5, 22);
        painter.rotate(-70);
        drawPin(painter, QRectF(-5, -15, 10, 30));
    } else {
        drawPin(painter, QRectF(15, 6, 11, 29));
        painter.setFont(Typeface::bold(10));
        painter.setPen(kInk);
        painter.drawText(QRectF(3, 2, 14, 12), Qt::AlignLeft | Qt::AlignTop,
                         QString::number(index - kFirstStandingPin + 1));
    }
    return pixmap;
}

QPixmap littleGlyph(int index)
{
    QPixmap pixmap = blank({9, 13});
    QPainter painter(&pixmap);
    if (index == kBlankPaper || index == kBlankShade) {
        painter.fillRect(pixmap.rect(), index == kBlankPaper ? QColor(255, 254, 244) : QColor(236, 235, 230));
        return pixmap;
    }
    antialiased(painter);
    painter.setPen(QPen(Qt::black, 1.6, Qt::SolidLine, Qt::RoundCap));
    switch (index) {
    case kMiss:
        painter.drawLine(QPointF(1.5, 6.5), QPointF(7.5, 6.5));
        break;
    case kSpare:
        painter.drawLine(QPointF(1.5, 12), QPointF(7.5, 1));
        break;
    case kStrike:
        painter.setPen(QPen(kPinRed, 1.8, Qt::SolidLine, Qt::RoundCap));
        painter.drawLine(QPointF(1.2, 2), QPointF(7.8, 11.5));
        painter.drawLine(QPointF(7.8, 2), QPointF(1.2, 11.5));
        break;
    default: {
        painter.setFont(Typeface::bold(12));
        painter.drawText(QRectF(0, 0, 9, 13), Qt::AlignCenter, QString::number(index));
        break;
    }
    }
    return pixmap;
}

QPixmap tickBox(bool ticked)
{
    QPixmap pixmap = blank({33, 23});
    QPainter painter(&pixmap);
    antialiased(painter);
    painter.setPen(QPen(kInk, 1.5));
    painter.setBrush(Qt::white);
    painter.drawRoundedRect(QRectF(7.5, 2.5, 18, 18), 3, 3);
    if (ticked) {
        painter.setPen(QPen(kPinRed, 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.drawPolyline(QPolygonF{QPointF(11, 11), QPointF(15, 16), QPointF(23, 5)});
    }
    return pixmap;
}

void paintLobbyAdvert(QPainter& painter)
{
    paintBoard(painter, {400, 339});
    painter.save();
    antialiased(painter);
    // A lit sign over a rack of pins: the lobby is where the players are.
    painter.setPen(QPen(QColor(255, 214, 90), 3));
    painter.setBrush(QColor(40, 24, 12, 220));
    painter.drawRoundedRect(QRectF(24, 20, 352, 96), 12, 12);
    painter.setFont(Typeface::bold(34));
    painter.setPen(QColor(255, 214, 90));
    painter.drawText(QRectF(24, 22, 352, 56), Qt::AlignCenter, QStringLiteral("Varo11 Lobby"));
    painter.setFont(Typeface::bold(15));
    painter.setPen(QColor(255, 246, 220));
    painter.drawText(QRectF(24, 74, 352, 34), Qt::AlignCenter,
                     QStringLiteral("Meet players. Start games. Bowl words."));
    constexpr double kPinWidth = 22;
    constexpr double kPinHeight = 52;
    const QPointF head(200, 140);
    for (int row = 0; row < 4; ++row) {
        for (int pin = 0; pin <= row; ++pin) {
            const double x = head.x() + (pin - row / 2.0) * 40 - kPinWidth / 2;
            const double y = head.y() + row * 40;
            drawPin(painter, QRectF(x, y, kPinWidth, kPinHeight));
        }
    }
    painter.restore();
}

QImage iconImage(int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(qreal(size) / kIconCanvas, qreal(size) / kIconCanvas);
    for (const IconShape& shape : iconShapes()) {
        painter.setPen(shape.outline);
        painter.setBrush(shape.fill);
        painter.drawPath(shape.path);
    }
    return image;
}

QByteArray iconSvg()
{
    QByteArray defs;
    QByteArray shapes;
    for (const IconShape& shape : iconShapes()) {
        const QByteArray fillRule = shape.path.fillRule() == Qt::OddEvenFill ? "evenodd" : "nonzero";
        shapes += "<path d=\"" + svgPathData(shape.path) + "\" fill-rule=\"" + fillRule + '"' +
                  svgFill(shape.fill, defs) + svgStroke(shape.outline) + "/>\n";
    }
    const QByteArray side = QByteArray::number(kIconCanvas);
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" +
           side + "\" height=\"" + side + "\" viewBox=\"0 0 " + side + ' ' + side + "\">\n<defs>\n" + defs +
           "</defs>\n" + shapes + "</svg>\n";
}

} // namespace Artwork
