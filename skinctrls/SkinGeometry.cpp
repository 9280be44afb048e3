#include "skinctrls/SkinGeometry.h"

namespace skinctrls {

using skin::Rect;

StretchKind StretchKindOf(const SkinAnchors& a) {
    if (a.skinRect.IsEmpty()) return StretchKind::NoImage;
    if (a.RB.x() != 0 && a.RB.y() != 0) return StretchKind::Both;
    if (a.RT.x() != 0 || a.RT.y() != 0) return StretchKind::Horizontal;
    if (a.LB.x() != 0 || a.LB.y() != 0) return StretchKind::Vertical;
    return StretchKind::Fixed;
}

void FitSize(StretchKind kind, const SkinAnchors& a, int& w, int& h, skin::AnchorGeometry& n) {
    const int dx = w - a.SkinWidth();
    const int dy = h - a.SkinHeight();
    const Rect& c = a.clientRect;
    switch (kind) {
    case StretchKind::NoImage: break;
    case StretchKind::Fixed:
        w = a.SkinWidth();
        h = a.SkinHeight();
        n.C = c;
        break;
    case StretchKind::Both:
        n.LT = a.LT;
        n.RT = QPoint(a.RT.x() + dx, a.RT.y());
        n.LB = QPoint(a.LB.x(), a.LB.y() + dy);
        n.RB = a.RB + QPoint(dx, dy);
        n.C = Rect{c.left, c.top, c.right + dx, c.bottom + dy};
        break;
    case StretchKind::Horizontal:
        h = a.SkinHeight();
        n.RT = QPoint(a.RT.x() + dx, a.RT.y());
        n.C = Rect{c.left, c.top, c.right + dx, c.bottom};
        break;
    case StretchKind::Vertical:
        w = a.SkinWidth();
        n.LB = QPoint(a.LB.x(), a.LB.y() + dy);
        n.C = Rect{c.left, c.top, c.right, c.bottom + dy};
        break;
    }
}

namespace {

// Zone tests: "inside" leaves the zone's right and bottom edges out, "touching"
// includes them.
bool Inside(const Rect& z, int x, int y) { return x >= z.left && x < z.right && y >= z.top && y < z.bottom; }
bool Touching(const Rect& z, int x, int y) { return x >= z.left && x <= z.right && y >= z.top && y <= z.bottom; }

Rect Moved(const Rect& r, int dx, int dy) { return {r.left + dx, r.top + dy, r.right + dx, r.bottom + dy}; }

}  // namespace

Rect MapSkinRect(StretchKind kind, const SkinAnchors& a, const Rect& r, int w, int h) {
    const int sw = a.SkinWidth(), sh = a.SkinHeight();
    const int dx = w - sw, dy = h - sh;
    switch (kind) {
    case StretchKind::Both: {
        const Rect tl{0, 0, a.LT.x(), a.LT.y()};
        const Rect tr{a.RT.x(), 0, sw, a.RT.y()};
        const Rect bl{0, a.LB.y(), a.LB.x(), sh};
        const Rect br{a.RB.x(), a.RB.y(), sw, sh};
        auto whole = [&](const Rect& z) { return Inside(z, r.left, r.top) && Inside(z, r.right, r.bottom); };
        if (whole(tl)) return r;
        if (whole(tr)) return Moved(r, dx, 0);
        if (whole(bl)) return Moved(r, 0, dy);
        if (whole(br)) return Moved(r, dx, dy);
        auto from = [&](const Rect& z) { return Touching(z, r.left, r.top); };
        auto to = [&](const Rect& z) { return Touching(z, r.right, r.bottom); };
        if (from(tl) && to(br)) return {r.left, r.top, r.right + dx, r.bottom + dy};
        if (from(tl) && to(tr)) return {r.left, r.top, r.right + dx, r.bottom};
        if (from(bl) && to(br)) return {r.left, r.top + dy, r.right + dx, r.bottom + dy};
        if (from(tl) && to(bl)) return {r.left, r.top, r.right, r.bottom + dy};
        if (from(tr) && to(br)) return {r.left + dx, r.top, r.right + dx, r.bottom + dy};
        return r;
    }
    case StretchKind::Horizontal:
        if (r.left <= a.LT.x() && r.right >= a.RT.x()) return {r.left, r.top, r.right + dx, r.bottom};
        if (r.left >= a.RT.x() && r.right > a.RT.x()) return Moved(r, dx, 0);
        return r;
    case StretchKind::Vertical:
        if (r.top <= a.LT.y() && r.bottom >= a.LB.y()) return {r.left, r.top, r.right, r.bottom + dy};
        if (r.top >= a.LB.y() && r.bottom > a.LB.y()) return Moved(r, 0, dy);
        return r;
    case StretchKind::Fixed:
    case StretchKind::NoImage: return r;
    }
    return r;
}

MaskAnchors MaskRegionAnchors(StretchKind kind, const SkinAnchors& a, const skin::AnchorGeometry& present, int w,
                              int h) {
    MaskAnchors m;
    m.g = a.Anchors();
    m.n = present;
    switch (kind) {
    case StretchKind::Horizontal: {
        m.g.LB = a.LT;
        m.g.RB = a.RT;
        const QPoint right(w + a.RT.x() - a.SkinWidth(), a.RT.y());
        m.n.LT = m.n.LB = a.LT;
        m.n.RT = m.n.RB = right;
        break;
    }
    case StretchKind::Vertical: {
        m.g.RT = a.LT;
        m.g.RB = a.LB;
        const QPoint bottom(a.LB.x(), h + a.LB.y() - a.SkinHeight());
        m.n.LT = m.n.RT = a.LT;
        m.n.LB = m.n.RB = bottom;
        break;
    }
    default: break;
    }
    return m;
}

}  // namespace skinctrls
