#pragma once
// The day's requisition numbers. The counter table (TEMP_PETITIONID) holds one row per
// day whose LAST_ID is the sequence number the next requisition of that day receives.
//
// Reserving a number reads and advances that row in one statement inside one short
// transaction on the writing connection, so two clients never receive the same number,
// and the day's row is created by the first client that needs it (the date column is
// unique, so a second client's insert fails and that client advances the row instead).
// A client that meets another's lock waits for it and then tries again; lock conflicts
// are not failures.

#include <QString>

#include "db/Connection.h"

namespace mrp {

inline constexpr const char* kCounterTable = "TEMP_PETITIONID";

class RequisitionCounter {
public:
    explicit RequisitionCounter(db::Connection& writing) : writing_(writing) {}

    // Reserves and returns the day's next number: the date's digits YYYYMMDD and the
    // sequence number with at least four digits ("202611020001" for the first of the
    // day). The counter row is created with LAST_ID 1 when the day has none, and LAST_ID
    // ends one higher than the number handed out. tableName is a plain table name (it is
    // placed in the statement). Throws db::DbError for database failures other than lock
    // conflicts, and after maxAttempts conflicts in a row.
    QString NextRequisitionNumber(const QString& tableName, const QString& dateText);

    // Attempts that met another client's lock or insert since this counter was created.
    int conflicts() const { return conflicts_; }
    void SetMaxAttempts(int attempts) { maxAttempts_ = attempts; }

private:
    int Reserve(const QString& tableName, const QString& dateText);

    db::Connection& writing_;
    int maxAttempts_ = 50;
    int conflicts_ = 0;
};

}  // namespace mrp
