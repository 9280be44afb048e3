#include "mrp/BillLookup.h"

#include <limits>

#include "db/Convert.h"
#include "db/Interrupt.h"

namespace mrp {

const QStringList kProductStatement = {"select prod_id,prod_name,unitname from product where prod_id = :PROD_ID"};
const QStringList kBillStatement = {"select * from PD_BOM where prod_id = :PROD_ID"};

std::optional<double> OptionalFloat(const db::Field& field) {
    if (field.IsNull()) return std::nullopt;
    // Read as text, as the workflow reads numbers: a column of another type that does
    // not hold a number counts as missing.
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double v = db::StrToFloatDef(field.AsString(), nan);
    if (v != v) return std::nullopt;
    return v;
}

BillLookup::BillLookup(db::Connection& reading, bool cache) : reading_(reading), cache_(cache) {
    if (cache_) {
        product_ = std::make_unique<db::Query>(reading_);
        product_->SetSQL(kProductStatement);
        bill_ = std::make_unique<db::Query>(reading_);
        bill_->SetSQL(kBillStatement);
    }
}

BillLookup::~BillLookup() = default;

ProductRef BillLookup::Product(const QString& prodId) {
    // Answers from the cache run no statement: a program being ended stops here too.
    db::CheckInterrupt();
    if (cache_) {
        if (auto it = products_.constFind(prodId); it != products_.cend()) return *it;
    }
    std::unique_ptr<db::Query> fresh;
    db::Query* q = product_.get();
    if (!cache_) {
        fresh = std::make_unique<db::Query>(reading_);
        fresh->SetSQL(kProductStatement);
        q = fresh.get();
    }
    q->SetParam("PROD_ID", prodId);
    q->Open();
    ProductRef p{q->FieldByName("PROD_NAME").AsString(), q->FieldByName("UNITNAME").AsString()};
    q->Close();
    if (cache_) products_.insert(prodId, p);
    return p;
}

std::vector<BillLine> BillLookup::ReadBill(const QString& prodId) {
    std::unique_ptr<db::Query> fresh;
    db::Query* q = bill_.get();
    if (!cache_) {
        fresh = std::make_unique<db::Query>(reading_);
        fresh->SetSQL(kBillStatement);
        q = fresh.get();
    }
    q->SetParam("PROD_ID", prodId);
    q->Open();
    std::vector<BillLine> lines;
    lines.reserve(static_cast<size_t>(q->RecordCount()));
    const db::Field& component = q->FieldByName("DE_PRODID");
    const db::Field& deQty = q->FieldByName("DE_QTY");
    const db::Field& divC = q->FieldByName("DIV_C");
    for (; !q->Eof(); q->Next()) lines.push_back({component.AsString(), OptionalFloat(deQty), OptionalFloat(divC)});
    q->Close();
    return lines;
}

bool BillLookup::HasBill(const QString& prodId) {
    if (!cache_) {
        // The bill test: the column prod_id of the first row is null when there is none.
        db::Query q(reading_);
        q.SetSQL(kBillStatement);
        q.SetParam("PROD_ID", prodId);
        q.Open();
        return !q.FieldByName("PROD_ID").IsNull();
    }
    return !Bill(prodId).empty();
}

std::vector<BillLine> BillLookup::Bill(const QString& prodId) {
    db::CheckInterrupt();
    if (!cache_) return ReadBill(prodId);
    if (auto it = bills_.constFind(prodId); it != bills_.cend()) return *it;
    auto lines = ReadBill(prodId);
    bills_.insert(prodId, lines);
    return lines;
}

}  // namespace mrp
