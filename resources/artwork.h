#pragma once

#include <QByteArray>
#include <QImage>
#include <QPixmap>
#include <QSize>
#include <QString>

class QPainter;

// The pictures of the game windows, drawn in code so that they scale cleanly and need no
// image files. Each function draws one picture at its size on the board.
namespace Artwork {

// The large pictures, painted from the painter's origin each time they are shown: kept as
// pixmaps, they held more memory than the windows' own pixels.
void paintBoard(QPainter& painter, QSize size); // the lane of the board, under every window
void paintScoreSheet(QPainter& painter);        // the ruled bowling sheet, 554 by 205
void paintLobbyAdvert(QPainter& painter);       // the lobby's poster in the download window, 400 by 339

// A raised picture button with its caption ("START GAME", "SEND WORD", "CLEAR WORD", "OK").
QPixmap captionButton(const QString& caption, QSize size = {104, 23});
QPixmap sortArrows();         // two turning arrows, 32 by 32
QPixmap eyes();               // a pair of eyes, 25 by 9
QPixmap winnerMark();         // a gold ribbon that reads WINNER, 94 by 16
QPixmap badWordPanel();       // "That is not a valid word.", 240 by 57, room for the OK button
QPixmap clockFrame();         // the raised frame behind the turn clock, 107 by 44
QPixmap timeBar(QSize size);  // the red bar of the turn clock
QPixmap logo();               // the maker's logo, 58 by 24
QPixmap framePending();       // "Current Frame in Progress.. Please Wait for Next Frame.", 238 by 41
QPixmap tickBox(bool ticked); // the team-game box of the game start dialog, 33 by 23

// The program's icon, a bowling pin behind a letter tile, laid out on a square of kIconCanvas
// units. The picture and the SVG text come from one list of shapes, so the desktop's PNG and
// scalable icons and the window icon cannot show different things.
inline constexpr int kIconCanvas = 256;
QImage iconImage(int size); // size by size pixels
QByteArray iconSvg();

// The tile pictures, 41 by 41: 1 to 26 the letters A to Z (red capitals on white tiles),
// 27 a fallen pin, 28 to 37 the numbers 1 to 10 with a standing pin (on grey tiles). Any
// other index gives an empty picture.
inline constexpr int kFallenPin = 27;
inline constexpr int kFirstStandingPin = 28;
QPixmap tile(int index);

// The score sheet's glyphs, 9 by 13: the digits 0 to 9, the miss dash (10), the spare slash
// (11), the strike X (12), and two opaque blanks: paper (13) and the box shade (14).
inline constexpr int kMiss = 10;
inline constexpr int kSpare = 11;
inline constexpr int kStrike = 12;
inline constexpr int kBlankPaper = 13;
inline constexpr int kBlankShade = 14;
QPixmap littleGlyph(int index);

} // namespace Artwork
