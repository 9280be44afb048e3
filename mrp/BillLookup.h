#pragma once
// Products and bills of materials read from the database for one expansion, on the
// reading connection.
//
// With caching on (the default), each statement is prepared once per command and each
// product and each bill is read once: a shared sub-assembly needed by a thousand order
// lines costs two statements, not two thousand. With caching off, every question runs
// its own statement, prepared anew, as the workflow was first written; the results are
// the same either way, which the benchmark relies on when it compares the two.

#include <QHash>
#include <memory>

#include "db/Connection.h"
#include "mrp/Expansion.h"

namespace mrp {

class BillLookup : public BillSource {
public:
    BillLookup(db::Connection& reading, bool cache);
    ~BillLookup() override;

    ProductRef Product(const QString& prodId) override;
    bool HasBill(const QString& prodId) override;
    std::vector<BillLine> Bill(const QString& prodId) override;

private:
    std::vector<BillLine> ReadBill(const QString& prodId);

    db::Connection& reading_;
    bool cache_;
    std::unique_ptr<db::Query> product_;
    std::unique_ptr<db::Query> bill_;
    QHash<QString, ProductRef> products_;
    QHash<QString, std::vector<BillLine>> bills_;
};

// Every line of the statement that reads a product's name and unit, and of the one that
// reads a bill; both take the product code as the parameter PROD_ID.
extern const QStringList kProductStatement;
extern const QStringList kBillStatement;

// A float column read as the workflow reads it: null stays null.
std::optional<double> OptionalFloat(const db::Field& field);

}  // namespace mrp
