#pragma once
// Small drawing helpers shared by the skinned controls: plain fills and one-pixel
// frames in the product's colours, copies of picture parts, and the fonts an entry
// names.

#include <QImage>
#include <QPainter>
#include <QRect>

#include "platform/Colors.h"
#include "platform/Fonts.h"
#include "skin/SkinEntries.h"
#include "skin/SkinValues.h"

namespace skinctrls {

// The fixed plain look of controls without a skin entry.
inline constexpr platform::TColor kDefaultFrameColor = 0x800000;  // navy frame of hot and pressed parts
inline constexpr platform::TColor kDefaultHotFill = 0xD2BDB6;     // fill of a hot part
inline constexpr platform::TColor kDefaultDownFill = 0xB59385;    // fill of a pressed part

inline QRect ToQRect(const skin::Rect& r) { return r.ToQRect(); }

void FillRect(QPainter& p, const QRect& r, platform::TColor c);
// A one-pixel outline just inside r.
void FrameRect(QPainter& p, const QRect& r, platform::TColor c);
// Outline plus fill: the plain look of a part (button, scroll-bar part, edit button).
void FramedFill(QPainter& p, const QRect& r, platform::TColor frame, platform::TColor fill);

// Draws a picture composed in logical pixels with its top-left corner at at, at its
// logical size (smoothly scaled onto a finer device).
void DrawPicture(QPainter& p, QPoint at, const QImage& picture);

// Copies the picture's src rectangle onto dst (stretching when the sizes differ);
// nothing for an empty picture or rectangle.
void CopyPicture(QPainter& p, const QRect& dst, const QImage& picture, const skin::Rect& src);

// Repeats the picture's src rectangle over area from its top-left corner: whole tiles,
// the last column and row cut to the area (source cut by the same amount). Nothing when
// src is empty.
void TilePicture(QPainter& p, const QRect& area, const QImage& picture, const skin::Rect& src);

// The keyboard's mark on a control: a dotted outline just inside r, each dot black over
// a light pixel and white over a dark one, so that it shows on any skin picture.
void DrawFocusMark(QImage& img, const QRect& r);

// The font an entry's font keys name.
platform::TFont EntryFont(const skin::SkinFontKeys& k);

// The pixel colour at (x, y) of an image as a product colour (tests and previews).
platform::TColor PixelColor(const QImage& img, int x, int y);

}  // namespace skinctrls
