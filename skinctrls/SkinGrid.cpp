// The plain grid: cells and their sizes, fixed rows and columns, the current cell,
// scrolling by cells (or by pixels for a single column), the external bars, the skin
// entry, and the keys and mouse. Painting is in SkinGridPaint.cpp, the in-place editor
// in SkinGridEditor.cpp, the data grid in SkinDBGrid.cpp.

#include "skinctrls/SkinGrid.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>

#include "skinctrls/Paint.h"

namespace skinctrls {

// ===== TbsSkinCustomGrid ==================================================================

TbsSkinCustomGrid::TbsSkinCustomGrid(QWidget* parent) : TbsSkinControl(parent) {
    binding_.SetName(QStringLiteral("grid"));
    font_.name = QStringLiteral("MS Sans Serif");
    font_.height = -11;
    gridOptions_ = GridOption(goFixedVertLine) | GridOption(goFixedHorzLine) | GridOption(goVertLine) |
                   GridOption(goHorzLine);
    colWidths_.assign(5, defaultColWidth_);
    rowHeights_.assign(5, defaultRowHeight_);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_InputMethodEnabled);
    setMouseTracking(true);
    resize(320, 120);
}

TbsSkinCustomGrid::~TbsSkinCustomGrid() { DetachBars(); }

namespace {
// A bar the grid no longer drives: its events stop reaching the grid.
void ReleaseBar(TbsSkinScrollBar* bar) {
    if (bar) bar->OnLastChange = bar->OnUpButtonClick = bar->OnDownButtonClick = nullptr;
}
}  // namespace

void TbsSkinCustomGrid::DetachBars() {
    // The bars may outlive the grid in their parent: they must not call back into it.
    ReleaseBar(hBar_);
    ReleaseBar(vBar_);
    hBar_ = nullptr;
    vBar_ = nullptr;
}

// --- properties ----------------------------------------------------------------------------

void TbsSkinCustomGrid::SetHScrollBar(TbsSkinScrollBar* bar) {
    if (hBar_ == bar) return;
    ReleaseBar(hBar_);
    hBar_ = bar;
    if (bar) {
        bar->setEnabled(true);
        bar->hide();
        bar->OnLastChange = [this](QObject*) { HorzLastChange(); };
        bar->OnUpButtonClick = [this](QObject*) { HorzButton(1); };
        bar->OnDownButtonClick = [this](QObject*) { HorzButton(-1); };
    }
    UpdateScrollBars();
}

void TbsSkinCustomGrid::SetVScrollBar(TbsSkinScrollBar* bar) {
    if (vBar_ == bar) return;
    ReleaseBar(vBar_);
    vBar_ = bar;
    if (bar) {
        bar->setEnabled(true);
        bar->hide();
        bar->OnLastChange = [this](QObject*) { VertLastChange(); };
        bar->OnUpButtonClick = [this](QObject*) { VertButton(1); };
        bar->OnDownButtonClick = [this](QObject*) { VertButton(-1); };
    }
    UpdateScrollBars();
}

void TbsSkinCustomGrid::SetGridLineColor(platform::TColor c) {
    gridLineColor_ = c;
    if (!HasGridEntry()) update();
}

void TbsSkinCustomGrid::SetDefaultCellHeight(int h) {
    defaultCellHeight_ = h;
    if (!HasGridEntry()) SetDefaultRowHeight(h);
}

void TbsSkinCustomGrid::SetFixedColor(platform::TColor c) {
    fixedColor_ = c;
    update();
}

void TbsSkinCustomGrid::SetColor(platform::TColor c) {
    color_ = c;
    update();
}

void TbsSkinCustomGrid::SetFont(const platform::TFont& f) {
    font_ = f;
    update();
}

void TbsSkinCustomGrid::SetBorderStyle(TbsGridBorderStyle b) {
    borderStyle_ = b;
    UpdateScrollBars();
    update();
}

