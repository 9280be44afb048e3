// The data grid: columns bound to the fields of a data source through its data link,
// the indicator column and title row, the layout that follows the data set, record-based
// scrolling, and the keys and mouse that move, insert and delete records. Its painting
// and editing are in SkinGridPaint.cpp and SkinGridEditor.cpp.

#include "skinctrls/SkinGrid.h"

#include <QFontMetrics>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>

#include "skinctrls/AccessibleGrid.h"

namespace skinctrls {

namespace {

// The indicator column is as wide as its glyph plus a small margin each side.
constexpr int kIndicatorWidth = 11;

}  // namespace

// ===== data link ==========================================================================

void TbsGridDataLink::ActiveChanged() {
    grid_->ContentChanged();
    grid_->LinkActive(Active());
}
void TbsGridDataLink::EditingChanged() { grid_->EditingChanged(); }
void TbsGridDataLink::DataSetChanged() {
    grid_->ContentChanged();
    grid_->DataChanged();
}
void TbsGridDataLink::DataSetScrolled(int) { grid_->DataChanged(); }
void TbsGridDataLink::LayoutChanged() {
    grid_->ContentChanged();
    grid_->LayoutChanged();
}
void TbsGridDataLink::RecordChanged(data::Field* field) { grid_->RecordChanged(field); }
void TbsGridDataLink::UpdateData() { grid_->UpdateData(); }

// ===== TbsSkinCustomDBGrid ================================================================

TbsSkinCustomDBGrid::TbsSkinCustomDBGrid(QWidget* parent) : TbsSkinCustomGrid(parent), link_(this), columns_(this) {
    titleFont_.name = QStringLiteral("MS Sans Serif");
    titleFont_.height = -11;
    SetOptions(kDefaultDBGridOptions);
}

TbsSkinCustomDBGrid::~TbsSkinCustomDBGrid() {
    // Let go of the bars and the source before the columns and the widget go.
    DetachBars();
    layingOut_ = true;
    link_.SetDataSource(nullptr);
}

void TbsSkinCustomDBGrid::SetDataSource(data::DataSource* source) {
    if (source == link_.dataSource()) return;
    HideEditor();
    link_.SetDataSource(source);
    UpdateLayout(true);
}

void TbsSkinCustomDBGrid::SetOptions(TbsDBGridOptions o) {
    options_ = o;
    TbsGridOptions g = GridOption(goDrawFocusSelected);
    if (HasOption(dgColLines)) g |= GridOption(goFixedVertLine) | GridOption(goVertLine);
    if (HasOption(dgRowLines)) g |= GridOption(goFixedHorzLine) | GridOption(goHorzLine);
    if (HasOption(dgColumnResize)) g |= GridOption(goColSizing);
    if (HasOption(dgEditing)) g |= GridOption(goEditing);
    if (HasOption(dgTabs)) g |= GridOption(goTabs);
    if (HasOption(dgRowSelect)) g |= GridOption(goRowSelect);
    if (HasOption(dgAlwaysShowEditor)) g |= GridOption(goAlwaysShowEditor);
    SetGridOptions(g);
    UpdateLayout(true);
}

void TbsSkinCustomDBGrid::SetDefaultDrawing(bool v) {
    defaultDrawing_ = v;
    update();
}

void TbsSkinCustomDBGrid::SetTitleFont(const platform::TFont& f) {
    titleFont_ = f;
    ContentChanged();
    UpdateLayout(false);
}

void TbsSkinCustomDBGrid::SetFitColumnsToContent(bool v) {
    if (fitColumns_ == v) return;
    fitColumns_ = v;
    if (!v)
        for (int i = 0; i < columns_.Count(); ++i) columns_.Items(i)->fitted_.reset();
    ContentChanged();
    UpdateLayout(false);
}

void TbsSkinCustomDBGrid::FitColumns() {
    const data::DataSet* ds = link_.Active() ? DataSet() : nullptr;
    const int rows = ds ? ds->RecordCount() : 0;
    const bool titles = HasOption(dgTitles);
    // The room a text needs round it: the cells' own offsets, or the skin's cell images
    // less their text rectangles; a little more, since text drawn on a finer screen
    // (unhinted) runs a pixel or two wider than it measures.
    const bool skinned = HasGridEntry();
    constexpr int kMargin = 8;
    const int cellMargin =
        skinned ? std::max(kMargin, gridSkin_.selectCell.Width() - gridSkin_.cellText.Width()) : kMargin;
    const int titleMargin =
        skinned ? std::max(kMargin, gridSkin_.fixedCell.Width() - gridSkin_.fixedCellText.Width()) : kMargin;
    for (int i = 0; i < columns_.Count(); ++i) {
        TbsColumn* c = columns_.Items(i);
        const data::Field* f = c->Field();
        if (!f || c->WidthSet()) {  // a width set is kept whatever the column shows
            c->fitted_.reset();
            continue;
        }
        const QFontMetrics cell(CellFont(c).ToQFont());
        // A long material list (tens of thousands of rows) is measured on an even sample:
        // the width is capped at the column's default anyway, and measuring every row on
        // every change of the list would cost more than the clerk waits for the list.
        constexpr int kMeasuredRows = 2000;
        const int step = rows > kMeasuredRows ? (rows + kMeasuredRows - 1) / kMeasuredRows : 1;
        int widest = 0;
        for (int r = 0; r < rows; r += step)
            widest = std::max(widest, cell.horizontalAdvance(link_.RowDisplayText(r, *f)));
        const int title = titles ? platform::TextWidth(TitleFontOf(c).ToQFont(), c->Title().Caption()) : 0;
        c->fitted_ = FittedColumnWidth(title, titleMargin, widest, cellMargin, c->DefaultWidth());
    }
}

TbsColumn* TbsSkinCustomDBGrid::ColumnAt(int gridCol) const {
    const int i = gridCol - IndicatorOffset();
    return i >= 0 && i < int(shown_.size()) ? shown_[size_t(i)] : nullptr;
}

void TbsSkinCustomDBGrid::SetSelectedIndex(int i) { MoveCurrent(i + IndicatorOffset(), row_); }

data::Field* TbsSkinCustomDBGrid::SelectedField() const {
    const TbsColumn* c = SelectedColumn();
    return c ? c->Field() : nullptr;
}

int TbsSkinCustomDBGrid::VisibleDataRowCount() const {
    return VisibleDataRows(ClientRect().height(), defaultRowHeight_, defaultRowHeight_, gridLineWidth_, TitleOffset());
}

platform::TFont TbsSkinCustomDBGrid::CellFont(const TbsColumn* column) const {
    if (HasGridEntry()) return gridSkin_.cellFont;
    return column ? column->Font() : font_;
}

platform::TFont TbsSkinCustomDBGrid::TitleFontOf(const TbsColumn* column) const {
    if (HasGridEntry()) return gridSkin_.fixedFont;
    return column ? column->Title().Font() : titleFont_;
}

bool TbsSkinCustomDBGrid::ShowSelection() const { return GridFocused() || HasOption(dgAlwaysShowSelection); }

// --- layout --------------------------------------------------------------------------------

void TbsSkinCustomDBGrid::UpdateLayout(bool columns) {
    if (layingOut_) return;
    layingOut_ = true;
    if (columns && columns_.DefaultState()) columns_.RebuildDefault(link_.Active() ? DataSet() : nullptr);
    if (fitColumns_ && (fitStale_ || columns)) {
        FitColumns();
        fitStale_ = false;
    }
    shown_.clear();
    for (int i = 0; i < columns_.Count(); ++i)
        if (columns_.Items(i)->Visible()) shown_.push_back(columns_.Items(i));

    fixedCols_ = IndicatorOffset();
    fixedRows_ = TitleOffset();
    colWidths_.clear();
    if (fixedCols_) colWidths_.push_back(kIndicatorWidth);
    for (const TbsColumn* c : shown_) colWidths_.push_back(c->Width());

    link_.SetBufferCount(VisibleDataRowCount());
    const int records = link_.Active() ? link_.RecordCount() : 0;
    rowHeights_.assign(size_t(fixedRows_ + std::max(1, records)), defaultRowHeight_);
    row_ = fixedRows_ + (records > 0 ? std::clamp(link_.ActiveRecord(), 0, records - 1) : 0);
    topRow_ = fixedRows_;
    col_ = std::clamp(col_, fixedCols_, std::max(fixedCols_, ColCount() - 1));
    leftCol_ = std::clamp(leftCol_, fixedCols_, std::max(fixedCols_, MaxFirst(Geometry().cols)));
    if (col_ < leftCol_) leftCol_ = col_;
    layingOut_ = false;
    PlaceEditor();
    UpdateScrollBars();
    update();
    AccessibleGridChanged(this, columns);
}

void TbsSkinCustomDBGrid::RowHeightsChanged() {
    // Another row height holds another number of rows.
    UpdateLayout(false);
}

void TbsSkinCustomDBGrid::ApplySkin() {
    TbsSkinCustomGrid::ApplySkin();
    ContentChanged();  // the skin's fonts
    UpdateLayout(true);
}

GridBarRange TbsSkinCustomDBGrid::VertBarRange() const {
    RecordScrollState s;
    const data::DataSet* ds = DataSet();
    s.active = link_.Active() && ds;
    if (s.active) {
        s.sequenced = ds->IsSequenced();
        s.recordCount = ds->RecordCount();
        s.recNo = ds->RecNo();
        s.bof = ds->Bof();
        s.eof = ds->Eof();
        s.rowCount = RowCount();
        s.visibleRows = VisibleDataRowCount();
    }
    return RecordBarRange(s);
}

// --- data link operations ------------------------------------------------------------------

void TbsSkinCustomDBGrid::LinkActive(bool active) {
    if (!active) HideEditor();
    shownRecord_ = -1;
    UpdateLayout(true);
}

void TbsSkinCustomDBGrid::DataChanged() {
    const int record = link_.Active() ? link_.FirstRecord() + link_.ActiveRecord() : -1;
    if (EditorMode()) {
        // Another record: the editor goes (or follows with the always-shown editor);
        // the same record keeps what is being typed.
        if (record != shownRecord_ && !HasGridOption(goAlwaysShowEditor)) {
            HideEditor();
        } else if (!editorModified_) {
            editor_->setText(EditText());
        }
    }
    shownRecord_ = record;
    UpdateLayout(false);
}

void TbsSkinCustomDBGrid::EditingChanged() { update(); }

void TbsSkinCustomDBGrid::RecordChanged(data::Field* field) {
    if (EditorMode() && !editorModified_ && (!field || field == SelectedField())) editor_->setText(EditText());
    update();
}

void TbsSkinCustomDBGrid::UpdateData() {
    // Before a post: what the editor holds goes into its field (a refusal stops the post).
    if (!EditorMode() || !editorModified_) return;
    CommitEditText(editor_->text());
}

void TbsSkinCustomDBGrid::LayoutChanged() { UpdateLayout(true); }

// --- moving --------------------------------------------------------------------------------

void TbsSkinCustomDBGrid::MoveRecord(int by) {
    data::DataSet* ds = DataSet();
    if (!ds || !link_.Active() || by == 0) return;
    Guard([&] { ds->MoveBy(by); });
}

void TbsSkinCustomDBGrid::MoveCurrent(int col, int row) {
    if (row != row_ && link_.Active()) {
        MoveRecord(row - row_);
        row = row_;
    }
    col = std::clamp(col, fixedCols_, std::max(fixedCols_, ColCount() - 1));
    if (col == col_) {
        // The current column may be scrolled away: bring it back.
        ScrollColumnIntoView(col);
        UpdateScrollBars();
        update();
        return;
    }
    if (!WritePendingEdit()) return;
    Fire(OnColExit, this);
    col_ = col;
    ScrollColumnIntoView(col);
    if (EditorMode()) {
        if (HasGridOption(goAlwaysShowEditor) && CanEditShow())
            ShowEditor();
        else
            HideEditor();
    }
    Fire(OnColEnter, this);
    UpdateScrollBars();
    update();
    AccessibleGridChanged(this);
}

void TbsSkinCustomDBGrid::KeyUp() {
    data::DataSet* ds = DataSet();
    if (!ds || !link_.Active()) return;
    // Leaving an untouched new row drops it and stays where it was.
    if (UntouchedNewRow()) {
        HideEditor();
        ds->Cancel();
        return;
    }
    MoveRecord(-1);
}

void TbsSkinCustomDBGrid::KeyDown() {
    data::DataSet* ds = DataSet();
    if (!ds || !link_.Active()) return;
    if (UntouchedNewRow()) return;
    if (!Guard([&] { ds->Next(); })) return;
    // Past the last row a new one is appended where editing is allowed.
    if (ds->Eof() && HasOption(dgEditing) && !readOnly_ && ds->CanModify()) Guard([&] { ds->Append(); });
}

void TbsSkinCustomDBGrid::InsertRecord() {
    data::DataSet* ds = DataSet();
    if (!ds || !link_.Active() || !HasOption(dgEditing) || readOnly_ || !ds->CanModify()) return;
    // The typed text goes into its record, which the insert then posts.
    if (!WritePendingEdit()) return;
    HideEditor();
    Guard([&] { ds->Insert(); });
}

void TbsSkinCustomDBGrid::keyPressEvent(QKeyEvent* e) {
    if (LeaveOnCtrlTab(e)) return;
    data::DataSet* ds = DataSet();
    const bool ctrl = e->modifiers() & Qt::ControlModifier;
    const bool active = ds && link_.Active();
    switch (e->key()) {
    case Qt::Key_Up:
        if (!active) break;
        if (ctrl) MoveRecord(-link_.ActiveRecord());
        else KeyUp();
        return;
    case Qt::Key_Down:
        if (!active) break;
        if (ctrl) MoveRecord(link_.RecordCount() - 1 - link_.ActiveRecord());
        else KeyDown();
        return;
    case Qt::Key_PageUp:
        if (!active) break;
        MoveRecord(ctrl ? -link_.ActiveRecord() : -VisibleDataRowCount());
        return;
    case Qt::Key_PageDown:
        if (!active) break;
        MoveRecord(ctrl ? link_.RecordCount() - 1 - link_.ActiveRecord() : VisibleDataRowCount());
        return;
    case Qt::Key_Home:
    case Qt::Key_End:
        if (ctrl && active) {
            Guard([&] { e->key() == Qt::Key_Home ? ds->First() : ds->Last(); });
            return;
        }
        MoveCurrent(e->key() == Qt::Key_Home ? fixedCols_ : ColCount() - 1, row_);
        return;
    case Qt::Key_Insert:
        if (e->modifiers() == Qt::NoModifier) {
            InsertRecord();
            return;
        }
        break;
    case Qt::Key_Delete:
        if (ctrl) {
            DeleteCurrent();
            return;
        }
        break;
    case Qt::Key_Escape:
        if (active && data::IsEditState(ds->State())) {
            PostOrCancel(false);
            return;
        }
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (active && data::IsEditState(ds->State())) {
            PostOrCancel(true);
            return;
        }
        if (CanEditShow()) {
            ShowEditor();
            return;
        }
        break;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        if (!HasOption(dgTabs)) break;
        {
            const bool back = e->key() == Qt::Key_Backtab || (e->modifiers() & Qt::ShiftModifier);
            // Past the last column Tab goes on to the next record's first column.
            if (!back && col_ >= ColCount() - 1 && active) {
                if (!Guard([&] { ds->Next(); }) || ds->Eof()) return;
                MoveCurrent(fixedCols_, row_);
            } else if (back && col_ <= fixedCols_ && active) {
                if (!Guard([&] { ds->Prior(); }) || ds->Bof()) return;
                MoveCurrent(ColCount() - 1, row_);
            } else {
                MoveCurrent(back ? col_ - 1 : col_ + 1, row_);
            }
        }
        return;
    default: break;
    }
    TbsSkinCustomGrid::keyPressEvent(e);
}

void TbsSkinCustomDBGrid::wheelEvent(QWheelEvent* e) {
    data::DataSet* ds = DataSet();
    const int dy = e->angleDelta().y();
    if (!ds || !link_.Active() || dy == 0) {
        TbsSkinCustomGrid::wheelEvent(e);
        return;
    }
    // Away from the user: the prior record; toward: the next (with or without
    // MouseWheelSupport: the current row and the data set move together either way).
    Guard([&] { dy > 0 ? ds->Prior() : ds->Next(); });
    e->accept();
}

void TbsSkinCustomDBGrid::mousePressEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton) return;
    const QPoint pos = e->position().toPoint();
    if (SizingColumnAt(pos) >= 0) {
        TbsSkinCustomGrid::mousePressEvent(e);
        return;
    }
    if (focusPolicy() != Qt::NoFocus && !GridFocused()) setFocus(Qt::MouseFocusReason);
    const QPoint cell = MouseCoord(pos);
    if (cell.x() < 0) return;
    if (cell.y() < fixedRows_) {
        if (TbsColumn* c = ColumnAt(cell.x()); c && OnTitleClick) OnTitleClick(this, c);
        return;
    }
    if (!link_.Active() || cell.y() - fixedRows_ >= link_.RecordCount()) return;
    const bool sameCell = cell.x() == col_ && cell.y() == row_;
    if (sameCell && !EditorMode() && CanEditShow()) {
        ShowEditor();
    } else {
        MoveCurrent(cell.x() < fixedCols_ ? col_ : cell.x(), cell.y());
    }
    if (TbsColumn* c = ColumnAt(cell.x()); c && OnCellClick) OnCellClick(this, c);
}

