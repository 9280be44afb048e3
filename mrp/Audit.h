#pragma once
// The program's own record of what it did to requisitions: one row in MARLITH_AUDIT per
// requisition written and per requisition voided, inserted in the transaction of the
// change it records, so the record and the change are committed together or not at all.
//
//   AUDIT_TIME    TIMESTAMP      when (the server's clock)
//   ACTION        VARCHAR(10)    "WRITE" or "VOID"
//   MASTERBILLID  VARCHAR(20)    the requisition's number
//   BILL_DATE     VARCHAR(10)    its date, YYYY/MM/DD
//   PROJ_ID       VARCHAR(20)    its project
//   EMPLOYEE_ID   VARCHAR(10)    the clerk who wrote or voided it
//   STORE_ID      VARCHAR(10)    that clerk's store
//   LINE_COUNT    INTEGER        its lines
//   TOTAL_AMT     BIGINT         the sum of its lines' AMT
//   REASON        VARCHAR(400)   why it was voided, at most 200 characters (empty for a write)
//   CONTENT       BLOB TEXT      JSON: for a write, the orders it marked transferred and
//                                each one's TS before ({"ORDERS": [{"MASTERBILLID": "O1",
//                                "TS": "N"}, ...]}); for a void, the deleted header and
//                                lines, every column ({"PETITION_MASTER": [{...}],
//                                "PETITION_SUB": [...]})
//
// CONTENT is written as JSON in UTF-8 with every character beyond ASCII as a \u escape:
// its bytes are ASCII, so they read the same as UTF-8 (as JSON must be), through the
// attachment's code page and to a reader of bytes (a Big5 trail byte 0x5C, as in 功 or 許,
// would read as a backslash escaping the next quote). Rows of earlier versions hold Big5
// text, which reads back through the code page as before.
//
// The unique index MARLITH_AUDIT_NUMBER on (MASTERBILLID, ACTION) makes a number's write
// exclusive: the writer inserts its WRITE row before the header, so a second writer of
// the same number waits for the first's row and then fails on it (Writer: the next number).
//
// The table is made when it is absent, where the database account may create tables (as
// it must for the run's work table), and everyone may read and add to it; the index is
// made with it, and added once to a table made by an earlier version. A database without
// the table still takes requisitions (their writes are then not recorded), but refuses to
// void one: a void must leave a copy of what it deleted.

#include <QJsonObject>
#include <QString>
#include <optional>
#include <vector>

#include "db/Connection.h"

namespace mrp {

inline constexpr const char* kAuditTable = "MARLITH_AUDIT";
inline constexpr int kReasonLength = 200;

inline constexpr const char* kAuditKey = "MARLITH_AUDIT_NUMBER";

// The table's definition, as init-db and a run's start create it, and its unique index.
QString AuditTableDefinition();
QString AuditKeyDefinition();

// True when the database has the table (read in the connection's current transaction, or
// one of its own).
bool AuditTableExists(db::Connection& connection);

// True when the table has its unique index, which makes a number's write exclusive.
bool AuditKeyExists(db::Connection& connection);

// Creates the table when it is absent, and its index when the table lacks it, each in a
// transaction of its own (the connection must have none open). Returns nullopt when the
// table is there afterwards (made here, made by another run at the same moment, or there
// already), else why it could not be made. An index that cannot be made (an account
// that may not alter the table, a number recorded twice already) is left for a later
// run; writes then go on without it (RequisitionWriter).
// The same step makes, once, the indices the program's questions need on the large
// tables (PETITION_SUB.ORDER_ID, PETITION_MASTER.PROJ_ID and BILL_DATE, and the audit
// table's PROJ_ID, BILL_DATE and AUDIT_TIME), unless an index of the table already
// starts with that column; one the account may not make is passed over.
std::optional<QString> EnsureAuditTable(db::Connection& connection);

// An order a write marked transferred, and its TS before (null: a null QString).
struct MarkedOrder {
    QString order;
    QString tsBefore;
    bool operator==(const MarkedOrder&) const = default;
};

struct AuditEntry {
    QString action;  // "WRITE" or "VOID"
    QString number, billDate, projectCode, userId, storeId;
    int lines = 0;
    long long total = 0;
    QString reason;   // a void's
    QJsonObject content;  // empty: none
};

// CONTENT's text for a JSON object: ASCII only, every other character as a \u escape.
QString AuditContentText(const QJsonObject& content);

// Inserts the entry in the connection's open transaction.
void RecordAudit(db::Connection& writing, const AuditEntry& entry);

// Records a write (entry's action and content are set here) with the orders it marked,
// in the write's open transaction, before its header is inserted. Throws the database's
// unique violation when the index records a write of that number already (committed, or
// committed by a writer this one waited for).
void RecordWrite(db::Connection& writing, AuditEntry entry, const std::vector<MarkedOrder>& marked);

// The orders the write of `number` recorded having marked, with their TS before; nullopt
// when no write of it is recorded with its orders (written by an earlier version, or
// where the table was missing).
std::optional<std::vector<MarkedOrder>> RecordedMarks(db::Connection& connection, const QString& number);

// The orders that writes recorded after the write of `number`, and not voided since,
// marked transferred: such an order is theirs now.
QStringList OrdersMarkedLater(db::Connection& connection, const QString& number);

// True when the table records a void of that number: its header is gone, but the number
// stays used up.
bool NumberVoided(db::Connection& connection, const QString& number);

}  // namespace mrp