void TbsSkinCustomGrid::SetGridOptions(TbsGridOptions o) {
    gridOptions_ = o;
    if (!HasGridOption(goEditing)) HideEditor();
    update();
}

namespace {
// New cell count of one axis: the current and first shown cells stay on scrolled cells.
void ResizeAxis(std::vector<int>& sizes, int n, int fill, int fixed, int& current, int& first) {
    n = std::max(0, n);
    sizes.resize(size_t(n), fill);
    current = std::clamp(current, fixed, std::max(fixed, n - 1));
    first = std::clamp(first, fixed, std::max(fixed, n - 1));
}
}  // namespace

void TbsSkinCustomGrid::SetColCount(int n) {
    ResizeAxis(colWidths_, n, defaultColWidth_, fixedCols_, col_, leftCol_);
    UpdateScrollBars();
    update();
}

void TbsSkinCustomGrid::SetRowCount(int n) {
    ResizeAxis(rowHeights_, n, defaultRowHeight_, fixedRows_, row_, topRow_);
    UpdateScrollBars();
    update();
}

void TbsSkinCustomGrid::SetFixedCols(int n) {
    fixedCols_ = std::max(0, n);
    leftCol_ = std::max(leftCol_, fixedCols_);
    col_ = std::max(col_, fixedCols_);
    UpdateScrollBars();
    update();
}

void TbsSkinCustomGrid::SetFixedRows(int n) {
    fixedRows_ = std::max(0, n);
    topRow_ = std::max(topRow_, fixedRows_);
    row_ = std::max(row_, fixedRows_);
    UpdateScrollBars();
    update();
}

void TbsSkinCustomGrid::SetDefaultColWidth(int w) {
    defaultColWidth_ = w;
    colWidths_.assign(colWidths_.size(), w);
    UpdateScrollBars();
    update();
}

void TbsSkinCustomGrid::SetDefaultRowHeight(int h) {
    defaultRowHeight_ = std::max(1, h);
    ResetRowHeights();
}

void TbsSkinCustomGrid::ResetRowHeights() {
    rowHeights_.assign(rowHeights_.size(), defaultRowHeight_);
    PlaceEditor();
    RowHeightsChanged();
}

void TbsSkinCustomGrid::RowHeightsChanged() {
    UpdateScrollBars();
    update();
}

int TbsSkinCustomGrid::ColWidths(int col) const {
    return col >= 0 && col < ColCount() ? colWidths_[size_t(col)] : defaultColWidth_;
}

void TbsSkinCustomGrid::SetColWidths(int col, int w) {
    if (col < 0 || col >= ColCount()) return;
    colWidths_[size_t(col)] = std::max(0, w);
    PlaceEditor();
    UpdateScrollBars();
    update();
}

int TbsSkinCustomGrid::RowHeights(int row) const {
    return row >= 0 && row < RowCount() ? rowHeights_[size_t(row)] : defaultRowHeight_;
}

void TbsSkinCustomGrid::SetLeftCol(int col) {
    GridGeometry g = Geometry();
    col = std::clamp(col, fixedCols_, std::max(fixedCols_, MaxFirst(g.cols)));
    if (col == leftCol_) return;
    leftCol_ = col;
    PlaceEditor();
    UpdateScrollBars();
    update();
}

void TbsSkinCustomGrid::SetTopRow(int row) {
    GridGeometry g = Geometry();
    row = std::clamp(row, fixedRows_, std::max(fixedRows_, MaxFirst(g.rows)));
    if (row == topRow_) return;
    topRow_ = row;
    PlaceEditor();
    UpdateScrollBars();
    update();
}

void TbsSkinCustomGrid::SetCol(int col) { MoveCurrent(col, row_); }
void TbsSkinCustomGrid::SetRow(int row) { MoveCurrent(col_, row); }

// --- geometry ------------------------------------------------------------------------------

QRect TbsSkinCustomGrid::ClientRect() const {
    return borderStyle_ == bsSingle ? rect().adjusted(1, 1, -1, -1) : rect();
}

