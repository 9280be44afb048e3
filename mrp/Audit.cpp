#include "mrp/Audit.h"

#include "db/Interrupt.h"

namespace mrp {

namespace {

// A table: a view of that name is not one.
const QStringList kExists = {
    "SELECT COUNT(*) FROM RDB$RELATIONS WHERE RDB$RELATION_NAME = 'MARLITH_AUDIT' AND RDB$VIEW_BLR IS NULL"};

const QStringList kInsert = {
    "INSERT INTO MARLITH_AUDIT (AUDIT_TIME, ACTION, MASTERBILLID, BILL_DATE, PROJ_ID, EMPLOYEE_ID, STORE_ID,",
    " LINE_COUNT, TOTAL_AMT, REASON, CONTENT) VALUES (CURRENT_TIMESTAMP, :ACTION, :MASTERBILLID, :BILL_DATE,",
    " :PROJ_ID, :EMPLOYEE_ID, :STORE_ID, :LINE_COUNT, :TOTAL_AMT, :REASON, :CONTENT)"};

const QStringList kLinesWritten = {
    "SELECT COUNT(*), COALESCE(SUM(CAST(AMT AS BIGINT)), 0) FROM PETITION_SUB WHERE MASTERBILLID = :MASTERBILLID"};

const QStringList kVoided = {"SELECT COUNT(*) FROM MARLITH_AUDIT WHERE MASTERBILLID = :MASTERBILLID AND ACTION = 'VOID'"};

QVariant TextOrNull(const QString& s) { return s.isNull() ? QVariant() : QVariant(s); }

}  // namespace

QString AuditTableDefinition() {
    return QStringLiteral(
        "CREATE TABLE MARLITH_AUDIT (\n"
        "  AUDIT_TIME   TIMESTAMP NOT NULL,\n"
        "  ACTION       VARCHAR(10) NOT NULL,\n"
        "  MASTERBILLID VARCHAR(20) NOT NULL,\n"
        "  BILL_DATE    VARCHAR(10),\n"
        "  PROJ_ID      VARCHAR(20),\n"
        "  EMPLOYEE_ID  VARCHAR(10),\n"
        "  STORE_ID     VARCHAR(10),\n"
        "  LINE_COUNT   INTEGER,\n"
        "  TOTAL_AMT    BIGINT,\n"
        "  REASON       VARCHAR(400),\n"
        "  CONTENT      BLOB SUB_TYPE TEXT\n"
        ")");
}

bool AuditTableExists(db::Connection& connection) {
    db::Query q(connection);
    q.SetSQL(kExists);
    q.Open();
    return q.Fields(0).AsInteger() > 0;
}

std::optional<QString> EnsureAuditTable(db::Connection& connection) {
    try {
        if (AuditTableExists(connection)) return std::nullopt;
        // Its own transactions: a table cannot be used in the transaction that made it.
        connection.StartTransaction();
        try {
            db::Query create(connection);
            create.SetSQL({AuditTableDefinition()});
            create.Execute();
            connection.Commit();
        } catch (...) {
            try {
                connection.Rollback();
            } catch (...) {
            }
            throw;
        }
        // Every clerk's account records its writes and voids here, whoever made the table.
        // A grant refused leaves the table as it is: the owner's runs still record.
        try {
            db::Query grant(connection);
            grant.SetSQL({"GRANT SELECT, INSERT ON MARLITH_AUDIT TO PUBLIC"});
            grant.Execute();
        } catch (const db::DbError&) {
        }
        return std::nullopt;
    } catch (const db::Interrupted&) {
        throw;
    } catch (const db::DbError& e) {
        // Another run may have made it at the same moment.
        try {
            if (AuditTableExists(connection)) return std::nullopt;
        } catch (const db::DbError&) {
        }
        return QString::fromUtf8(e.what());
    }
}

void RecordAudit(db::Connection& writing, const AuditEntry& e) {
    db::Query q(writing);
    q.SetSQL(kInsert);
    q.SetParam("ACTION", e.action);
    q.SetParam("MASTERBILLID", e.number);
    q.SetParam("BILL_DATE", TextOrNull(e.billDate));
    q.SetParam("PROJ_ID", TextOrNull(e.projectCode));
    q.SetParam("EMPLOYEE_ID", TextOrNull(e.userId));
    q.SetParam("STORE_ID", TextOrNull(e.storeId));
    q.SetParam("LINE_COUNT", e.lines);
    q.SetParam("TOTAL_AMT", e.total);
    q.SetParam("REASON", TextOrNull(e.reason));
    q.SetParam("CONTENT", e.content.isEmpty() ? QVariant() : QVariant(e.content));
    q.Execute();
}

void RecordWrite(db::Connection& writing, const QString& number, const QString& dateText, const QString& projectCode,
                 const QString& userId, const QString& storeId) {
    if (!AuditTableExists(writing)) return;
    db::Query written(writing);
    written.SetSQL(kLinesWritten);
    written.SetParam("MASTERBILLID", number);
    written.Open();
    AuditEntry e;
    e.action = QStringLiteral("WRITE");
    e.number = number;
    e.billDate = dateText;
    e.projectCode = projectCode;
    e.userId = userId;
    e.storeId = storeId;
    e.lines = written.Fields(0).AsInteger();
    e.total = written.Fields(1).AsVariant().toLongLong();
    RecordAudit(writing, e);
}

bool NumberVoided(db::Connection& connection, const QString& number) {
    if (!AuditTableExists(connection)) return false;
    db::Query q(connection);
    q.SetSQL(kVoided);
    q.SetParam("MASTERBILLID", number);
    q.Open();
    return q.Fields(0).AsInteger() > 0;
}

}  // namespace mrp
