#pragma once
// The skinned data grid: a grid control painted from the skin's "grid" entry (or a
// plain default look without one), bound to a data source of the data-set framework,
// with a record indicator column, a title row, in-place editing through a real line
// edit (input methods work), and two external skinned scroll bars it drives itself.
//
//   TbsSkinCustomGrid    rows, columns, fixed rows/cols, cell painting, selection,
//                        scrolling by cells (or by pixels for a single column), the
//                        in-place editor and the external bars
//   TbsSkinCustomDBGrid  columns bound to fields, the data link, the indicator column,
//                        record-based vertical scrolling, editing and deleting rows
//   TbsSkinDBGrid        the one the windows use
//
// Sources: SkinGrid.cpp (cells, scrolling, bars, keys and mouse of the plain grid),
// SkinGridPaint.cpp (painting of both), SkinGridEditor.cpp (the in-place editor and
// editing rows), SkinDBGrid.cpp (the data grid: link, layout, record moves),
// GridColumns.h / .cpp (columns), GridGeometry.h (the pure cell geometry).
//
// Using it (the main window's two grids):
//
//   auto* grid = new skinctrls::TbsSkinDBGrid(groupBox);   // or CreateGridWithBars below
//   grid->SetHScrollBar(hbar);                 // external bars, aligned alBottom /
//   grid->SetVScrollBar(vbar);                 //   alRight in the same parent; hidden
//   grid->SetDefaultCellHeight(20);            //   until the grid needs them
//   grid->SetGridLineColor(platform::clWindowText);
//   grid->SetMouseWheelSupport(false);
//   grid->SetTitleFont({"MS Sans Serif", -11});
//   grid->SetSkinMessage(message);             // optional: skinned delete confirmation
//   grid->SetDataSource(&orderSource);         // a data::DataSource over a MemTable
//   grid->SetAlign(platform::alClient);
//   grid->SetSkinData(skinData);               // SkinDataName is "grid" already
//
// Rows are 22 pixels high with the carried skin (the height of its selectcellrect) and
// DefaultCellHeight without one. Default columns: one per field of the data set,
// titled with the field's display label, rebuilt whenever the fields change. With the
// default Options rows can be edited in place (F2, typing, or a click on the current
// cell; Enter posts, Escape cancels), inserted (Insert, or Down past the last row) and
// deleted (Ctrl+Delete, after "Delete record?"); a new row left untouched is dropped.

#include <QLineEdit>
#include <QPointer>

#include <functional>
#include <optional>
#include <vector>

#include "data/DataSource.h"
#include "skinctrls/GridColumns.h"
#include "skinctrls/GridGeometry.h"
#include "skinctrls/SkinControl.h"
#include "skinctrls/SkinMessage.h"
#include "skinctrls/SkinScrollBar.h"

namespace skinctrls {

// --- the plain grid ---------------------------------------------------------------------

enum TbsGridOption {
    goFixedVertLine,
    goFixedHorzLine,
    goVertLine,
    goHorzLine,
    goDrawFocusSelected,
    goColSizing,
    goEditing,
    goTabs,
    goRowSelect,
    goAlwaysShowEditor,
};
using TbsGridOptions = unsigned;  // bit n for option n
inline constexpr TbsGridOptions GridOption(TbsGridOption o) { return 1u << unsigned(o); }

enum TbsGridBorderStyle { bsNone, bsSingle };

// How a cell is drawn.
struct TbsGridDrawState {
    bool fixed = false;
    bool focused = false;   // the grid has the focus and the cell is the current one
    bool selected = false;  // inside the selection
};

class TbsSkinCustomGrid : public TbsSkinControl {
    Q_OBJECT

public:
    explicit TbsSkinCustomGrid(QWidget* parent = nullptr);
    ~TbsSkinCustomGrid() override;

    // External bars: shown, hidden, ranged and listened to by the grid. Not owned.
    TbsSkinScrollBar* HScrollBar() const { return hBar_; }
    virtual void SetHScrollBar(TbsSkinScrollBar* bar);
    TbsSkinScrollBar* VScrollBar() const { return vBar_; }
    virtual void SetVScrollBar(TbsSkinScrollBar* bar);

