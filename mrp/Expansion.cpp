#include "mrp/Expansion.h"

#include <algorithm>

#include "mrp/Rules.h"

namespace mrp {

namespace {

QString Chain(const QStringList& assemblies, const QString& last) {
    // Starts at the first appearance of the repeated product, so the message shows the
    // cycle itself and not the way into it.
    const qsizetype from = std::max<qsizetype>(0, assemblies.indexOf(last));
    QStringList chain = assemblies.mid(from);
    chain << last;
    return chain.join(QStringLiteral(" → "));
}

// A bill line must name its component: without one the requisition would get a line
// with no product.
void RequireComponent(const QString& assembly, const QString& component) {
    if (component.isEmpty())
        throw RuleError(QString("the bill of materials of %1 has a line without a component (DE_PRODID is empty)")
                            .arg(assembly)
                            .toStdString());
}

}  // namespace

void Expansion::Append(MaterialRow row) {
    if (row.mItem == QLatin1String("Y")) {
        if (row.assemblies.contains(row.prodId))
            throw RuleError(QString("the bill of materials contains itself: %1")
                                .arg(Chain(row.assemblies, row.prodId))
                                .toStdString());
        if (row.assemblies.size() >= maxDepth_)
            throw RuleError(QString("the bill of materials of %1 is more than %2 levels deep")
                                .arg(row.assemblies.value(0))
                                .arg(maxDepth_)
                                .toStdString());
    }
    rows_.push_back(std::move(row));
}

void Expansion::FirstLevel(const std::vector<BomRow>& bomRows) {
    for (const BomRow& b : bomRows) {
        RequireComponent(b.prodId, b.deProdId);
        MaterialRow row;
        row.prodId = b.deProdId;
        const ProductRef product = source_.Product(b.deProdId);
        row.prodName = product.prodName;
        row.unitName = product.unitName;
        // T_QTY is handed over as text: 15 significant digits.
        if (b.tQty) row.qty = ThroughText(*b.tQty);
        row.divC = FloatOr(b.divC, 1);
        row.rQty = RequisitionQuantity(row.qty.value_or(0), FloatOr(b.divC, 1), b.prodId, b.deProdId);
        row.mItem = source_.HasBill(b.deProdId) ? QStringLiteral("Y") : QStringLiteral("N");
        row.masterBillId = b.masterBillId;
        row.mainProd = b.prodId;
        if (row.mItem == QLatin1String("Y")) row.assemblies = QStringList{b.prodId};
        Append(std::move(row));
    }
}

bool Expansion::HasSubAssembly() const {
    return std::any_of(rows_.begin(), rows_.end(),
                       [](const MaterialRow& r) { return r.mItem == QLatin1String("Y"); });
}

void Expansion::Pass() {
    struct Entry {
        QString prodId;
        double qty;  // the row's QTY read as text, 1 when null
        QString masterBillId;
        QStringList assemblies;
    };
    // Collect: every marked row, in list order, leaves the list.
    std::vector<Entry> entries;
    std::vector<MaterialRow> kept;
    kept.reserve(rows_.size());
    for (MaterialRow& r : rows_) {
        if (r.mItem == QLatin1String("Y"))
            entries.push_back({r.prodId, FloatOr(r.qty, 1), r.masterBillId, std::move(r.assemblies)});
        else
            kept.push_back(std::move(r));
    }
    rows_.swap(kept);
    ++passes_;

    // Explode each collected entry.
    const QString yes = QStringLiteral("Y"), no = QStringLiteral("N");
    for (const Entry& e : entries) {
        // The chain for the components that are sub-assemblies themselves, made when the
        // first of them comes.
        std::optional<QStringList> assemblies;
        for (const ResolvedLine& line : ResolvedBill(e.prodId)) {
            RequireComponent(e.prodId, line.deProdId);
            MaterialRow row;
            row.prodId = line.deProdId;
            row.prodName = line.product.prodName;
            row.unitName = line.product.unitName;
            const double qty = e.qty * line.deQty;
            row.qty = qty;
            row.divC = line.divC;
            row.rQty = RequisitionQuantity(qty, row.divC, e.prodId, line.deProdId);
            row.mItem = line.hasBill ? yes : no;
            row.masterBillId = e.masterBillId;
            row.mainProd = e.prodId;
            if (line.hasBill) {
                if (!assemblies) assemblies = e.assemblies + QStringList{e.prodId};
                row.assemblies = *assemblies;
            }
            Append(std::move(row));
        }
    }
}

const std::vector<Expansion::ResolvedLine>& Expansion::ResolvedBill(const QString& prodId) {
    if (reuseBills_) {
        if (auto it = bills_.find(prodId); it != bills_.end()) return it->second;
    }
    std::vector<ResolvedLine> lines;
    for (const BillLine& b : source_.Bill(prodId)) {
        ResolvedLine line;
        line.deProdId = b.deProdId;
        line.hasComponent = !b.deProdId.isEmpty();
        line.deQty = FloatOr(b.deQty, 1);
        line.divC = FloatOr(b.divC, 1);
        if (line.hasComponent) {
            line.product = source_.Product(b.deProdId);
            line.hasBill = source_.HasBill(b.deProdId);
        }
        lines.push_back(std::move(line));
    }
    if (!reuseBills_) {
        scratch_ = std::move(lines);
        return scratch_;
    }
    return bills_.insert_or_assign(prodId, std::move(lines)).first->second;
}

void Expansion::Complete() {
    // Append refuses a sub-assembly that reappears in its own chain and a chain beyond the
    // depth limit, so every pass adds a level to a chain that cannot grow forever; the
    // pass limit is a second guard against rows marked "Y" by hand with no bill behind.
    while (HasSubAssembly()) {
        if (passes_ > maxDepth_)
            throw RuleError(QString("the expansion did not end after %1 passes").arg(maxDepth_).toStdString());
        Pass();
    }
}

}  // namespace mrp
