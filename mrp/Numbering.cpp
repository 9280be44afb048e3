#include "mrp/Numbering.h"

#include <QRegularExpression>

#include <limits>
#include <optional>

#include "mrp/Audit.h"
#include "mrp/CommandTransaction.h"
#include "mrp/Retry.h"
#include "mrp/Rules.h"

namespace mrp {

namespace {

void CheckTableName(const QString& name) {
    static const QRegularExpression plain("^[A-Za-z][A-Za-z0-9_$]{0,30}$");
    if (!plain.match(name).hasMatch())
        throw db::DbError("'" + name.toStdString() + "' is not a table name");
}

// LAST_ID is the next number handed out, and the row is then set one past it.
constexpr int kHighestLastId = std::numeric_limits<int>::max() - 1;

std::optional<int> IntegerOrNull(const db::Field& field) {
    return field.IsNull() ? std::nullopt : std::optional<int>(field.AsInteger());
}

// Refuses a day's row whose LAST_ID (nullopt: null) cannot give the day's next number.
void CheckLastId(const QString& tableName, const QString& dateText, const std::optional<int>& lastId) {
    if (lastId && *lastId >= 1 && *lastId <= kHighestLastId) return;
    const QString value = !lastId ? QStringLiteral("空值 (NULL)")
                          : *lastId < 1 ? QString::number(*lastId)
                                        : QStringLiteral("%1，已達整數上限").arg(*lastId);
    throw CounterRowError(QStringLiteral("請購單號的計數資料有誤：%1 表中 BILL_DATE 為 %2 的 LAST_ID 是 %3。"
                                         "LAST_ID 是當天下一張請購單的序號，須為 1 到 %4 的整數；"
                                         "請系統管理員把它改為當天已用的最大序號加 1（當天還沒有請購單時為 1）"
                                         "後再試。這次沒有取號，也沒有寫入任何資料。")
                              .arg(tableName, dateText, value)
                              .arg(kHighestLastId)
                              .toStdString());
}

}  // namespace

std::optional<int> RequisitionCounter::Advance(const QString& tableName, const QString& dateText) {
    db::Query advance(writing_);
    // A missing row gives one row of nulls (BILL_DATE too). A row that cannot count is
    // left as it is, locked until the refusal rolls back.
    advance.SetSQL({"UPDATE " + tableName + " SET LAST_ID =",
                    " IIF(LAST_ID BETWEEN 1 AND :HIGHEST, LAST_ID + 1, LAST_ID)",
                    " WHERE BILL_DATE = :BILL_DATE RETURNING OLD.LAST_ID, OLD.BILL_DATE"});
    advance.SetParam("HIGHEST", kHighestLastId);
    advance.SetParam("BILL_DATE", dateText);
    try {
        advance.Execute();
    } catch (const db::DbError& e) {
        // The statement is undone; the transaction goes on.
        if (!e.isMultipleRows()) throw;
        return AdvanceSeveral(tableName, dateText);
    }
    if (advance.FieldByName("BILL_DATE").IsNull()) return std::nullopt;
    const std::optional<int> old = IntegerOrNull(advance.FieldByName("LAST_ID"));
    CheckLastId(tableName, dateText, old);
    return old;
}

int RequisitionCounter::AdvanceSeveral(const QString& tableName, const QString& dateText) {
    // A database without the unique date may hold several rows for the day, left by
    // copies of the program that counted and inserted without a lock. Every one of them
    // is locked first (an update that changes nothing), so no other client advances any
    // of them until this transaction ends; the day then goes on from the highest, and
    // all its rows are set past the number handed out, so the next reservation goes on
    // from there whichever row it reads.
    db::Query lock(writing_);
    lock.SetSQL({"UPDATE " + tableName + " SET LAST_ID = LAST_ID WHERE BILL_DATE = :BILL_DATE"});
    lock.SetParam("BILL_DATE", dateText);
    lock.Execute();

    db::Query highest(writing_);
    highest.SetSQL({"SELECT MAX(LAST_ID) FROM " + tableName + " WHERE BILL_DATE = :BILL_DATE"});
    highest.SetParam("BILL_DATE", dateText);
    highest.Open();
    const std::optional<int> found = IntegerOrNull(highest.Fields(0));
    CheckLastId(tableName, dateText, found);
    const int n = *found;

    db::Query level(writing_);
    level.SetSQL({"UPDATE " + tableName + " SET LAST_ID = :LAST_ID WHERE BILL_DATE = :BILL_DATE"});
    level.SetParam("LAST_ID", n + 1);
    level.SetParam("BILL_DATE", dateText);
    level.Execute();
    return n;
}

int RequisitionCounter::SkipUsed(const QString& tableName, const QString& dateText, int sequence,
                                 QStringList& skipped) {
    db::Query used(writing_);
    used.SetSQL({"SELECT COUNT(*) FROM RDB$DATABASE WHERE",
                 " EXISTS (SELECT 1 FROM PETITION_MASTER WHERE MASTERBILLID = :NUMBER)",
                 " OR EXISTS (SELECT 1 FROM PETITION_SUB WHERE MASTERBILLID = :NUMBER)"});
    for (;;) {
        const QString number = RequisitionNumber(dateText, sequence);
        used.SetParam("NUMBER", number);
        used.Open();
        // A voided requisition's rows are gone, but its number stays used up: the audit
        // table remembers it.
        const bool taken = used.Fields(0).AsInteger() > 0 || NumberVoided(writing_, number);
        used.Close();
        if (!taken) return sequence;
        skipped << number;
        // The day's row exists by now (this transaction advanced or made it).
        const std::optional<int> next = Advance(tableName, dateText);
        if (!next) throw db::DbError("the counter row of " + dateText.toStdString() + " has gone");
        sequence = *next;
    }
}

int RequisitionCounter::Reserve(const QString& tableName, const QString& dateText, QStringList& skipped) {
    // Nearly every reservation finds the day's row and advances it under its record lock.
    writing_.StartTransaction();
    if (const std::optional<int> n = Advance(tableName, dateText)) {
        const int free = SkipUsed(tableName, dateText, *n, skipped);
        writing_.Commit();
        return free;
    }
    writing_.Rollback();

    // The day's first number: the table is reserved while the row is made, so a client
    // that needs it at the same moment waits and then advances this row instead of
    // making a second one, whether or not the database keeps the date column unique.
    writing_.StartTransactionReserving({tableName});
    if (const std::optional<int> n = Advance(tableName, dateText)) {
        const int free = SkipUsed(tableName, dateText, *n, skipped);
        writing_.Commit();
        return free;
    }
    db::Query create(writing_);
    create.SetSQL({"INSERT INTO " + tableName + "(BILL_DATE,LAST_ID) values(:BILL_DATE,:LAST_ID)"});
    create.SetParam("BILL_DATE", dateText);
    create.SetParam("LAST_ID", 2);  // the row starts at 1 and 1 is handed out at once
    create.Execute();
    const int free = SkipUsed(tableName, dateText, 1, skipped);
    writing_.Commit();
    return free;
}

QString RequisitionCounter::NextRequisitionNumber(const QString& tableName, const QString& dateText) {
    CheckTableName(tableName);
    // A day that does not exist would get a counter row and numbers of its own.
    if (const QString problem = DateTextProblem(dateText); !problem.isEmpty()) throw RuleError(problem.toStdString());
    // Another client making the day's row at the same moment (where the date is unique)
    // is as much in the way as one holding its lock.
    return RetryOnConflict(
        [&] {
            try {
                // Only the attempt that commits counts its skipped numbers.
                QStringList skipped;
                const QString number = RequisitionNumber(dateText, Reserve(tableName, dateText, skipped));
                skipped_ << skipped;
                return number;
            } catch (...) {
                RollbackQuietly(writing_);
                throw;
            }
        },
        [](const db::DbError& e) { return e.isLockConflict() || e.isUniqueViolation(); },
        [this](const db::DbError&) { ++conflicts_; });
}

}  // namespace mrp
