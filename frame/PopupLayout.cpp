#include "frame/PopupLayout.h"

#include <algorithm>

namespace frame {

using skin::Rect;

int PopupItemHeight(const PopupSkinGeometry& s, bool separator, int chainItemHeight) {
    if (separator) return s.item ? s.dividerrect.Height() : kPlainSeparatorHeight;
    return s.item ? s.skinrect.Height() : chainItemHeight;
}

PopupLevelSize PopupLevelSizeFor(const PopupSkinGeometry& s, const std::vector<int>& textWidths,
                                 const std::vector<int>& heights, int glyphColumn, int workAreaHeight) {
    int widest = 0;
    for (int t : textWidths) widest = std::max(widest, t);
    const int w = widest + glyphColumn + 19;
    int sum = 0;
    for (int h : heights) sum += h;

    PopupLevelSize out;
    int width = 0, height = 0;
    if (s.window) {
        const Rect& items = s.anchors.C;
        width = s.picture.width() + w + s.textrect.left + s.skinrect.Width() - s.textrect.right + items.left -
                items.right;
        height = s.picture.height() + sum + items.top - items.bottom;
    } else {
        width = w + 10;
        height = sum + 4;
    }
    if (height > workAreaHeight) {
        height = workAreaHeight;
        out.scrolling = true;
    }
    out.size = QSize(width, height);
    return out;
}

Rect PopupItemsRect(const PopupSkinGeometry& s, QSize window) {
    const int W = window.width(), H = window.height();
    if (!s.window) return {2, 2, W - 2, H - 2};
    const Rect& r = s.anchors.C;
    return {r.left, r.top, W + r.right - s.picture.width(), H + r.bottom - s.picture.height()};
}

PopupLayout LayOutPopupItems(const std::vector<int>& heights, const Rect& itemsRect, bool scrolling, int first) {
    PopupLayout out;
    const int n = int(heights.size());
    out.rects.assign(size_t(n), Rect{});
    out.inView.assign(size_t(n), false);
    int y = itemsRect.top + (scrolling ? kScrollMarkerHeight : 0);
    const int limit = scrolling ? itemsRect.bottom - kScrollMarkerHeight : itemsRect.bottom;
    for (int i = std::max(first, 0); i < n; ++i) {
        out.rects[size_t(i)] = {itemsRect.left, y, itemsRect.right, y + heights[size_t(i)]};
        y += heights[size_t(i)];
        if (y > limit) break;
        out.inView[size_t(i)] = true;
        ++out.visibleCount;
    }
    return out;
}

int PopupItemAt(const PopupLayout& layout, QPoint p) {
    for (size_t i = 0; i < layout.rects.size(); ++i)
        if (layout.inView[i] && PtInRect(layout.rects[i], p)) return int(i);
    return -1;
}

Rect PopupTopMarker(bool window, const Rect& items, QSize size) {
    if (window) return {items.left, items.top, items.right, items.top + kScrollMarkerHeight};
    return {3, 3, size.width() - 3, 13};
}

Rect PopupBottomMarker(bool window, const Rect& items, QSize size) {
    if (window) return {items.left, items.bottom - kScrollMarkerHeight, items.right, items.bottom};
    return {3, size.height() - 10, size.width() - 3, size.height() - 3};
}

PopupPlacement PlacePopupLevel(const Rect& R, const Rect& A, QSize size, int itemsTop, bool subLevel, bool upward,
                               bool scrolling) {
    const int W = size.width(), H = size.height();
    const int middle = A.top + A.Height() / 2;
    PopupPlacement out;
    int y = 0;
    if (scrolling) {
        y = A.top;
    } else if (subLevel) {
        if (R.top + H - itemsTop <= A.bottom)
            y = R.top - itemsTop;  // the first item beside the parent item
        else if (R.top < middle)
            y = A.bottom - H;
        else
            y = std::max(R.bottom - H + itemsTop, A.top);
    } else if (upward) {
        if (R.top - H >= A.top) {
            y = R.top - H;
        } else if (R.top < middle) {
            if (R.bottom + H <= A.bottom) {
                y = R.bottom;
            } else {
                y = A.bottom - H;
                out.flipped = true;
            }
        } else {
            y = A.top;
            out.flipped = true;
        }
    } else {
        if (R.bottom + H <= A.bottom) {
            y = R.bottom;
        } else if (R.top < middle) {
            y = A.bottom - H;
            out.flipped = true;
        } else {
            y = R.top - H;
            if (y < A.top) {
                y = A.top;
                out.flipped = true;
            }
        }
    }
    int x = 0;
    if (subLevel || scrolling || out.flipped) {
        // Beside the anchor, so that the level does not cover it.
        x = R.right + 1;
        if (R.right + W + 1 > A.right) x = R.left - W - 1;
    } else {
        x = R.left;
        if (R.left + W > A.right)
            x = A.right - W;
        else if (R.left < A.left)
            x = A.left;
    }
    out.pos = QPoint(x, y);
    return out;
}

int NextItemDown(const std::vector<bool>& selectable, int hot) {
    const int n = int(selectable.size());
    int start = hot + 1;
    if (hot < 0 || start >= n) start = 0;
    for (int i = start; i < n; ++i)
        if (selectable[size_t(i)]) return i;
    return hot;
}

int NextItemUp(const std::vector<bool>& selectable, int hot) {
    const int n = int(selectable.size());
    int start = hot - 1;
    if (hot < 0 || start < 0 || start >= n) start = n - 1;
    for (int i = start; i >= 0; --i)
        if (selectable[size_t(i)]) return i;
    return hot;
}

int LastStartPosition(const std::vector<int>& heights, const Rect& itemsRect) {
    const int n = int(heights.size());
    for (int f = 0; f < n; ++f)
        if (LayOutPopupItems(heights, itemsRect, true, f).LastInView()) return f;
    return std::max(n - 1, 0);
}

int KeyboardScrollFirst(const std::vector<int>& heights, const Rect& itemsRect, int first, int index, bool down) {
    const int n = int(heights.size());
    if (index < 0 || index >= n) return first;
    auto inView = [&](int f) { return bool(LayOutPopupItems(heights, itemsRect, true, f).inView[size_t(index)]); };
    if (inView(first)) return first;
    if (down && index < first) first = 0;                                       // wrapped to the top
    if (!down && index > first) first = LastStartPosition(heights, itemsRect);  // wrapped to the end
    while (!inView(first)) {
        const int next = index < first ? first - 1 : first + 1;
        if (next < 0 || next >= n) break;
        first = next;
    }
    return first;
}

QChar AcceleratorOf(const QString& caption) {
    for (qsizetype i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != QLatin1Char('&')) continue;
        if (caption[i + 1] == QLatin1Char('&')) {
            ++i;
            continue;
        }
        return caption[i + 1];
    }
    return QChar();
}

QString CaptionText(const QString& caption) {
    QString out;
    out.reserve(caption.size());
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption[i] == QLatin1Char('&') && i + 1 < caption.size()) ++i;
        else if (caption[i] == QLatin1Char('&')) continue;
        out += caption[i];
    }
    return out;
}

int MatchAccelerator(const std::vector<QString>& captions, QChar key) {
    if (key.isNull()) return -1;
    for (size_t i = 0; i < captions.size(); ++i) {
        const QChar a = AcceleratorOf(captions[i]);
        if (!a.isNull() && a.toCaseFolded() == key.toCaseFolded()) return int(i);
    }
    return -1;
}

}  // namespace frame
