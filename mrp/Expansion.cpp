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

Expansion::Expansion(BillSource& source, int maxDepth, bool reuseBills)
    : source_(source), maxDepth_(maxDepth), reuseBills_(reuseBills) {
    using data::FieldType;
    rows_.SetColumns({FieldType::Text, FieldType::Text, FieldType::Float, FieldType::Float, FieldType::Float,
                      FieldType::Text, FieldType::Text, FieldType::Text, FieldType::Text});
    yes_ = Intern(QStringLiteral("Y"));
    no_ = Intern(QStringLiteral("N"));
    chains_.push_back({0, 0, 0});  // the empty chain
}

bool Expansion::ChainHolds(uint32_t chain, Code product) const {
    for (; chain != 0; chain = chains_[chain].before)
        if (chains_[chain].product == product) return true;
    return false;
}

uint32_t Expansion::Extend(uint32_t chain, Code product) {
    const auto [it, added] =
        chainIds_.try_emplace(uint64_t(chain) << 32 | product, static_cast<uint32_t>(chains_.size()));
    if (added) chains_.push_back({product, chain, chains_[chain].length + 1});
    return it->second;
}

QStringList Expansion::ChainTexts(uint32_t chain) const {
    QStringList texts;
    for (; chain != 0; chain = chains_[chain].before) texts.prepend(Text(chains_[chain].product));
    return texts;
}

void Expansion::Start(const std::vector<MaterialRow>& rows) {
    rows_.Truncate(0);
    rowChains_.clear();
    rows_.Reserve(rows.size());
    rowChains_.reserve(rows.size());
    for (const MaterialRow& r : rows) {
        Material row{};
        row.hasQty = r.qty.has_value();
        row.qty = r.qty.value_or(0);
        row.divC = r.divC;
        row.rQty = r.rQty;
        row.prodId = Intern(r.prodId);
        row.prodName = Intern(r.prodName);
        row.unitName = Intern(r.unitName);
        row.masterBillId = Intern(r.masterBillId);
        row.mainProd = Intern(r.mainProd);
        row.mItem = Intern(r.mItem);
        if (row.mItem == yes_)
            for (const QString& a : r.assemblies) row.chain = Extend(row.chain, Intern(a));
        Put(row);
    }
}

data::RowStore Expansion::TakeRows() {
    rowChains_.clear();
    return std::move(rows_);
}

void Expansion::Put(const Material& row) {
    const size_t i = rows_.AppendNullRow();
    rows_.SetTextId(i, kProdId, row.prodId);
    rows_.SetTextId(i, kProdName, row.prodName);
    if (row.hasQty) rows_.SetNumber(i, kQty, row.qty);
    rows_.SetNumber(i, kDivC, row.divC);
    rows_.SetNumber(i, kRQty, row.rQty);
    rows_.SetTextId(i, kUnitName, row.unitName);
    rows_.SetTextId(i, kMasterBillId, row.masterBillId);
    rows_.SetTextId(i, kMainProd, row.mainProd);
    rows_.SetTextId(i, kMItem, row.mItem);
    rowChains_.push_back(row.chain);
}

void Expansion::Append(const Material& row) {
    if (row.mItem == yes_) {
        if (ChainHolds(row.chain, row.prodId))
            throw RuleError(QString("the bill of materials contains itself: %1")
                                .arg(Chain(ChainTexts(row.chain), Text(row.prodId)))
                                .toStdString());
        if (chains_[row.chain].length >= maxDepth_)
            throw RuleError(QString("the bill of materials of %1 is more than %2 levels deep")
                                .arg(ChainTexts(row.chain).value(0))
                                .arg(maxDepth_)
                                .toStdString());
    }
    Put(row);
}

