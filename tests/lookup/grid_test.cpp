// The result grid: columns from the visible fields by position, retitling through the
// fields' labels, and the painted pixels of the title row, the indicator column and the
// alternating rows.

#include <gtest/gtest.h>

#include <QImage>
#include <QTest>

#include "data/DataSource.h"
#include "data/MemTable.h"
#include "lookup/DBGrid.h"
#include "support/QtTestApp.h"
#include "support/QtWidgetTest.h"

using namespace lookup;

namespace {

// ID text 10, NAME text 20, HIDDEN (not visible), QTY whole number; rows of ("Ri", "name i").
void FillTable(data::MemTable& t, int rows) {
    t.fieldDefs().Clear();
    t.fieldDefs().Add("ID", data::FieldType::Text, 10).displayLabel = QStringLiteral("代號");
    t.fieldDefs().Add("NAME", data::FieldType::Text, 20);
    t.fieldDefs().Add("HIDDEN", data::FieldType::Text, 5).visible = false;
    t.fieldDefs().Add("QTY", data::FieldType::Integer);
    t.CreateDataSet();
    for (int i = 0; i < rows; ++i) {
        t.Append();
        t.FieldByName("ID")->SetAsString("R" + QString::number(i));
        t.FieldByName("NAME")->SetAsString("name " + QString::number(i));
        t.Post();
    }
    t.First();
}

QRgb Pixel(const QImage& img, QPoint p) { return img.pixel(p) & 0xFFFFFF; }
QRgb Rgb(int r, int g, int b) { return qRgb(r, g, b) & 0xFFFFFF; }

// The lookup dialog's paint options over a plain (255, 255, 236) picture.
void DialogPaint(TwwDBGrid& grid) {
    QImage pic(16, 16, QImage::Format_RGB32);
    pic.fill(qRgb(255, 255, 236));
    TwwGridPaintOptions& po = grid.PaintOptions();
    po.SetBackgroundBitmap(pic);
    po.SetBackgroundDrawStyle(bdsStretch);
    po.SetAlternatingRowColor(8454143);
    po.SetBackgroundOptions(coFillDataCells | coBlendFixedColumn | coBlendActiveRecord | coBlendAlternatingRow);
}

// A 400 x 200 grid over a table of rows rows.
struct GridOver {
    data::MemTable t;
    data::DataSource source{&t};
    TwwDBGrid grid;
    explicit GridOver(int rows) {
        FillTable(t, rows);
        grid.resize(400, 200);
    }
};

}  // namespace

TEST(ResultGrid, ColumnsByPositionAndTitles) {
    GridOver f(3);
    data::MemTable& t = f.t;
    TwwDBGrid& grid = f.grid;
    grid.SetDataSource(&f.source);

    // The hidden field has no column; positions skip it.
    ASSERT_EQ(grid.FieldCount(), 3);
    EXPECT_EQ(grid.Fields(0)->fieldName(), "ID");
    EXPECT_EQ(grid.Fields(1)->fieldName(), "NAME");
    EXPECT_EQ(grid.Fields(2)->fieldName(), "QTY");
    EXPECT_EQ(grid.Fields(3), nullptr);
    EXPECT_EQ(grid.ColumnByIndex(2)->FieldName(), "QTY");
    EXPECT_TRUE(grid.ColumnByIndex(3)->IsPlaceholder());
    EXPECT_EQ(grid.ColumnByIndex(7), grid.Placeholder());

    // A title set on a column is the field's label, and goes with the field.
    grid.ColumnByIndex(1)->SetDisplayLabel(QStringLiteral("專案名稱"));
    EXPECT_EQ(t.FieldByName("NAME")->displayLabel(), QStringLiteral("專案名稱"));
    EXPECT_EQ(grid.Fields(0)->displayName(), QStringLiteral("代號"));
    grid.ColumnByIndex(7)->SetDisplayLabel("nothing");  // beyond the columns: no effect
    EXPECT_EQ(grid.FieldCount(), 3);

    // An empty set paints its titles over the indicator look.
    t.EmptyDataSet();
    const QImage empty = grid.Render();
    EXPECT_EQ(Pixel(empty, {200, 100}), Rgb(212, 208, 200));

    // Closing the set leaves no mapped fields; the grid still paints.
    t.Close();
    EXPECT_EQ(grid.FieldCount(), 0);
    EXPECT_TRUE(grid.ColumnByIndex(0)->IsPlaceholder());
    EXPECT_FALSE(grid.Render().isNull());

    // Without fields, positions follow the grid's own column list; retitling rewrites
    // the entry's title.
    grid.SetSelected({"ID\t10\tOld\tF", "NAME\t20\tName\tF\tgroup"});
    ASSERT_EQ(grid.ColumnByIndex(1)->FieldName(), "NAME");
    grid.ColumnByIndex(0)->SetDisplayLabel("New");
    EXPECT_EQ(grid.Selected()[0], "ID\t10\tNew\tF");
    EXPECT_EQ(grid.Selected()[1], "NAME\t20\tName\tF\tgroup");
}

