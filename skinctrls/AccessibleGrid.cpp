#include "skinctrls/AccessibleGrid.h"

#include "frame/Accessible.h"

#include <QWidget>
#include <QWindow>

namespace skinctrls {

namespace {

// A column title (row -1) or a cell of a grid's table. It holds no text of its own: every
// question is answered from the grid as it is now, so a cell kept by the screen reader
// never reads an old value.
class AccessibleGridCell : public frame::AccessibleDrawnPart, public QAccessibleTableCellInterface {
public:
    AccessibleGridCell(QWidget* grid, int row, int column) : AccessibleDrawnPart(grid), row_(row), column_(column) {}

    AccessibleGrid* Table() const {
        return owner_ ? dynamic_cast<AccessibleGrid*>(QAccessible::queryAccessibleInterface(owner_)) : nullptr;
    }
    bool Current(const AccessibleGrid& t) const {
        return row_ >= 0 && t.Reading().CurrentRow() == row_ && t.Reading().CurrentColumn() == column_;
    }

    bool isValid() const override {
        const AccessibleGrid* t = Table();
        return t && column_ < t->Reading().Columns() && row_ < t->Reading().Rows();
    }
    QAccessibleInterface* parent() const override { return Table(); }

    QString text(QAccessible::Text t) const override {
        const AccessibleGrid* table = Table();
        if (!table || (t != QAccessible::Name && t != QAccessible::Value)) return {};
        return row_ < 0 ? table->Reading().Title(column_) : table->Reading().Text(row_, column_);
    }
    QRect rect() const override {
        const AccessibleGrid* t = Table();
        if (!t) return {};
        const QRect r = row_ < 0 ? t->Reading().TitleRect(column_) : t->Reading().CellRect(row_, column_);
        return r.isEmpty() ? QRect() : QRect(owner_->mapToGlobal(r.topLeft()), r.size());
    }
    QAccessible::Role role() const override { return row_ < 0 ? QAccessible::ColumnHeader : QAccessible::Cell; }
    QAccessible::State state() const override {
        QAccessible::State s;
        const AccessibleGrid* t = Table();
        if (!t) return s;
        s.invisible = rect().isEmpty();
        s.offscreen = s.invisible;
        if (row_ < 0) return s;
        s.focusable = s.selectable = true;
        s.selected = Current(*t);
        s.focused = s.selected && owner_->hasFocus();
        s.disabled = !owner_->isEnabled();
        return s;
    }
    void* interface_cast(QAccessible::InterfaceType t) override {
        return t == QAccessible::TableCellInterface ? static_cast<QAccessibleTableCellInterface*>(this) : nullptr;
    }

