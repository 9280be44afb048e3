#pragma once
// The day's requisition numbers. The counter table (TEMP_PETITIONID) holds one row per
// day whose LAST_ID is the sequence number the next requisition of that day receives.
//
// Reserving a number reads and advances that row in one statement inside one short
// transaction on the writing connection, so two clients never receive the same number.
// The day's row is made by the first client that needs it, in a transaction that
// reserves the table, so a second client waits and advances that row: one row per day
// even in a database whose date column is not declared unique. A client that meets
// another's lock waits for it and then tries again (mrp/Retry.h); lock conflicts are not
// failures.
//
// A database without the unique date may already hold several rows for one day (left
// by programs that counted and then inserted without a lock). Then every row of the day
// is locked, the day goes on from the highest LAST_ID, and all its rows are advanced
// together.
//
// A number once reserved is used up: a write that then fails or is refused leaves a gap
// in the day's numbers, never a number given twice.
//
// A counter set back under numbers already written (a restored backup, a hand fix) would
// hand out a number that a requisition holds. Such a number is skipped: in the same
// transaction the counter moves past every number that PETITION_MASTER or PETITION_SUB
// already holds, and the number handed out is the first free one. The skipped numbers
// are told (skipped()), never written over.
//
// LAST_ID is the next sequence number, so it lies between 1 and the largest INTEGER less
// one. A row outside that (null, 0 or below, at the limit: a hand fix or a damaged
// restore) would hand out "…0000", a negative number or fail on the overflow; the
// reservation is refused instead with a CounterRowError that says which row holds what
// and how to mend it, and nothing is written.

#include <QString>
#include <QStringList>
#include <optional>

#include "db/Connection.h"
#include "mrp/Rules.h"

namespace mrp {

inline constexpr const char* kCounterTable = "TEMP_PETITIONID";

// The day's counter row cannot give a number: the text, for the clerk and whoever mends
// the table, names the table, the day and the value, and how to mend the row.
class CounterRowError : public RuleError {
public:
    using RuleError::RuleError;
};

class RequisitionCounter {
public:
    explicit RequisitionCounter(db::Connection& writing) : writing_(writing) {}

    // Reserves and returns the day's next number: the date's digits YYYYMMDD and the
    // sequence number with at least four digits ("202611020001" for the first of the
    // day). The counter row is created with LAST_ID 1 when the day has none, and LAST_ID
    // ends one higher than the number handed out. tableName is a plain table name (it is
    // placed in the statement). Throws RuleError for a date text that names no real day
    // (YYYY/MM/DD) and CounterRowError for a day's row it cannot count on, before
    // anything is written; db::DbError for database failures other than lock conflicts,
    // and when the conflicts go on (mrp::kConflictAttempts in a row).
    QString NextRequisitionNumber(const QString& tableName, const QString& dateText);

    // Attempts that met another client's lock or insert since this counter was created.
    int conflicts() const { return conflicts_; }
    // The numbers passed over because a requisition already holds them, since this
    // counter was created, in the order they were met.
    const QStringList& skipped() const { return skipped_; }

private:
    // Advances the day's row in the open transaction; nullopt when the day has none.
    std::optional<int> Advance(const QString& tableName, const QString& dateText);
    // The same for a day with several rows: returns the highest LAST_ID, all rows one past it.
    int AdvanceSeveral(const QString& tableName, const QString& dateText);
    // One reservation with its transactions; returns the sequence number handed out and
    // adds the numbers it passed over to `skipped`.
    int Reserve(const QString& tableName, const QString& dateText, QStringList& skipped);
    // In the open transaction: advances the day's row past every number a requisition
    // already holds, from `sequence` on; returns the first free one.
    int SkipUsed(const QString& tableName, const QString& dateText, int sequence, QStringList& skipped);

    db::Connection& writing_;
    int conflicts_ = 0;
    QStringList skipped_;
};

}  // namespace mrp
