#pragma once
// Pixel-exact drawing for the skin's pictures. Everything here writes whole pixels by
// arithmetic on integers or fixed sample grids: no anti-aliasing engine, no fonts, no
// randomness, so the pictures come out the same on every machine and every run.
//
// Rectangles are left, top, right, bottom with right and bottom excluded, the way the
// skin definition writes them (QRect's inclusive right() would invite off-by-one slips).

#include <QColor>
#include <QImage>
#include <QRgb>

#include <functional>
#include <vector>

namespace skinauthor {

struct Rect {
    int l = 0, t = 0, r = 0, b = 0;
    int w() const { return r - l; }
    int h() const { return b - t; }
    bool empty() const { return w() < 1 || h() < 1; }
    Rect moved(int dx, int dy) const { return {l + dx, t + dy, r + dx, b + dy}; }
    Rect inset(int d) const { return {l + d, t + d, r - d, b - d}; }
    Rect inset(int dl, int dt, int dr, int db) const { return {l + dl, t + dt, r - dr, b - db}; }
    // Relative to the top-left corner of `origin` (how entries write client rectangles).
    Rect relativeTo(const Rect& origin) const { return moved(-origin.l, -origin.t); }
};

struct Pt {
    int x = 0, y = 0;
};

QRgb Rgb(int hex);                           // 0xRRGGBB
QRgb Mix(QRgb a, QRgb b, int num, int den);  // a + (b - a) * num / den, rounded
// Platform colour value of the definition: red + green*256 + blue*65536.
int ColourValue(QRgb c);

// A canvas is a Format_RGB32 QImage; every routine clips to it.
QImage NewCanvas(int w, int h, QRgb fill);
void Fill(QImage& img, const Rect& r, QRgb c);
void HLine(QImage& img, int x0, int x1, int y, QRgb c);  // x0..x1-1
void VLine(QImage& img, int x, int y0, int y1, QRgb c);  // y0..y1-1
void Frame(QImage& img, const Rect& r, QRgb c);          // one-pixel outline
// One-pixel bevel: top and left edges in `light`, bottom and right in `dark`.
void Bevel(QImage& img, const Rect& r, QRgb light, QRgb dark);
// Rows from `top` to `bottom` colour; `steps` > 0 limits the number of distinct colours
// (an 8-bit picture has 256 to spend on all its elements).
void VGradient(QImage& img, const Rect& r, QRgb top, QRgb bottom, int steps = 0);
void HGradient(QImage& img, const Rect& r, QRgb left, QRgb right, int steps = 0);
// Colour of row y in such a gradient (same rounding), for pieces that must match it.
QRgb GradientAt(QRgb from, QRgb to, int index, int count, int steps = 0);
void Copy(QImage& dst, int dx, int dy, const QImage& src, const Rect& from);

// Shapes by coverage: each pixel is sampled on a 4x4 grid and its coverage rounded to
// quarters, so an edge uses at most three in-between colours.
using Shader = std::function<QRgb(int x, int y)>;
void RoundRect(QImage& img, const Rect& r, int radius, const Shader& fill);
void RoundRect(QImage& img, const Rect& r, int radius, QRgb fill);
// The same shapes without in-between colours: a pixel takes the fill when at least half of
// it is inside. Used for the insides of framed shapes, whose edge is the frame's.
void RoundRectSolid(QImage& img, const Rect& r, int radius, const Shader& fill);
void DiscSolid(QImage& img, double cx, double cy, double radius, const Shader& fill);
void Disc(QImage& img, double cx, double cy, double radius, const Shader& fill);
void Disc(QImage& img, double cx, double cy, double radius, QRgb fill);
Shader VShade(const Rect& r, QRgb top, QRgb bottom, int steps = 0);
Shader HShade(const Rect& r, QRgb left, QRgb right, int steps = 0);

// Glyphs, drawn into a box and centred in it.
enum class Arrow { Left, Right, Up, Down };
void ArrowGlyph(QImage& img, const Rect& box, Arrow dir, int size, QRgb c);  // size = rows of the triangle
void CheckGlyph(QImage& img, int x, int y, QRgb c);                          // 7 x 7 tick at x, y
void DotsGlyph(QImage& img, const Rect& box, QRgb c);                        // "..." of 2x2 dots
void CrossGlyph(QImage& img, const Rect& box, int size, QRgb c);             // diagonal cross, 2 px wide
void GripDots(QImage& img, const Rect& box, QRgb light, QRgb dark, bool vertical);

// Reduces an RGB32 picture to an indexed one whose colour table holds exactly its
// colours. Throws std::runtime_error naming `what` when it has more than 256: the
// design must then spend fewer colours (exact colours keep the edges clean).
QImage ToIndexed8(const QImage& rgb, const char* what);
int ColourCount(const QImage& rgb);

}  // namespace skinauthor
