#include "frame/FrameGeometry.h"

#include <algorithm>
#include <cstdlib>

namespace frame {

using skin::Rect;

namespace {

QPoint Shift(QPoint p, int dx, int dy) { return QPoint(p.x() + dx, p.y() + dy); }

// Zone membership of a point: right and bottom edges of the zone excluded or included.
bool InZone(const Rect& zone, QPoint p, bool edgesIncluded) {
    if (edgesIncluded) return p.x() >= zone.left && p.x() <= zone.right && p.y() >= zone.top && p.y() <= zone.bottom;
    return PtInRect(zone, p);
}

}  // namespace

FrameGeometry ComputeFrameGeometry(const skin::TbsDataSkinFormInfo& info, QSize picture, QSize window) {
    FrameGeometry geo;
    geo.picture = picture;
    geo.g = skin::AnchorGeometry{info.lefttoppoint, info.righttoppoint, info.leftbottompoint, info.rightbottompoint,
                                 info.clientrect};
    geo.n = skin::NewGeometry(geo.g, picture, window.width(), window.height());
    geo.dx = window.width() - picture.width();
    geo.dy = window.height() - picture.height();
    const Rect& cr = info.captionrect;
    geo.caption = cr.IsEmpty() ? cr : Rect{cr.left, cr.top, cr.right + geo.dx, cr.bottom};
    geo.buttons = info.buttonsrect;
    // Buttons on the right half follow the right edge; on the left half they stay.
    if (info.buttonsrect.left > picture.width() / 2) geo.buttons = OffsetRect(geo.buttons, geo.dx, 0);
    const Rect& ma = info.maskrectarea;
    geo.maskArea = Rect{ma.left, ma.top, ma.right + geo.dx, ma.bottom + geo.dy};
    geo.hitLT = info.hittestlefttoppoint;
    geo.hitRT = Shift(info.hittestrighttoppoint, geo.dx, 0);
    geo.hitLB = Shift(info.hittestleftbottompoint, 0, geo.dy);
    geo.hitRB = Shift(info.hittestrightbottompoint, geo.dx, geo.dy);
    return geo;
}

Rect MapFrameRect(const Rect& r, const FrameGeometry& geo) {
    const int PW = geo.picture.width(), PH = geo.picture.height();
    const QPoint LT = geo.g.LT, RT = geo.g.RT, LB = geo.g.LB, RB = geo.g.RB;
    const Rect tl{0, 0, LT.x(), LT.y()};
    const Rect tr{RT.x(), 0, PW, RT.y()};
    const Rect bl{0, LB.y(), LB.x(), PH};
    const Rect br{RB.x(), RB.y(), PW, PH};
    const int dx = geo.dx, dy = geo.dy;
    const QPoint a(r.left, r.top), b(r.right, r.bottom);
    auto inside = [&](const Rect& z) { return InZone(z, a, false) && InZone(z, b, false); };
    if (inside(tl)) return r;
    if (inside(tr)) return OffsetRect(r, dx, 0);
    if (inside(bl)) return OffsetRect(r, 0, dy);
    if (inside(br)) return OffsetRect(r, dx, dy);
    auto at = [&](const Rect& z, QPoint p) { return InZone(z, p, true); };
    const int L = r.left, T = r.top, R = r.right, B = r.bottom;
    if (at(tl, a) && at(br, b)) return {L, T, R + dx, B + dy};
    if (at(tl, a) && at(tr, b)) return {L, T, R + dx, B};
    if (at(bl, a) && at(br, b)) return {L, T + dy, R + dx, B + dy};
    if (at(tl, a) && at(bl, b)) return {L, T, R, B + dy};
    if (at(tr, a) && at(br, b)) return {L + dx, T, R + dx, B + dy};
    return r;
}

Rect SkinnedClientRect(QSize window, const Rect& clientrect, QSize picture) {
    const int left = clientrect.left;
    const int top = clientrect.top;
    const int right = std::max(left, window.width() - (picture.width() - clientrect.right));
    const int bottom = std::max(top, window.height() - (picture.height() - clientrect.bottom));
    return {left, top, right, bottom};
}

Rect DefaultClientRect(QSize window, int captionHeight) {
    const int left = 3, top = captionHeight + 3;
    return {left, top, std::max(left, window.width() - 3), std::max(top, window.height() - 3)};
}

QSize MinimumTrackSize(const MinTrackInput& in) {
    int w, h;
    const bool collapsed = in.rolledUp || in.minimized;
    if (in.skinned) {
        w = in.picture.width();
        if (w < in.minWidth && !in.minimized) w = in.minWidth;
        h = in.picture.height() - in.clientrect.Height();
    } else {
        w = in.minWidth > 0 ? in.minWidth : 120;
        h = in.captionHeight + 6;
    }
    if (in.minHeight > h && !collapsed) h = in.minHeight;
    return QSize(std::max(w, 0), std::max(h, 0));
}

bool FrameShape::Contains(QPoint p) const {
    if (PtInRect(maskArea, p)) return true;
    auto black = [&](const QImage& m, QPoint origin) {
        if (m.isNull()) return false;
        const QPoint q = p - origin;
        if (q.x() < 0 || q.y() < 0 || q.x() >= m.width() || q.y() >= m.height()) return false;
        return (m.pixel(q) & 0xFFFFFF) == 0;
    };
    return black(masks.top, QPoint(0, 0)) || black(masks.bottom, QPoint(0, maskArea.bottom)) ||
           black(masks.left, QPoint(0, maskArea.top)) || black(masks.right, QPoint(maskArea.right, maskArea.top));
}

int FrameHitTest(const HitTestInput& in, QPoint p) {
    const int W = in.window.width(), H = in.window.height();
    const int x = p.x(), y = p.y();
    const bool onCaption =
        std::any_of(in.captionObjects.begin(), in.captionObjects.end(), [&](const Rect& r) { return PtInRect(r, p); });
    const bool collapsed = in.rolledUp || in.minimized;

    if (in.skinned) {
        if (!collapsed) {
            if (in.hoverObject && !onCaption && !PtInRect(in.newC, p)) return HTOBJECT;
            if (!in.maximized && in.sizeable) {
                const int b = in.borderWidth;
                const QPoint probes[] = {{x - b, y}, {x, y - b}, {x + b, y}, {x, y + b}};
                const Rect window{0, 0, W, H};
                bool near = false;
                for (const QPoint& q : probes) {
                    const bool outside = in.shape ? !in.shape->Contains(q) : !PtInRect(window, q);
                    near = near || outside;
                }
                if (in.shape && PtInRect(in.shape->maskArea, p)) near = false;
                if (!near) {
                    if (PtInRect(in.newC, p)) return HTCLIENT;
                    return onCaption ? HTCAPTION : HTOBJECT;
                }
                if (x <= in.hitLT.x() && y <= in.hitLT.y()) return HTTOPLEFT;
                if (x >= in.hitRT.x() && y <= in.hitRT.y()) return HTTOPRIGHT;
                if (x <= in.hitLB.x() && y >= in.hitLB.y()) return HTBOTTOMLEFT;
                if (x >= in.hitRB.x() && y >= in.hitRB.y()) return HTBOTTOMRIGHT;
                if (PtInRect({in.hitLT.x(), 0, in.hitRT.x(), in.newC.top}, p)) return HTTOP;
                if (PtInRect({in.hitLB.x(), in.newC.bottom, in.hitRB.x(), H}, p)) return HTBOTTOM;
                if (PtInRect({0, in.hitLT.y(), in.newC.left, in.hitLB.y()}, p)) return HTLEFT;
                if (PtInRect({in.newC.right, in.hitRT.y(), W, in.hitRB.y()}, p)) return HTRIGHT;
            }
            if (PtInRect(in.newC, p)) return HTCLIENT;
        }
        return onCaption ? HTCAPTION : HTOBJECT;
    }

    // Default frame.
    if (!in.maximized && !collapsed && in.sizeable) {
        if (in.hoverObject) return HTOBJECT;
        const bool left = x <= 2, top = y <= 2, right = x >= W - 2, bottom = y >= H - 2;
        if (left && top) return HTTOPLEFT;
        if (right && top) return HTTOPRIGHT;
        if (left && bottom) return HTBOTTOMLEFT;
        if (right && bottom) return HTBOTTOMRIGHT;
        if (left) return HTLEFT;
        if (top) return HTTOP;
        if (right) return HTRIGHT;
        if (bottom) return HTBOTTOM;
    }
    if (PtInRect(in.captionArea, p)) return HTCAPTION;
    if (PtInRect({3, in.captionHeight + 3, W - 3, H - 3}, p)) return HTCLIENT;
    return HTOBJECT;
}

QRect MagneticSnap(const QRect& proposed, const Rect& area, int size) {
    int left = proposed.left(), top = proposed.top();
    const int w = proposed.width(), h = proposed.height();
    if (std::abs(left - area.left) < size) left = area.left;
    if (std::abs(top - area.top) < size) top = area.top;
    if (std::abs(left + w - area.right) < size) left = area.right - w;
    if (std::abs(top + h - area.bottom) < size) top = area.bottom - h;
    return QRect(left, top, w, h);
}

QRect ResizeByHitCode(const QRect& start, int code, QPoint delta, QSize min, QSize max) {
    int left = start.left(), top = start.top(), right = start.left() + start.width(),
        bottom = start.top() + start.height();
    const bool moveLeft = code == HTLEFT || code == HTTOPLEFT || code == HTBOTTOMLEFT;
    const bool moveRight = code == HTRIGHT || code == HTTOPRIGHT || code == HTBOTTOMRIGHT;
    const bool moveTop = code == HTTOP || code == HTTOPLEFT || code == HTTOPRIGHT;
    const bool moveBottom = code == HTBOTTOM || code == HTBOTTOMLEFT || code == HTBOTTOMRIGHT;
    auto clampLen = [](int len, int lo, int hi) { return std::max(lo, hi > 0 ? std::min(len, hi) : len); };
    if (moveLeft) left = right - clampLen(right - (left + delta.x()), min.width(), max.width());
    if (moveRight) right = left + clampLen(right + delta.x() - left, min.width(), max.width());
    if (moveTop) top = bottom - clampLen(bottom - (top + delta.y()), min.height(), max.height());
    if (moveBottom) bottom = top + clampLen(bottom + delta.y() - top, min.height(), max.height());
    return QRect(left, top, right - left, bottom - top);
}

std::vector<SystemMenuItem> SystemMenuItems(TbsBorderIcons icons, TWindowState state, bool rolledUp) {
    using A = SystemMenuAction;
    std::vector<SystemMenuItem> items;
    if (icons.testFlag(biMinimize) && state != wsMinimized)
        items.push_back({"BSF_MINITEM", "Mi&nimize", {}, A::Minimize});
    if (icons.testFlag(biMaximize) && state != wsMaximized)
        items.push_back({"BSF_MAXITEM", "Ma&ximize", {}, A::Maximize});
    if (state == wsMinimized || state == wsMaximized || rolledUp)
        items.push_back({"BSF_RESTORE", "&Restore", {}, A::Restore});
    if (icons.testFlag(biRollUp) && !rolledUp && state != wsMinimized)
        items.push_back({"BSF_ROLLUP", "Ro&llUp", {}, A::RollUp});
    if (icons.testFlag(biMinimizeToTray))
        items.push_back({"BSF_MINTOTRAY", "Minimize to &Tray", {}, A::MinimizeToTray});
    if (!items.empty()) items.push_back({"-", "-", {}, A::None});
    items.push_back({"BSF_CLOSE", "&Close", "Alt+F4", A::Close});
    return items;
}

}  // namespace frame
