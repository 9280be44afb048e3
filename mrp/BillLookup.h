#pragma once
// Products and bills of materials read from the database for one expansion, on the
// reading connection. Each statement is prepared once per command and each product and
// each bill is read once: a shared sub-assembly needed by a thousand order lines costs
// two statements, not two thousand. Every answer for a code is the same within the
// command (the expansion relies on it to build a bill met again from its first answer).

#include <QHash>
#include <memory>

#include "db/Connection.h"
#include "mrp/Expansion.h"

namespace mrp {

class BillLookup : public BillSource {
public:
    explicit BillLookup(db::Connection& reading);
    ~BillLookup() override;

    ProductRef Product(const QString& prodId) override;
    bool HasBill(const QString& prodId) override;
    std::vector<BillLine> Bill(const QString& prodId) override;

private:
    db::Query product_;
    db::Query bill_;
    QHash<QString, ProductRef> products_;
    QHash<QString, std::vector<BillLine>> bills_;
};

// Every line of the statement that reads a product's name and unit, and of the one that
// reads a bill; both take the product code as the parameter PROD_ID.
extern const QStringList kProductStatement;
extern const QStringList kBillStatement;

// A number column of the database as the workflow reads it, through its text: null, and
// text that is no number (a column of another type), are missing.
std::optional<double> ColumnNumber(const db::Field& field);

// The lines of the bill that `bill` (prepared with kBillStatement) reads for prodId.
std::vector<BillLine> ReadBillLines(db::Query& bill, const QString& prodId);

}  // namespace mrp
