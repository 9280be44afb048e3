#include "lookup/Accessible.h"

#include <QPointer>

#include "data/DataSet.h"
#include "lookup/DBGrid.h"
#include "skinctrls/AccessibleGrid.h"

namespace lookup {

namespace {

class ResultGridReading : public skinctrls::GridReading {
public:
    explicit ResultGridReading(TwwDBGrid* g) : g_(g) {}

    bool Active() const { return g_ && g_->DataLink().Active() && g_->DataSet(); }
    const data::Field* FieldOf(int c) const { return g_ ? g_->Fields(c) : nullptr; }

    int Rows() const override { return Active() ? g_->DataSet()->RecordCount() : 0; }
    int Columns() const override { return Active() ? g_->FieldCount() : 0; }
    QString Title(int c) const override {
        const data::Field* f = FieldOf(c);
        return f ? f->displayName() : QString();
    }
    QString Text(int row, int c) const override {
        const data::Field* f = FieldOf(c);
        return Active() && f ? g_->DataLink().RowDisplayText(row, *f) : QString();
    }
    int CurrentRow() const override { return Active() && !g_->DataSet()->IsEmpty() ? g_->DataSet()->RecNo() - 1 : -1; }
    int CurrentColumn() const override { return CurrentRow() >= 0 ? g_->SelectedColumn() : -1; }
    void MakeCurrent(int row, int column) override {
        if (!Active()) return;
        g_->DataSet()->SetRecNo(row + 1);
        g_->SetSelectedColumn(column);
    }
    QRect CellRect(int row, int c) const override {
        if (!Active()) return {};
        const GridGeometry geometry = g_->Geometry();
        const int slot = row - g_->DataLink().FirstRecord();
        if (slot < 0 || slot >= geometry.VisibleRows()) return {};
        return geometry.DataCell(c, slot).intersected(QRect(QPoint(), geometry.client));
    }
    QRect TitleRect(int c) const override {
        if (!g_) return {};
        const GridGeometry geometry = g_->Geometry();
        return geometry.TitleCell(c).intersected(QRect(QPoint(), geometry.client));
    }

private:
    QPointer<TwwDBGrid> g_;
};

QAccessibleInterface* Factory(const QString& className, QObject* object) {
    if (className != QLatin1String("lookup::TwwDBGrid")) return nullptr;
    auto* grid = static_cast<TwwDBGrid*>(object);
    return new skinctrls::AccessibleGrid(grid, std::make_unique<ResultGridReading>(grid));
}

}  // namespace

void InstallAccessibility() {
    static bool installed = false;
    if (std::exchange(installed, true)) return;
    QAccessible::installFactory(Factory);
}

}  // namespace lookup
