#include "skinctrls/SkinGrid.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>
#include <QWheelEvent>

#include "skin/Compose.h"
#include "skin/Glyphs.h"
#include "skinctrls/Paint.h"
#include "skinctrls/SkinMessage.h"

namespace skinctrls {

namespace {

// The indicator column is as wide as its glyph plus a small margin each side.
constexpr int kIndicatorWidth = 11;

void DrawRaisedEdge(QPainter& p, const QRect& r) {
    skin::Draw3DBorder(p, r, platform::ToQColor(platform::clBtnHighlight), platform::ToQColor(platform::clBtnShadow));
}

skin::Alignment FromFieldAlignment(data::Alignment a) {
    return a == data::Alignment::Right ? skin::taRightJustify : skin::taLeftJustify;
}

void SetPenFont(QPainter& p, const platform::TFont& f, platform::TColor colour) {
    p.setFont(f.ToQFont());
    p.setPen(platform::ToQColor(colour));
}

}  // namespace

// ===== indicator glyphs ===================================================================

QImage IndicatorGlyph(TbsIndicator kind, QRgb ink) {
    // Rows of 6 pixels, '#' the ink; the bottom-left pixel stays white (the transparent
    // colour of a glyph strip).
    static const char* const arrow[11] = {"      ", "#     ", "##    ", "###   ", "####  ", "##### ",
                                          "####  ", "###   ", "##    ", "#     ", "      "};
    static const char* const edit[11] = {"      ", "## ## ", "  #   ", "  #   ", "  #   ", "  #   ",
                                         "  #   ", "  #   ", "  #   ", "## ## ", "      "};
    static const char* const insert[11] = {"      ", "      ", "  #   ", "# # # ", " ###  ", "##### ",
                                           " ###  ", "# # # ", "  #   ", "      ", "      "};
    static const char* const dot[11] = {"      ", "      ", "      ", "      ", " ##   ", "####  ",
                                        "####  ", " ##   ", "      ", "      ", "      "};
    static const char* const multiArrow[11] = {"      ", "#     ", "##    ", "# #   ", "#  #  ", "# ## #",
                                               "#  #  ", "# #   ", "##    ", "#     ", "      "};
    const char* const* rows = arrow;
    switch (kind) {
    case TbsIndicator::Arrow: rows = arrow; break;
    case TbsIndicator::Edit: rows = edit; break;
    case TbsIndicator::Insert: rows = insert; break;
    case TbsIndicator::MultiDot: rows = dot; break;
    case TbsIndicator::MultiArrow: rows = multiArrow; break;
    }
    QImage img(6, 11, QImage::Format_RGB32);
    for (int y = 0; y < 11; ++y)
        for (int x = 0; x < 6; ++x) img.setPixel(x, y, rows[y][x] == '#' ? ink : qRgb(255, 255, 255));
    return img;
}

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

void TbsSkinCustomGrid::DrawFixedImage(QPainter& p, const QRect& cell) const {
    const GridSkin& s = gridSkin_;
    FillRect(p, cell, s.bgColor);
    const QImage img = skin::ComposeHorizontalImage(s.picture, s.fixedCell, s.fixedLeft, s.fixedRight, cell.width());
    if (!img.isNull()) p.drawImage(cell.topLeft(), img);
}

void TbsSkinCustomGrid::DrawCellImage(QPainter& p, const QRect& cell, bool focus) const {
    const GridSkin& s = gridSkin_;
    FillRect(p, cell, s.bgColor);
    const QImage img = skin::ComposeHorizontalImage(s.picture, focus ? s.focusCell : s.selectCell, s.cellLeft,
                                                    s.cellRight, cell.width());
    if (!img.isNull()) p.drawImage(cell.topLeft(), img);
}

QRect TbsSkinCustomGrid::SkinTextRect(const QRect& cell, const skin::Rect& text, const skin::Rect& image) const {
    return QRect(cell.left() + text.left, cell.top() + text.top, text.Width() + cell.width() - image.Width(),
                 text.Height());
}

void TbsSkinCustomGrid::DrawCellText(QPainter& p, const QRect& rect, int dx, int dy, skin::Alignment align,
                                     const QString& text, platform::TColor fill) {
    if (fill != platform::clNone) FillRect(p, rect, fill);
    const int x = CellTextLeft(rect, dx, align, platform::TextWidth(p.font(), text));
    platform::TextRectOut(p, rect, x, rect.top() + dy, text);
}

// --- painting ------------------------------------------------------------------------------

platform::TColor TbsSkinCustomGrid::LineColor() const {
    if (platform::ColorToRGB(color_) == platform::clSilver) return platform::clGray;
    return HasGridEntry() ? gridSkin_.linesColor : gridLineColor_;
}

void TbsSkinCustomGrid::DrawDefault(QImage& bmp) { PaintGrid(bmp); }
void TbsSkinCustomGrid::DrawSkinned(QImage& bmp) { PaintGrid(bmp); }

void TbsSkinCustomGrid::PaintGrid(QImage& bmp) {
    QPainter p(&bmp);
    const bool skinned = HasGridEntry();
    const platform::TColor ground = skinned ? gridSkin_.bgColor : color_;
    const platform::TColor lines = LineColor();
    const QRect client = ClientRect();
    if (borderStyle_ == bsSingle) FrameRect(p, rect(), skinned ? gridSkin_.linesColor : platform::clBtnShadow);
    p.translate(client.topLeft());
    p.setClipRect(QRect(QPoint(0, 0), client.size()));
    const GridGeometry g = Geometry();
    const int lastCol = LastVisible(g.cols), lastRow = LastVisible(g.rows);
    const bool focused = GridFocused();
    const bool rowSelect = HasGridOption(goRowSelect);
    const int lw = gridLineWidth_;

    auto paintRange = [&](int c0, int c1, int r0, int r1) {
        for (int r = r0; r <= r1; ++r) {
            for (int c = c0; c <= c1; ++c) {
                const QRect cell = skinctrls::CellRect(g, c, r);
                if (cell.isNull()) continue;
                const bool fixed = c < fixedCols_ || r < fixedRows_;
                const bool vert = HasGridOption(fixed ? goFixedVertLine : goVertLine);
                const bool horz = HasGridOption(fixed ? goFixedHorzLine : goHorzLine);
                const platform::TColor off = fixed ? fixedColor_ : ground;
                FillRect(p, QRect(cell.right() + 1, cell.top(), lw, cell.height() + lw), vert ? lines : off);
                FillRect(p, QRect(cell.left(), cell.bottom() + 1, cell.width() + lw, lw), horz ? lines : off);

                TbsGridDrawState st;
                st.fixed = fixed;
                st.focused = !fixed && focused && c == col_ && r == row_;
                st.selected = !fixed && r == row_ && (c == col_ || rowSelect) && ShowSelection();
                p.save();
                p.setClipRect(cell, Qt::IntersectClip);
                if (!skinned) {
                    if (st.selected && !(st.focused && !HasGridOption(goDrawFocusSelected) && !rowSelect))
                        FillRect(p, cell, platform::clHighlight);
                    else
                        FillRect(p, cell, fixed ? fixedColor_ : color_);
                    if (fixed && HasGridOption(goFixedVertLine) && HasGridOption(goFixedHorzLine))
                        DrawRaisedEdge(p, cell);
                } else if (fixed) {
                    DrawFixedImage(p, cell);
                } else if (st.focused || (st.selected && rowSelect)) {
                    DrawCellImage(p, cell, true);
                } else if (st.selected) {
                    DrawCellImage(p, cell, false);
                } else {
                    FillRect(p, cell, gridSkin_.bgColor);
                }
                PaintCell(p, c, r, cell, st);
                if (!skinned && st.focused && !EditorMode() && !rowSelect) {
                    p.setPen(QPen(platform::ToQColor(platform::clHighlightText), 1, Qt::DotLine));
                    p.setBrush(Qt::NoBrush);
                    p.drawRect(cell.adjusted(0, 0, -1, -1));
                }
                p.restore();
            }
        }
    };
    // Fixed corner, fixed row, fixed column, then the data cells.
    paintRange(0, fixedCols_ - 1, 0, fixedRows_ - 1);
    paintRange(leftCol_, lastCol, 0, fixedRows_ - 1);
    paintRange(0, fixedCols_ - 1, topRow_, lastRow);
    paintRange(leftCol_, lastCol, topRow_, lastRow);
    FillRect(p, RightOfCells(g), ground);
    FillRect(p, BelowCells(g), ground);
}

void TbsSkinCustomGrid::PaintCell(QPainter&, int, int, const QRect&, const TbsGridDrawState&) {}

// --- scroll bars ---------------------------------------------------------------------------

GridBarRange TbsSkinCustomGrid::VertBarRange() const { return CellBarRange(Geometry().rows); }

void TbsSkinCustomGrid::SyncScrollPosition() {
    // Positions follow from the ranges: one computation serves both.
    SyncScrollRange();
}

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

// --- current cell and editor ---------------------------------------------------------------

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

QLineEdit* TbsSkinCustomGrid::CreateEditor() {
    auto* e = new QLineEdit(this);
    e->setFrame(false);
    e->hide();
    e->installEventFilter(this);
    // Only typing (and input methods) edit: text the grid puts in does not.
    connect(e, &QLineEdit::textEdited, this, [this] {
        editorModified_ = true;
        EditorEdited();
    });
    return e;
}

bool TbsSkinCustomGrid::CanEditShow() const {
    return HasGridOption(goEditing) && !HasGridOption(goRowSelect) && col_ >= fixedCols_ && row_ >= fixedRows_ &&
           col_ < ColCount() && row_ < RowCount();
}

bool TbsSkinCustomGrid::CanEditAcceptKey(const QString&) const { return true; }

void TbsSkinCustomGrid::ShowEditor() {
    if (!CanEditShow()) return;
    if (!editor_) editor_ = CreateEditor();
    editor_->setMaxLength(EditMaxLength());
    editor_->setText(EditText());
    editorModified_ = false;
    const platform::TFont f = HasGridEntry() ? gridSkin_.cellFont : font_;
    editor_->setFont(f.ToQFont());
    QPalette pal = editor_->palette();
    pal.setColor(QPalette::Base, platform::ToQColor(HasGridEntry() ? gridSkin_.bgColor : color_));
    pal.setColor(QPalette::Text, platform::ToQColor(f.color));
    editor_->setPalette(pal);
    PlaceEditor();
    editor_->show();
    editor_->setFocus(Qt::OtherFocusReason);
    editor_->selectAll();
    update();
}

void TbsSkinCustomGrid::HideEditor() {
    if (!EditorMode()) return;
    const bool hadFocus = editor_->hasFocus();
    editor_->hide();
    editorModified_ = false;
    if (hadFocus) setFocus(Qt::OtherFocusReason);
    update();
}

void TbsSkinCustomGrid::PlaceEditor() {
    if (!editor_) return;
    const QRect r = CellRect(col_, row_);
    if (r.isEmpty()) {
        editor_->setGeometry(-r.width() - 10, 0, 1, 1);  // scrolled away: out of sight
        return;
    }
    editor_->setGeometry(r);
    editor_->setTextMargins(0, 0, 0, 0);
}

void TbsSkinCustomGrid::SetEditorMode(bool on) {
    if (on) {
        ShowEditor();
        return;
    }
    if (WritePendingEdit()) HideEditor();
}

bool TbsSkinCustomGrid::WritePendingEdit() {
    if (EditorMode() && editorModified_) CommitEditText(editor_->text());
    return true;
}

bool TbsSkinCustomGrid::EditorKey(QKeyEvent* e) {
    switch (e->key()) {
    case Qt::Key_Escape:
        HideEditor();
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        SetEditorMode(false);
        return true;
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        keyPressEvent(e);
        return true;
    case Qt::Key_Left:
        if (editor_->cursorPosition() > 0 || editor_->hasSelectedText()) return false;
        keyPressEvent(e);
        return true;
    case Qt::Key_Right:
        if (editor_->cursorPosition() < editor_->text().size() || editor_->hasSelectedText()) return false;
        keyPressEvent(e);
        return true;
    default: return false;
    }
}

bool TbsSkinCustomGrid::eventFilter(QObject* watched, QEvent* e) {
    if (watched == editor_) {
        if (e->type() == QEvent::KeyPress && EditorKey(static_cast<QKeyEvent*>(e))) return true;
        if (e->type() == QEvent::FocusOut) {
            auto* fe = static_cast<QFocusEvent*>(e);
            const QWidget* now = QApplication::focusWidget();
            if (fe->reason() != Qt::ActiveWindowFocusReason && fe->reason() != Qt::PopupFocusReason && now != this)
                GridExit();
            update();
        }
    }
    return TbsSkinControl::eventFilter(watched, e);
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

void TbsSkinCustomGrid::keyPressEvent(QKeyEvent* e) {
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
    // With tabs the grid keeps Tab for moving between its columns (Ctrl+Tab still leaves).
    if (HasGridOption(goTabs) && !(QApplication::keyboardModifiers() & Qt::ControlModifier)) return false;
    return TbsSkinControl::focusNextPrevChild(next);
}

void TbsSkinCustomGrid::DeleteColumn(int col) {
    if (col < 0 || col >= ColCount()) return;
    colWidths_.erase(colWidths_.begin() + col);
    SetColCount(ColCount());
}

void TbsSkinCustomGrid::DeleteRow(int row) {
    if (row < 0 || row >= RowCount()) return;
    rowHeights_.erase(rowHeights_.begin() + row);
    SetRowCount(RowCount());
}

// ===== columns ============================================================================

TbsColumn::TbsColumn(TbsSkinCustomDBGrid* grid, bool isDefault) : grid_(grid), default_(isDefault), title_(this) {}

void TbsColumn::SetFieldName(const QString& name) {
    fieldName_ = name;
    if (grid_) grid_->UpdateLayout(false);
}

data::Field* TbsColumn::Field() const {
    data::DataSet* ds = grid_ && grid_->DataLink().Active() ? grid_->DataSet() : nullptr;
    return ds ? ds->FindField(fieldName_) : nullptr;
}

skin::Alignment TbsColumn::Alignment() const {
    if (alignment_) return *alignment_;
    const data::Field* f = Field();
    return f ? FromFieldAlignment(f->alignment()) : skin::taLeftJustify;
}

void TbsColumn::SetAlignment(skin::Alignment a) {
    alignment_ = a;
    if (grid_) grid_->update();
}

platform::TColor TbsColumn::Color() const { return color_ ? *color_ : grid_ ? grid_->Color() : platform::clWindow; }

void TbsColumn::SetColor(platform::TColor c) {
    color_ = c;
    if (grid_) grid_->update();
}

platform::TFont TbsColumn::Font() const { return font_ ? *font_ : grid_ ? grid_->Font() : platform::TFont{}; }

void TbsColumn::SetFont(const platform::TFont& f) {
    font_ = f;
    if (grid_) grid_->update();
}

int TbsColumn::DefaultWidth() const {
    if (!grid_) return 64;
    const data::Field* f = Field();
    if (!f) return grid_->DefaultColWidth();
    const QFont cell = grid_->CellFont(this).ToQFont();
    const int titleWidth = platform::TextWidth(grid_->TitleFontOf(this).ToQFont(), title_.Caption());
    return DefaultColumnWidth(platform::TextWidth(cell, QStringLiteral("0")), 0, f->displayWidth(), titleWidth,
                              grid_->HasOption(dgTitles));
}

int TbsColumn::Width() const { return width_ ? *width_ : DefaultWidth(); }

void TbsColumn::SetWidth(int w) {
    width_ = std::max(0, w);
    if (grid_) grid_->UpdateLayout(false);
}

bool TbsColumn::Visible() const {
    if (visible_) return *visible_;
    const data::Field* f = Field();
    return !f || f->visible();
}

void TbsColumn::SetVisible(bool v) {
    visible_ = v;
    if (grid_) grid_->UpdateLayout(false);
}

QString TbsColumnTitle::Caption() const {
    if (caption_) return *caption_;
    if (const data::Field* f = column_->Field()) return f->displayName();
    return column_->FieldName();
}

void TbsColumnTitle::SetCaption(const QString& c) {
    data::Field* f = column_->Field();
    if (column_->IsDefault() && f) {
        f->SetDisplayLabel(c);  // the grid hears a layout change
        return;
    }
    caption_ = c;
    if (column_->Grid()) column_->Grid()->update();
}

skin::Alignment TbsColumnTitle::Alignment() const { return alignment_ ? *alignment_ : skin::taLeftJustify; }

void TbsColumnTitle::SetAlignment(skin::Alignment a) {
    alignment_ = a;
    if (column_->Grid()) column_->Grid()->update();
}

platform::TColor TbsColumnTitle::Color() const {
    return color_ ? *color_ : column_->Grid() ? column_->Grid()->FixedColor() : platform::clBtnFace;
}

void TbsColumnTitle::SetColor(platform::TColor c) {
    color_ = c;
    if (column_->Grid()) column_->Grid()->update();
}

platform::TFont TbsColumnTitle::Font() const {
    return font_ ? *font_ : column_->Grid() ? column_->Grid()->TitleFont() : platform::TFont{};
}

void TbsColumnTitle::SetFont(const platform::TFont& f) {
    font_ = f;
    if (column_->Grid()) column_->Grid()->UpdateLayout(false);
}

TbsColumn* TbsDBGridColumns::Add() {
    if (defaultState_) items_.clear();
    defaultState_ = false;
    items_.push_back(std::make_unique<TbsColumn>(grid_, false));
    grid_->UpdateLayout(false);
    return items_.back().get();
}

void TbsDBGridColumns::RestoreDefaults() {
    items_.clear();
    defaultState_ = true;
    grid_->UpdateLayout(true);
}

void TbsDBGridColumns::Clear() { RestoreDefaults(); }

void TbsDBGridColumns::RebuildDefault(data::DataSet* ds) {
    // Columns of fields that stay keep what the user did to them (a width dragged).
    std::vector<std::unique_ptr<TbsColumn>> old = std::move(items_);
    items_.clear();
    if (!ds) return;
    for (int i = 0; i < ds->FieldCount(); ++i) {
        const QString name = ds->Fields(i)->fieldName();
        auto it = std::find_if(old.begin(), old.end(), [&](const auto& c) {
            return c && c->FieldName().compare(name, Qt::CaseInsensitive) == 0;
        });
        if (it != old.end()) {
            items_.push_back(std::move(*it));
        } else {
            auto c = std::make_unique<TbsColumn>(grid_, true);
            c->fieldName_ = name;
            items_.push_back(std::move(c));
        }
    }
}

// ===== data link ==========================================================================

void TbsGridDataLink::ActiveChanged() { grid_->LinkActive(Active()); }
void TbsGridDataLink::EditingChanged() { grid_->EditingChanged(); }
void TbsGridDataLink::DataSetChanged() { grid_->DataChanged(); }
void TbsGridDataLink::DataSetScrolled(int) { grid_->DataChanged(); }
void TbsGridDataLink::LayoutChanged() { grid_->LayoutChanged(); }
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
    UpdateLayout(false);
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
}

void TbsSkinCustomDBGrid::RowHeightsChanged() {
    // Another row height holds another number of rows.
    UpdateLayout(false);
}

void TbsSkinCustomDBGrid::ApplySkin() {
    TbsSkinCustomGrid::ApplySkin();
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

// --- editing -------------------------------------------------------------------------------

bool TbsSkinCustomDBGrid::CanEditModify() const {
    const data::DataSet* ds = DataSet();
    const TbsColumn* c = SelectedColumn();
    return HasOption(dgEditing) && !readOnly_ && link_.Active() && ds && ds->CanModify() && c && !c->ReadOnly() &&
           c->Field();
}

bool TbsSkinCustomDBGrid::CanEditShow() const {
    return TbsSkinCustomGrid::CanEditShow() && CanEditModify();
}

QLineEdit* TbsSkinCustomDBGrid::CreateEditor() { return TbsSkinCustomGrid::CreateEditor(); }

QString TbsSkinCustomDBGrid::EditText() const {
    const data::Field* f = SelectedField();
    return f ? f->AsString() : QString();
}

void TbsSkinCustomDBGrid::CommitEditText(const QString& text) {
    data::Field* f = SelectedField();
    data::DataSet* ds = DataSet();
    if (!f || !ds) return;
    if (!data::IsEditState(ds->State())) ds->Edit();
    f->SetAsString(text);
    editorModified_ = false;
}

bool TbsSkinCustomDBGrid::WritePendingEdit() {
    return !EditorMode() || !editorModified_ || Guard([&] { CommitEditText(editor_->text()); });
}

void TbsSkinCustomDBGrid::EditorEdited() {
    data::DataSet* ds = DataSet();
    if (ds && ds->State() == data::DataSetState::Browse) Guard([&] { ds->Edit(); });
}

int TbsSkinCustomDBGrid::EditMaxLength() const {
    const data::Field* f = SelectedField();
    return f && f->type() == data::FieldType::Text && f->size() > 0 ? f->size() : TbsSkinCustomGrid::EditMaxLength();
}

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

void TbsSkinCustomDBGrid::ShowError(const QString& text) {
    if (skinMessage_)
        skinMessage_->ShowSkinMessage(text, mtError, MsgButton(mbOK));
    else
        QMessageBox::critical(this, QApplication::applicationDisplayName(), text);
}

void TbsSkinCustomDBGrid::PostOrCancel(bool post) {
    data::DataSet* ds = DataSet();
    if (!ds) return;
    if (post) {
        if (!data::IsEditState(ds->State()) && !(EditorMode() && editorModified_)) {
            HideEditor();
            return;
        }
        if (!Guard([&] {
                if (EditorMode() && editorModified_) CommitEditText(editor_->text());
                if (data::IsEditState(ds->State())) ds->Post();
            }))
            return;
        if (!HasGridOption(goAlwaysShowEditor)) HideEditor();
    } else {
        editorModified_ = false;
        HideEditor();
        ds->Cancel();
    }
}

bool TbsSkinCustomDBGrid::EditorKey(QKeyEvent* e) {
    switch (e->key()) {
    case Qt::Key_Escape:
        if (editorModified_) {
            // First Escape: the cell's text comes back; a second one cancels the record.
            editor_->setText(EditText());
            editorModified_ = false;
            editor_->selectAll();
        } else {
            PostOrCancel(false);
        }
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter: PostOrCancel(true); return true;
    case Qt::Key_Delete:
        // Ctrl+Delete deletes the row, from the editor as from the grid.
        if (!(e->modifiers() & Qt::ControlModifier)) return false;
        DeleteCurrent();
        return true;
    default: return TbsSkinCustomGrid::EditorKey(e);
    }
}

bool TbsSkinCustomDBGrid::DeleteCurrent() {
    data::DataSet* ds = DataSet();
    if (readOnly_ || !ds || !link_.Active() || ds->IsEmpty() || !ds->CanModify()) return false;
    if (HasOption(dgConfirmDelete)) {
        const QString text = QStringLiteral("Delete record?");
        bool cancel = false;
        if (skinMessage_) {
            cancel = skinMessage_->ShowSkinMessage(text, mtConfirmation, MsgButton(mbOK) | MsgButton(mbCancel)) ==
                     MsgButtonInfoOf(mbCancel).modalResult;
        } else {
            cancel = QMessageBox::question(this, QApplication::applicationDisplayName(), text,
                                           QMessageBox::Ok | QMessageBox::Cancel) != QMessageBox::Ok;
        }
        if (cancel) return false;
    }
    editorModified_ = false;
    HideEditor();
    return Guard([&] { ds->Delete(); });
}

void TbsSkinCustomDBGrid::GridExit() {
    data::DataSet* ds = DataSet();
    if (!ds || !link_.Active()) return;
    // A new row nobody typed into is dropped when the focus leaves the grid.
    if (HasOption(dgCancelOnExit) && UntouchedNewRow()) {
        HideEditor();
        ds->Cancel();
        return;
    }
    // What was typed goes into its field now. Text the field refuses keeps the focus: the
    // control that was to take it (a command button) does not act on a value the clerk
    // has not seen accepted. The message comes once the focus change is over.
    if (!EditorMode() || !editorModified_ || !isVisible()) return;
    try {
        CommitEditText(editor_->text());
    } catch (const data::DataError& e) {
        editor_->setFocus(Qt::OtherFocusReason);
        // A click offers the focus twice (the platform, then the button): one message.
        if (exitRefused_) return;
        exitRefused_ = true;
        QTimer::singleShot(0, this, [this, text = QString::fromUtf8(e.what())] {
            ShowError(text);
            exitRefused_ = false;
        });
    }
}

bool TbsSkinCustomDBGrid::UntouchedNewRow() const {
    const data::DataSet* ds = DataSet();
    return ds && ds->State() == data::DataSetState::Insert && !ds->Modified() && !editorModified_;
}

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

// --- painting ------------------------------------------------------------------------------

std::optional<TbsIndicator> TbsSkinCustomDBGrid::RowIndicator(int row) const {
    const data::DataSet* ds = DataSet();
    if (!ds || !link_.Active() || row != row_ || link_.RecordCount() == 0) return std::nullopt;
    switch (ds->State()) {
    case data::DataSetState::Edit: return TbsIndicator::Edit;
    case data::DataSetState::Insert: return TbsIndicator::Insert;
    default: return TbsIndicator::Arrow;
    }
}

QString TbsSkinCustomDBGrid::CellText(const TbsColumn* column, int row) const {
    const data::Field* f = column ? column->Field() : nullptr;
    const int slot = row - fixedRows_;
    if (!f || slot < 0 || slot >= link_.RecordCount()) return {};
    return f->DisplayText(link_.FieldValue(slot, *f));
}

void TbsSkinCustomDBGrid::PaintCell(QPainter& p, int col, int row, const QRect& rect, const TbsGridDrawState& st) {
    if (HasGridEntry())
        PaintSkinnedCell(p, col, row, rect, st);
    else
        PaintDefaultCell(p, col, row, rect, st);
    // A data cell, in either look, is the application's to draw over afterwards.
    TbsColumn* column = ColumnAt(col);
    if (row < fixedRows_ || col < fixedCols_ || !column || !link_.Active()) return;
    if (column->IsDefault() && OnDrawDataCell) OnDrawDataCell(this, p, rect, column->Field(), st);
    if (OnDrawColumnCell) OnDrawColumnCell(this, p, rect, column, st);
}

void TbsSkinCustomDBGrid::PaintDefaultCell(QPainter& p, int col, int row, const QRect& rect,
                                           const TbsGridDrawState& st) {
    const bool edges = HasGridOption(goFixedVertLine) && HasGridOption(goFixedHorzLine);
    TbsColumn* column = ColumnAt(col);
    if (row < fixedRows_) {
        if (!column) return;  // the corner keeps its fixed fill
        FillRect(p, rect, column->Title().Color());
        if (edges) DrawRaisedEdge(p, rect);
        const platform::TFont f = column->Title().Font();
        SetPenFont(p, f, f.color);
        DrawCellText(p, rect, 2, 2, column->Title().Alignment(), column->Title().Caption(), platform::clNone);
        return;
    }
    if (col < fixedCols_) {
        if (const auto ind = RowIndicator(row)) {
            const QImage g = IndicatorGlyph(*ind);
            skin::DrawGlyphFrame(p, rect.left() + (rect.width() - g.width()) / 2,
                                 rect.top() + (rect.height() - g.height()) / 2, 1, 1, g);
        }
        return;
    }
    if (!column || !link_.Active()) return;
    const bool highlight = st.selected;
    const platform::TFont f = column->Font();
    SetPenFont(p, f, highlight ? platform::clHighlightText : f.color);
    const QString text = CellText(column, row);
    DrawCellText(p, rect, 2, 2, column->Alignment(), text, highlight ? platform::clHighlight : column->Color());
}

void TbsSkinCustomDBGrid::PaintSkinnedCell(QPainter& p, int col, int row, const QRect& rect,
                                           const TbsGridDrawState& st) {
    const GridSkin& s = gridSkin_;
    TbsColumn* column = ColumnAt(col);
    const QRect fixedText = SkinTextRect(rect, s.fixedCellText, s.fixedCell);
    // Text in a text rectangle of the skin: left-justified text centred vertically.
    auto skinText = [&p](const QRect& area, skin::Alignment align, const QString& text) {
        if (align == skin::taLeftJustify)
            skin::DrawTextMiddleLeft(p, text, area);
        else
            DrawCellText(p, area, 0, 0, align, text, platform::clNone);
    };
    if (row < fixedRows_) {
        if (!column) return;
        SetPenFont(p, s.fixedFont, s.fixedFont.color);
        skinText(fixedText, column->Title().Alignment(), column->Title().Caption());
        return;
    }
    if (col < fixedCols_) {
        if (const auto ind = RowIndicator(row)) {
            // In the fixed-cell font's colour, so the mark reads on a dark fixed image.
            const QImage g = IndicatorGlyph(*ind, platform::ToQRgb(s.fixedFont.color));
            skin::DrawGlyphFrame(p, fixedText.left() + (fixedText.width() - g.width()) / 2,
                                 fixedText.top() + (fixedText.height() - g.height()) / 2, 1, 1, g);
        }
        return;
    }
    if (!column || !link_.Active()) return;
    const QString text = CellText(column, row);
    const skin::Alignment align = column->Alignment();
    const bool lit = st.focused || (st.selected && HasGridOption(goRowSelect));
    if (defaultDrawing_ && (lit || st.selected)) {
        SetPenFont(p, s.cellFont, lit ? s.focusFontColor : s.selectFontColor);
        skinText(SkinTextRect(rect, s.cellText, s.selectCell), align, text);
    } else {
        SetPenFont(p, s.cellFont, s.cellFont.color);
        DrawCellText(p, rect, 2, 2, align, text, s.bgColor);
    }
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
