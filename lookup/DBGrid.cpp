#include "lookup/DBGrid.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QScreen>
#include <QScrollBar>
#include <algorithm>

#include "skin/DeviceImage.h"
#include "skinctrls/AccessibleGrid.h"

namespace lookup {

using platform::TColor;

namespace {

constexpr int kDefaultColWidth = 64;  // a column without a field
constexpr int kScrollBarThickness = 16;
constexpr int kTextMargin = 2;

// A Selected entry rebuilt from its tab fields: name, width, title, read-only flag ("F"
// when empty) and the group name only when there is one.
QString SelectedEntry(QStringList parts) {
    while (parts.size() < 4) parts << QString();
    if (parts[3].isEmpty()) parts[3] = QStringLiteral("F");
    QStringList out = parts.mid(0, 4);
    if (parts.size() > 4 && !parts[4].isEmpty()) out << parts[4];
    return out.join(u'\t');
}

// A cell's background: its own rectangle of the prepared copy, or the colour when the
// copy was not prepared.
void CopyOrFill(QPainter& p, const QRect& r, const QImage& copy, TColor color) {
    if (!copy.isNull())
        p.drawImage(r.topLeft(), copy, r);
    else
        p.fillRect(r, platform::ToQColor(color));
}

bool LowColorScreen() {
    const QScreen* s = QGuiApplication::primaryScreen();
    return s && s->depth() <= 8;
}

}  // namespace

// --- The data link ----------------------------------------------------------------

class TwwDBGrid::Link : public data::DataLink {
public:
    explicit Link(TwwDBGrid* grid) : grid_(grid) {}
    void Detach() { grid_ = nullptr; }

protected:
    void ActiveChanged() override {
        if (grid_) grid_->LayoutChanged();
    }
    void LayoutChanged() override {
        if (grid_) grid_->LayoutChanged();
    }
    void DataSetChanged() override {
        if (grid_) grid_->DataChanged();
    }
    void DataSetScrolled(int) override {
        if (grid_) grid_->DataChanged();
    }
    void EditingChanged() override {
        if (grid_) grid_->update();
    }
    void RecordChanged(data::Field*) override {
        if (grid_) grid_->update();
    }

private:
    TwwDBGrid* grid_;
};

// --- Columns ------------------------------------------------------------------------

void TwwColumn::SetDisplayLabel(const QString& title) {
    if (IsPlaceholder() || !grid_) return;
    TwwDBGrid& g = *grid_;
    g.BeginUpdate();
    for (QString& entry : g.selected_) {
        QStringList parts = entry.split(u'\t');
        if (parts[0].compare(fieldName_, Qt::CaseInsensitive) != 0) continue;
        while (parts.size() < 3) parts << QString();
        parts[2] = title;
        entry = SelectedEntry(parts);
        break;
    }
    if (g.useTFields_) {
        data::DataSet* ds = g.DataSet();
        if (data::Field* f = ds && ds->Active() ? ds->FindField(fieldName_) : nullptr) f->SetDisplayLabel(title);
    }
    g.layoutPending_ = true;
    g.EndUpdate();
}

// --- Geometry -----------------------------------------------------------------------

int GridGeometry::VisibleRows() const { return std::max(1, (client.height() - titleHeight) / std::max(1, rowHeight)); }

QRect GridGeometry::ColumnSpan(int c) const {
    if (c < leftCol || c >= static_cast<int>(columnWidths.size())) return {};
    int x = indicatorWidth;
    for (int i = leftCol; i < c; ++i) x += columnWidths[static_cast<size_t>(i)];
    return {x, 0, columnWidths[static_cast<size_t>(c)], client.height()};
}

QRect GridGeometry::DataCell(int c, int row) const {
    const QRect s = ColumnSpan(c);
    if (s.isEmpty()) return {};
    return {s.x(), titleHeight + row * rowHeight, s.width(), rowHeight};
}

QRect GridGeometry::TitleCell(int c) const {
    const QRect s = ColumnSpan(c);
    if (s.isEmpty()) return {};
    return {s.x(), 0, s.width(), titleHeight};
}

int GridGeometry::ColumnsRight() const {
    int x = indicatorWidth;
    for (size_t i = static_cast<size_t>(std::max(0, leftCol)); i < columnWidths.size(); ++i) x += columnWidths[i];
    return x;
}

int GridGeometry::ColumnAt(int x) const {
    if (x < indicatorWidth) return -1;
    int right = indicatorWidth;
    for (int c = leftCol; c < static_cast<int>(columnWidths.size()); ++c) {
        right += columnWidths[static_cast<size_t>(c)];
        if (x < right) return c;
    }
    return -1;
}

int GridGeometry::RowAt(int y) const {
    if (y < titleHeight) return -1;
    return (y - titleHeight) / std::max(1, rowHeight);
}

// --- The grid -----------------------------------------------------------------------

TwwDBGrid::TwwDBGrid(QWidget* parent)
    : QWidget(parent),
      link_(std::make_unique<Link>(this)),
      paintOptions_(this),
      vbar_(new QScrollBar(Qt::Vertical, this)),
      hbar_(new QScrollBar(Qt::Horizontal, this)) {
    titleFont_ = {QStringLiteral("新細明體"), 12, {}, platform::clWindowText};
    gridFont_ = titleFont_;
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    vbar_->setFocusPolicy(Qt::NoFocus);
    hbar_->setFocusPolicy(Qt::NoFocus);
    hbar_->hide();
    connect(vbar_, &QScrollBar::valueChanged, this, [this](int v) {
        data::DataSet* ds = DataSet();
        if (settingBars_ || !link_->Active() || !ds) return;
        ds->SetRecNo(v + 1);
    });
    connect(hbar_, &QScrollBar::valueChanged, this, [this](int v) {
        if (settingBars_) return;
        leftCol_ = v;
        col_ = std::max(col_, leftCol_);
        update();
    });
    paintOptions_.SetFixedColors(titleColor_, platform::clBtnFace);
}

TwwDBGrid::~TwwDBGrid() {
    link_->Detach();
    link_->SetDataSource(nullptr);
}

data::DataSource* TwwDBGrid::DataSource() const { return link_->dataSource(); }
data::DataSet* TwwDBGrid::DataSet() const { return link_->dataSet(); }

const data::DataLink& TwwDBGrid::DataLink() const { return *link_; }

void TwwDBGrid::SetDataSource(data::DataSource* source) {
    if (source == link_->dataSource()) return;
    link_->SetDataSource(source);
    LayoutChanged();
}

data::Field* TwwDBGrid::Fields(int i) const {
    if (i < 0 || i >= FieldCount()) return nullptr;
    data::DataSet* ds = DataSet();
    if (!ds || !ds->Active() || map_[static_cast<size_t>(i)] >= ds->FieldCount()) return nullptr;
    return ds->Fields(map_[static_cast<size_t>(i)]);
}

TwwColumn* TwwDBGrid::ColumnByIndex(int i) {
    QString name;
    if (!map_.empty()) {
        const data::Field* f = Fields(i);
        if (!f) return &placeholder_;
        name = f->fieldName();
    } else {
        if (i < 0 || i >= selected_.size()) return &placeholder_;
        name = selected_[i].section(u'\t', 0, 0);
        if (name.isEmpty()) return &placeholder_;
    }
    for (const auto& c : columns_)
        if (c->FieldName().compare(name, Qt::CaseInsensitive) == 0) return c.get();
    columns_.push_back(std::make_unique<TwwColumn>(this, name));
    return columns_.back().get();
}

void TwwDBGrid::SetSelected(const QStringList& entries) {
    selected_ = entries;
    LayoutChanged();
}

void TwwDBGrid::SetUseTFields(bool on) {
    if (useTFields_ == on) return;
    useTFields_ = on;
    LayoutChanged();
}

void TwwDBGrid::SetTitleColor(TColor c) {
    if (titleColor_ == c) return;
    titleColor_ = c;
    LayoutChanged();
}

void TwwDBGrid::SetTitleFont(const platform::TFont& f) {
    titleFont_ = f;
    LayoutChanged();
}

void TwwDBGrid::SetGridFont(const platform::TFont& f) {
    gridFont_ = f;
    LayoutChanged();
}

void TwwDBGrid::SetColor(TColor c) {
    color_ = c;
    update();
}

void TwwDBGrid::SetHideAllLines(bool on) {
    hideAllLines_ = on;
    update();
}

void TwwDBGrid::SetTitleLines(int lines) {
    titleLines_ = std::max(1, lines);
    LayoutChanged();
}

void TwwDBGrid::EndUpdate() {
    if (updateCount_ > 0) --updateCount_;
    if (updateCount_ == 0 && layoutPending_) {
        layoutPending_ = false;
        LayoutChanged();
    }
}

void TwwDBGrid::BuildColumns() {
    map_.clear();
    data::DataSet* ds = link_->Active() ? DataSet() : nullptr;
    if (useTFields_) {
        if (ds)
            for (int i = 0; i < ds->FieldCount(); ++i)
                if (ds->Fields(i)->visible()) map_.push_back(i);
    } else if (ds) {
        // Entries whose field does not exist are dropped while the link is active.
        QStringList kept;
        for (const QString& entry : selected_) {
            const data::Field* f = ds->FindField(entry.section(u'\t', 0, 0));
            if (!f) continue;
            kept << entry;
            map_.push_back(f->index());
        }
        selected_ = kept;
    }
    // A field keeps its column object across layouts, so a column a caller holds (one
    // being retitled) stays valid while the field is shown.
    std::vector<std::unique_ptr<TwwColumn>> fresh;
    for (const int index : map_) {
        const QString& name = ds->Fields(index)->fieldName();
        auto old = std::find_if(columns_.begin(), columns_.end(), [&](const std::unique_ptr<TwwColumn>& c) {
            return c && c->FieldName().compare(name, Qt::CaseInsensitive) == 0;
        });
        fresh.push_back(old != columns_.end() ? std::move(*old) : std::make_unique<TwwColumn>(this, name));
    }
    columns_ = std::move(fresh);
}

void TwwDBGrid::LayoutChanged() {
    if (updateCount_ > 0) {
        layoutPending_ = true;
        return;
    }
    BuildColumns();
    const int columns = std::max(1, FieldCount());
    col_ = std::clamp(col_, 0, columns - 1);
    leftCol_ = std::clamp(leftCol_, 0, columns - 1);
    paintOptions_.SetFixedColors(titleColor_, platform::clBtnFace);
    resizeEvent(nullptr);    skinctrls::AccessibleGridChanged(this, true);
}

void TwwDBGrid::FollowFirstRecord() {
    // The tint stays with the records: an odd move of the first visible record turns
    // the parity over.
    const int first = link_->Active() ? link_->FirstRecord() : 0;
    if ((first - lastFirst_) % 2 != 0) rowParity_ = !rowParity_;
    lastFirst_ = first;
}

void TwwDBGrid::DataChanged() {
    FollowFirstRecord();
    UpdateScrollBars();
    update();
    skinctrls::AccessibleGridChanged(this);
}

int TwwDBGrid::ColumnWidth(int c) const {
    const data::Field* f = Fields(c);
    if (!f) return kDefaultColWidth;
    const int text = f->displayWidth() * platform::TextWidth(gridFont_.ToQFont(), QStringLiteral("0"));
    const int title = platform::TextWidth(titleFont_.ToQFont(), f->displayName());
    return std::max(text, title) + 2 * kTextMargin;
}

QString TwwDBGrid::ColumnTitle(int c) const {
    const data::Field* f = Fields(c);
    return f ? f->displayName() : QString();
}

GridGeometry TwwDBGrid::Geometry() const {
    GridGeometry g;
    g.rowHeight = platform::TextHeight(gridFont_.ToQFont()) + 4;
    g.titleHeight = platform::TextHeight(titleFont_.ToQFont()) * titleLines_ + 4;
    const int columns = std::max(1, FieldCount());
    for (int c = 0; c < columns; ++c) g.columnWidths.push_back(ColumnWidth(c));
    g.leftCol = leftCol_;
    const int w = std::max(0, width() - kScrollBarThickness);
    const int h = std::max(0, height() - (hbar_->isVisibleTo(this) ? kScrollBarThickness : 0));
    g.client = QSize(w, h);
    return g;
}

void TwwDBGrid::SetSelectedColumn(int c) {
    GridGeometry g = Geometry();
    col_ = std::clamp(c, 0, static_cast<int>(g.columnWidths.size()) - 1);
    if (col_ < leftCol_) leftCol_ = col_;
    // Scroll right until the column ends inside the client area (or is the first shown).
    g.leftCol = leftCol_;
    while (leftCol_ < col_ && g.ColumnSpan(col_).right() >= g.client.width()) g.leftCol = ++leftCol_;
    UpdateScrollBars();
    update();
    skinctrls::AccessibleGridChanged(this);
}

void TwwDBGrid::UpdateScrollBars() {
    settingBars_ = true;
    GridGeometry full = Geometry();
    full.leftCol = 0;
    const bool needH = full.ColumnsRight() > std::max(0, width() - kScrollBarThickness);
    if (needH != hbar_->isVisibleTo(this)) hbar_->setVisible(needH);
    const int hb = needH ? kScrollBarThickness : 0;
    vbar_->setGeometry(width() - kScrollBarThickness, 0, kScrollBarThickness, height() - hb);
    hbar_->setGeometry(0, height() - kScrollBarThickness, width() - kScrollBarThickness, kScrollBarThickness);
    full.client.setHeight(std::max(0, height() - hb));  // the horizontal bar as it is now
    data::DataSet* ds = link_->Active() ? DataSet() : nullptr;
    const int rows = ds ? ds->RecordCount() : 0;
    vbar_->setRange(0, std::max(0, rows - 1));
    vbar_->setPageStep(full.VisibleRows());
    vbar_->setValue(ds ? std::max(0, ds->RecNo() - 1) : 0);
    vbar_->setEnabled(rows > 1);
    hbar_->setRange(0, std::max(0, static_cast<int>(full.columnWidths.size()) - 1));
    hbar_->setValue(leftCol_);
    settingBars_ = false;
}

void TwwDBGrid::resizeEvent(QResizeEvent*) {
    paintOptions_.MarkStale();
    UpdateScrollBars();  // first: the rows that fit depend on the horizontal bar
    link_->SetBufferCount(Geometry().VisibleRows());
    FollowFirstRecord();
    update();
}

void TwwDBGrid::MoveBy(int rows) {
    data::DataSet* ds = DataSet();
    if (!link_->Active() || !ds || rows == 0) return;
    ds->MoveBy(rows);
}

// --- Painting -----------------------------------------------------------------------

void TwwDBGrid::FixedBackground(QPainter& p, const QRect& r) {
    CopyOrFill(p, r, paintOptions_.Pictures().fixedColumn, titleColor_);
}

void TwwDBGrid::DataBackground(QPainter& p, const QRect& r, int row) {
    const GridPictures& pics = paintOptions_.Pictures();
    const bool fill = !pics.base.isNull() && (paintOptions_.BackgroundOptions() & coFillDataCells);
    if (!fill) {
        p.fillRect(r, platform::ToQColor(color_));
        return;
    }
    if (paintOptions_.AlternatingRowColor() != platform::clNone &&
        (paintOptions_.AlternatingRowRegions() & arrDataColumns) && row >= 0 && (row % 2 != 0) != rowParity_) {
        CopyOrFill(p, r, pics.alternating, paintOptions_.AlternatingRowColor());
        return;
    }
    p.drawImage(r.topLeft(), pics.base, r);
}

void TwwDBGrid::PaintInto(QImage& buffer, const GridGeometry& g) {
    paintOptions_.PrepareIfStale(size(), g.titleHeight, LowColorScreen());
    const GridPictures& pics = paintOptions_.Pictures();
    const bool fillFromPicture = !pics.base.isNull() && (paintOptions_.BackgroundOptions() & coFillDataCells);
    const QRect all(QPoint(0, 0), g.client);
    const bool active = link_->Active() && DataSet();

    QPainter p(&buffer);
    const skin::SmoothOnFinerDevice smooth(p);  // the background pictures
    DataBackground(p, all, -1);
    if (!active) {
        FixedBackground(p, all);
        DataBackground(p, QRect(QPoint(g.indicatorWidth, g.titleHeight), all.bottomRight()), -1);
    }

    // The title row: the corner cell, then the titles of the scrolled columns.
    const QFont titleFont = titleFont_.ToQFont();
    const int titleTextHeight = platform::TextHeight(titleFont);
    auto titleBackground = [&](const QRect& r) { CopyOrFill(p, r, pics.titleRow, titleColor_); };
    titleBackground(QRect(0, 0, g.indicatorWidth, g.titleHeight));
    p.setFont(titleFont);
    p.setPen(platform::ToQColor(titleFont_.color));
    for (int c = g.leftCol; c < static_cast<int>(g.columnWidths.size()); ++c) {
        const QRect cell = g.TitleCell(c);
        if (cell.left() >= g.client.width()) break;
        titleBackground(cell.adjusted(-1, 0, 0, 0));
        const QString title = ColumnTitle(c);
        const QStringList lines = title.split(u'~');
        const int count = titleLines_ == 1 ? 1 : static_cast<int>(lines.size());
        int y = cell.top() + (cell.height() / 2 - titleTextHeight * count / 2);
        for (const QString& line : lines) {
            platform::TextRectOut(p, cell, cell.left() + kTextMargin, y, line);
            y += titleTextHeight;
        }
    }

    const bool focused = hasFocus() || paintFocused_;
    int rowsShown = 0;
    if (active) {
        const int current = link_->ActiveRecord();
        rowsShown = link_->RecordCount();
        const QFont font = gridFont_.ToQFont();
        const int textHeight = platform::TextHeight(font);
        p.setFont(font);
        for (int row = 0; row < rowsShown; ++row) {
            const QRect ind = g.IndicatorCell(row);
            FixedBackground(p, ind.adjusted(-1, -1, 0, 1));
            if (row == current) {
                // The current record's triangle.
                const int cy = ind.center().y();
                const QPoint tri[3] = {{3, cy - 4}, {7, cy}, {3, cy + 4}};
                p.setPen(Qt::NoPen);
                p.setBrush(Qt::black);
                p.drawPolygon(tri, 3);
                p.setBrush(Qt::NoBrush);
            }
            link_->SetActiveRecord(row);
            for (int c = g.leftCol; c < FieldCount(); ++c) {
                const QRect cell = g.DataCell(c, row);
                if (cell.left() >= g.client.width()) break;
                if (fillFromPicture) DataBackground(p, cell, row);
                const bool highlighted = focused && row == current && c == col_;
                if (highlighted) p.fillRect(cell, platform::ToQColor(platform::clHighlight));
                const data::Field* f = Fields(c);
                const QString text = f->DisplayText();
                p.setPen(platform::ToQColor(highlighted ? platform::clHighlightText : gridFont_.color));
                const int ty = cell.top() + (cell.height() - textHeight) / 2;
                const int tx = f->alignment() == data::Alignment::Right
                                   ? cell.right() - kTextMargin - platform::TextWidth(font, text)
                                   : cell.left() + kTextMargin;
                platform::TextRectOut(p, cell.adjusted(0, 0, -1, 0), tx, ty, text);
                // The cell's own row line: one line in the data colour over a picture,
                // white or highlighted cell; a shadow and a highlight line otherwise.
                const bool plain = fillFromPicture || highlighted || platform::ColorToRGB(color_) == platform::clWhite;
                if (plain) {
                    p.setPen(platform::ToQColor(lineColors_.dataColor));
                    p.drawLine(cell.left(), cell.bottom(), cell.right(), cell.bottom());
                } else {
                    p.setPen(platform::ToQColor(lineColors_.shadowColor));
                    p.drawLine(cell.left(), cell.bottom(), cell.right(), cell.bottom());
                    if (row != current) {
                        p.setPen(platform::ToQColor(lineColors_.highlightColor));
                        p.drawLine(cell.left(), cell.top(), cell.right(), cell.top());
                    }
                }
            }
        }
        if (rowsShown > 0) link_->SetActiveRecord(current);
    }

    // The pad right of the last column looks like the indicator column.
    const int right = g.ColumnsRight();
    if (right < g.client.width()) FixedBackground(p, QRect(right, 0, g.client.width() - right, g.client.height()));
    // So does the area below the last record.
    if (active) {
        const int top = g.titleHeight + rowsShown * g.rowHeight;
        if (top < g.client.height()) FixedBackground(p, QRect(0, top, g.client.width(), g.client.height() - top));
    }
    if (!hideAllLines_) {
        p.setPen(platform::ToQColor(lineColors_.fixedColor));
        p.drawLine(0, g.titleHeight - 1, std::min(right, g.client.width()) - 1, g.titleHeight - 1);
        p.drawLine(g.indicatorWidth - 1, 0, g.indicatorWidth - 1, g.titleHeight + rowsShown * g.rowHeight - 1);
    }

    // The focus rectangle of the current cell.
    if (active && focused && rowsShown > 0) {
        const QRect cell = g.DataCell(col_, link_->ActiveRecord());
        if (!cell.isEmpty()) {
            QPen pen(platform::ToQColor(platform::clHighlightText));
            pen.setStyle(Qt::DotLine);
            p.setPen(pen);
            p.drawRect(cell.adjusted(0, 0, -1, -2));
        }
    }
}

void TwwDBGrid::paintEvent(QPaintEvent*) {
    const GridGeometry g = Geometry();
    if (g.client.isEmpty()) return;
    // At the screen's pixel ratio, so the cells' text is drawn at the device's resolution.
    const qreal ratio = devicePixelRatioF();
    if (skin::LogicalSize(buffer_) != g.client || buffer_.devicePixelRatio() != ratio)
        buffer_ = skin::NewDeviceImage(g.client, ratio, platform::ToQColor(platform::clWindow));
    PaintInto(buffer_, g);
    QPainter p(this);
    p.drawImage(0, 0, buffer_);
    // The corner between the two scroll bars.
    if (hbar_->isVisibleTo(this))
        p.fillRect(QRect(width() - kScrollBarThickness, height() - kScrollBarThickness, kScrollBarThickness, kScrollBarThickness),
                   platform::ToQColor(platform::clBtnFace));
}

QImage TwwDBGrid::Render() { return grab().toImage(); }

// --- Keys and mouse -------------------------------------------------------------------

void TwwDBGrid::keyPressEvent(QKeyEvent* e) {
    e->ignore();
    if (OnKeyDown) {
        e->setAccepted(false);
        OnKeyDown(e);
        if (e->isAccepted()) return;
    }
    const int page = Geometry().VisibleRows();
    const bool ctrl = e->modifiers() & Qt::ControlModifier;
    data::DataSet* ds = link_->Active() ? DataSet() : nullptr;
    switch (e->key()) {
    case Qt::Key_Up: MoveBy(-1); break;
    case Qt::Key_Down: MoveBy(1); break;
    case Qt::Key_PageUp: MoveBy(-page); break;
    case Qt::Key_PageDown: MoveBy(page); break;
    case Qt::Key_Home:
        if (ctrl && ds)
            ds->First();
        else
            SetSelectedColumn(0);
        break;
    case Qt::Key_End:
        if (ctrl && ds)
            ds->Last();
        else
            SetSelectedColumn(FieldCount() - 1);
        break;
    case Qt::Key_Left: SetSelectedColumn(col_ - 1); break;
    case Qt::Key_Right: SetSelectedColumn(col_ + 1); break;
    default: QWidget::keyPressEvent(e); return;
    }
    e->accept();
}

void TwwDBGrid::mousePressEvent(QMouseEvent* e) {
    setFocus(Qt::MouseFocusReason);
    const GridGeometry g = Geometry();
    const int row = g.RowAt(e->position().toPoint().y());
    const int col = g.ColumnAt(e->position().toPoint().x());
    if (link_->Active() && row >= 0 && row < link_->RecordCount()) MoveBy(row - link_->ActiveRecord());
    if (col >= 0 && col < FieldCount()) SetSelectedColumn(col);
    e->accept();
}

void TwwDBGrid::mouseDoubleClickEvent(QMouseEvent* e) {
    e->accept();
    const int row = Geometry().RowAt(e->position().toPoint().y());
    if (!link_->Active() || row < 0 || row >= link_->RecordCount()) return;
    MoveBy(row - link_->ActiveRecord());
    if (OnRowDoubleClick) OnRowDoubleClick();
}

void TwwDBGrid::wheelEvent(QWheelEvent* e) {
    const int steps = e->angleDelta().y() / 120;
    MoveBy(-steps);
    e->accept();
}

void TwwDBGrid::focusInEvent(QFocusEvent* e) {
    QWidget::focusInEvent(e);
    update();
}

void TwwDBGrid::focusOutEvent(QFocusEvent* e) {
    QWidget::focusOutEvent(e);
    update();
}

}  // namespace lookup
