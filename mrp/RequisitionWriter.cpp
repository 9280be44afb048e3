#include "mrp/RequisitionWriter.h"

#include <QVariant>
#include <algorithm>
#include <memory>
#include <optional>
#include <unordered_map>

#include "mrp/Audit.h"
#include "mrp/BillLookup.h"
#include "mrp/CodeHash.h"
#include "mrp/CommandTransaction.h"
#include "mrp/Retry.h"
#include "mrp/Rules.h"

namespace mrp {

namespace {

const QStringList kProductRow = {"select * from product where prod_id = :PROD_ID"};
const QStringList kEmployeeName = {"SELECT EMPLOYEE_NAME FROM EMPLOYEE WHERE EMPLOYEE_ID = :EMPLOYEE_ID"};

const QStringList kMasterInsert = {
    "INSERT INTO PETITION_MASTER (MASTERBILLID,BILL_DATE,EMPLOYEE_ID,EMPLOYEE_NAME,",
    "STORE_ID,TRAN_CODE,CLOSED,CHG_DATE,CHG_USER,PROJ_ID) VALUES ",
    "(:MASTERBILLID,:BILL_DATE,:EMPLOYEE_ID,:EMPLOYEE_NAME,",
    ":STORE_ID,:TRAN_CODE,:CLOSED,:CHG_DATE,:CHG_USER,:PROJ_ID)"};

ProductLine ReadProduct(db::Query& q, const QString& prodId) {
    q.SetParam("PROD_ID", prodId);
    q.Open();
    ProductLine p;
    p.found = !q.Eof();
    p.prodScale = q.FieldByName("PROD_SCALE").AsString();
    p.providerId = q.FieldByName("PROVIDER_ID").AsString();
    p.providerName = q.FieldByName("PROVIDER_NAME").AsString();
    p.pdItemId = q.FieldByName("PD_ITEMID").AsString();
    p.prodBarcode = q.FieldByName("PROD_BARCODE").AsString();
    p.stdCost = FloatOr(ColumnNumber(q.FieldByName("STD_COST")), 0);
    p.salePrice = FloatOr(ColumnNumber(q.FieldByName("SALE_PRICE")), 0);
    p.nowQty = FloatOr(ColumnNumber(q.FieldByName("NOW_QTY")), 0);
    q.Close();
    return p;
}

const QStringList kOrderLines = {
    "SELECT PROD_ID, QTY FROM ORDER_SUB WHERE MASTERBILLID = :MASTERBILLID ORDER BY PROD_ID, QTY"};

// Each listed order, while it is still as the order list showed it (the project's,
// enabled, open); the row count tells whether it was, and OLD.TS what it was before.
const QStringList kMarkListedOrder = {
    "UPDATE ORDER_MASTER SET TS = 'Y' WHERE MASTERBILLID = :MASTERBILLID AND PROJ_ID = :PROJ_ID",
    " AND DISABLE_FLAG = 'False' AND TS <> 'Y' RETURNING OLD.TS"};
// An order of the project that the order list could not show when it was loaded
// (disabled, or with a null TS, for which the list's TS <> 'Y' is not true), while it is
// still the project's and still one the list cannot show.
const QStringList kCloseUnlistableOrder = {
    "UPDATE ORDER_MASTER SET TS = 'Y' WHERE MASTERBILLID = :MASTERBILLID AND PROJ_ID = :PROJ_ID",
    " AND (TS IS NULL OR (TS <> 'Y' AND (DISABLE_FLAG IS NULL OR DISABLE_FLAG <> 'False'))) RETURNING OLD.TS"};

// A header of the number that another writer committed: with the audit table's index its
// record fails first; this also catches a header written without one.
const QStringList kNumberHeld = {"SELECT COUNT(*) FROM PETITION_MASTER WHERE MASTERBILLID = :MASTERBILLID"};

const QStringList kOrderState = {"SELECT TS, PROJ_ID FROM ORDER_MASTER WHERE MASTERBILLID = :MASTERBILLID"};
// The latest requisition first: by the date digits, then by the sequence number, which
// has more than four digits from 10000 on.
const QStringList kRequisitionOfOrder = {
    "SELECT FIRST 1 MASTERBILLID FROM PETITION_SUB WHERE ORDER_ID = :ORDER_ID",
    " ORDER BY SUBSTRING(MASTERBILLID FROM 1 FOR 8) DESC, CHAR_LENGTH(MASTERBILLID) DESC, MASTERBILLID DESC"};
const QStringList kRequisitionOfProject = {
    "SELECT FIRST 1 MASTERBILLID FROM PETITION_MASTER WHERE PROJ_ID = :PROJ_ID",
    " ORDER BY SUBSTRING(MASTERBILLID FROM 1 FOR 8) DESC, CHAR_LENGTH(MASTERBILLID) DESC, MASTERBILLID DESC"};

// The order's TS and PROJ_ID as committed now; nullopt when the order does not exist.
std::optional<std::pair<QString, QString>> OrderState(db::Connection& writing, const QString& order) {
    db::Query q(writing);
    q.SetSQL(kOrderState);
    q.SetParam("MASTERBILLID", order);
    q.Open();
    if (q.Eof()) return std::nullopt;
    return std::make_pair(q.Fields(0).AsString(), q.Fields(1).AsString());
}

QString FirstValue(db::Connection& writing, const QStringList& statement, const QString& param, const QString& value) {
    db::Query q(writing);
    q.SetSQL(statement);
    q.SetParam(param, value);
    q.Open();
    return q.Eof() ? QString() : q.Fields(0).AsString();
}

// The transferred order's requisition: the one whose lines name it, else the latest of
// its project (a requisition whose lines do not name their orders, as one entered by
// hand, still closes them).
OrdersAlreadyTransferred Transferred(db::Connection& writing, const QString& order, const QString& project) {
    QString number = FirstValue(writing, kRequisitionOfOrder, "ORDER_ID", order);
    if (number.isEmpty() && !project.isEmpty())
        number = FirstValue(writing, kRequisitionOfProject, "PROJ_ID", project);
    return OrdersAlreadyTransferred(order, number);
}

QString ReadEmployeeName(db::Query& q, const QString& userId) {
    q.SetParam("EMPLOYEE_ID", userId);
    q.Open();
    QString name = q.Fields(0).AsString();
    q.Close();
    return name;
}

// A line's whole quantity and amount.
struct LineValues {
    int qty;
    int amount;
};
LineValues Line(const MaterialRow& r, const ProductLine& p) {
    // QTY as the list hands it over, as text: 45 x 0.7 is 31.5 there, not the
    // 31.499999999999996 the multiplication leaves in binary.
    const int qty = WholeNumber(FloatOr(r.qty, 0), [&r] { return "the quantity (QTY) of " + r.prodId; });
    return {qty, Amount(qty, p.stdCost, r.prodId)};
}

// The requisition's lines, kLinesPerBlock to a round trip: one EXECUTE BLOCK of as many
// inserts, with the values as parameters (the columns' own types: TYPE OF COLUMN), the
// values every line shares given once a block. The lines reach PETITION_SUB in the
// material list's order, within the write's one transaction.
constexpr int kLinesPerBlock = 32;
const char* const kSharedColumns[] = {"MASTERBILLID", "PACK_QTY", "BILL_DATE", "EMPLOYEE_ID", "EMPLOYEE_NAME",
                                      "STORE_ID", "TRAN_CODE", "CLOSED", "CHG_DATE", "CHG_USER"};
const char* const kLineColumns[] = {"KEYINTIME", "PROD_ID", "PROD_NAME", "PROD_SCALE", "V_QTY", "V_PRICE",
                                    "QTY", "UNITNAME", "SALE_PRICE", "STD_COST", "AMT", "TEMPPRODID",
                                    "PROVIDER_ID", "PROVIDER_NAME", "PD_ITEMID", "PROD_BARCODE", "NOW_QTY",
                                    "ORDER_ID"};

QString InsertBlock(int lines) {
    QStringList inputs;
    for (const char* c : kSharedColumns)
        inputs << QStringLiteral("S_%1 TYPE OF COLUMN PETITION_SUB.%1 = ?").arg(QLatin1String(c));
    for (int n = 0; n < lines; ++n)
        for (const char* c : kLineColumns)
            inputs << QStringLiteral("L%1_%2 TYPE OF COLUMN PETITION_SUB.%2 = ?").arg(n).arg(QLatin1String(c));
    QStringList columns, shared;
    for (const char* c : kSharedColumns) columns << QLatin1String(c), shared << QStringLiteral(":S_%1").arg(QLatin1String(c));
    for (const char* c : kLineColumns) columns << QLatin1String(c);
    QString body;
    for (int n = 0; n < lines; ++n) {
        QStringList values = shared;
        for (const char* c : kLineColumns) values << QStringLiteral(":L%1_%2").arg(n).arg(QLatin1String(c));
        body += QStringLiteral("INSERT INTO PETITION_SUB (%1) VALUES (%2);\n").arg(columns.join(','), values.join(','));
    }
    return QStringLiteral("EXECUTE BLOCK (%1)\nAS BEGIN\n%2END").arg(inputs.join(",\n"), body);
}

void WriteLinesInBlocks(db::Connection& writing, const std::function<QTime()>& clock, const RequisitionHeader& h,
                        const QString& employeeName, const std::vector<MaterialRow>& rows,
                        const LineProducts& products) {
    const std::vector<QVariant> shared = {h.number,   1,         h.dateText,  h.userId,    employeeName,
                                          h.storeId,  QStringLiteral("N"), QStringLiteral("N"), h.dateText, h.userId};
    db::Query block(writing);
    const QString fullBlock = InsertBlock(kLinesPerBlock);
    for (size_t first = 0; first < rows.size(); first += kLinesPerBlock) {
        const int lines = int(std::min<size_t>(kLinesPerBlock, rows.size() - first));
        // Prepared once for the full blocks, once more for a shorter last one; the values
        // of a statement newly set start again from the shared ones.
        block.SetPositionalSQL(lines == kLinesPerBlock ? fullBlock : InsertBlock(lines));
        std::vector<QVariant>& values = block.PositionalParams();
        if (values.empty()) values = shared;
        values.resize(shared.size() + size_t(lines) * std::size(kLineColumns));
        auto value = values.begin() + std::ssize(shared);
        // The lines of a block reach the database together: one key-in time for them.
        const QString keyIn = KeyInTime(clock ? clock() : QTime::currentTime());
        for (size_t i = first; i < first + size_t(lines); ++i) {
            const MaterialRow& r = rows[i];
            const ProductLine& p = products[i];
            const LineValues v = Line(r, p);
            // In the order of kLineColumns.
            value[0] = keyIn;
            value[1] = r.prodId;
            value[2] = r.prodName;
            value[3] = p.prodScale;
            value[4] = v.qty;
            value[5] = p.stdCost;
            value[6] = v.qty;
            value[7] = r.unitName;
            value[8] = p.salePrice;
            value[9] = p.stdCost;
            value[10] = v.amount;
            value[11] = r.prodId;
            value[12] = p.providerId;
            value[13] = p.providerName;
            value[14] = p.pdItemId;
            value[15] = p.prodBarcode;
            value[16] = p.nowQty;
            value[17] = r.masterBillId;
            value += std::ssize(kLineColumns);
        }
        block.Execute();
    }
}

// How the write makes its number's use exclusive (see RequisitionWriter.h).
struct Exclusivity {
    bool recorded = false;  // the audit table is there: the write is recorded
    bool keyed = false;     // and has its unique index
};

// The OLD.TS an update returned: null stays null.
QString TsBefore(const db::Query& q) {
    const db::Field& ts = q.Fields(0);
    return ts.IsNull() ? QString() : ts.AsString();
}

// One attempt of the write in the open transaction on `writing`. Returns the first listed
// order that is no longer as listed, when one is not (nothing of the requisition is
// written then); throws OrderChanged for a listed order whose lines changed, and
// NumberTaken when another write holds the number.
std::optional<QString> WriteInTransaction(db::Connection& writing, const std::function<QTime()>& clock,
                                          const RequisitionHeader& h, const std::vector<MaterialRow>& rows,
                                          const LineProducts& products, const WriteOrders& orders,
                                          const Exclusivity& exclusivity, const AuditEntry& record) {
    // The orders first: a client that comes second learns it before writing anything.
    std::vector<MarkedOrder> marked;
    db::Query mark(writing);
    mark.SetSQL(kMarkListedOrder);
    mark.SetParam("PROJ_ID", h.projectCode);
    for (const QString& order : orders.listed) {
        mark.SetParam("MASTERBILLID", order);
        mark.Execute();
        if (mark.RowsAffected() == 0) return order;
        marked.push_back({order, TsBefore(mark)});
    }
    db::Query close(writing);
    close.SetSQL(kCloseUnlistableOrder);
    close.SetParam("PROJ_ID", h.projectCode);
    for (const QString& order : orders.unlistable) {
        close.SetParam("MASTERBILLID", order);
        close.Execute();
        if (close.RowsAffected() > 0) marked.push_back({order, TsBefore(close)});
    }
    // Marked, the orders' lines are read as committed now: each must be as expanded.
    OrderLineReader lines(writing);
    for (const QString& order : orders.listed) {
        const auto expanded = orders.lines.constFind(order);
        if (expanded != orders.lines.cend() && lines.Read(order) != *expanded) throw OrderChanged(order, false);
    }

    // The number's use, before the header: the record's unique key waits for another
    // writer of the number and fails once that one has committed.
    if (exclusivity.recorded) {
        try {
            RecordWrite(writing, record, marked);
        } catch (const db::DbError& e) {
            if (e.isUniqueViolation() && exclusivity.keyed) throw NumberTaken(h.number);
            throw;
        }
    }
    {
        db::Query held(writing);
        held.SetSQL(kNumberHeld);
        held.SetParam("MASTERBILLID", h.number);
        held.Open();
        if (held.Fields(0).AsInteger() > 0) throw NumberTaken(h.number);
    }

    db::Query employee(writing);
    employee.SetSQL(kEmployeeName);
    const QString employeeName = ReadEmployeeName(employee, h.userId);

    db::Query master(writing);
    master.SetSQL(kMasterInsert);
    master.SetParam("MASTERBILLID", h.number);
    master.SetParam("BILL_DATE", h.dateText);
    master.SetParam("EMPLOYEE_ID", h.userId);
    master.SetParam("EMPLOYEE_NAME", employeeName);
    master.SetParam("STORE_ID", h.storeId);
    master.SetParam("TRAN_CODE", QStringLiteral("N"));
    master.SetParam("CLOSED", QStringLiteral("N"));
    master.SetParam("CHG_DATE", h.dateText);
    master.SetParam("CHG_USER", h.userId);
    master.SetParam("PROJ_ID", h.projectCode);
    master.Execute();

    WriteLinesInBlocks(writing, clock, h, employeeName, rows, products);
    return std::nullopt;
}

}  // namespace

OrderLineReader::OrderLineReader(db::Connection& connection) : query_(connection) { query_.SetSQL(kOrderLines); }

std::vector<OrderLine> OrderLineReader::Read(const QString& order) {
    query_.SetParam("MASTERBILLID", order);
    query_.Open();
    std::vector<OrderLine> lines;
    for (; !query_.Eof(); query_.Next()) {
        // A null quantity differs from 0.
        const db::Field& qty = query_.Fields(1);
        lines.push_back({query_.Fields(0).AsString(), qty.IsNull() ? QString() : qty.AsString()});
    }
    query_.Close();
    return lines;
}


NumberTaken::NumberTaken(const QString& number)
    : std::runtime_error(("requisition number " + number + " is held by another requisition").toStdString()),
      number_(number) {}

OrderChanged::OrderChanged(const QString& order, bool reload)
    : std::runtime_error(("order " + order +
                          (reload ? " is no longer an open, enabled order of the listed project"
                                  : "'s lines have changed since the materials were expanded"))
                             .toStdString()),
      order_(order),
      reload_(reload) {}

OrdersAlreadyTransferred::OrdersAlreadyTransferred(const QString& order, const QString& requisition)
    : std::runtime_error(("order " + order + " has already been transferred" +
                          (requisition.isEmpty() ? QString() : " into requisition " + requisition))
                             .toStdString()),
      order_(order),
      requisition_(requisition) {}

LineProducts RequisitionWriter::ReadProducts(const std::vector<MaterialRow>& rows) {
    // On the reading connection, before the write's transaction: that transaction then
    // holds its locks only for the writing itself. Each product is read once; each line's
    // product is one of `read`.
    LineProducts products;
    products.of.reserve(rows.size());
    {
        CommandTransaction transaction(reading_);
        db::Query product(reading_);
        product.SetSQL(kProductRow);
        std::unordered_map<QString, size_t, CodeHash> seen;
        for (const MaterialRow& r : rows) {
            if (auto it = seen.find(r.prodId); it != seen.end()) {
                products.of.push_back(it->second);
                continue;
            }
            seen.emplace(r.prodId, products.read.size());
            products.of.push_back(products.read.size());
            products.read.push_back(ReadProduct(product, r.prodId));
        }
    }
    return products;
}

void RequisitionWriter::Write(const RequisitionHeader& h, const std::vector<MaterialRow>& rows,
                              const LineProducts& products, const WriteOrders& given) {
    if (rows.empty()) return;
    if (products.of.size() != rows.size()) throw std::logic_error("the products are not those of the lines");

    // Each order once, always in the same order: two clients marking the same orders
    // meet on the first of them rather than each holding one the other needs.
    WriteOrders orders = given;
    for (QStringList* list : {&orders.listed, &orders.unlistable}) {
        list->removeDuplicates();
        list->removeAll(QString());
        std::sort(list->begin(), list->end());
    }

    // The record of the write, with its lines and total as they are inserted.
    AuditEntry record;
    record.number = h.number;
    record.billDate = h.dateText;
    record.projectCode = h.projectCode;
    record.userId = h.userId;
    record.storeId = h.storeId;
    record.lines = int(rows.size());
    for (size_t i = 0; i < rows.size(); ++i) record.total += Line(rows[i], products[i]).amount;

    Exclusivity exclusivity;
    exclusivity.recorded = AuditTableExists(writing_);
    exclusivity.keyed = exclusivity.recorded && AuditKeyExists(writing_);

    const std::optional<QString> notOpen = RetryOnConflict(
        [&]() -> std::optional<QString> {
            if (exclusivity.keyed) writing_.StartTransaction();
            else writing_.StartTransactionReserving({QStringLiteral("PETITION_MASTER")});
            try {
                if (std::optional<QString> order =
                        WriteInTransaction(writing_, clock_, h, rows, products, orders, exclusivity, record)) {
                    RollbackQuietly(writing_);
                    return order;
                }
                writing_.Commit();
                return std::nullopt;
            } catch (...) {
                RollbackQuietly(writing_);
                throw;
            }
        },
        IsLockConflict,
        [&](const db::DbError&) {
            ++conflicts_;
            // Another client held one of the orders and has ended its transaction. Read
            // committed lets the update wait for it but then reports the conflict rather
            // than the value it committed: look at that value now.
            for (const QString& order : orders.listed) {
                const auto state = OrderState(writing_, order);
                if (state && state->first == "Y") throw Transferred(writing_, order, state->second);
            }
        });
    if (!notOpen) return;
    const auto state = OrderState(writing_, *notOpen);
    if (!state) throw RuleError("order " + notOpen->toStdString() + " no longer exists");
    if (state->first == "Y") throw Transferred(writing_, *notOpen, state->second);
    throw OrderChanged(*notOpen, true);
}

}  // namespace mrp
