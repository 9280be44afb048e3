#include "skinctrls/GridGeometry.h"

#include <algorithm>
#include <cstdlib>

namespace skinctrls {

int FixedExtent(const GridAxis& a) {
    int x = 0;
    for (int k = 0; k < std::min(a.fixed, a.Count()); ++k) x += a.Size(k) + a.lineWidth;
    return x;
}

int AxisStart(const GridAxis& a, int i) {
    if (i < 0 || i >= a.Count()) return kGridNotShown;
    int x = 0;
    if (i < a.fixed) {
        for (int k = 0; k < i; ++k) x += a.Size(k) + a.lineWidth;
        return x;
    }
    if (i < a.first) return kGridNotShown;
    x = FixedExtent(a) - a.offset;
    for (int k = a.first; k < i; ++k) x += a.Size(k) + a.lineWidth;
    return x;
}

int AxisCellAt(const GridAxis& a, int pos) {
    if (pos < 0 || pos >= a.extent) return -1;
    int x = 0;
    for (int k = 0; k < std::min(a.fixed, a.Count()); ++k) {
        x += a.Size(k) + a.lineWidth;
        if (pos < x) return k;
    }
    x -= a.offset;
    for (int k = std::max(a.first, a.fixed); k < a.Count(); ++k) {
        x += a.Size(k) + a.lineWidth;
        if (pos < x) return k;
    }
    return -1;
}

int FullyVisibleCount(const GridAxis& a) {
    int x = FixedExtent(a) - a.offset, n = 0;
    for (int k = std::max(a.first, a.fixed); k < a.Count() && x + a.Size(k) <= a.extent; ++k) {
        x += a.Size(k) + a.lineWidth;
        ++n;
    }
    return n;
}

int LastVisible(const GridAxis& a) {
    int x = FixedExtent(a) - a.offset, last = a.fixed - 1;
    for (int k = std::max(a.first, a.fixed); k < a.Count() && x < a.extent; ++k) {
        x += a.Size(k) + a.lineWidth;
        last = k;
    }
    return last;
}

int FirstShowing(GridAxis a, int cell) {
    if (cell < a.fixed) return a.first;
    if (cell < a.first) return cell;
    while (a.first < cell && cell >= a.first + FullyVisibleCount(a)) ++a.first;
    return a.first;
}

int MaxFirst(const GridAxis& a) {
    if (a.Count() <= a.fixed) return a.fixed;
    int avail = a.extent - FixedExtent(a);
    int result = a.Count() - 1;
    for (int k = a.Count() - 1; k >= a.fixed; --k) {
        if (a.Size(k) > avail) break;
        avail -= a.Size(k) + a.lineWidth;
        result = k;
    }
    return std::max(a.fixed, result);
}

int BorderAt(const GridAxis& a, int pos, int tolerance) {
    int best = -1, bestDistance = tolerance + 1;
    const int last = LastVisible(a);
    for (int k = 0; k <= last; ++k) {
        const int start = AxisStart(a, k);
        if (start == kGridNotShown) continue;
        const int d = std::abs(pos - (start + a.Size(k)));
        if (d < bestDistance) {
            best = k;
            bestDistance = d;
        }
    }
    return best;
}

QRect CellRect(const GridGeometry& g, int col, int row) {
    const int x = AxisStart(g.cols, col), y = AxisStart(g.rows, row);
    if (x == kGridNotShown || y == kGridNotShown) return {};
    return QRect(x, y, g.cols.Size(col), g.rows.Size(row));
}

QPoint CellAt(const GridGeometry& g, QPoint p) {
    const int c = AxisCellAt(g.cols, p.x()), r = AxisCellAt(g.rows, p.y());
    if (c < 0 || r < 0) return {-1, -1};
    return {c, r};
}

namespace {
// Pixel just past the last shown cell's line.
int CellsEnd(const GridAxis& a) {
    const int last = LastVisible(a);
    if (last < 0) return 0;
    return AxisStart(a, last) + a.Size(last) + a.lineWidth;
}
}  // namespace

QRect RightOfCells(const GridGeometry& g) {
    const int x = CellsEnd(g.cols);
    if (x >= g.cols.extent) return {};
    return QRect(x, 0, g.cols.extent - x, g.rows.extent);
}

QRect BelowCells(const GridGeometry& g) {
    const int y = CellsEnd(g.rows);
    if (y >= g.rows.extent) return {};
    return QRect(0, y, g.cols.extent, g.rows.extent - y);
}

namespace {
// A button press on the 0..127 scale: 127 div the scrolled cells that do not fit.
int CellStep(const GridAxis& a) { return kGridBarScale / std::max(1, a.Count() - FullyVisibleCount(a) - a.fixed); }
}  // namespace

GridBarRange CellBarRange(const GridAxis& a) {
    GridBarRange r;
    const int maxFirst = MaxFirst(a);
    if (maxFirst <= a.fixed) return r;
    r.visible = true;
    r.max = kGridBarScale;
    r.smallChange = r.largeChange = CellStep(a);
    r.position = std::clamp((a.first - a.fixed) * kGridBarScale / (maxFirst - a.fixed), 0, kGridBarScale);
    return r;
}

namespace {
int SingleColumnSpan(const GridAxis& cols) { return cols.Size(cols.fixed) - (cols.extent - FixedExtent(cols)); }
}  // namespace

GridBarRange HorzBarRange(const GridAxis& cols) {
    if (cols.Count() - cols.fixed != 1) return CellBarRange(cols);
    GridBarRange r;
    const int span = SingleColumnSpan(cols);
    if (span <= 0) return r;
    r.visible = true;
    r.max = span;
    r.smallChange = r.largeChange = CellStep(cols);
    r.position = std::clamp(cols.offset, 0, span);
    return r;
}

int FirstForBarPosition(const GridAxis& a, int position) {
    const int maxFirst = MaxFirst(a);
    if (maxFirst <= a.fixed) return a.fixed;
    const int p = std::clamp(position, 0, kGridBarScale);
    return a.fixed + p * (maxFirst - a.fixed) / kGridBarScale;
}

int OffsetForBarPosition(const GridAxis& cols, int position) {
    if (cols.Count() - cols.fixed != 1) return 0;
    return std::clamp(position, 0, std::max(0, SingleColumnSpan(cols)));
}

GridBarRange RecordBarRange(const RecordScrollState& s) {
    GridBarRange r;
    if (!s.active) return r;
    r.visible = s.rowCount >= s.visibleRows;
    if (!s.sequenced) {
        r.max = 4;
        r.position = s.bof ? 0 : s.eof ? 4 : 2;
    } else if (s.recNo >= 1) {
        r.min = 1;
        r.max = s.recordCount + s.visibleRows - 1;
        r.page = s.visibleRows;
        r.position = s.recNo;
        r.largeChange = std::max(1, s.visibleRows);
    }
    return r;
}

RecordMove RecordMoveForBar(bool sequenced, int recordCount, int position) {
    if (sequenced) {
        if (position <= 1) return {RecordMove::First, 0};
        if (position >= recordCount) return {RecordMove::Last, 0};
        return {RecordMove::RecNo, position};
    }
    switch (position) {
    case 0: return {RecordMove::First, 0};
    case 1: return {RecordMove::PageUp, 0};
    case 3: return {RecordMove::PageDown, 0};
    case 4: return {RecordMove::Last, 0};
    default: return {};
    }
}

int VisibleDataRows(int clientHeight, int titleHeight, int rowHeight, int lineWidth, int titleRows) {
    const int avail = clientHeight - titleRows * (titleHeight + lineWidth);
    if (rowHeight + lineWidth <= 0) return 1;
    return std::max(1, (avail + lineWidth) / (rowHeight + lineWidth));
}

int DefaultColumnWidth(int zeroWidth, int overhang, int displayWidth, int titleWidth, bool titles) {
    int w = (zeroWidth - overhang) * displayWidth + overhang + 4;
    if (titles) w = std::max(w, titleWidth + 4);
    return w;
}

int FittedColumnWidth(int titleWidth, int titleMargin, int widestCell, int cellMargin, int defaultWidth) {
    const int title = titleWidth > 0 ? titleWidth + titleMargin : 0;
    return std::max(title, std::min(widestCell + cellMargin, defaultWidth));
}

int CellTextLeft(const QRect& rect, int dx, skin::Alignment align, int textWidth) {
    switch (align) {
    case skin::taRightJustify: return rect.left() + rect.width() - textWidth - 3;
    case skin::taCenter: return rect.left() + rect.width() / 2 - textWidth / 2;
    case skin::taLeftJustify: break;
    }
    return rect.left() + dx;
}

}  // namespace skinctrls