    // QAccessibleTableCellInterface
    int columnExtent() const override { return 1; }
    int rowExtent() const override { return 1; }
    QList<QAccessibleInterface*> columnHeaderCells() const override {
        const AccessibleGrid* t = Table();
        if (!t || row_ < 0) return {};
        return {t->Cell(-1, column_)};
    }
    QList<QAccessibleInterface*> rowHeaderCells() const override { return {}; }
    int columnIndex() const override { return column_; }
    int rowIndex() const override { return row_; }
    bool isSelected() const override {
        const AccessibleGrid* t = Table();
        return t && Current(*t);
    }
    QAccessibleInterface* table() const override { return Table(); }

private:
    int row_, column_;
};

}  // namespace

AccessibleGrid::AccessibleGrid(QWidget* grid, std::unique_ptr<GridReading> reading)
    : QAccessibleWidget(grid, QAccessible::Table), reading_(std::move(reading)) {}

AccessibleGrid::~AccessibleGrid() { ForgetCells(); }

void AccessibleGrid::ForgetCells() {
    for (const auto& [where, id] : cells_) QAccessible::deleteAccessibleInterface(id);
    cells_.clear();
}

void* AccessibleGrid::interface_cast(QAccessible::InterfaceType t) {
    if (t == QAccessible::TableInterface) return static_cast<QAccessibleTableInterface*>(this);
    return QAccessibleWidget::interface_cast(t);
}

QAccessibleInterface* AccessibleGrid::Cell(int row, int column) const {
    if (column < 0 || column >= reading_->Columns() || row < -1 || row >= reading_->Rows()) return nullptr;
    const auto found = cells_.find({row, column});
    if (found != cells_.end()) return QAccessible::accessibleInterface(found->second);
    auto* cell = new AccessibleGridCell(widget(), row, column);
    cells_[{row, column}] = QAccessible::registerAccessibleInterface(cell);
    return cell;
}

int AccessibleGrid::childCount() const { return reading_->Columns() * (reading_->Rows() + 1); }

QAccessibleInterface* AccessibleGrid::child(int index) const {
    const int columns = reading_->Columns();
    if (index < 0 || columns == 0) return nullptr;
    return Cell(index / columns - 1, index % columns);
}

int AccessibleGrid::indexOfChild(const QAccessibleInterface* child) const {
    const QAccessibleTableCellInterface* cell =
        child ? const_cast<QAccessibleInterface*>(child)->tableCellInterface() : nullptr;
    if (!cell || child->parent() != this) return -1;
    return (cell->rowIndex() + 1) * reading_->Columns() + cell->columnIndex();
}

QAccessibleInterface* AccessibleGrid::childAt(int x, int y) const {
    const QPoint p = widget()->mapFromGlobal(QPoint(x, y));
    for (int c = 0; c < reading_->Columns(); ++c)
        if (reading_->TitleRect(c).contains(p)) return Cell(-1, c);
    for (int r = 0; r < reading_->Rows(); ++r) {
        bool shown = false;
        for (int c = 0; c < reading_->Columns(); ++c) {
            const QRect cell = reading_->CellRect(r, c);
            if (cell.contains(p)) return Cell(r, c);
            shown = shown || !cell.isEmpty();
        }
        if (!shown && r > reading_->CurrentRow() + 200) break;  // well past the rows in view
    }
    return nullptr;
}

QAccessibleInterface* AccessibleGrid::focusChild() const {
    return Cell(reading_->CurrentRow(), reading_->CurrentColumn());
}

QAccessibleInterface* AccessibleGrid::cellAt(int row, int column) const { return row < 0 ? nullptr : Cell(row, column); }
int AccessibleGrid::columnCount() const { return reading_->Columns(); }
int AccessibleGrid::rowCount() const { return reading_->Rows(); }
QString AccessibleGrid::columnDescription(int column) const { return reading_->Title(column); }

int AccessibleGrid::selectedCellCount() const { return reading_->CurrentRow() >= 0 ? 1 : 0; }

QList<QAccessibleInterface*> AccessibleGrid::selectedCells() const {
    if (QAccessibleInterface* c = focusChild()) return {c};
    return {};
}

bool AccessibleGrid::isRowSelected(int row) const { return row >= 0 && row == reading_->CurrentRow(); }

bool AccessibleGrid::selectRow(int row) {
    if (row < 0 || row >= reading_->Rows()) return false;
    reading_->MakeCurrent(row, std::max(0, reading_->CurrentColumn()));
    return reading_->CurrentRow() == row;
}

void AccessibleGrid::modelChange(QAccessibleTableModelChangeEvent*) { ForgetCells(); }

void AccessibleGrid::Notify() {
    pending_ = false;
    const int rows = reading_->Rows(), columns = reading_->Columns();
    if (reload_ || rows != rows_ || columns != columns_) {
        reload_ = false;
        rows_ = rows;
        columns_ = columns;
        current_ = {-1, -1};
        QAccessibleTableModelChangeEvent reset(widget(), QAccessibleTableModelChangeEvent::ModelReset);
        QAccessible::updateAccessibility(&reset);
    }
    const std::pair<int, int> now{reading_->CurrentRow(), reading_->CurrentColumn()};
    if (now == current_) return;
    current_ = now;
    // Only the control with the keyboard moves the screen reader's focus.
    if (!widget()->hasFocus()) return;
    if (QAccessibleInterface* cell = Cell(now.first, now.second)) {
        QAccessibleEvent focus(cell, QAccessible::Focus);
        QAccessible::updateAccessibility(&focus);
    }
}

void AccessibleGridChanged(QWidget* grid, bool reloaded) {
    // Nothing is made for a screen reader nobody runs, nor for a grid being built or hidden
    // (its class is not yet what it will be, and nobody reads it).
    if (!QAccessible::isActive() || !grid->isVisible()) return;
    auto* table = dynamic_cast<AccessibleGrid*>(QAccessible::queryAccessibleInterface(grid));
    if (!table) return;
    table->reload_ = table->reload_ || reloaded;
    if (std::exchange(table->pending_, true)) return;
    // Told once the grid's own work is done: a list loaded row by row is one reset.
    QMetaObject::invokeMethod(
        grid,
        [g = QPointer<QWidget>(grid)] {
            if (!g) return;
            if (auto* t = dynamic_cast<AccessibleGrid*>(QAccessible::queryAccessibleInterface(g))) t->Notify();
        },
        Qt::QueuedConnection);
}

}  // namespace skinctrls