    platform::TColor GridLineColor() const { return gridLineColor_; }
    void SetGridLineColor(platform::TColor c);
    int DefaultCellHeight() const { return defaultCellHeight_; }
    void SetDefaultCellHeight(int h);
    platform::TColor FixedColor() const { return fixedColor_; }
    void SetFixedColor(platform::TColor c);
    platform::TColor Color() const { return color_; }
    void SetColor(platform::TColor c);
    const platform::TFont& Font() const { return font_; }
    void SetFont(const platform::TFont& f);
    TbsGridBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TbsGridBorderStyle b);
    TbsGridOptions GridOptions() const { return gridOptions_; }
    void SetGridOptions(TbsGridOptions o);
    bool HasGridOption(TbsGridOption o) const { return (gridOptions_ & GridOption(o)) != 0; }

    // Cells.
    int ColCount() const { return int(colWidths_.size()); }
    void SetColCount(int n);
    int RowCount() const { return int(rowHeights_.size()); }
    void SetRowCount(int n);
    int FixedCols() const { return fixedCols_; }
    void SetFixedCols(int n);
    int FixedRows() const { return fixedRows_; }
    void SetFixedRows(int n);
    int DefaultColWidth() const { return defaultColWidth_; }
    void SetDefaultColWidth(int w);
    // 20 without a skin entry (DefaultCellHeight); the selectcellrect's height with one.
    int DefaultRowHeight() const { return defaultRowHeight_; }
    void SetDefaultRowHeight(int h);
    int ColWidths(int col) const;
    void SetColWidths(int col, int w);
    int RowHeights(int row) const;
    int GridLineWidth() const { return gridLineWidth_; }

    // Scroll state and the current cell.
    int LeftCol() const { return leftCol_; }
    void SetLeftCol(int col);
    int TopRow() const { return topRow_; }
    void SetTopRow(int row);
    int Col() const { return col_; }
    void SetCol(int col);
    int Row() const { return row_; }
    void SetRow(int row);
    int HorzOffset() const { return hOffset_; }

    // Geometry in the client area (the border excluded) and hit tests in control
    // coordinates.
    QRect ClientRect() const;
    GridGeometry Geometry() const;
    QRect CellRect(int col, int row) const;  // control coordinates
    QPoint MouseCoord(QPoint p) const;       // (-1, -1) off the cells
    int VisibleColCount() const;
    int VisibleRowCount() const;

    // The in-place editor (null until first shown).
    QLineEdit* InplaceEditor() const { return editor_; }
    bool EditorMode() const { return editor_ && !editor_->isHidden(); }
    void SetEditorMode(bool on);

    // Scrolls to a horizontal bar position (what the bar's events do).
    void ScrollToHorzPosition(int position);

    void LoadSkinEntry() override;
    void DrawDefault(QImage& bmp) override;
    void DrawSkinned(QImage& bmp) override;
    void ApplySkin() override;

    // --- virtual operations added here, in slot order ---------------------------------
    virtual void SyncScrollRange();
    // The column border under p that sizes a column (-1 for none).
    virtual int SizingColumnAt(QPoint p) const;
    virtual QLineEdit* CreateEditor();
    virtual bool CanEditShow() const;
    virtual void PaintCell(QPainter& p, int col, int row, const QRect& rect, const TbsGridDrawState& state);
    virtual bool CanEditAcceptKey(const QString& text) const;

protected:
    // What the grid entry gives, with the substitutions of empty rectangles; valid when
    // HasGridEntry().
    struct GridSkin {
        QImage picture;
        skin::Rect fixedCell, selectCell, focusCell, fixedCellText, cellText;
        int fixedLeft = 0, fixedRight = 0, cellLeft = 0, cellRight = 0;
        platform::TColor linesColor = 0, bgColor = 0;
        platform::TFont cellFont, fixedFont;
        platform::TColor selectFontColor = 0, focusFontColor = 0;
    };
    bool HasGridEntry() const { return binding_.HasEntry(); }

    // The skin images of a cell: the fixed image, or the select / focus image, composed
    // to the cell's width and drawn at its top-left corner.
    void DrawFixedImage(QPainter& p, const QRect& cell) const;
    void DrawCellImage(QPainter& p, const QRect& cell, bool focus) const;
    // A text rectangle of the skin (fixedcelltextrect / celltextrect) for a cell: moved to
    // the cell and widened by the cell's width less the image's.
    QRect SkinTextRect(const QRect& cell, const skin::Rect& textRect, const skin::Rect& image) const;
    // Text placed as the grid places it: filled with fill, at dx / dy by alignment.
    static void DrawCellText(QPainter& p, const QRect& rect, int dx, int dy, skin::Alignment align, const QString& text,
                             platform::TColor fill);

