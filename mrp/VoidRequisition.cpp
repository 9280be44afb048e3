#include "mrp/VoidRequisition.h"

#include <QJsonArray>
#include <QJsonObject>
#include <algorithm>
#include <optional>

#include "mrp/Audit.h"
#include "mrp/CommandTransaction.h"
#include "mrp/Retry.h"

namespace mrp {

namespace {

// Every row of the requisition, locked until the transaction ends: a row another client
// has changed and committed meanwhile is a lock conflict, and the void starts again.
const QStringList kHeader = {"SELECT * FROM PETITION_MASTER WHERE MASTERBILLID = :MASTERBILLID WITH LOCK"};
const QStringList kLines = {"SELECT * FROM PETITION_SUB WHERE MASTERBILLID = :MASTERBILLID WITH LOCK"};

// The orders the lines name, while this transaction still sees the lines.
const QStringList kNamedOrders = {
    "SELECT DISTINCT ORDER_ID FROM PETITION_SUB WHERE MASTERBILLID = :MASTERBILLID",
    " AND ORDER_ID IS NOT NULL AND ORDER_ID <> ''"};

// A line under the number, once the void has deleted those it read: one another client
// added meanwhile.
const QStringList kLineLeft = {"SELECT COUNT(*) FROM PETITION_SUB WHERE MASTERBILLID = :MASTERBILLID"};

// A recorded write's order goes back to its TS before, while it is still as the write
// left it.
const QStringList kSetBack = {"UPDATE ORDER_MASTER SET TS = :TS WHERE MASTERBILLID = :ORDER_ID AND TS = 'Y'"};

// A requisition written without a record of its orders (by an earlier version): once its
// own lines are gone, lines still naming the order are another requisition's, which keeps
// it transferred.
const QStringList kReopen = {
    "UPDATE ORDER_MASTER O SET O.TS = 'N' WHERE O.MASTERBILLID = :ORDER_ID AND O.TS = 'Y'",
    " AND NOT EXISTS (SELECT 1 FROM PETITION_SUB S WHERE S.ORDER_ID = O.MASTERBILLID)"};

// The rows of an open query as JSON objects, every column by its name.
QJsonArray Rows(db::Query& q) {
    QJsonArray rows;
    for (; !q.Eof(); q.Next()) {
        QJsonObject row;
        for (int i = 0; i < q.FieldCount(); ++i)
            row.insert(q.Fields(i).fieldName(), QJsonValue::fromVariant(q.Fields(i).AsVariant()));
        rows.append(row);
    }
    return rows;
}

bool IsOpen(const QJsonValue& closed) { return closed.toString() == QLatin1String("N"); }

// Another client added a line under the number while the void ran: the void starts again
// and takes that line in too.
struct LineAdded {};

// Sets back the orders the write recorded marking, each to its TS before, unless a later
// write (not voided) marked it again; returns those set back.
QStringList SetBackRecorded(db::Connection& w, const QString& number, const std::vector<MarkedOrder>& marks) {
    const QStringList later = OrdersMarkedLater(w, number);
    db::Query setBack(w);
    setBack.SetSQL(kSetBack);
    QStringList done;
    for (const MarkedOrder& m : marks) {
        if (later.contains(m.order)) continue;
        setBack.SetParam("TS", m.tsBefore.isNull() ? QVariant() : QVariant(m.tsBefore));
        setBack.SetParam("ORDER_ID", m.order);
        setBack.Execute();
        if (setBack.RowsAffected() > 0) done << m.order;
    }
    std::sort(done.begin(), done.end());
    return done;
}

// The orders the lines name reopened, unless other lines name them too.
QStringList ReopenNamed(db::Connection& w, const QStringList& orders) {
    db::Query reopen(w);
    reopen.SetSQL(kReopen);
    QStringList done;
    for (const QString& order : orders) {
        reopen.SetParam("ORDER_ID", order);
        reopen.Execute();
        if (reopen.RowsAffected() > 0) done << order;
    }
    return done;
}

VoidOutcome VoidOnce(db::Connection& w, const QString& number, const QString& reason, const QString& userId,
                     const QString& storeId) {
    db::Query header(w);
    header.SetSQL(kHeader);
    header.SetParam("MASTERBILLID", number);
    header.Open();
    if (header.Eof()) {
        if (NumberVoided(w, number))
            throw VoidRefused(VoidRefused::Kind::AlreadyVoided, QStringLiteral("請購單 %1 已作廢").arg(number));
        throw VoidRefused(VoidRefused::Kind::Unknown, QStringLiteral("請購單 %1 不存在").arg(number));
    }
    const QJsonArray headers = Rows(header);
    db::Query lines(w);
    lines.SetSQL(kLines);
    lines.SetParam("MASTERBILLID", number);
    lines.Open();
    const QJsonArray lineRows = Rows(lines);

    const auto closed = [](const QJsonArray& rows) {
        return std::any_of(rows.begin(), rows.end(), [](const QJsonValue& r) { return !IsOpen(r.toObject().value("CLOSED")); });
    };
    if (closed(headers) || closed(lineRows))
        throw VoidRefused(VoidRefused::Kind::Closed, QStringLiteral("請購單 %1 已結案，不能作廢").arg(number));

    VoidOutcome outcome;
    outcome.number = number;
    outcome.lines = int(lineRows.size());
    for (const QJsonValue& r : lineRows) outcome.total += r.toObject().value("AMT").toVariant().toLongLong();

    QStringList orders;
    {
        db::Query named(w);
        named.SetSQL(kNamedOrders);
        named.SetParam("MASTERBILLID", number);
        named.Open();
        for (; !named.Eof(); named.Next()) orders << named.Fields(0).AsString();
        std::sort(orders.begin(), orders.end());
    }

    for (const char* table : {"PETITION_SUB", "PETITION_MASTER"}) {
        db::Query remove(w);
        remove.SetSQL({QString("DELETE FROM %1 WHERE MASTERBILLID = :MASTERBILLID").arg(table)});
        remove.SetParam("MASTERBILLID", number);
        remove.Execute();
    }
    {
        // Read in this transaction, which waits for a line another client is adding:
        // one that came after the lines were read is voided with them, on a new start.
        db::Query left(w);
        left.SetSQL(kLineLeft);
        left.SetParam("MASTERBILLID", number);
        left.Open();
        if (left.Fields(0).AsInteger() > 0) throw LineAdded{};
    }
    // The write's own record says what it marked; a requisition without one is undone by
    // the orders its lines name.
    if (const std::optional<std::vector<MarkedOrder>> marks = RecordedMarks(w, number))
        outcome.reopenedOrders = SetBackRecorded(w, number, *marks);
    else
        outcome.reopenedOrders = ReopenNamed(w, orders);

    const QJsonObject first = headers.first().toObject();
    AuditEntry e;
    e.action = QStringLiteral("VOID");
    e.number = number;
    e.billDate = first.value("BILL_DATE").toString();
    e.projectCode = first.value("PROJ_ID").toString();
    e.userId = userId;
    e.storeId = storeId;
    e.lines = outcome.lines;
    e.total = outcome.total;
    e.reason = reason;
    e.content = QJsonObject{{"PETITION_MASTER", headers}, {"PETITION_SUB", lineRows}};
    RecordAudit(w, e);
    return outcome;
}

}  // namespace

VoidRefused::VoidRefused(Kind kind, const QString& message) : std::runtime_error(message.toStdString()), kind_(kind) {}

VoidOutcome VoidRequisition(db::Connection& writing, const QString& numberIn, const QString& reasonIn,
                            const QString& userId, const QString& storeId) {
    const QString number = numberIn.trimmed();
    const QString reason = reasonIn.trimmed();
    if (reason.isEmpty())
        throw VoidRefused(VoidRefused::Kind::EmptyReason, QStringLiteral("請輸入作廢原因"));
    if (reason.size() > kReasonLength)
        throw VoidRefused(VoidRefused::Kind::ReasonTooLong,
                          QStringLiteral("作廢原因最多 %1 個字元").arg(kReasonLength));
    // A void leaves a copy of what it deletes, or does not happen.
    if (const std::optional<QString> why = EnsureAuditTable(writing))
        throw VoidRefused(VoidRefused::Kind::NoAuditTable,
                          QStringLiteral("無法建立稽核資料表 %1，不能作廢：%2").arg(kAuditTable, *why));

    // A row another client changed meanwhile is a lock conflict: the void looks again at
    // what it committed. Its reads wait for a row another client is changing or adding
    // under the number (a line the back office inserts at that moment), so every line
    // committed under it is locked and deleted with the rest.
    for (int attempt = 1;; ++attempt) {
        std::optional<VoidOutcome> outcome = RetryOnConflict([&]() -> std::optional<VoidOutcome> {
            writing.StartTransactionWaitingForPending();
            try {
                VoidOutcome done = VoidOnce(writing, number, reason, userId, storeId);
                writing.Commit();
                return done;
            } catch (const LineAdded&) {
                RollbackQuietly(writing);
                return std::nullopt;
            } catch (...) {
                RollbackQuietly(writing);
                throw;
            }
        });
        if (outcome) return *outcome;
        if (attempt >= kConflictAttempts)
            throw VoidRefused(VoidRefused::Kind::LinesAdded,
                              QStringLiteral("請購單 %1 正被新增明細，請稍後再作廢").arg(number));
    }
}

}  // namespace mrp
