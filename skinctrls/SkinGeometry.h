#pragma once
// Geometry of a skinned control: how its skin entry stretches, what size the control
// may take, and where rectangles given in skin coordinates land in the control.
//
// Pure functions on the entry's values; the control bases (SkinControl.h) keep the
// results. Skin rectangles exclude their right and bottom edges (skin::Rect).

#include <QPoint>
#include <QSize>

#include "skin/Compose.h"
#include "skin/SkinValues.h"

namespace skinctrls {

// How a control's skin image follows the control's size.
enum class StretchKind {
    NoImage,     // the entry has no image (empty skinrect)
    Fixed,       // the image keeps its size; so does the control
    Both,        // four anchor points: the image grows in both directions
    Horizontal,  // only the top anchors: the image grows in width, the height is the skin's
    Vertical,    // only the left anchors: the image grows in height, the width is the skin's
};

// The values a control takes from its custom-control entry: the image rectangle in the
// picture, the anchor points and the client rectangle relative to it.
struct SkinAnchors {
    skin::Rect skinRect;
    QPoint LT, RT, LB, RB;
    skin::Rect clientRect;

    int SkinWidth() const { return skinRect.Width(); }
    int SkinHeight() const { return skinRect.Height(); }
    QSize SkinSize() const { return QSize(SkinWidth(), SkinHeight()); }
    skin::AnchorGeometry Anchors() const { return {LT, RT, LB, RB, clientRect}; }
};

// NoImage for an empty skin rectangle; else Both when the right-bottom point has both
// coordinates set, Horizontal when the right-top point has any, Vertical when the
// left-bottom point has any, Fixed otherwise.
StretchKind StretchKindOf(const SkinAnchors& a);

// Fits a requested size to the entry and moves the new geometry along: a Fixed entry
// takes the skin size, Horizontal keeps the skin height, Vertical the skin width, Both
// and NoImage take any size. Only the parts of `n` that the kind uses are changed (the
// others keep what they held). Call only with an entry loaded.
void FitSize(StretchKind kind, const SkinAnchors& a, int& w, int& h, skin::AnchorGeometry& n);

// A rectangle given in skin coordinates placed in a control of size w by h: corner
// pieces move with the edge they belong to, pieces spanning a repeat segment grow with
// it. Fixed and NoImage entries leave it unchanged.
skin::Rect MapSkinRect(StretchKind kind, const SkinAnchors& a, const skin::Rect& r, int w, int h);

// The anchor sets for the window region of a control of size w by h cut from its mask:
// a one-direction stretch is passed to the two-direction mask composition with the other
// direction held fixed. newC is the control's present new client rectangle.
struct MaskAnchors {
    skin::AnchorGeometry g;  // as in the skin
    skin::AnchorGeometry n;  // moved to the control's size
};
MaskAnchors MaskRegionAnchors(StretchKind kind, const SkinAnchors& a, const skin::AnchorGeometry& present, int w,
                              int h);

}  // namespace skinctrls
