#include "report/Summary.h"

#include <QSet>
#include <algorithm>
#include <map>

#include "db/Connection.h"
#include "mrp/CodeHash.h"

namespace report {

long long PurchaseSummary::Total() const {
    long long total = 0;
    for (const SupplierBlock& b : suppliers) total += b.Subtotal();
    return total;
}

PurchaseSummary Summarize(const Requisition& requisition, const QHash<QString, double>& stockOnHand) {
    PurchaseSummary out;
    out.requisition = requisition;
    // Keyed by (has no supplier, supplier id): the lines without one come last.
    std::map<std::pair<bool, QString>, std::map<QString, SummaryRow>> blocks;
    std::map<std::pair<bool, QString>, QString> names;
    for (const RequisitionLine& l : requisition.lines) {
        const QString id = l.providerId.trimmed();
        const std::pair<bool, QString> key{id.isEmpty(), id};
        if (!names.count(key) || names[key].isEmpty()) names[key] = id.isEmpty() ? QString::fromUtf8(kNoSupplier) : l.providerName;
        // One row per product as the database tells products apart.
        const QString code = mrp::CodeKey(l.code);
        auto [it, added] = blocks[key].try_emplace(code);
        SummaryRow& row = it->second;
        if (added) {
            row.code = code;
            row.name = l.name;
            row.unit = l.unit;
            row.cost = l.cost;
            row.stock = stockOnHand.value(code, 0);
        }
        row.quantity += l.quantity;
        row.amount += l.amount;
    }
    for (auto& [key, rows] : blocks) {
        SupplierBlock block;
        block.id = key.second;
        block.name = names[key];
        for (auto& [code, row] : rows) block.rows.push_back(std::move(row));
        out.suppliers.push_back(std::move(block));
    }
    return out;
}

PurchaseSummary LoadSummary(db::Connection& connection, const QString& number) {
    // The stock in the same snapshot as the lines: a void meanwhile leaves no line
    // without its product's stock.
    const db::Snapshot snapshot(connection);
    const Requisition requisition = ReadRequisition(connection, number);
    QHash<QString, double> stock;
    db::Query q(connection);
    q.SetSQL({"SELECT DISTINCT P.PROD_ID, P.NOW_QTY FROM PRODUCT P JOIN PETITION_SUB S ON S.PROD_ID = P.PROD_ID",
              "WHERE S.MASTERBILLID = :MASTERBILLID"});
    q.SetParam("MASTERBILLID", number);
    q.Open();
    for (; !q.Eof(); q.Next())
        if (!q.Fields(1).IsNull()) stock.insert(mrp::CodeKey(q.Fields(0).AsString()), q.Fields(1).AsFloat());
    return Summarize(requisition, stock);
}

}  // namespace report
