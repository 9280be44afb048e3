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
//   CONTENT       BLOB TEXT      for a void: the deleted header and lines, every column,
//                                as JSON {"PETITION_MASTER": [{...}], "PETITION_SUB": [...]}
//
// The table is made when it is absent, where the database account may create tables (as
// it must for the run's work table), and everyone may read and add to it. A database
// without it still takes requisitions (their writes are then not recorded), but refuses
// to void one: a void must leave a copy of what it deleted.

#include <QString>
#include <optional>

#include "db/Connection.h"

namespace mrp {

inline constexpr const char* kAuditTable = "MARLITH_AUDIT";
inline constexpr int kReasonLength = 200;

// The table's definition, as init-db and a run's start create it.
QString AuditTableDefinition();

// True when the database has the table (read in the connection's current transaction, or
// one of its own).
bool AuditTableExists(db::Connection& connection);

// Creates the table when it is absent, in a transaction of its own (the connection must
// have none open). Returns nullopt when the table is there afterwards (made here, made by
// another run at the same moment, or there already), else why it could not be made.
std::optional<QString> EnsureAuditTable(db::Connection& connection);

struct AuditEntry {
    QString action;  // "WRITE" or "VOID"
    QString number, billDate, projectCode, userId, storeId;
    int lines = 0;
    long long total = 0;
    QString reason;   // a void's
    QString content;  // a void's copy of what it deleted
};

// Inserts the entry in the connection's open transaction.
void RecordAudit(db::Connection& writing, const AuditEntry& entry);

// After a requisition's rows have been inserted, in the same open transaction: records the
// write with its line count and total as inserted, when the database has the table.
void RecordWrite(db::Connection& writing, const QString& number, const QString& dateText, const QString& projectCode,
                 const QString& userId, const QString& storeId);

// True when the table records a void of that number: its header is gone, but the number
// stays used up.
bool NumberVoided(db::Connection& connection, const QString& number);

}  // namespace mrp