GridGeometry TbsSkinCustomGrid::Geometry() const {
    const QRect c = ClientRect();
    GridGeometry g;
    g.cols = {colWidths_, fixedCols_, leftCol_, gridLineWidth_, c.width(), hOffset_};
    g.rows = {rowHeights_, fixedRows_, topRow_, gridLineWidth_, c.height(), 0};
    return g;
}

QRect TbsSkinCustomGrid::CellRect(int col, int row) const {
    const QRect r = skinctrls::CellRect(Geometry(), col, row);
    return r.isEmpty() ? r : r.translated(ClientRect().topLeft());
}

QPoint TbsSkinCustomGrid::MouseCoord(QPoint p) const {
    return CellAt(Geometry(), p - ClientRect().topLeft());
}

int TbsSkinCustomGrid::VisibleColCount() const { return FullyVisibleCount(Geometry().cols); }
int TbsSkinCustomGrid::VisibleRowCount() const { return FullyVisibleCount(Geometry().rows); }

bool TbsSkinCustomGrid::GridFocused() const { return hasFocus() || (editor_ && editor_->hasFocus()); }

// --- skin ----------------------------------------------------------------------------------

void TbsSkinCustomGrid::LoadSkinEntry() {
    // Without a fixed-cell image there is nothing to draw the grid from.
    const auto* e = static_cast<const skin::TbsDataSkinGridControl*>(
        binding_.Lookup([](const skin::TbsDataSkinControl& entry) {
            const auto* g = dynamic_cast<const skin::TbsDataSkinGridControl*>(&entry);
            return g && !g->fixedcellrect.IsEmpty();
        }));
    if (!e) {
        gridSkin_.picture = QImage();
        return;
    }
    GridSkin& s = gridSkin_;
    const QImage* pic = binding_.Picture(e->pictureindex);
    s.picture = pic ? *pic : QImage();
    s.fixedCell = e->fixedcellrect;
    s.selectCell = e->selectcellrect.IsEmpty() ? e->focuscellrect : e->selectcellrect;
    s.focusCell = e->focuscellrect.IsEmpty() ? e->selectcellrect : e->focuscellrect;
    s.fixedCellText = e->fixedcelltextrect;
    s.cellText = e->celltextrect;
    s.fixedLeft = e->fixedcellleftoffset;
    s.fixedRight = e->fixedcellrightoffset;
    s.cellLeft = e->cellleftoffset;
    s.cellRight = e->cellrightoffset;
    s.linesColor = e->linescolor;
    s.bgColor = e->bgcolor;
    s.cellFont = EntryFont(*e);
    s.fixedFont.name = e->fixedfontname;
    s.fixedFont.height = e->fixedfontheight;
    s.fixedFont.style = e->fixedfontstyle;
    s.fixedFont.color = e->fixedfontcolor;
    s.selectFontColor = e->selectfontcolor;
    s.focusFontColor = e->focusfontcolor;
}

void TbsSkinCustomGrid::ApplySkin() {
    LoadSkinEntry();
    if (!HasGridEntry()) {
        defaultRowHeight_ = defaultCellHeight_;
        ResetRowHeights();
    } else {
        const int h = gridSkin_.selectCell.Height();
        if (h > 0 && h != defaultRowHeight_) {
            defaultRowHeight_ = h;
            ResetRowHeights();
        }
    }
    UpdateScrollBars();
    update();
}

// --- scroll bars ---------------------------------------------------------------------------

GridBarRange TbsSkinCustomGrid::VertBarRange() const { return CellBarRange(Geometry().rows); }