TEST(ResultGrid, TitleIndicatorAndAlternatingRowPixels) {
    GridOver f(30);
    data::MemTable& t = f.t;
    TwwDBGrid& grid = f.grid;
    DialogPaint(grid);
    grid.SetDataSource(&f.source);
    ShowOffscreen(&grid);

    const GridGeometry g = grid.Geometry();
    const int rows = g.VisibleRows();
    ASSERT_GE(rows, 4);
    const QImage img = grid.Render();
    const int x = g.DataCell(1, 0).right() - 3;  // right part of NAME: no text there
    auto rowPoint = [&](int row) { return QPoint(x, g.DataCell(1, row).top() + 1); };

    EXPECT_EQ(Pixel(img, {g.TitleCell(1).right() - 2, 1}), Rgb(212, 208, 200));  // title row: the button face
    EXPECT_EQ(Pixel(img, rowPoint(0)), Rgb(255, 255, 236));                       // first row: the picture
    EXPECT_EQ(Pixel(img, rowPoint(1)), Rgb(254, 254, 172));                       // second row: tinted
    EXPECT_EQ(Pixel(img, rowPoint(2)), Rgb(255, 255, 236));
    EXPECT_EQ(Pixel(img, rowPoint(3)), Rgb(254, 254, 172));
    EXPECT_EQ(Pixel(img, {5, g.IndicatorCell(1).top() + 1}), Rgb(233, 231, 208));  // indicator: tinted picture
    EXPECT_EQ(Pixel(img, {x, g.DataCell(1, 0).bottom()}), Rgb(192, 192, 192));       // the row's silver line
    // The current record's mark in the indicator column.
    EXPECT_EQ(Pixel(img, {4, g.IndicatorCell(0).center().y()}), Rgb(0, 0, 0));
    EXPECT_NE(Pixel(img, {4, g.IndicatorCell(1).center().y()}), Rgb(0, 0, 0));

    // Scrolling the window by one record turns the parity over: the tint stays with the
    // records.
    EXPECT_FALSE(grid.RowParity());
    t.SetRecNo(rows + 1);
    EXPECT_TRUE(grid.RowParity());
    const QImage scrolled = grid.Render();
    EXPECT_EQ(Pixel(scrolled, rowPoint(0)), Rgb(254, 254, 172));  // record 2, tinted before too
    EXPECT_EQ(Pixel(scrolled, rowPoint(1)), Rgb(255, 255, 236));
}

TEST(ResultGrid, WithoutPictureRowsAreNotTintedAndShortListsEndInTheIndicatorLook) {
    GridOver f(2);
    TwwDBGrid& grid = f.grid;
    grid.PaintOptions().SetAlternatingRowColor(8454143);
    grid.PaintOptions().SetBackgroundOptions(coFillDataCells | coBlendAlternatingRow);
    grid.SetDataSource(&f.source);
    ShowOffscreen(&grid);
    const GridGeometry g = grid.Geometry();
    const QImage img = grid.Render();
    const int x = g.DataCell(1, 0).right() - 3;
    EXPECT_EQ(Pixel(img, {x, g.DataCell(1, 1).top() + 1}), Rgb(255, 255, 255));  // the grid's colour
    // Below the last record: the title colour, as the indicator column.
    EXPECT_EQ(Pixel(img, {x, g.DataCell(1, 3).top() + 2}), Rgb(212, 208, 200));

    // Taking the picture away again drops its copies.
    DialogPaint(grid);
    grid.Render();
    EXPECT_FALSE(grid.PaintOptions().Pictures().base.isNull());
    // The regions only repaint; a colour marks the copies stale, as a new size does.
    grid.PaintOptions().SetAlternatingRowRegions(arrFixedColumns);
    EXPECT_FALSE(grid.PaintOptions().Stale());
    grid.PaintOptions().SetAlternatingRowColor(platform::clAqua);
    EXPECT_TRUE(grid.PaintOptions().Stale());
    grid.Render();
    EXPECT_FALSE(grid.PaintOptions().Stale());
    grid.resize(300, 150);
    EXPECT_TRUE(grid.PaintOptions().Stale());
    grid.PaintOptions().SetBackgroundBitmap(QImage());
    grid.Render();
    EXPECT_TRUE(grid.PaintOptions().Pictures().base.isNull());
    EXPECT_TRUE(grid.PaintOptions().Pictures().alternating.isNull());
}

TEST(ResultGrid, KeysAndClicksMoveTheCurrentRecord) {
    GridOver f(40);
    TwwDBGrid& grid = f.grid;
    grid.SetDataSource(&f.source);
    ShowOffscreen(&grid);
    const GridGeometry g = grid.Geometry();

    QTest::mouseClick(&grid, Qt::LeftButton, {}, g.DataCell(1, 2).center());
    EXPECT_EQ(f.t.RecNo(), 3);
    EXPECT_EQ(grid.SelectedColumn(), 1);
    QTest::keyClick(&grid, Qt::Key_Down);
    EXPECT_EQ(f.t.RecNo(), 4);
    QTest::keyClick(&grid, Qt::Key_PageDown);
    EXPECT_EQ(f.t.RecNo(), 4 + g.VisibleRows());
    QTest::keyClick(&grid, Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ(f.t.RecNo(), 40);
    QTest::keyClick(&grid, Qt::Key_Left);
    EXPECT_EQ(grid.SelectedColumn(), 0);

    // Keys go to the owner first; a key it takes does not reach the grid.
    int taken = 0;
    grid.OnKeyDown = [&](QKeyEvent* e) {
        if (e->key() == Qt::Key_Up) {
            ++taken;
            e->accept();
        }
    };
    QTest::keyClick(&grid, Qt::Key_Up);
    EXPECT_EQ(taken, 1);
    EXPECT_EQ(f.t.RecNo(), 40);
}
