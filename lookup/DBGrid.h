#pragma once
// The lookup result grid: a read-only table of a data source's rows, one title row, an
// indicator column on the left and one column per visible field, painted into an
// off-screen image over a background picture with alternating tinted rows (see
// GridPaintOptions.h). Columns come from the data set's field objects and are reached
// by position; a column's title is its field's display label.
//
// The grid follows its data source through a data link whose window is the visible
// rows. Keys and the mouse move the data set's current row; Enter is the caller's
// (OnKeyDown sees every key first).

#include <QImage>
#include <QStringList>
#include <QWidget>
#include <functional>
#include <memory>
#include <vector>

#include "data/DataSource.h"
#include "lookup/GridPaintOptions.h"
#include "platform/Colors.h"
#include "platform/Fonts.h"

class QScrollBar;

namespace lookup {

class TwwDBGrid;

// A column: the grid it belongs to and the name of its field. The placeholder column
// (no field) stands for positions beyond the columns.
class TwwColumn {
public:
    TwwColumn(TwwDBGrid* grid, QString fieldName) : grid_(grid), fieldName_(std::move(fieldName)) {}
    TwwDBGrid* grid() const { return grid_; }
    const QString& FieldName() const { return fieldName_; }
    bool IsPlaceholder() const { return fieldName_.isEmpty(); }
    // Retitles the column: the Selected entry of its field (when there is one) and, with
    // UseTFields, the display label of its field, then the grid lays its columns out
    // again. Nothing for the placeholder.
    void SetDisplayLabel(const QString& title);

private:
    TwwDBGrid* grid_;
    QString fieldName_;
};

// Line colours of the grid.
struct TwwGridLineColors {
    platform::TColor dataColor = platform::clSilver;
    platform::TColor highlightColor = platform::clBtnHighlight;
    platform::TColor shadowColor = platform::clBtnShadow;
    platform::TColor fixedColor = platform::clBlack;
};

// Geometry of the grid's cells for a client size, as plain numbers (tested exactly).
struct GridGeometry {
    int indicatorWidth = 11;
    int titleHeight = 18;
    int rowHeight = 18;
    std::vector<int> columnWidths;  // of the data columns
    int leftCol = 0;                // first scrolled column shown
    QSize client;                   // the area the cells are painted in

    // Data rows that fit wholly (at least 1).
    int VisibleRows() const;
    // The rectangle of data column c (scrolled), x from the indicator; empty when c is
    // left of leftCol.
    QRect ColumnSpan(int c) const;
    QRect DataCell(int c, int row) const;  // row 0 = top visible
    QRect TitleCell(int c) const;
    QRect IndicatorCell(int row) const { return {0, titleHeight + row * rowHeight, indicatorWidth, rowHeight}; }
    // Right edge of the last column (exclusive), or of the indicator without columns.
    int ColumnsRight() const;
    // Data column at x (-1: the indicator or beyond the columns), data row at y (-1: title).
    int ColumnAt(int x) const;
    int RowAt(int y) const;
};

class TwwDBGrid : public QWidget {
    Q_OBJECT

public:
    explicit TwwDBGrid(QWidget* parent = nullptr);
    ~TwwDBGrid() override;

    data::DataSource* DataSource() const;
    void SetDataSource(data::DataSource* source);
    data::DataSet* DataSet() const;
    // The grid's window on its data set (which record is shown first, any row's text).
    const data::DataLink& DataLink() const;

    // Mapped fields: their count, and the field at map position i (nullptr beyond).
    int FieldCount() const { return static_cast<int>(map_.size()); }
    data::Field* Fields(int i) const;
    // Column at position i: with mapped fields the column of field i; else the column
    // named by Selected entry i; the placeholder beyond either.
    TwwColumn* ColumnByIndex(int i);
    TwwColumn* Placeholder() { return &placeholder_; }

    // Column list of the grid's own ("FIELD\tWIDTH\tTITLE\tREADONLY[\tGROUP]" per entry).
    const QStringList& Selected() const { return selected_; }
    void SetSelected(const QStringList& entries);
    bool UseTFields() const { return useTFields_; }
    void SetUseTFields(bool on);

    TwwGridPaintOptions& PaintOptions() { return paintOptions_; }
    platform::TColor TitleColor() const { return titleColor_; }
    void SetTitleColor(platform::TColor c);
    const platform::TFont& TitleFont() const { return titleFont_; }
    void SetTitleFont(const platform::TFont& f);
    void SetGridFont(const platform::TFont& f);
    platform::TColor Color() const { return color_; }
    void SetColor(platform::TColor c);
    bool HideAllLines() const { return hideAllLines_; }
    void SetHideAllLines(bool on);
    int TitleLines() const { return titleLines_; }
    void SetTitleLines(int lines);
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool on) { readOnly_ = on; }
    TwwGridLineColors& LineColors() { return lineColors_; }

    // The row parity flag: visible rows whose number mod 2 differs from it are tinted.
    bool RowParity() const { return rowParity_; }
    int SelectedColumn() const { return col_; }
    void SetSelectedColumn(int c);

    // Every key pressed in the grid, before the grid's own handling; set accepted to
    // keep the grid from handling it.
    std::function<void(QKeyEvent*)> OnKeyDown;
    // A double-click on a data row, once that row is the current one (not on the titles
    // or below the last row).
    std::function<void()> OnRowDoubleClick;

    // Paint the current cell as a focused grid does, focused or not (previews).
    void SetPaintFocused(bool on) {
        paintFocused_ = on;
        update();
    }

    // The cell layout as it is now.
    GridGeometry Geometry() const;
    // Paints the whole grid into an image of its size (what the screen shows).
    QImage Render();

    // Lays the columns out again from the fields (the data set opened, closed, changed
    // its fields or labels).
    void LayoutChanged();

    // Brackets around changes that would each lay the columns out.
    void BeginUpdate() { ++updateCount_; }
    void EndUpdate();

protected:
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void wheelEvent(QWheelEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;

private:
    class Link;
    friend class Link;
    friend class TwwColumn;

    void BuildColumns();
    void DataChanged();
    void FollowFirstRecord();
    void UpdateScrollBars();
    void MoveBy(int rows);
    int ColumnWidth(int c) const;
    QString ColumnTitle(int c) const;
    void PaintInto(QImage& buffer, const GridGeometry& g);
    // Cell backgrounds.
    void FixedBackground(QPainter& p, const QRect& r);
    void DataBackground(QPainter& p, const QRect& r, int row);

    std::unique_ptr<Link> link_;
    TwwGridPaintOptions paintOptions_;
    std::vector<int> map_;  // field index per column
    std::vector<std::unique_ptr<TwwColumn>> columns_;
    TwwColumn placeholder_{this, QString()};
    QStringList selected_;
    bool useTFields_ = true;
    bool readOnly_ = true;
    bool hideAllLines_ = true;
    int titleLines_ = 1;
    platform::TColor titleColor_ = platform::clBtnFace;
    platform::TColor color_ = platform::clWindow;
    platform::TFont titleFont_;
    platform::TFont gridFont_;
    TwwGridLineColors lineColors_;
    bool rowParity_ = false;
    int lastFirst_ = 0;
    int col_ = 0;
    int leftCol_ = 0;
    int updateCount_ = 0;
    bool layoutPending_ = false;
    QImage buffer_;
    QScrollBar* vbar_;
    QScrollBar* hbar_;
    bool settingBars_ = false;
    bool paintFocused_ = false;
};

}  // namespace lookup
