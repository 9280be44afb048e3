#pragma once
// Writing a requisition: one header row in PETITION_MASTER and one line in PETITION_SUB
// per material row, under a reserved number, and every order of the project marked as
// transferred (ORDER_MASTER.TS = 'Y'), all in one transaction on the writing connection.
// Any failure rolls that transaction back before the error goes on: nothing of the
// requisition stays, the orders stay unmarked, and no lock is left held.

#include <QString>
#include <QTime>
#include <functional>
#include <vector>

#include "db/Connection.h"
#include "mrp/Expansion.h"

namespace mrp {

struct RequisitionHeader {
    QString number;       // MASTERBILLID
    QString dateText;     // BILL_DATE and CHG_DATE, "YYYY/MM/DD"
    QString userId;       // EMPLOYEE_ID and CHG_USER
    QString storeId;      // STORE_ID
    QString projectCode;  // PROJ_ID; also the project whose orders are marked
};

class RequisitionWriter {
public:
    // Products are read on the reading connection outside the transaction, the
    // employee's name on the writing connection inside it. With caching on, each
    // product and the name are read once; off, once per line as first written.
    RequisitionWriter(db::Connection& reading, db::Connection& writing, bool cache)
        : reading_(reading), writing_(writing), cache_(cache) {}

    // Key-in times come from this clock, read anew for each line (the local time by
    // default).
    void SetClock(std::function<QTime()> clock) { clock_ = std::move(clock); }

    // Writes the requisition; with no rows nothing is written. QTY becomes the whole
    // numbers V_QTY and QTY rounded half to even, AMT the whole QTY times STD_COST rounded
    // the same way; a value outside the 32-bit range fails the write (mrp::RuleError).
    // Throws after rolling back.
    void Write(const RequisitionHeader& header, const std::vector<MaterialRow>& rows);

private:
    db::Connection& reading_;
    db::Connection& writing_;
    bool cache_;
    std::function<QTime()> clock_;
};

}  // namespace mrp
