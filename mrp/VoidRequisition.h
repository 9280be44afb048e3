#pragma once
// Taking back a requisition written by mistake, while purchasing has not yet taken it up.
//
// In one transaction on the writing connection: the header and its lines are locked
// (another clerk's void, a write, or the back office's close of the same rows waits for
// this one, or this one for them; a line being added under the number is waited for and
// voided with the rest), every one of them must still be open (CLOSED 'N'); the lines and
// the header are deleted; each order the write recorded marking goes back to its TS before
// the write (null, 'N', ...) unless a later write, not voided, marked it again (a
// requisition written without that record, by an earlier version: each order its lines
// name goes back to 'N' unless the lines of another requisition name it too); and the
// audit table receives the void with a copy of every deleted row. Either all of it is
// committed or none. A line added under the number after the void has committed is the
// adder's own: nothing here can keep it out.
//
// The number stays used up: the day's counter only goes up, and the audit table keeps the
// number as voided.

#include <QString>
#include <QStringList>
#include <stdexcept>

#include "db/Connection.h"

namespace mrp {

// A void that was refused; nothing was changed. The message is the clerk's.
class VoidRefused : public std::runtime_error {
public:
    enum class Kind { EmptyReason, ReasonTooLong, Unknown, Closed, AlreadyVoided, NoAuditTable, LinesAdded };
    VoidRefused(Kind kind, const QString& message);
    Kind kind() const { return kind_; }

private:
    Kind kind_;
};

struct VoidOutcome {
    QString number;
    int lines = 0;
    long long total = 0;
    QStringList reopenedOrders;  // in order
};

// Voids the requisition `number` for `reason` (trimmed; required), as the clerk `userId`
// of `storeId`. Throws VoidRefused, or db::DbError for a failure of the database (after
// rolling back). Another client's lock is waited for, and the void is then tried again on
// what that client committed.
VoidOutcome VoidRequisition(db::Connection& writing, const QString& number, const QString& reason,
                            const QString& userId, const QString& storeId);

}  // namespace mrp