    // Moves the current cell (clamped to the scrolled cells), scrolling it into view.
    virtual void MoveCurrent(int col, int row);
    // Keeps the current column in view.
    void ScrollColumnIntoView(int col);
    // The editor over the current cell: placed, filled and focused; or hidden.
    void ShowEditor();
    void HideEditor();
    void PlaceEditor();
    // The editor's text for the current cell and the text it commits.
    virtual QString EditText() const { return {}; }
    virtual int EditMaxLength() const { return 32767; }
    virtual void CommitEditText(const QString& text) { (void)text; }
    // Writes what was typed into the editor, if anything; false when it was refused (the
    // editor keeps the text). Every way of leaving a typed cell goes through here.
    virtual bool WritePendingEdit();
    virtual void EditorEdited() {}
    // Keys the editor passes on to the grid (cell moves, Enter, Escape).
    virtual bool EditorKey(QKeyEvent* e);
    // Brings the grid's row heights to the default height.
    void ResetRowHeights();
    virtual void RowHeightsChanged();
    // A run of SyncScrollRange that is not re-entered; bar visibility changes re-align
    // the parent and run it again.
    void UpdateScrollBars();

    void resizeEvent(QResizeEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void hideEvent(QHideEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    // Ctrl+Tab and Ctrl+Shift+Tab take the keyboard to the next or previous control of
    // the window (Tab alone moves between the cells); true when e was one of them.
    bool LeaveOnCtrlTab(QKeyEvent* e);
    void inputMethodEvent(QInputMethodEvent* e) override;
    QVariant inputMethodQuery(Qt::InputMethodQuery q) const override;
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;
    bool focusNextPrevChild(bool next) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

    // Bar events.
    virtual void HorzButton(int direction);
    virtual void HorzLastChange();
    virtual void VertButton(int direction);
    virtual void VertLastChange();
    void FocusForScroll();

    // The vertical bar's range: by rows here, by records in the data grid.
    virtual GridBarRange VertBarRange() const;
    // The mouse sized a column.
    virtual void ColumnSized(int col, int width) { SetColWidths(col, width); }
    // The focus left the grid and its editor.
    virtual void GridExit() {}
    bool GridFocused() const;
    // Lets go of the bars (their events no longer reach the grid).
    void DetachBars();
    // Whether the current cell shows as selected now.
    virtual bool ShowSelection() const { return true; }

    // Paints every cell area into bmp (both looks).
    void PaintGrid(QImage& bmp);
    platform::TColor LineColor() const;

    QPointer<TbsSkinScrollBar> hBar_, vBar_;
    platform::TColor gridLineColor_ = platform::clWindowText;
    int defaultCellHeight_ = 20;
    platform::TColor fixedColor_ = platform::clBtnFace;
    platform::TColor color_ = platform::clWindow;
    platform::TFont font_;
    TbsGridBorderStyle borderStyle_ = bsSingle;
    TbsGridOptions gridOptions_;

    std::vector<int> colWidths_, rowHeights_;
    int fixedCols_ = 1, fixedRows_ = 1;
    int defaultColWidth_ = 64;
    int defaultRowHeight_ = 20;
    int gridLineWidth_ = 1;
    int leftCol_ = 1, topRow_ = 1, col_ = 1, row_ = 1;
    int hOffset_ = 0;

    GridSkin gridSkin_;
    QLineEdit* editor_ = nullptr;
    bool editorModified_ = false;

    // Column sizing by mouse.
    int sizingCol_ = -1;
    int sizingStartX_ = 0, sizingStartWidth_ = 0;

    bool syncingBars_ = false;
    bool barsDirty_ = false;
};

// --- the data grid ---------------------------------------------------------------------

enum TbsDBGridOption {
    dgEditing,
    dgAlwaysShowEditor,
    dgTitles,
    dgIndicator,
    dgColumnResize,
    dgColLines,
    dgRowLines,
    dgTabs,
    dgRowSelect,
    dgAlwaysShowSelection,
    dgConfirmDelete,
    dgCancelOnExit,
};
using TbsDBGridOptions = unsigned;
inline constexpr TbsDBGridOptions DBGridOption(TbsDBGridOption o) { return 1u << unsigned(o); }
inline constexpr TbsDBGridOptions kDefaultDBGridOptions =
    DBGridOption(dgEditing) | DBGridOption(dgTitles) | DBGridOption(dgIndicator) | DBGridOption(dgColumnResize) |
    DBGridOption(dgColLines) | DBGridOption(dgRowLines) | DBGridOption(dgTabs) | DBGridOption(dgConfirmDelete) |
    DBGridOption(dgCancelOnExit);

class TbsGridDataLink : public data::DataLink {
public:
    explicit TbsGridDataLink(TbsSkinCustomDBGrid* grid) : grid_(grid) {}

protected:
    void ActiveChanged() override;
    void EditingChanged() override;
    void DataSetChanged() override;
    void DataSetScrolled(int distance) override;
    void LayoutChanged() override;
    void RecordChanged(data::Field* field) override;
    void UpdateData() override;

private:
    TbsSkinCustomDBGrid* grid_;
};

// The indicator glyphs (6 x 11, black, or another ink, on white).
enum class TbsIndicator { Arrow, Edit, Insert };
QImage IndicatorGlyph(TbsIndicator kind, QRgb ink = qRgb(0, 0, 0));

class TbsSkinCustomDBGrid : public TbsSkinCustomGrid {
    Q_OBJECT

public:
    explicit TbsSkinCustomDBGrid(QWidget* parent = nullptr);
    ~TbsSkinCustomDBGrid() override;

    data::DataSource* DataSource() const { return link_.dataSource(); }
    void SetDataSource(data::DataSource* source);
    data::DataSet* DataSet() const { return link_.dataSet(); }
    const TbsGridDataLink& DataLink() const { return link_; }

    TbsDBGridColumns& Columns() { return columns_; }
    TbsDBGridOptions Options() const { return options_; }
    void SetOptions(TbsDBGridOptions o);
    bool HasOption(TbsDBGridOption o) const { return (options_ & DBGridOption(o)) != 0; }
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool v) { readOnly_ = v; }
    bool DefaultDrawing() const { return defaultDrawing_; }
    void SetDefaultDrawing(bool v);
    const platform::TFont& TitleFont() const { return titleFont_; }
    void SetTitleFont(const platform::TFont& f);
    bool MouseWheelSupport() const { return mouseWheelSupport_; }
    void SetMouseWheelSupport(bool v) { mouseWheelSupport_ = v; }
    TbsSkinMessage* SkinMessage() const { return skinMessage_; }
    void SetSkinMessage(TbsSkinMessage* m) { skinMessage_ = m; }
    QString PickListBoxSkinDataName() const { return pickListBoxSkinDataName_; }
    void SetPickListBoxSkinDataName(const QString& n) { pickListBoxSkinDataName_ = n; }
    // Columns sized to what they show: a column whose width was never set is as wide as
    // its title or its widest cell text over every row (at most its default width),
    // measured again whenever the rows, the fields or the fonts change. Off by default.
    bool FitColumnsToContent() const { return fitColumns_; }
    void SetFitColumnsToContent(bool v);

    // The shown column of a grid column (null for the indicator), the selected one, and
    // the grid column of a shown column index.
    TbsColumn* ColumnAt(int gridCol) const;
    TbsColumn* SelectedColumn() const { return ColumnAt(col_); }
    int SelectedIndex() const { return col_ - IndicatorOffset(); }
    void SetSelectedIndex(int i);
    data::Field* SelectedField() const;
    int IndicatorOffset() const { return HasOption(dgIndicator) ? 1 : 0; }
    int TitleOffset() const { return HasOption(dgTitles) ? 1 : 0; }
    // Fully visible data rows (the data link's buffer).
    int VisibleDataRowCount() const;

    // Deletes the current record after the confirmation the options ask for; true when
    // it was deleted.
    bool DeleteCurrent();

    // Events: (sender, column) or (sender) as the name says.
    std::function<void(QObject*, TbsColumn*)> OnCellClick, OnTitleClick;
    TNotifyEvent OnColEnter, OnColExit;
    // After a data cell is drawn: painter, cell rectangle, field (OnDrawDataCell, default
    // columns) or column (OnDrawColumnCell).
    std::function<void(QObject*, QPainter&, const QRect&, data::Field*, const TbsGridDrawState&)> OnDrawDataCell;
    std::function<void(QObject*, QPainter&, const QRect&, TbsColumn*, const TbsGridDrawState&)> OnDrawColumnCell;

    void ApplySkin() override;
    bool CanEditShow() const override;
    void PaintCell(QPainter& p, int col, int row, const QRect& rect, const TbsGridDrawState& state) override;

    // --- data-link operations, in slot order ------------------------------------------
    virtual void LinkActive(bool active);
    virtual void DataChanged();
    virtual void EditingChanged();
    virtual void RecordChanged(data::Field* field);
    virtual void UpdateData();
    virtual void LayoutChanged();

protected:
    friend class TbsGridDataLink;
    friend class TbsColumn;
    friend class TbsColumnTitle;
    friend class TbsDBGridColumns;

    // Rebuilds default columns, the grid's columns and rows, the link buffer and the bars.
    void UpdateLayout(bool columns);
    // The rows, fields or fonts changed: columns fitted to their content are measured
    // again at the next layout.
    void ContentChanged() { fitStale_ = true; }
    // Measures the fitted width of every column (FitColumnsToContent).
    void FitColumns();
    bool CanEditModify() const;
    void MoveCurrent(int col, int row) override;
    QString EditText() const override;
    int EditMaxLength() const override;
    void CommitEditText(const QString& text) override;
    bool WritePendingEdit() override;
    void EditorEdited() override;
    bool EditorKey(QKeyEvent* e) override;
    // Runs a data-set action; a data error is shown as a message and ends the action.
    template <class F>
    bool Guard(F&& f);
    void ShowError(const QString& text);
    // Keyboard actions.
    void MoveRecord(int by);
    void KeyDown();
    void KeyUp();
    void InsertRecord();
    void PostOrCancel(bool post);
    // An inserted row nobody typed into (dropped when the row or the grid is left).
    bool UntouchedNewRow() const;

    void mousePressEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void wheelEvent(QWheelEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;

    void VertButton(int direction) override;
    void VertLastChange() override;
    GridBarRange VertBarRange() const override;
    void ColumnSized(int col, int width) override;
    void RowHeightsChanged() override;
    void GridExit() override;
    bool ShowSelection() const override;

    void PaintDefaultCell(QPainter& p, int col, int row, const QRect& rect, const TbsGridDrawState& state);
    void PaintSkinnedCell(QPainter& p, int col, int row, const QRect& rect, const TbsGridDrawState& state);
    // The indicator glyph of a data row, or none.
    std::optional<TbsIndicator> RowIndicator(int row) const;
    // The field's display text in a data row, read without moving the current record.
    QString CellText(const TbsColumn* column, int row) const;
    platform::TFont CellFont(const TbsColumn* column) const;
    platform::TFont TitleFontOf(const TbsColumn* column) const;
    // The data set's current row as last shown (to tell a move from an update).
    int shownRecord_ = -1;

    TbsGridDataLink link_;
    TbsDBGridColumns columns_;
    std::vector<TbsColumn*> shown_;  // columns shown, in order
    TbsDBGridOptions options_ = kDefaultDBGridOptions;
    bool readOnly_ = false;
    bool defaultDrawing_ = true;
    platform::TFont titleFont_;
    bool mouseWheelSupport_ = false;
    QPointer<TbsSkinMessage> skinMessage_;
    QString pickListBoxSkinDataName_ = QStringLiteral("listbox");
    bool layingOut_ = false;
    bool fitColumns_ = false;
    bool fitStale_ = true;
    bool exitRefused_ = false;  // the message of a refused edit is on its way
};

template <class F>
bool TbsSkinCustomDBGrid::Guard(F&& f) {
    try {
        f();
        return true;
    } catch (const data::DataError& e) {
        ShowError(QString::fromUtf8(e.what()));
        return false;
    }
}

class TbsSkinDBGrid : public TbsSkinCustomDBGrid {
    Q_OBJECT

public:
    explicit TbsSkinDBGrid(QWidget* parent = nullptr) : TbsSkinCustomDBGrid(parent) {}
};

// The usual way to hold a grid: in area, aligned alClient, with a horizontal bar aligned
// alBottom and a vertical one ("vscrollbar") aligned alRight, bound to source, every part
// on skinData (set last).
struct TbsGridWithBars {
    TbsSkinDBGrid* grid;
    TbsSkinScrollBar* hbar;
    TbsSkinScrollBar* vbar;
};
TbsGridWithBars CreateGridWithBars(QWidget* area, skin::TbsSkinData* skinData, data::DataSource* source);

}  // namespace skinctrls
