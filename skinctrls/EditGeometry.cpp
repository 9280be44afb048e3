#include "skinctrls/EditGeometry.h"

namespace skinctrls {

using skin::Rect;

EditRects EditGeometry(const EditSkinGeometry* g, bool buttonMode, QSize size) {
    const int W = size.width(), H = size.height();
    EditRects r;
    if (g) {
        const int sw = g->skinRect.Width();
        const Rect& c = g->clientRect;
        r.text = Rect{c.left, c.top, c.right + W - sw, c.bottom};
        r.button = g->buttonRect;
        if (g->buttonRect.left >= sw - g->rightFixedWidth) {
            r.button.left += W - sw;
            r.button.right += W - sw;
        }
    } else if (buttonMode) {
        r.text = Rect{2, 2, W - 22, H - 2};
        r.button = Rect{W - 20, 0, W, H};
    } else {
        r.text = Rect{2, 2, W - 2, H - 2};
    }
    return r;
}

QMargins EditMargins(const EditSkinGeometry* g, bool buttonMode) {
    if (!g) return QMargins(2, 2, buttonMode ? 22 : 2, 2);
    const Rect& c = g->clientRect;
    return QMargins(c.left, c.top, g->skinRect.Width() - c.right, g->skinRect.Height() - c.bottom);
}

}  // namespace skinctrls
