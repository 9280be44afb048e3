#pragma once
// Composition of skinned elements from their skin pictures, and of window regions from
// their masks.
//
// Every skinned element is cut out of a picture and placed, unstretched, into an image of
// the element's current size: fixed parts (corners, the ends of a bar) are copied once and
// the repeat segments between the anchor points are tiled over the extra length. Masks
// (pictures in which pure black marks the element's shape) are composed the same way and
// turned into regions.
//
// Rectangles are the skin's Rect: left, top, right, bottom with the right and bottom
// edges excluded, as the skin entries hold them.
//
// All routines are free functions without state. Bad geometry (inconsistent anchors,
// rectangles outside the picture, repeat segments of zero length) never reads or writes
// outside an image: the parts that cannot be copied are left as the destination's
// background.

#include <QImage>
#include <QPoint>
#include <QRegion>
#include <QSize>

#include <optional>

#include "skin/SkinValues.h"

namespace skin {

// The anchor geometry of an element, as its skin entry gives it: the four anchor points
// and the client rectangle, all relative to the top-left corner of the element's skin
// rectangle. The repeat segments are: top edge columns LT.x to RT.x, bottom edge LB.x to
// RB.x, left edge rows LT.y to LB.y, right edge RT.y to RB.y.
struct AnchorGeometry {
    QPoint LT, RT, LB, RB;
    Rect C;

    bool operator==(const AnchorGeometry&) const = default;
};

// The geometry of an element of skin size skinSize resized to W by H: the right anchors
// move with the width, the bottom anchors with the height, and the client rectangle grows
// by both.
AnchorGeometry NewGeometry(const AnchorGeometry& g, QSize skinSize, int W, int H);

// The four border images of a window frame (or the four border masks of an element). An
// image that was not built is null.
struct BorderImages {
    QImage top, bottom, left, right;
};

// A skin picture in the 32-bit form the composition routines draw in (a shared copy when
// it already is; a null picture stays null).
inline QImage ToRGB32(const QImage& img) { return img.convertToFormat(QImage::Format_RGB32); }

// Copies the source rectangle of src to the destination rectangle of dst, stretching when
// the sizes differ (nearest pixel). Empty rectangles copy nothing; parts of either
// rectangle outside its image are skipped together with the matching part of the other.
// dst must be a 32-bit image (the composition routines make theirs Format_RGB32).
void CopyRect(QImage& dst, const Rect& dstRect, const QImage& src, const Rect& srcRect);

// The element image for an element that resizes in both directions: W by H, composed from
// picture's rectangle S with the anchor geometry g and the new geometry n (normally
// NewGeometry(g, S.size(), W, H)). With fillClient the client rectangle is tiled too;
// otherwise it is left black for the caller to paint. Returns a null image when W or H is
// less than 1; an all-black image when the picture is empty or the anchors leave no
// frame (RB.x == LT.x or RB.y == LT.y). Repeat segments shorter than one pixel are not
// tiled (the span stays black), as is the client with an empty C.
QImage ComposeSkinImage(const QImage& picture, const Rect& S, const AnchorGeometry& g,
                        const AnchorGeometry& n, int W, int H, bool fillClient);

// An element that stretches horizontally only: W by S.height, the leftWidth and
// rightWidth ends of S copied and the middle tiled between them. A middle of width 0 is
// tiled as one column wide (the column just right of the left end); when the ends overlap
// (leftWidth + rightWidth > S.width) only the ends are drawn.
QImage ComposeHorizontalImage(const QImage& picture, const Rect& S, int leftWidth,
                              int rightWidth, int W);

// The same along the vertical axis: S.width by H. A middle of height 0 tiles nothing.
QImage ComposeVerticalImage(const QImage& picture, const Rect& S, int topHeight,
                            int bottomHeight, int H);

// The window frame as four images; S is the whole frame picture. The top and bottom bands
// span the full width W and carry the corners; the sides fill the height between them.
// The caller places top at (0, 0), left at (0, top height), right at (W - right width,
// top height) and bottom at (0, H - bottom height). Images whose conditions do not hold
// (no band, no repeat segment) are null.
BorderImages ComposeFrameBorders(const QImage& picture, const Rect& S, const AnchorGeometry& g,
                                 const AnchorGeometry& n, int W, int H);

// The region of the pure black pixels (blue, green and red all 0) of mask, moved by the
// offset: one rectangle per run of black pixels in a row, merged into bands. No region
// for an empty mask; an empty region for a mask without black pixels. Any number of runs.
std::optional<QRegion> MaskToRegion(const QImage& mask, int offsetX, int offsetY);

// The four border masks of an element resized to the new geometry n and width W, from
// its mask M (of the element's skin size). Pixels no part of M is copied to are white
// (outside the shape).
BorderImages ComposeMaskBorders(const QImage& mask, const AnchorGeometry& g,
                                const AnchorGeometry& n, int W);

// The shape of an element resized to W by H: the union of the client rectangle NewC and
// the regions of the four border masks. No region (the element keeps its rectangular
// shape) for an empty mask, when the element is smaller than its fixed parts
// (n.RT.x < n.LT.x or n.LB.y < n.LT.y) or when NewC is empty.
std::optional<QRegion> ComposeMaskRegion(const QImage& mask, const AnchorGeometry& g,
                                         const AnchorGeometry& n, int W, int H);

}  // namespace skin
