#pragma once
// Writing a requisition: one header row in PETITION_MASTER and one line in PETITION_SUB
// per material row, under a reserved number, and the orders it was made from marked as
// transferred (ORDER_MASTER.TS = 'Y'), all in one transaction on the writing connection.
// Any failure rolls that transaction back before the error goes on: nothing of the
// requisition stays, the orders stay unmarked, and no lock is left held.
//
// Which orders are marked: each order the material list was built from, and only while
// it is still as the list showed it: the listed project's, enabled (DISABLE_FLAG
// 'False') and open. One that another client has transferred since the list was loaded
// stops the write (OrdersAlreadyTransferred), so a project is requisitioned once however
// many clerks press "轉請購單" for it at the same moment; one moved to another project,
// disabled or otherwise closed stops it too (OrderChanged with reload). The project's
// orders that the order list could not show when it was loaded (disabled ones, and those
// whose TS is null) are closed with them, while they are still the project's and still
// unlistable. Any other order (one entered after the clerk loaded the list, listable or
// not) stays open for the next requisition.
//
// What the material list was built from must still hold when it is written: after
// marking the orders, in the same transaction, the lines of every listed order are read
// again and compared with those the expansion read. A line added, removed or changed in
// between stops the write (OrderChanged): the list would miss what the order now
// asks, yet its order would be closed.
//
// The write records, in its transaction, the orders it marked and each one's TS before
// (Audit.h), so that a void sets back exactly those.
//
// A requisition number is never written over and never carries two headers: the number
// comes from the day's counter, which skips numbers already held (Numbering.h), and its
// use is made exclusive where it is written. With the audit table's unique index the
// write's record goes in before the header: a second writer of the number waits for the
// first's record and fails on it once the first commits (NumberTaken). Without the index
// (the audit table cannot be made, or an earlier version's table could not take it) the
// write reserves PETITION_MASTER for its transaction, so writers of the program take
// turns. Either way a header of the number already committed fails the write the same
// way; the write deletes nothing.

#include <QHash>
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

// Raised by Write, after rolling back, when a listed order is no longer what the material
// list was built from: its lines changed since the expansion, or (`reload`) it is no
// longer the listed project's enabled, open order (moved to another project, disabled,
// closed other than by a transfer), so the order list must be loaded again. Nothing was
// written, the order left as it is.
class OrderChanged : public std::runtime_error {
public:
    OrderChanged(const QString& order, bool reload);
    const QString& order() const { return order_; }
    bool reload() const { return reload_; }

private:
    QString order_;
    bool reload_;
};

// Raised by Write, after rolling back, when another write holds the number: nothing was
// written, and the number is used up. The caller takes the next one and writes again.
class NumberTaken : public std::runtime_error {
public:
    explicit NumberTaken(const QString& number);
    const QString& number() const { return number_; }

private:
    QString number_;
};

// A line of a customer order as the expansion uses it.
struct OrderLine {
    QString prodId;
    QString qty;  // as text; empty for null
    bool operator==(const OrderLine&) const = default;
};

// Reads every ORDER_SUB line of an order (products without a bill too), in a fixed
// order: equal lists, equal lines. One statement, prepared once, serves every order the
// reader is asked for: the expansion and the write each read all the listed orders.
class OrderLineReader {
public:
    explicit OrderLineReader(db::Connection& connection);
    std::vector<OrderLine> Read(const QString& order);

private:
    db::Query query_;
};

// The orders a write marks: those the material list was built from with the fingerprint
// of their lines as the expansion read them, and the project's unlistable orders as they
// were when the order list was loaded.
struct WriteOrders {
    QStringList listed;
    QStringList unlistable;
    // The lines of each listed order as the expansion read them; a listed order without
    // an entry is not checked.
    QHash<QString, std::vector<OrderLine>> lines;
};

// What a requisition line takes from PRODUCT: empty text and 0 when there is no row.
struct ProductLine {
    bool found = false;  // PRODUCT holds the code
    QString prodScale, providerId, providerName, pdItemId, prodBarcode;
    double stdCost = 0, salePrice = 0, nowQty = 0;
};

// The products of a requisition's lines: those read, and for each line which of them.
struct LineProducts {
    std::vector<ProductLine> read;
    std::vector<size_t> of;
    const ProductLine& operator[](size_t line) const { return read[of[line]]; }
};

struct RequisitionHeader {
    QString number;       // MASTERBILLID
    QString dateText;     // BILL_DATE and CHG_DATE, "YYYY/MM/DD"
    QString userId;       // EMPLOYEE_ID and CHG_USER
    QString storeId;      // STORE_ID
    QString projectCode;  // PROJ_ID; the project whose orders were listed
};

class RequisitionWriter {
public:
    // Products are read on the reading connection outside the transaction, each once;
    // the employee's name on the writing connection inside it, once a write.
    RequisitionWriter(db::Connection& reading, db::Connection& writing) : reading_(reading), writing_(writing) {}

    // Key-in times come from this clock, read anew for each line (the local time by
    // default).
    void SetClock(std::function<QTime()> clock) { clock_ = std::move(clock); }

    // The PRODUCT row of each line's material, read on the reading connection outside any
    // write transaction.
    LineProducts ReadProducts(const std::vector<MaterialRow>& rows);

    // Writes the requisition and marks the orders (see WriteOrders); with no rows nothing
    // is written. `products` are those of ReadProducts for `rows`. QTY becomes the whole
    // numbers V_QTY and QTY rounded half to even, AMT the whole QTY times STD_COST rounded
    // the same way; a value outside the 32-bit range fails the write (mrp::RuleError), and
    // so does a listed order that no longer exists. An order held by another client's open
    // transaction is waited for; when that client has transferred it,
    // OrdersAlreadyTransferred, else the write is tried again (mrp/Retry.h). A listed
    // order no longer the project's, enabled and open: OrderChanged with reload; one whose
    // lines changed since the expansion: OrderChanged. A number another write holds:
    // NumberTaken. Throws after rolling back.
    void Write(const RequisitionHeader& header, const std::vector<MaterialRow>& rows, const LineProducts& products,
               const WriteOrders& orders);

    // Attempts that met another client's lock since this writer was created.
    int conflicts() const { return conflicts_; }

private:
    db::Connection& reading_;
    db::Connection& writing_;
    std::function<QTime()> clock_;
    int conflicts_ = 0;
};

}  // namespace mrp