// Ranges and positions of both bars in one pass (the positions follow from the ranges).
void TbsSkinCustomGrid::SyncScrollRange() {
    if (!isVisible()) return;
    auto apply = [](TbsSkinScrollBar* bar, const GridBarRange& r) {
        if (!bar) return false;
        bar->SetBarRange(r.min, r.max, r.page, r.position);
        bar->SetSmallChange(r.smallChange);
        bar->SetLargeChange(r.largeChange);
        const bool changed = bar->isHidden() == r.visible;
        bar->setVisible(r.visible);
        return changed;
    };
    // A left column or top row beyond its new maximum comes back first.
    const GridGeometry g = Geometry();
    const int maxLeft = std::max(fixedCols_, MaxFirst(g.cols));
    const int maxTop = std::max(fixedRows_, MaxFirst(g.rows));
    if (leftCol_ > maxLeft || topRow_ > maxTop) {
        leftCol_ = std::min(leftCol_, maxLeft);
        topRow_ = std::min(topRow_, maxTop);
        PlaceEditor();
        update();
    }
    bool changed = apply(hBar_, HorzBarRange(Geometry().cols));
    changed = apply(vBar_, VertBarRange()) || changed;
    if (hBar_ && vBar_) hBar_->SetBoth(!vBar_->isHidden());
    if (changed && Align() != platform::alNone) {
        QWidget* parent = parentWidget();
        if (auto* c = qobject_cast<platform::Control*>(parent))
            c->Realign();
        else if (parent)
            platform::AlignChildren(parent, parent->rect());
        update();
    }
}

void TbsSkinCustomGrid::UpdateScrollBars() {
    if (syncingBars_) {
        barsDirty_ = true;
        return;
    }
    syncingBars_ = true;
    // Showing a bar re-aligns the grid, which may call for the other bar: settle.
    for (int i = 0; i < 4; ++i) {
        barsDirty_ = false;
        SyncScrollRange();
        if (!barsDirty_) break;
    }
    syncingBars_ = false;
}

void TbsSkinCustomGrid::FocusForScroll() {
    if (isVisible() && focusPolicy() != Qt::NoFocus && !GridFocused()) setFocus(Qt::OtherFocusReason);
}

void TbsSkinCustomGrid::HorzButton(int direction) {
    FocusForScroll();
    if (!hBar_) return;
    const int oldLeft = leftCol_, oldOffset = hOffset_;
    hBar_->SetPosition(hBar_->Position() + direction * hBar_->SmallChange());
    ScrollToHorzPosition(hBar_->Position());
    // The 0..127 scale divides unevenly: a press that moved the bar scrolls at least one
    // column its way.
    if (ColCount() - fixedCols_ > 1 && leftCol_ == oldLeft && hOffset_ == oldOffset)
        SetLeftCol(leftCol_ + (direction > 0 ? 1 : -1));
}

void TbsSkinCustomGrid::HorzLastChange() {
    FocusForScroll();
    if (hBar_) ScrollToHorzPosition(hBar_->Position());
}

void TbsSkinCustomGrid::ScrollToHorzPosition(int position) {
    const GridGeometry g = Geometry();
    if (ColCount() - fixedCols_ == 1)
        hOffset_ = OffsetForBarPosition(g.cols, position);
    else
        leftCol_ = FirstForBarPosition(g.cols, position);
    PlaceEditor();
    UpdateScrollBars();
    update();
}

void TbsSkinCustomGrid::VertButton(int direction) {
    FocusForScroll();
    if (!vBar_) return;
    vBar_->SetPosition(vBar_->Position() + direction * vBar_->SmallChange());
    VertLastChange();
}

void TbsSkinCustomGrid::VertLastChange() {
    FocusForScroll();
    if (!vBar_) return;
    topRow_ = FirstForBarPosition(Geometry().rows, vBar_->Position());
    PlaceEditor();
    UpdateScrollBars();
    update();
}

// --- current cell --------------------------------------------------------------------------

void TbsSkinCustomGrid::ScrollColumnIntoView(int col) { leftCol_ = FirstShowing(Geometry().cols, col); }

