// The data grid's pure rules: cell rectangles and hit tests with fixed and scrolled
// cells, column borders for sizing, how far the grid scrolls, and what the external bars
// show for columns and for records.

#include <gtest/gtest.h>

#include "skinctrls/test_print.h"

#include "skinctrls/GridGeometry.h"

namespace skinctrls {
namespace {

// An indicator column of 11 and four data columns of 64 in 200 pixels; a title row and
// five rows of 20 in 90 pixels (so four rows fit wholly).
GridGeometry Sample(int leftCol = 1, int topRow = 1) {
    GridGeometry g;
    g.cols = {{11, 64, 64, 64, 64}, 1, leftCol, 1, 200, 0};
    g.rows = {{20, 20, 20, 20, 20, 20}, 1, topRow, 1, 90, 0};
    return g;
}

TEST(GridGeometry, CellRectanglesFollowFixedCellsAndScrolling) {
    struct Case {
        int leftCol, col, row;
        QRect want;
    } cases[] = {
        {1, 0, 0, QRect(0, 0, 11, 20)},      // corner
        {1, 1, 0, QRect(12, 0, 64, 20)},     // first title cell after the indicator line
        {1, 2, 1, QRect(77, 21, 64, 20)},    // a data cell
        {1, 4, 3, QRect(207, 63, 64, 20)},   // past the client edge: still has its rectangle
        {2, 1, 1, QRect()},                  // scrolled away
        {2, 2, 1, QRect(12, 21, 64, 20)},    // now the left column
        {2, 0, 2, QRect(0, 42, 11, 20)},     // fixed column stays
        {1, 5, 1, QRect()},                  // out of range
    };
    for (const Case& c : cases)
        EXPECT_EQ(CellRect(Sample(c.leftCol), c.col, c.row), c.want) << c.leftCol << " " << c.col << "," << c.row;
}

TEST(GridGeometry, HitTestOfCellsLinesAndOutside) {
    const GridGeometry g = Sample();
    struct Case {
        QPoint p, want;
    } cases[] = {
        {{0, 0}, {0, 0}},   {{11, 5}, {0, 0}},    // the indicator's line belongs to it
        {{12, 5}, {1, 0}},  {{76, 21}, {1, 1}},   {{77, 21}, {2, 1}},
        {{199, 89}, {3, 4}}, {{200, 5}, {-1, -1}}, {{5, 90}, {-1, -1}}, {{-1, 5}, {-1, -1}},
    };
    for (const Case& c : cases) EXPECT_EQ(CellAt(g, c.p), c.want) << c.p.x() << "," << c.p.y();
    // With a pixel offset (a single scrolled column) the scrolled part moves left under
    // the fixed column.
    GridGeometry one;
    one.cols = {{11, 300}, 1, 1, 1, 200, 50};
    one.rows = {{20, 20}, 1, 1, 1, 60, 0};
    EXPECT_EQ(CellRect(one, 1, 1), QRect(12 - 50, 21, 300, 20));
    EXPECT_EQ(CellAt(one, {5, 25}), QPoint(0, 1));
    EXPECT_EQ(CellAt(one, {20, 25}), QPoint(1, 1));
}

TEST(GridGeometry, ColumnBordersForSizing) {
    const GridAxis cols = Sample().cols;
    struct Case {
        int x, want;
    } cases[] = {{11, 0}, {76, 1}, {74, 1}, {78, 1}, {79, -1}, {141, 2}, {140, 2}, {100, -1}, {206, 3}};
    for (const Case& c : cases) EXPECT_EQ(BorderAt(cols, c.x), c.want) << c.x;
}

TEST(GridGeometry, VisibleCountsAndScrollLimits) {
    GridAxis cols = Sample().cols;
    EXPECT_EQ(FullyVisibleCount(cols), 2);  // 12..76, 77..141; the third ends at 206 > 200
    EXPECT_EQ(LastVisible(cols), 3);
    EXPECT_EQ(MaxFirst(cols), 3);           // columns 3 and 4 fill 188 pixels
    cols.sizes = {11, 300, 64};
    EXPECT_EQ(MaxFirst(cols), 2);           // a column wider than the grid is its own last page
    cols.sizes = {11, 40, 40};
    EXPECT_EQ(MaxFirst(cols), 1);           // everything fits: no scrolling
    const GridAxis rows = Sample().rows;
    EXPECT_EQ(FullyVisibleCount(rows), 3);  // 21..40, 42..61, 63..82; 84..103 is cut
    EXPECT_EQ(MaxFirst(rows), 3);
    EXPECT_EQ(VisibleDataRows(90, 20, 20, 1, 1), 3);
    EXPECT_EQ(VisibleDataRows(180, 22, 22, 1, 1), 6);
    EXPECT_EQ(VisibleDataRows(10, 22, 22, 1, 1), 1);
    // Ground right of the last column and below the last row.
    GridGeometry narrow;
    narrow.cols = {{11, 40, 40}, 1, 1, 1, 200, 0};
    narrow.rows = {{20, 20}, 1, 1, 1, 90, 0};
    EXPECT_EQ(RightOfCells(narrow), QRect(94, 0, 106, 90));
    EXPECT_EQ(BelowCells(narrow), QRect(0, 42, 200, 48));
    EXPECT_TRUE(RightOfCells(Sample()).isNull());
}

TEST(GridGeometry, ScrollingACellIntoView) {
    struct Case {
        int first, cell, want;
    } cases[] = {
        {1, 0, 1},  // a fixed cell: no scrolling
        {1, 2, 1},  // already wholly shown
        {1, 3, 2},  // moves as little as it can
        {1, 4, 3},
        {3, 1, 1},  // left of the shown ones: it becomes the first
    };
    for (const Case& c : cases)
        EXPECT_EQ(FirstShowing(Sample(c.first).cols, c.cell), c.want) << c.first << " " << c.cell;
    EXPECT_EQ(FirstShowing(Sample().rows, 5), 3);
    const GridAxis wide{{11, 300, 64}, 1, 1, 1, 200, 0};
    EXPECT_EQ(FirstShowing(wide, 2), 2);  // past a column wider than the grid
}

TEST(GridBars, HorizontalByColumnsAndByPixels) {
    GridAxis cols = Sample().cols;
    GridBarRange r = HorzBarRange(cols);
    EXPECT_TRUE(r.visible);
    EXPECT_EQ(r.max, 127);
    EXPECT_EQ(r.position, 0);
    EXPECT_EQ(r.smallChange, 63);  // 127 div (5 - 2 visible - 1 fixed)
    EXPECT_EQ(r.largeChange, 63);
    cols.first = 2;
    EXPECT_EQ(HorzBarRange(cols).position, 63);  // (2 - 1) * 127 / (3 - 1)
    cols.first = 3;
    EXPECT_EQ(HorzBarRange(cols).position, 127);
    EXPECT_EQ(FirstForBarPosition(cols, 0), 1);
    EXPECT_EQ(FirstForBarPosition(cols, 64), 2);
    EXPECT_EQ(FirstForBarPosition(cols, 127), 3);
    EXPECT_EQ(FirstForBarPosition(cols, 500), 3);

    cols.sizes = {11, 40, 40};
    cols.first = 1;
    EXPECT_EQ(HorzBarRange(cols), GridBarRange{});  // everything fits: hidden, 0..0

    GridAxis one{{11, 300}, 1, 1, 1, 200, 0};
    r = HorzBarRange(one);
    EXPECT_TRUE(r.visible);
    EXPECT_EQ(r.max, 112);  // 300 - (200 - 12)
    EXPECT_EQ(OffsetForBarPosition(one, 50), 50);
    EXPECT_EQ(OffsetForBarPosition(one, 999), 112);
    one.sizes = {11, 150};
    EXPECT_FALSE(HorzBarRange(one).visible);
}

TEST(GridBars, VerticalByRecords) {
    RecordScrollState s;
    EXPECT_FALSE(RecordBarRange(s).visible);  // no active data set
    s.active = true;
    s.visibleRows = 8;
    struct Case {
        int records, recNo;
        bool visible;
        int max, position;
    } cases[] = {
        {5, 1, false, 12, 1},   // fewer records than visible rows minus one
        {7, 3, true, 14, 3},    // title row + 7 reaches the 8 visible rows
        {30, 30, true, 37, 30}, // page 8: the last record is the last position
    };
    for (const Case& c : cases) {
        s.recordCount = c.records;
        s.recNo = c.recNo;
        s.rowCount = 1 + std::min(c.records, s.visibleRows);
        const GridBarRange r = RecordBarRange(s);
        EXPECT_EQ(r.visible, c.visible) << c.records;
        EXPECT_EQ(r.min, 1);
        EXPECT_EQ(r.max, c.max) << c.records;
        EXPECT_EQ(r.page, 8);
        EXPECT_EQ(r.largeChange, 8);  // a track click pages
        EXPECT_EQ(r.position, c.position);
    }
    s.sequenced = false;
    s.bof = true;
    EXPECT_EQ(RecordBarRange(s).position, 0);
    s.bof = false;
    s.eof = true;
    EXPECT_EQ(RecordBarRange(s).position, 4);
    s.eof = false;
    EXPECT_EQ(RecordBarRange(s).position, 2);
    EXPECT_EQ(RecordBarRange(s).max, 4);

    using M = RecordMove;
    EXPECT_EQ(RecordMoveForBar(true, 30, 0), (M{M::First, 0}));
    EXPECT_EQ(RecordMoveForBar(true, 30, 1), (M{M::First, 0}));
    EXPECT_EQ(RecordMoveForBar(true, 30, 12), (M{M::RecNo, 12}));
    EXPECT_EQ(RecordMoveForBar(true, 30, 30), (M{M::Last, 0}));
    EXPECT_EQ(RecordMoveForBar(false, 0, 1), (M{M::PageUp, 0}));
    EXPECT_EQ(RecordMoveForBar(false, 0, 2), (M{M::None, 0}));
    EXPECT_EQ(RecordMoveForBar(false, 0, 3), (M{M::PageDown, 0}));
}

TEST(GridText, ColumnWidthsAndTextPlacement) {
    EXPECT_EQ(DefaultColumnWidth(7, 0, 10, 30, true), 74);
    EXPECT_EQ(DefaultColumnWidth(7, 0, 2, 30, true), 34);   // the title is wider
    EXPECT_EQ(DefaultColumnWidth(7, 0, 2, 30, false), 18);
    EXPECT_EQ(DefaultColumnWidth(8, 1, 3, 0, false), 26);   // (8 - 1) x 3 + 1 + 4
    const QRect cell(100, 20, 64, 22);
    EXPECT_EQ(CellTextLeft(cell, 2, skin::taLeftJustify, 30), 102);
    EXPECT_EQ(CellTextLeft(cell, 2, skin::taRightJustify, 30), 131);  // ends 3 before the edge
    EXPECT_EQ(CellTextLeft(cell, 2, skin::taCenter, 30), 117);
}

}  // namespace
}  // namespace skinctrls