void Expansion::FirstLevel(const std::vector<BomRow>& bomRows) {
    rows_.Reserve(rows_.Count() + bomRows.size());
    rowChains_.reserve(rows_.Count() + bomRows.size());
    for (const BomRow& b : bomRows) {
        RequireComponent(b.prodId, b.deProdId);
        Material row{};
        row.prodId = Intern(b.deProdId);
        const ProductRef product = source_.Product(b.deProdId);
        row.prodName = Intern(product.prodName);
        row.unitName = Intern(product.unitName);
        // T_QTY is handed over as text: 15 significant digits.
        row.hasQty = b.tQty.has_value();
        if (b.tQty) row.qty = ThroughText(*b.tQty);
        row.divC = FloatOr(b.divC, 1);
        row.rQty = RequisitionQuantity(row.hasQty ? row.qty : 0, FloatOr(b.divC, 1), b.prodId, b.deProdId);
        row.mItem = source_.HasBill(b.deProdId) ? yes_ : no_;
        row.masterBillId = Intern(b.masterBillId);
        row.mainProd = Intern(b.prodId);
        if (row.mItem == yes_) row.chain = Extend(0, row.mainProd);
        Append(row);
    }
}

bool Expansion::HasSubAssembly() const {
    for (size_t i = 0; i < rows_.Count(); ++i)
        if (rows_.TextId(i, kMItem) == yes_) return true;
    return false;
}

void Expansion::Pass() {
    // Collect: every marked row, in list order, leaves the list; the others close up in
    // place, so the rows' memory serves the next level.
    entries_.clear();
    size_t kept = 0;
    for (size_t i = 0; i < rows_.Count(); ++i) {
        if (rows_.TextId(i, kMItem) == yes_) {
            entries_.push_back({rows_.TextId(i, kProdId), rows_.IsNull(i, kQty) ? 1 : rows_.Number(i, kQty),
                                rows_.TextId(i, kMasterBillId), rowChains_[i]});
        } else {
            rows_.CopyRow(i, kept);
            rowChains_[kept++] = rowChains_[i];
        }
    }
    rows_.Truncate(kept);
    rowChains_.resize(kept);
    ++passes_;
    if (reuseBills_) {
        // Room for the level at once where its bills are known.
        size_t more = 0;
        for (const Entry& e : entries_) {
            const auto it = bills_.find(e.prodId);
            more += it != bills_.end() ? it->second.size() : 1;
        }
        rows_.Reserve(kept + more);
        rowChains_.reserve(kept + more);
    }

    // Explode each collected entry.
    for (const Entry& e : entries_) {
        // The chain for the components that are sub-assemblies themselves, made when the
        // first of them comes.
        uint32_t chain = 0;
        bool chainMade = false;
        for (const ResolvedLine& line : ResolvedBill(e.prodId)) {
            RequireComponent(Text(e.prodId), Text(line.deProdId));
            Material row{};
            row.prodId = line.deProdId;
            row.prodName = line.prodName;
            row.unitName = line.unitName;
            const double qty = e.qty * line.deQty;
            row.hasQty = true;
            row.qty = qty;
            row.divC = line.divC;
            row.rQty = RequisitionQuantity(qty, row.divC, Text(e.prodId), Text(line.deProdId));
            row.mItem = line.hasBill ? yes_ : no_;
            row.masterBillId = e.masterBillId;
            row.mainProd = e.prodId;
            if (line.hasBill) {
                if (!chainMade) {
                    chain = Extend(e.chain, e.prodId);
                    chainMade = true;
                }
                row.chain = chain;
            }
            Append(row);
        }
    }
}

const std::vector<Expansion::ResolvedLine>& Expansion::ResolvedBill(Code prodId) {
    if (reuseBills_) {
        if (auto it = bills_.find(prodId); it != bills_.end()) return it->second;
    }
    std::vector<ResolvedLine> lines;
    for (const BillLine& b : source_.Bill(Text(prodId))) {
        ResolvedLine line;
        line.deProdId = Intern(b.deProdId);
        line.hasComponent = !b.deProdId.isEmpty();
        line.deQty = FloatOr(b.deQty, 1);
        line.divC = FloatOr(b.divC, 1);
        if (line.hasComponent) {
            const ProductRef product = source_.Product(b.deProdId);
            line.prodName = Intern(product.prodName);
            line.unitName = Intern(product.unitName);
            line.hasBill = source_.HasBill(b.deProdId);
        } else {
            line.prodName = line.unitName = Intern(QString());
        }
        lines.push_back(line);
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