void TbsSkinCustomGrid::MoveCurrent(int col, int row) {
    col = std::clamp(col, fixedCols_, std::max(fixedCols_, ColCount() - 1));
    row = std::clamp(row, fixedRows_, std::max(fixedRows_, RowCount() - 1));
    if (col == col_ && row == row_) {
        ScrollColumnIntoView(col);
        UpdateScrollBars();
        update();
        return;
    }
    if (!WritePendingEdit()) return;
    col_ = col;
    row_ = row;
    ScrollColumnIntoView(col);
    topRow_ = FirstShowing(Geometry().rows, row);
    if (EditorMode()) {
        if (HasGridOption(goAlwaysShowEditor))
            ShowEditor();
        else
            HideEditor();
    }
    UpdateScrollBars();
    update();
}

// --- events --------------------------------------------------------------------------------

void TbsSkinCustomGrid::resizeEvent(QResizeEvent* e) {
    TbsSkinControl::resizeEvent(e);
    PlaceEditor();
    UpdateScrollBars();
}

void TbsSkinCustomGrid::showEvent(QShowEvent* e) {
    TbsSkinControl::showEvent(e);
    UpdateScrollBars();
}

void TbsSkinCustomGrid::hideEvent(QHideEvent* e) {
    TbsSkinControl::hideEvent(e);
    // Hidden itself (not only with its window): the bars go with it.
    if (!isHidden()) return;
    for (TbsSkinScrollBar* b : {hBar_.data(), vBar_.data()})
        if (b) b->hide();
}

int TbsSkinCustomGrid::SizingColumnAt(QPoint p) const {
    if (!HasGridOption(goColSizing)) return -1;
    const QPoint cell = MouseCoord(p);
    if (cell.y() < 0 || cell.y() >= fixedRows_) return -1;
    const int c = BorderAt(Geometry().cols, p.x() - ClientRect().left());
    return c >= fixedCols_ ? c : -1;
}

void TbsSkinCustomGrid::mousePressEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton) return;
    if (focusPolicy() != Qt::NoFocus && !GridFocused()) setFocus(Qt::MouseFocusReason);
    const QPoint pos = e->position().toPoint();
    const int sizing = SizingColumnAt(pos);
    if (sizing >= 0) {
        sizingCol_ = sizing;
        sizingStartX_ = pos.x();
        sizingStartWidth_ = ColWidths(sizing);
        return;
    }
    const QPoint cell = MouseCoord(pos);
    if (cell.x() < fixedCols_ || cell.y() < fixedRows_) return;
    if (cell.x() == col_ && cell.y() == row_ && !EditorMode())
        ShowEditor();
    else
        MoveCurrent(cell.x(), cell.y());
}

void TbsSkinCustomGrid::mouseMoveEvent(QMouseEvent* e) {
    const QPoint pos = e->position().toPoint();
    if (sizingCol_ >= 0) {
        ColumnSized(sizingCol_, std::max(1, sizingStartWidth_ + pos.x() - sizingStartX_));
        return;
    }
    setCursor(SizingColumnAt(pos) >= 0 ? Qt::SplitHCursor : Qt::ArrowCursor);
}

void TbsSkinCustomGrid::mouseReleaseEvent(QMouseEvent*) { sizingCol_ = -1; }

void TbsSkinCustomGrid::mouseDoubleClickEvent(QMouseEvent* e) {
    const QPoint cell = MouseCoord(e->position().toPoint());
    if (cell.x() == col_ && cell.y() == row_) ShowEditor();
}

bool TbsSkinCustomGrid::LeaveOnCtrlTab(QKeyEvent* e) {
    if ((e->key() != Qt::Key_Tab && e->key() != Qt::Key_Backtab) || !(e->modifiers() & Qt::ControlModifier)) return false;
    const bool back = e->key() == Qt::Key_Backtab || (e->modifiers() & Qt::ShiftModifier);
    // The tab order goes from the grid itself, not from its editor.
    if (editor_ && editor_->hasFocus()) setFocus(Qt::OtherFocusReason);
    TbsSkinControl::focusNextPrevChild(!back);
    return true;
}