void TbsSkinCustomDBGrid::resizeEvent(QResizeEvent* e) {
    TbsSkinControl::resizeEvent(e);
    // A new height holds another number of rows: the link's buffer follows.
    UpdateLayout(false);
}

void TbsSkinCustomDBGrid::ColumnSized(int col, int width) {
    if (TbsColumn* c = ColumnAt(col)) c->SetWidth(width);
}

void TbsSkinCustomDBGrid::VertButton(int direction) {
    FocusForScroll();
    if (!link_.Active()) return;
    // Up (the bar's raising button): one line down; down: one line up.
    if (direction > 0)
        MoveRecord(link_.RecordCount() - link_.ActiveRecord());
    else
        MoveRecord(-(link_.ActiveRecord() + 1));
}

void TbsSkinCustomDBGrid::VertLastChange() {
    FocusForScroll();
    data::DataSet* ds = DataSet();
    if (!vBar_ || !ds || !link_.Active()) return;
    const RecordMove m = RecordMoveForBar(ds->IsSequenced(), ds->RecordCount(), vBar_->Position());
    Guard([&] {
        switch (m.kind) {
        case RecordMove::First: ds->First(); break;
        case RecordMove::Last: ds->Last(); break;
        case RecordMove::RecNo: ds->SetRecNo(m.recNo); break;
        case RecordMove::PageUp: ds->MoveBy(-VisibleDataRowCount()); break;
        case RecordMove::PageDown: ds->MoveBy(VisibleDataRowCount()); break;
        case RecordMove::None: break;
        }
    });
}

TbsGridWithBars CreateGridWithBars(QWidget* area, skin::TbsSkinData* skinData, data::DataSource* source) {
    TbsGridWithBars g{};
    g.hbar = new TbsSkinScrollBar(area);
    g.hbar->SetAlign(platform::alBottom);
    g.hbar->SetSkinData(skinData);
    g.vbar = new TbsSkinScrollBar(area);
    g.vbar->SetKind(sbVertical);
    g.vbar->SetSkinDataName(QStringLiteral("vscrollbar"));
    g.vbar->SetBounds(0, 0, 20, 100);
    g.vbar->SetAlign(platform::alRight);
    g.vbar->SetSkinData(skinData);
    g.grid = new TbsSkinDBGrid(area);
    g.grid->SetHScrollBar(g.hbar);
    g.grid->SetVScrollBar(g.vbar);
    g.grid->SetDataSource(source);
    g.grid->SetAlign(platform::alClient);
    g.grid->SetSkinData(skinData);
    return g;
}

}  // namespace skinctrls
