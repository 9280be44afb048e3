#pragma once
// What a screen reader reads of a data grid: a table whose rows are every row of the
// grid's data set (not only the rows in view), whose columns are the columns the clerk
// sees with the titles the clerk sees, and whose cells hold the text the grid shows. The
// current cell is the table's focused child. Both data grids (the skinned one here and
// the lookup's) describe themselves to it through a GridReading; the table asks for
// nothing else.
//
// The grids call AccessibleGridChanged whenever their rows, columns or current cell may
// have moved; the table then tells the screen reader, once the grid's own work is done:
// a model reset when the rows were loaded or emptied (or the columns changed), a focus
// event on the new current cell when the grid has the keyboard.

#include <QAccessibleWidget>
#include <QPointer>

#include <map>
#include <memory>
#include <utility>

namespace skinctrls {

class GridReading {
public:
    virtual ~GridReading() = default;
    virtual int Rows() const = 0;
    virtual int Columns() const = 0;
    virtual QString Title(int column) const = 0;
    virtual QString Text(int row, int column) const = 0;
    // The current cell; -1 when there is none (an empty or closed list).
    virtual int CurrentRow() const = 0;
    virtual int CurrentColumn() const = 0;
    virtual void MakeCurrent(int row, int column) = 0;
    // Where the cell is drawn, in the grid's coordinates; empty when it is not in view.
    virtual QRect CellRect(int row, int column) const = 0;
    virtual QRect TitleRect(int column) const = 0;
};

class AccessibleGrid : public QAccessibleWidget, public QAccessibleTableInterface {
public:
    AccessibleGrid(QWidget* grid, std::unique_ptr<GridReading> reading);
    ~AccessibleGrid() override;

    const GridReading& Reading() const { return *reading_; }
    GridReading& Reading() { return *reading_; }

    // QAccessibleInterface. Children: the column titles, then the cells row by row.
    void* interface_cast(QAccessible::InterfaceType t) override;
    int childCount() const override;
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QAccessibleInterface* childAt(int x, int y) const override;
    QAccessibleInterface* focusChild() const override;

    // QAccessibleTableInterface
    QAccessibleInterface* caption() const override { return nullptr; }
    QAccessibleInterface* summary() const override { return nullptr; }
    QAccessibleInterface* cellAt(int row, int column) const override;
    int columnCount() const override;
    int rowCount() const override;
    QString columnDescription(int column) const override;
    QString rowDescription(int) const override { return {}; }
    int selectedCellCount() const override;
    QList<QAccessibleInterface*> selectedCells() const override;
    int selectedColumnCount() const override { return 0; }
    int selectedRowCount() const override { return 0; }
    QList<int> selectedColumns() const override { return {}; }
    QList<int> selectedRows() const override { return {}; }
    bool isColumnSelected(int) const override { return false; }
    bool isRowSelected(int row) const override;
    bool selectRow(int row) override;
    bool selectColumn(int) override { return false; }
    bool unselectRow(int) override { return false; }
    bool unselectColumn(int) override { return false; }
    void modelChange(QAccessibleTableModelChangeEvent* event) override;

    // The title of a column (row -1) or a cell, made once and kept until the rows change.
    QAccessibleInterface* Cell(int row, int column) const;
    // Tells the screen reader what changed since it was last told (see above).
    void Notify();

private:
    void ForgetCells();

    std::unique_ptr<GridReading> reading_;
    mutable std::map<std::pair<int, int>, QAccessible::Id> cells_;
    int rows_ = -1, columns_ = -1;  // as last told
    std::pair<int, int> current_{-1, -1};
    bool pending_ = false;  // a Notify is on its way
    bool reload_ = false;   // the grid's rows were read again since
    friend void AccessibleGridChanged(QWidget* grid, bool reloaded);
};

// Called by a grid whose rows, columns or current cell may have changed; reloaded: its
// data set was opened, closed or read again, whatever the number of rows.
void AccessibleGridChanged(QWidget* grid, bool reloaded = false);

}  // namespace skinctrls
