#include "mrp/Audit.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QSet>
#include <algorithm>

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

const QStringList kKeyExists = {
    "SELECT COUNT(*) FROM RDB$INDICES WHERE RDB$INDEX_NAME = 'MARLITH_AUDIT_NUMBER'",
    " AND RDB$RELATION_NAME = 'MARLITH_AUDIT' AND RDB$UNIQUE_FLAG = 1 AND COALESCE(RDB$INDEX_INACTIVE, 0) = 0"};

const QStringList kRecordedMarks = {
    "SELECT CONTENT FROM MARLITH_AUDIT WHERE MASTERBILLID = :MASTERBILLID AND ACTION = 'WRITE'"};

// Writes recorded at or after the write of the number (an order marked again had to be
// reopened after that write committed), other than it, and not voided.
const QStringList kLaterWrites = {
    "SELECT A.CONTENT FROM MARLITH_AUDIT A WHERE A.ACTION = 'WRITE' AND A.MASTERBILLID <> :MASTERBILLID",
    " AND A.CONTENT IS NOT NULL AND A.AUDIT_TIME >= (SELECT MIN(W.AUDIT_TIME) FROM MARLITH_AUDIT W",
    "   WHERE W.MASTERBILLID = :MASTERBILLID AND W.ACTION = 'WRITE')",
    " AND NOT EXISTS (SELECT 1 FROM MARLITH_AUDIT V WHERE V.MASTERBILLID = A.MASTERBILLID AND V.ACTION = 'VOID')"};

const QStringList kVoided = {"SELECT COUNT(*) FROM MARLITH_AUDIT WHERE MASTERBILLID = :MASTERBILLID AND ACTION = 'VOID'"};

QVariant TextOrNull(const QString& s) { return s.isNull() ? QVariant() : QVariant(s); }

int Count(db::Connection& connection, const QStringList& statement) {
    db::Query q(connection);
    q.SetSQL(statement);
    q.Open();
    return q.Fields(0).AsInteger();
}

// Runs a statement of the catalogue in a transaction of its own.
void RunDefinition(db::Connection& connection, const QString& statement) {
    connection.StartTransaction();
    try {
        db::Query q(connection);
        q.SetSQL({statement});
        q.Execute();
        connection.Commit();
    } catch (...) {
        try {
            connection.Rollback();
        } catch (...) {
        }
        throw;
    }
}

// The orders of a write's record; nullopt for a record without them.
std::optional<std::vector<MarkedOrder>> Marks(const QString& content) {
    if (content.isEmpty()) return std::nullopt;
    const QJsonObject record = QJsonDocument::fromJson(content.toUtf8()).object();
    if (!record.value("ORDERS").isArray()) return std::nullopt;
    std::vector<MarkedOrder> marks;
    for (const QJsonValue& v : record.value("ORDERS").toArray()) {
        const QJsonObject o = v.toObject();
        const QJsonValue ts = o.value("TS");
        marks.push_back({o.value("MASTERBILLID").toString(), ts.isString() ? ts.toString() : QString()});
    }
    return marks;
}

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

QString AuditKeyDefinition() {
    return QStringLiteral("CREATE UNIQUE INDEX MARLITH_AUDIT_NUMBER ON MARLITH_AUDIT (MASTERBILLID, ACTION)");
}

bool AuditKeyExists(db::Connection& connection) { return Count(connection, kKeyExists) > 0; }

bool AuditTableExists(db::Connection& connection) { return Count(connection, kExists) > 0; }

