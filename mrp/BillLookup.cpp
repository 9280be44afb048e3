#include "mrp/BillLookup.h"

#include <limits>

#include "db/Convert.h"
#include "db/Interrupt.h"

namespace mrp {

const QStringList kProductStatement = {"select prod_id,prod_name,unitname from product where prod_id = :PROD_ID"};
const QStringList kBillStatement = {"select * from PD_BOM where prod_id = :PROD_ID"};

std::optional<double> ColumnNumber(const db::Field& field) {
    if (field.IsNull()) return std::nullopt;
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double v = db::StrToFloatDef(field.AsString(), nan);
    if (v != v) return std::nullopt;
    return v;
}

std::vector<BillLine> ReadBillLines(db::Query& q, const QString& prodId) {
    q.SetParam("PROD_ID", prodId);
    q.Open();
    std::vector<BillLine> lines;
    lines.reserve(static_cast<size_t>(q.RecordCount()));
    const db::Field& component = q.FieldByName("DE_PRODID");
    const db::Field& deQty = q.FieldByName("DE_QTY");
    const db::Field& divC = q.FieldByName("DIV_C");
    for (; !q.Eof(); q.Next()) lines.push_back({component.AsString(), ColumnNumber(deQty), ColumnNumber(divC)});
    q.Close();
    return lines;
}

BillLookup::BillLookup(db::Connection& reading) : product_(reading), bill_(reading) {
    product_.SetSQL(kProductStatement);
    bill_.SetSQL(kBillStatement);
}

BillLookup::~BillLookup() = default;

ProductRef BillLookup::Product(const QString& prodId) {
    // Answers from the cache run no statement: a program being ended stops here too.
    db::CheckInterrupt();
    if (auto it = products_.constFind(prodId); it != products_.cend()) return *it;
    product_.SetParam("PROD_ID", prodId);
    product_.Open();
    ProductRef p{product_.FieldByName("PROD_NAME").AsString(), product_.FieldByName("UNITNAME").AsString()};
    product_.Close();
    products_.insert(prodId, p);
    return p;
}

bool BillLookup::HasBill(const QString& prodId) { return !Bill(prodId).empty(); }

std::vector<BillLine> BillLookup::Bill(const QString& prodId) {
    db::CheckInterrupt();
    if (auto it = bills_.constFind(prodId); it != bills_.cend()) return *it;
    auto lines = ReadBillLines(bill_, prodId);
    bills_.insert(prodId, lines);
    return lines;
}

}  // namespace mrp