void TbsSkinCustomGrid::keyPressEvent(QKeyEvent* e) {
    if (LeaveOnCtrlTab(e)) return;
    const bool ctrl = e->modifiers() & Qt::ControlModifier;
    const int page = std::max(1, VisibleRowCount());
    switch (e->key()) {
    case Qt::Key_Left: MoveCurrent(ctrl ? fixedCols_ : col_ - 1, row_); return;
    case Qt::Key_Right: MoveCurrent(ctrl ? ColCount() - 1 : col_ + 1, row_); return;
    case Qt::Key_Home: MoveCurrent(fixedCols_, ctrl ? fixedRows_ : row_); return;
    case Qt::Key_End: MoveCurrent(ColCount() - 1, ctrl ? RowCount() - 1 : row_); return;
    case Qt::Key_Up: MoveCurrent(col_, row_ - 1); return;
    case Qt::Key_Down: MoveCurrent(col_, row_ + 1); return;
    case Qt::Key_PageUp: MoveCurrent(col_, row_ - page); return;
    case Qt::Key_PageDown: MoveCurrent(col_, row_ + page); return;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        if (!HasGridOption(goTabs)) break;
        MoveCurrent(e->key() == Qt::Key_Tab && !(e->modifiers() & Qt::ShiftModifier) ? col_ + 1 : col_ - 1, row_);
        return;
    case Qt::Key_F2: SetEditorMode(!EditorMode()); return;
    default: break;
    }
    const QString text = e->text();
    if (EditorMode() && !text.isEmpty()) {
        // A key that reached the grid while its editor is up belongs to the editor.
        QCoreApplication::sendEvent(editor_, e);
        return;
    }
    if (!text.isEmpty() && text.at(0).isPrint() && !ctrl && CanEditShow() && CanEditAcceptKey(text)) {
        ShowEditor();
        if (!EditorMode()) return;
        editor_->setText(text);
        editorModified_ = true;
        EditorEdited();
        return;
    }
    TbsSkinControl::keyPressEvent(e);
}

void TbsSkinCustomGrid::inputMethodEvent(QInputMethodEvent* e) {
    // Typing through an input method starts the editor too; the editor takes the event.
    if ((!e->commitString().isEmpty() || !e->preeditString().isEmpty()) && CanEditShow()) {
        ShowEditor();
        if (EditorMode()) {
            editor_->clear();
            QCoreApplication::sendEvent(editor_, e);  // a commit edits the text as typing does
            return;
        }
    }
    TbsSkinControl::inputMethodEvent(e);
}

QVariant TbsSkinCustomGrid::inputMethodQuery(Qt::InputMethodQuery q) const {
    switch (q) {
    case Qt::ImEnabled: return CanEditShow();
    case Qt::ImCursorRectangle: return CellRect(col_, row_);
    default: return TbsSkinControl::inputMethodQuery(q);
    }
}

void TbsSkinCustomGrid::focusInEvent(QFocusEvent* e) {
    TbsSkinControl::focusInEvent(e);
    update();
}

void TbsSkinCustomGrid::focusOutEvent(QFocusEvent* e) {
    TbsSkinControl::focusOutEvent(e);
    const QWidget* now = QApplication::focusWidget();
    if (e->reason() != Qt::ActiveWindowFocusReason && e->reason() != Qt::PopupFocusReason &&
        !(editor_ && now == editor_))
        GridExit();
    update();
}

bool TbsSkinCustomGrid::focusNextPrevChild(bool next) {
    // With tabs the grid keeps Tab for moving between its columns (Ctrl+Tab leaves:
    // LeaveOnCtrlTab).
    if (HasGridOption(goTabs) && !(QApplication::keyboardModifiers() & Qt::ControlModifier)) return false;
    return TbsSkinControl::focusNextPrevChild(next);
}

}  // namespace skinctrls
