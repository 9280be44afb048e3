#pragma once
// Small drawing helpers of the skinned elements: frames of glyph strips, the default
// glyphs drawn when a skin has no image for a caption button or menu mark, the
// one-pixel three-dimensional border and vertically centred text.
//
// Lines follow the desktop's pen rule: a line from one point to another leaves out its
// end point, so a line of zero length draws nothing, and a polyline draws each corner
// once. Pixels are set with the exact colour (no antialiasing, whatever the painter's
// render hints).

#include <QColor>
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QString>

#include <initializer_list>

class QPainter;

namespace skin {

// Draws frame `frame` (counted from 1) of a strip of frameCount frames side by side, at
// (x, y), unstretched and transparently: the colour of the frame's bottom-left pixel (white
// for a monochrome strip) is left out. Nothing is drawn for an empty strip, a frame count
// below 1, a frame number outside 1..frameCount or frames narrower than one pixel.
void DrawGlyphFrame(QPainter& painter, int x, int y, int frame, int frameCount,
                    const QImage& strip);

enum class DefaultGlyph { Close, Minimize, Maximize, Restore, SystemMenu, RollUp, RollDown, Bullet, Check };

// Draws a default glyph with its top-left corner at (x, y) in the given colour.
void DrawDefaultGlyph(QPainter& painter, DefaultGlyph glyph, int x, int y, const QColor& colour);

// Draws a small arrow centred in the rectangle: kind 1 left, 2 right, 3 up, 4 down; other
// kinds draw nothing.
void DrawArrowGlyph(QPainter& painter, const QRect& rect, int kind, const QColor& colour);

// A one-pixel border just inside the rectangle: top and left edges in topLeft, right and
// bottom edges in bottomRight (which also takes the top-right and bottom-left corners).
void Draw3DBorder(QPainter& painter, const QRect& rect, const QColor& topLeft,
                  const QColor& bottomRight);

// Draws text with the painter's font and pen, clipped to the rectangle, at x = left + 2 +
// extraX and vertically centred by the font's height.
void DrawTextMiddleLeft(QPainter& painter, const QString& text, const QRect& rect, int extraX = 0);

// Pen-rule drawing used by the helpers above: the line from a to b without b, and a
// polyline through the points (each segment without its end point; the last point left
// out). Exposed for the other skinned parts that draw their own marks.
void DrawPenLine(QPainter& painter, QPoint a, QPoint b, const QColor& colour);
void DrawPenPolyline(QPainter& painter, std::initializer_list<QPoint> points, const QColor& colour);

}  // namespace skin
