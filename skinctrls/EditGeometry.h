#pragma once
// The skinned edit's geometry, without a widget: where the text goes, where the
// embedded button sits, and the margins between the control's edge and the text box.

#include <QMargins>
#include <QSize>

#include "skin/SkinValues.h"

namespace skinctrls {

// What the edit takes from its "edit" entry for its geometry (skin coordinates).
struct EditSkinGeometry {
    skin::Rect skinRect;
    int rightFixedWidth = 0;  // skin width - righttoppoint.x
    skin::Rect clientRect;    // relative to skinRect
    skin::Rect buttonRect;    // position of the embedded button, relative to skinRect
};

struct EditRects {
    skin::Rect text;    // the text box
    skin::Rect button;  // the embedded button (empty without one)
};

// The text and button rectangles of an edit of the given size; g is null without an
// entry. With an entry the button follows the right edge when it sits in the skin's
// right fixed part.
EditRects EditGeometry(const EditSkinGeometry* g, bool buttonMode, QSize size);

// The margins between the control's edge and the text box (left, top, right, bottom).
QMargins EditMargins(const EditSkinGeometry* g, bool buttonMode);

}  // namespace skinctrls
