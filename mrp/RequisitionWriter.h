#pragma once
// Writing a requisition: one header row in PETITION_MASTER and one line in PETITION_SUB
// per material row, under a reserved number, and the orders it was made from marked as
// transferred (ORDER_MASTER.TS = 'Y'), all in one transaction on the writing connection.
// Any failure rolls that transaction back before the error goes on: nothing of the
// requisition stays, the orders stay unmarked, and no lock is left held.
//
// Which orders are marked: each order the material list was built from, and only while
// it is still open; one that another client has transferred since the list was loaded
// stops the write (OrdersAlreadyTransferred), so a project is requisitioned once however
// many clerks press "轉請購單" for it at the same moment. The project's orders that the
// order list can never show (disabled ones, and those whose TS is null) are closed with
// them. An open, enabled order that the list did not hold was entered after the clerk
// loaded it and stays open for the next requisition.

#include <QString>
#include <QTime>
#include <QStringList>
#include <functional>
#include <stdexcept>
#include <vector>

#include "db/Connection.h"
#include "mrp/Expansion.h"

namespace mrp {

// Raised by Write, after rolling back, when an order the material list was built from
// has been transferred by another client since it was listed: nothing was written.
class OrdersAlreadyTransferred : public std::runtime_error {
public:
    OrdersAlreadyTransferred(const QString& order, const QString& requisition);
    const QString& order() const { return order_; }
    // The requisition that holds the order (its lines name it, or else the latest of its
    // project); empty when none is found.
    const QString& requisition() const { return requisition_; }

private:
    QString order_, requisition_;
};

struct RequisitionHeader {
    QString number;       // MASTERBILLID
    QString dateText;     // BILL_DATE and CHG_DATE, "YYYY/MM/DD"
    QString userId;       // EMPLOYEE_ID and CHG_USER
    QString storeId;      // STORE_ID
    QString projectCode;  // PROJ_ID; also the project whose unlistable orders are closed
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

    // Writes the requisition and marks `orders` (the order numbers the material list was
    // built from) and the project's unlistable orders; with no rows nothing is written.
    // QTY becomes the whole numbers V_QTY and QTY rounded half to even, AMT the whole QTY
    // times STD_COST rounded the same way; a value outside the 32-bit range fails the
    // write (mrp::RuleError), and so does a listed order that no longer exists. An order
    // held by another client's open transaction is waited for; when that client has
    // transferred it, OrdersAlreadyTransferred, else the write is tried again. Throws
    // after rolling back.
    void Write(const RequisitionHeader& header, const std::vector<MaterialRow>& rows, const QStringList& orders);

    // Attempts that met another client's lock since this writer was created.
    int conflicts() const { return conflicts_; }

private:
    db::Connection& reading_;
    db::Connection& writing_;
    bool cache_;
    std::function<QTime()> clock_;
    int conflicts_ = 0;
};

}  // namespace mrp