namespace {

// The questions the program asks of a large table by a column, and the index each needs:
// the void's and the refusal's "which requisition names this order", the history's
// project and day, the audit table's own by project, day and time, and the purchase
// plan's open requisitions. A back office of
// twenty years holds a million requisition lines; without these each such question reads
// the table whole.
struct IndexNeed {
    const char* name;
    const char* table;
    const char* columns;  // the first one leads the index
};
constexpr IndexNeed kIndexNeeds[] = {
    {"MARLITH_PETITION_SUB_ORDER", "PETITION_SUB", "ORDER_ID"},
    {"MARLITH_PETITION_MASTER_PROJ", "PETITION_MASTER", "PROJ_ID"},
    {"MARLITH_PETITION_MASTER_DATE", "PETITION_MASTER", "BILL_DATE"},
    {"MARLITH_AUDIT_PROJ", "MARLITH_AUDIT", "PROJ_ID"},
    {"MARLITH_AUDIT_DATE", "MARLITH_AUDIT", "BILL_DATE"},
    {"MARLITH_AUDIT_TIME", "MARLITH_AUDIT", "AUDIT_TIME"},
    // The purchase plan's open requisitions of a period (the name init-db gives it).
    {"PETITION_MASTER_OPEN", "PETITION_MASTER", "CLOSED, BILL_DATE"},
};

// The columns that already lead an active index of their table, under any name: a back
// office that indexed one itself gets no second index.
const QStringList kLeadingColumns = {
    "SELECT TRIM(I.RDB$RELATION_NAME) || '.' || TRIM(S.RDB$FIELD_NAME) FROM RDB$INDICES I",
    " JOIN RDB$INDEX_SEGMENTS S ON S.RDB$INDEX_NAME = I.RDB$INDEX_NAME",
    " WHERE S.RDB$FIELD_POSITION = 0 AND COALESCE(I.RDB$INDEX_INACTIVE, 0) = 0",
    " AND I.RDB$RELATION_NAME IN ('PETITION_SUB', 'PETITION_MASTER', 'MARLITH_AUDIT')"};

// The audit table's unique key and every index of kIndexNeeds that is missing, each in a
// transaction of its own. An index the account may not make is passed over: the program
// works without it, only slower on a large database.
void EnsureIndexes(db::Connection& connection) {
    const auto quietly = [&](const QString& definition) {
        try {
            RunDefinition(connection, definition);
        } catch (const db::Interrupted&) {
            throw;
        } catch (const db::DbError&) {
        }
    };
    try {
        if (!AuditKeyExists(connection)) quietly(AuditKeyDefinition());
        QSet<QString> indexed;
        db::Query q(connection);
        q.SetSQL(kLeadingColumns);
        for (q.Open(); !q.Eof(); q.Next()) indexed.insert(q.Fields(0).AsString());
        q.Close();
        for (const IndexNeed& need : kIndexNeeds)
            if (!indexed.contains(QStringLiteral("%1.%2").arg(need.table, QString(need.columns).section(',', 0, 0))))
                quietly(QStringLiteral("CREATE INDEX %1 ON %2 (%3)").arg(need.name, need.table, need.columns));
    } catch (const db::Interrupted&) {
        throw;
    } catch (const db::DbError&) {
    }
}

}  // namespace

std::optional<QString> EnsureAuditTable(db::Connection& connection) {
    try {
        if (AuditTableExists(connection)) {
            EnsureIndexes(connection);
            return std::nullopt;
        }
        // Its own transactions: a table cannot be used in the transaction that made it.
        RunDefinition(connection, AuditTableDefinition());
        EnsureIndexes(connection);
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
            if (AuditTableExists(connection)) {
                EnsureIndexes(connection);
                return std::nullopt;
            }
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
    q.SetParam("CONTENT", e.content.isEmpty() ? QVariant() : QVariant(AuditContentText(e.content)));
    q.Execute();
}

QString AuditContentText(const QJsonObject& content) {
    const QString json = QString::fromUtf8(QJsonDocument(content).toJson(QJsonDocument::Compact));
    // Outside strings JSON is ASCII: every other code unit is inside one, where a \u
    // escape of each UTF-16 unit (a pair for a character beyond the BMP) stands for it.
    QString out;
    out.reserve(json.size());
    for (const QChar c : json) {
        if (c.unicode() < 0x80) out += c;
        else out += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
    }
    return out;
}

void RecordWrite(db::Connection& writing, AuditEntry e, const std::vector<MarkedOrder>& marked) {
    QJsonArray orders;
    for (const MarkedOrder& m : marked)
        orders.append(QJsonObject{{"MASTERBILLID", m.order},
                                  {"TS", m.tsBefore.isNull() ? QJsonValue(QJsonValue::Null) : QJsonValue(m.tsBefore)}});
    e.action = QStringLiteral("WRITE");
    e.content = QJsonObject{{"ORDERS", orders}};
    RecordAudit(writing, e);
}

std::optional<std::vector<MarkedOrder>> RecordedMarks(db::Connection& connection, const QString& number) {
    if (!AuditTableExists(connection)) return std::nullopt;
    db::Query q(connection);
    q.SetSQL(kRecordedMarks);
    q.SetParam("MASTERBILLID", number);
    q.Open();
    if (q.Eof()) return std::nullopt;
    return Marks(q.Fields(0).AsString());
}

QStringList OrdersMarkedLater(db::Connection& connection, const QString& number) {
    db::Query q(connection);
    q.SetSQL(kLaterWrites);
    q.SetParam("MASTERBILLID", number);
    q.Open();
    QSet<QString> orders;
    for (; !q.Eof(); q.Next())
        if (const auto marks = Marks(q.Fields(0).AsString()))
            for (const MarkedOrder& m : *marks) orders.insert(m.order);
    QStringList out(orders.begin(), orders.end());
    std::sort(out.begin(), out.end());
    return out;
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
