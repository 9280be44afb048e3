#pragma once
// The purchase summary of a written requisition: its lines consolidated per material and
// grouped by supplier, so that whoever calls a supplier has that supplier's materials on
// one sheet. Each supplier's block has one row per product (total quantity, unit, cost,
// amount, and the stock on hand now, PRODUCT.NOW_QTY, for information) and a subtotal;
// the subtotals add up to the requisition's total.

#include <QHash>
#include <QString>
#include <vector>

#include "report/Requisition.h"

namespace report {

// The heading of the lines that name no supplier.
inline const char* const kNoSupplier = "未指定供應商";

struct SummaryRow {
    QString code;  // the lines' PROD_ID without trailing blanks (mrp::CodeKey)
    QString name, unit;
    long long quantity = 0;
    double cost = 0;  // the first line's STD_COST
    long long amount = 0;
    double stock = 0;  // NOW_QTY now; 0 when the product is gone
};

// One supplier's rows, in the summary and in the purchase plan.
template <class Row>
struct SupplierRows {
    QString id;    // PROVIDER_ID; empty for the lines without one
    QString name;  // PROVIDER_NAME, or kNoSupplier
    std::vector<Row> rows;  // by product code
    long long Subtotal() const {
        long long total = 0;
        for (const Row& r : rows) total += r.amount;
        return total;
    }
};
using SupplierBlock = SupplierRows<SummaryRow>;

struct PurchaseSummary {
    Requisition requisition;               // header and lines as written
    std::vector<SupplierBlock> suppliers;  // by supplier id, the lines without one last
    long long Total() const;               // equals requisition.Total()
};

// Consolidates the lines: one row per supplier and product, amounts and quantities added.
// Codes that differ only in trailing blanks are one product; stockOnHand is keyed by
// mrp::CodeKey.
PurchaseSummary Summarize(const Requisition& requisition, const QHash<QString, double>& stockOnHand);

// Reads the requisition and its products' stock on hand in one snapshot, as
// LoadRequisition does. Throws RequisitionVoided or RequisitionNotFound.
PurchaseSummary LoadSummary(db::Connection& connection, const QString& number);

}  // namespace report
