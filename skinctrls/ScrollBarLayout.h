#pragma once
// The scroll bar's geometry and value rules, without a widget: clamping of the
// position, where the buttons, the track and the thumb go for both looks, which part a
// point is on, and the position a thumb offset stands for.
//
// Rectangles are control coordinates with right and bottom excluded (skin::Rect).

#include <QPoint>
#include <QSize>

#include "skin/SkinValues.h"

namespace skinctrls {

// Parts of the bar: the thumb, the up button (raises the position: right or bottom) and
// the down button (lowers it: left or top).
enum class ScrollPart { None = -1, Thumb = 0, Up = 1, Down = 2 };

struct ScrollValues {
    int min = 0;
    int max = 100;
    int position = 0;
    int pageSize = 0;  // 0: a thumb of fixed size
};

// The nearest allowed position: at least Min, at most Max (Max - PageSize + 1 with a page
// size).
int ClampPosition(const ScrollValues& v, int p);

// What the skinned look takes from a scroll-bar entry, in skin coordinates.
struct ScrollSkinGeometry {
    skin::Rect skinRect;
    QPoint RT, LB;  // the stretch points: right-top (horizontal), left-bottom (vertical)
    skin::Rect trackArea, upButton, downButton;
    QSize thumbPicture;  // size of the thumb image
};

struct ScrollLayout {
    skin::Rect track, up, down;
    skin::Rect thumb;  // empty when the track has no room for the thumb
    int centreMin = 0, centreMax = 0;  // range of the thumb's centre along the track
    int thumbOffset = 0;               // thumb start minus track start

    int TrackStart(bool horizontal) const { return horizontal ? track.left : track.top; }
    int TrackEnd(bool horizontal) const { return horizontal ? track.right : track.bottom; }
    int ThumbLength(bool horizontal) const { return horizontal ? thumb.Width() : thumb.Height(); }
};

// The plain look: 16-pixel buttons inside a one-pixel border, a thumb at least 16 long.
// With `both` a horizontal bar leaves its right-most bothMarkerWidth pixels to the
// corner it shares with a vertical bar.
ScrollLayout LayoutDefault(bool horizontal, QSize size, bool both, int bothMarkerWidth, const ScrollValues& v);

// The skinned look: the entry's track and buttons, the track's far end and the buttons
// beyond the stretch point following the control's size, the thumb as long as its
// picture (or proportional with a page size) and centred across the track.
ScrollLayout LayoutSkinned(bool horizontal, QSize size, const ScrollSkinGeometry& g, const ScrollValues& v);

// The part under a point: thumb, up, down in that order; None elsewhere.
ScrollPart PartAt(const ScrollLayout& l, QPoint p);

// The position for a thumb dragged to offset a from the track start.
int PositionFromOffset(const ScrollLayout& l, bool horizontal, const ScrollValues& v, int a);

// Nearest integer, halves to the even neighbour.
int RoundHalfEven(double x);

}  // namespace skinctrls
