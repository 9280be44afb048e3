#include "skinctrls/ScrollBarLayout.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace skinctrls {

using skin::Rect;

int RoundHalfEven(double x) {
    const double r = std::nearbyint(x);  // the default rounding mode: to nearest, ties to even
    if (r >= double(std::numeric_limits<int>::max())) return std::numeric_limits<int>::max();
    if (r <= double(std::numeric_limits<int>::min())) return std::numeric_limits<int>::min();
    return int(r);
}

int ClampPosition(const ScrollValues& v, int p) {
    if (p < v.min) return v.min;
    return v.pageSize > 0 ? std::min(p, v.max - v.pageSize + 1) : std::min(p, v.max);
}

namespace {

// (Position - Min) / (Max - Min), 0 for an empty range.
double Fraction(const ScrollValues& v) {
    return v.max == v.min ? 0.0 : double(v.position - v.min) / double(v.max - v.min);
}

// The fraction with a page size; a range no larger than the page puts a horizontal
// thumb at the end and a vertical one at the start.
double PageFraction(bool horizontal, const ScrollValues& v) {
    const int d = v.max - v.pageSize - v.min + 1;
    if (d > 0) return double(v.position - v.min) / double(d);
    return horizontal ? 1.0 : 0.0;
}

// Proportional thumb length for a page size.
int PageLength(int trackLength, const ScrollValues& v) {
    const int d = v.max - v.min + 1;
    return d == 0 ? 0 : RoundHalfEven(double(trackLength) * v.pageSize / d);
}

// Places a thumb of half-length `half` along the track, across [acrossStart, acrossEnd).
void PlaceThumb(ScrollLayout& l, bool horizontal, int half, double fraction, int acrossStart, int acrossEnd) {
    const int start = l.TrackStart(horizontal), end = l.TrackEnd(horizontal);
    l.centreMin = start + half;
    l.centreMax = end - half;
    if (l.centreMax < l.centreMin) {
        // No room for the thumb: the bar shows none (the track still pages).
        l.thumbOffset = 0;
        l.thumb = Rect{};
        return;
    }
    l.thumbOffset = RoundHalfEven(fraction * (l.centreMax - l.centreMin));
    const int a = start + l.thumbOffset, b = a + 2 * half;
    l.thumb = horizontal ? Rect{a, acrossStart, b, acrossEnd} : Rect{acrossStart, a, acrossEnd, b};
}

Rect MovedBy(Rect r, bool horizontal, int d) {
    if (horizontal) {
        r.left += d;
        r.right += d;
    } else {
        r.top += d;
        r.bottom += d;
    }
    return r;
}

}  // namespace

ScrollLayout LayoutDefault(bool horizontal, QSize size, bool both, int bothMarkerWidth, const ScrollValues& v) {
    ScrollLayout l;
    const int W = size.width(), H = size.height();
    if (horizontal) {
        const int w = both ? W - std::max(0, bothMarkerWidth) : W;
        l.down = Rect{1, 1, 17, H - 1};
        l.up = Rect{w - 17, 1, w - 1, H - 1};
        l.track = Rect{17, 1, w - 17, H - 1};
    } else {
        l.down = Rect{1, 1, W - 1, 17};
        l.up = Rect{1, H - 17, W - 1, H - 1};
        l.track = Rect{1, 17, W - 1, H - 17};
    }
    const int length = horizontal ? l.track.Width() : l.track.Height();
    const int acrossStart = horizontal ? l.track.top : l.track.left;
    const int acrossEnd = horizontal ? l.track.bottom : l.track.right;
    if (v.pageSize <= 0) {
        PlaceThumb(l, horizontal, 8, Fraction(v), acrossStart, acrossEnd);
    } else {
        const int len = std::max(16, PageLength(length, v));
        PlaceThumb(l, horizontal, len / 2, PageFraction(horizontal, v), acrossStart, acrossEnd);
    }
    return l;
}

ScrollLayout LayoutSkinned(bool horizontal, QSize size, const ScrollSkinGeometry& g, const ScrollValues& v) {
    ScrollLayout l;
    const int d = horizontal ? size.width() - g.skinRect.Width() : size.height() - g.skinRect.Height();
    l.track = g.trackArea;
    if (horizontal)
        l.track.right += d;
    else
        l.track.bottom += d;
    auto place = [&](const Rect& b) {
        const bool beyond = horizontal ? g.RT.x() < b.left : g.LB.y() < b.top;
        return beyond ? MovedBy(b, horizontal, d) : b;
    };
    l.up = place(g.upButton);
    l.down = place(g.downButton);

    const int along = horizontal ? g.thumbPicture.width() : g.thumbPicture.height();
    const int across = horizontal ? g.thumbPicture.height() : g.thumbPicture.width();
    const int length = horizontal ? l.track.Width() : l.track.Height();
    const int thickness = horizontal ? l.track.Height() : l.track.Width();
    const int acrossStart = (horizontal ? l.track.top : l.track.left) + thickness / 2 - across / 2;
    if (v.pageSize <= 0) {
        const int len = along - along % 2;
        PlaceThumb(l, horizontal, len / 2, Fraction(v), acrossStart, acrossStart + across);
    } else {
        const int len = std::max(along, PageLength(length, v));
        PlaceThumb(l, horizontal, len / 2, PageFraction(horizontal, v), acrossStart, acrossStart + across);
    }
    return l;
}

ScrollPart PartAt(const ScrollLayout& l, QPoint p) {
    auto in = [&](const Rect& r) { return p.x() >= r.left && p.x() < r.right && p.y() >= r.top && p.y() < r.bottom; };
    if (in(l.thumb)) return ScrollPart::Thumb;
    if (in(l.up)) return ScrollPart::Up;
    if (in(l.down)) return ScrollPart::Down;
    return ScrollPart::None;
}

int PositionFromOffset(const ScrollLayout& l, bool horizontal, const ScrollValues& v, int a) {
    int lo = l.centreMin, hi = l.centreMax;
    if (v.pageSize > 0) {
        const int len = l.ThumbLength(horizontal);
        lo = l.TrackStart(horizontal) + len / 2;
        hi = l.TrackEnd(horizontal) - len / 2;
    }
    double ratio = hi - lo > 0 ? double(a) / double(hi - lo) : 0.0;
    ratio = std::clamp(ratio, 0.0, 1.0);
    if (v.pageSize > 0) return v.min + RoundHalfEven(double(v.max - v.min - v.pageSize + 1) * ratio);
    return v.min + RoundHalfEven(double(v.max - v.min) * ratio);
}

}  // namespace skinctrls
