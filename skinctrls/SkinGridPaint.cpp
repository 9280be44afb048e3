// Painting of both grids: grid lines, the cell backgrounds of both looks, the cell
// contents (titles, indicator glyphs, data cells) and the indicator glyphs themselves.
// Painting reads the grid's cells, its stored skin entry and the data link's rows; it
// moves nothing.

#include "skinctrls/SkinGrid.h"

#include <QPainter>

#include "skin/Compose.h"
#include "skin/Glyphs.h"
#include "skinctrls/Paint.h"
#include "userchars/UserChars.h"

namespace skinctrls {

namespace {

void DrawRaisedEdge(QPainter& p, const QRect& r) {
    skin::Draw3DBorder(p, r, platform::ToQColor(platform::clBtnHighlight), platform::ToQColor(platform::clBtnShadow));
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
    const char* const* rows = arrow;
    switch (kind) {
    case TbsIndicator::Arrow: rows = arrow; break;
    case TbsIndicator::Edit: rows = edit; break;
    case TbsIndicator::Insert: rows = insert; break;
    }
    QImage img(6, 11, QImage::Format_RGB32);
    for (int y = 0; y < 11; ++y)
        for (int x = 0; x < 6; ++x) img.setPixel(x, y, rows[y][x] == '#' ? ink : qRgb(255, 255, 255));
    return img;
}

// ===== TbsSkinCustomGrid ==================================================================

void TbsSkinCustomGrid::DrawFixedImage(QPainter& p, const QRect& cell) const {
    const GridSkin& s = gridSkin_;
    FillRect(p, cell, s.bgColor);
    const QImage img = skin::ComposeHorizontalImage(s.picture, s.fixedCell, s.fixedLeft, s.fixedRight, cell.width());
    DrawPicture(p, cell.topLeft(), img);
}

void TbsSkinCustomGrid::DrawCellImage(QPainter& p, const QRect& cell, bool focus) const {
    const GridSkin& s = gridSkin_;
    FillRect(p, cell, s.bgColor);
    const QImage img = skin::ComposeHorizontalImage(s.picture, focus ? s.focusCell : s.selectCell, s.cellLeft,
                                                    s.cellRight, cell.width());
    DrawPicture(p, cell.topLeft(), img);
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

// ===== TbsSkinCustomDBGrid ================================================================

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
    return link_.DisplayText(slot, *f);
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
        if (align == skin::taLeftJustify) {
            const userchars::TextFont udc(p, text);
            skin::DrawTextMiddleLeft(p, text, area);
        } else
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

}  // namespace skinctrls
