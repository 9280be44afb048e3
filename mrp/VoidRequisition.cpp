#include "mrp/VoidRequisition.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>

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

// Once the requisition's own lines are gone, lines still naming the order are another
// requisition's: that one keeps it transferred.
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
    db::Query reopen(w);
    reopen.SetSQL(kReopen);
    for (const QString& order : orders) {
        reopen.SetParam("ORDER_ID", order);
        reopen.Execute();
        if (reopen.RowsAffected() > 0) outcome.reopenedOrders << order;
    }

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
    e.content = QString::fromUtf8(QJsonDocument(QJsonObject{{"PETITION_MASTER", headers}, {"PETITION_SUB", lineRows}})
                                      .toJson(QJsonDocument::Compact));
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
    // what it committed.
    return RetryOnConflict([&] {
        writing.StartTransaction();
        try {
            VoidOutcome outcome = VoidOnce(writing, number, reason, userId, storeId);
            writing.Commit();
            return outcome;
        } catch (...) {
            RollbackQuietly(writing);
            throw;
        }
    });
}

}  // namespace mrp
