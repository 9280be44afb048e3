#pragma once
// The data grid's geometry and scrolling rules, without a widget: where each cell lies
// for the present sizes and scroll state, which cell or column border is under a point,
// how far the grid can scroll, and what the external scroll bars show for it.
//
// One axis (columns across, rows down) is a list of cell sizes, the leading `fixed`
// cells that never scroll, and the first scrolled cell shown (`first`). Every cell is
// followed by a grid line of `lineWidth` pixels. Pixel coordinates are the grid's client
// area; rectangles are QRect (right and bottom included, as Qt counts them).

#include <QPoint>
#include <QRect>

#include <vector>

#include "skin/SkinValues.h"

namespace skinctrls {

struct GridAxis {
    std::vector<int> sizes;  // pixel size of each cell
    int fixed = 0;           // leading cells that stay put
    int first = 0;           // first scrolled cell shown (left column / top row)
    int lineWidth = 1;       // grid line after each cell
    int extent = 0;          // client pixels along the axis
    int offset = 0;          // pixel scroll of the scrolled part (a single scrolled column)

    int Count() const { return int(sizes.size()); }
    int Size(int i) const { return sizes[size_t(i)]; }
};

// Start pixel of cell i (negative for a cell scrolled partly under the fixed ones), or
// kGridNotShown when it is scrolled away or out of range (a fixed cell is always shown; a
// scrolled one from `first` on, even when only partly inside the extent).
inline constexpr int kGridNotShown = -0x40000000;
int AxisStart(const GridAxis& a, int i);
// Pixel just past the last fixed cell's line.
int FixedExtent(const GridAxis& a);
// The cell whose pixels (its line included) hold pos, or -1 (outside, or past the last
// cell).
int AxisCellAt(const GridAxis& a, int pos);
// Scrolled cells from `first` that fit wholly inside the extent (at least 0).
int FullyVisibleCount(const GridAxis& a);
// The last cell shown at least in part, or fixed - 1 when none is.
int LastVisible(const GridAxis& a);
// The `first` that shows cell wholly (or as the first scrolled cell when it is larger
// than the room), moving as little as it can from a.first; a.first for a fixed cell.
int FirstShowing(GridAxis a, int cell);
// The largest `first` that still fills the extent: the last cells that fit together
// behind the fixed ones (the last cell alone when even that does not fit).
int MaxFirst(const GridAxis& a);
// The cell whose trailing border lies within tolerance pixels of pos (its right or
// bottom line), or -1. The nearest border wins; fixed cells count too.
int BorderAt(const GridAxis& a, int pos, int tolerance = 2);

struct GridGeometry {
    GridAxis cols, rows;
};

// The cell's rectangle in client coordinates (without its line), empty when the cell is
// scrolled away or out of range. May reach past the client area for a partly shown cell.
QRect CellRect(const GridGeometry& g, int col, int row);
// The cell under p as (col, row); (-1, -1) when p is on no cell.
QPoint CellAt(const GridGeometry& g, QPoint p);
// The area right of the last column and below the last row (to fill with the ground).
// Each is empty when the cells reach the client edge.
QRect RightOfCells(const GridGeometry& g);
QRect BelowCells(const GridGeometry& g);

// What an external bar shows: the range, page, position and steps, and whether it shows.
struct GridBarRange {
    bool visible = false;
    int min = 0, max = 0, page = 0, position = 0;
    int smallChange = 1;
    int largeChange = 1;  // a track click: the small step by cells, a page by records

    friend bool operator==(const GridBarRange&, const GridBarRange&) = default;
};

// The fixed scale of a bar that scrolls by cells: positions 0..127.
inline constexpr int kGridBarScale = 127;

// The horizontal bar. Several scrolled columns: the 0..127 scale, shown when the left
// column can move, position = (left - fixed) * 127 / (max left - fixed). A single
// scrolled column scrolls by pixels: range 0 .. column width - scrolled extent, shown
// when that is positive, position = the pixel offset.
GridBarRange HorzBarRange(const GridAxis& cols);
// The vertical bar of a plain grid (rows by the 0..127 scale, as columns above).
GridBarRange CellBarRange(const GridAxis& a);
// The left column (or top row) for a bar position on the 0..127 scale.
int FirstForBarPosition(const GridAxis& a, int position);
// The pixel offset for a bar position of the single-column scale (clamped to its range).
int OffsetForBarPosition(const GridAxis& cols, int position);

// The vertical bar of the data grid, which scrolls by records. Without an active data
// set it is hidden. It shows when rowCount (title row included) reaches the fully
// visible data rows. A sequenced data set shows 1 .. records + visible - 1 with page
// visible at the current record number; an unsequenced one 0..4 at 0 (beginning), 4
// (end) or 2.
struct RecordScrollState {
    bool active = false;
    bool sequenced = true;
    int recordCount = 0;
    int recNo = 1;  // from 1
    bool bof = true, eof = true;
    int rowCount = 0;     // grid rows, title row included
    int visibleRows = 0;  // fully visible data rows
};
GridBarRange RecordBarRange(const RecordScrollState& s);

// Where a released vertical bar moves the data set.
struct RecordMove {
    enum Kind { None, First, Last, RecNo, PageUp, PageDown } kind = None;
    int recNo = 0;
    friend bool operator==(const RecordMove&, const RecordMove&) = default;
};
RecordMove RecordMoveForBar(bool sequenced, int recordCount, int position);

// Fully visible data rows below the title rows of a client height (at least 1).
int VisibleDataRows(int clientHeight, int titleHeight, int rowHeight, int lineWidth, int titleRows);

// A column's default width for a field of displayWidth characters: ("0" width - overhang)
// x characters + overhang + 4, widened to the title's width + 4 when titles show.
int DefaultColumnWidth(int zeroWidth, int overhang, int displayWidth, int titleWidth, bool titles);

// The width of a column fitted to what it shows: its widest cell text with the cell's
// margins, at most its default width, and never narrower than its title with the title
// cell's margins (titleWidth 0 when titles do not show), which the default width may not
// leave room for in a skin's title cell.
int FittedColumnWidth(int titleWidth, int titleMargin, int widestCell, int cellMargin, int defaultWidth);

// Left edge of a cell text of textWidth in rect: left + dx (left), right - width - 3
// (right), centred otherwise.
int CellTextLeft(const QRect& rect, int dx, skin::Alignment align, int textWidth);

}  // namespace skinctrls
