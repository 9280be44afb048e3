// The server's error codes behind DbError's questions, and the status of a failed call
// turned into DbError.

#include "db/Error.h"

#include <ibase.h>
#include <iberror.h>

#include <algorithm>

#include "db/FirebirdStatus.h"
#include "db/Interrupt.h"

namespace db {

bool DbError::hasCode(long code) const {
    return std::find(gdsCodes_.begin(), gdsCodes_.end(), code) != gdsCodes_.end();
}

bool DbError::isLockConflict() const {
    return hasCode(isc_deadlock) || hasCode(isc_update_conflict) || hasCode(isc_lock_conflict) ||
           hasCode(isc_lock_timeout);
}

bool DbError::isUniqueViolation() const { return hasCode(isc_unique_key_violation) || hasCode(isc_no_dup); }

bool DbError::isMultipleRows() const { return hasCode(isc_sing_select_err); }
bool DbError::isCancelled() const { return hasCode(isc_cancelled); }

[[noreturn]] void Throw(const Status& st, const std::string& context) {
    std::string text;
    const ISC_STATUS* p = st.v;
    char buf[1024];
    while (fb_interpret(buf, sizeof buf, &p)) {
        if (!text.empty()) text += '\n';
        text += buf;
    }
    std::vector<long> codes;
    for (const ISC_STATUS* q = st.v; q[0] != isc_arg_end && q < st.v + ISC_STATUS_LENGTH - 1;) {
        if (q[0] == isc_arg_gds) codes.push_back(static_cast<long>(q[1]));
        q += (q[0] == isc_arg_cstring) ? 3 : 2;
    }
    const long sqlcode = isc_sqlcode(st.v);
    if (!context.empty()) text = context + ": " + text;
    // A statement the watcher cancelled because the run is ending. Outside interruptible
    // work the same code is a cancel that came too late for its statement; the caller
    // may simply try again (DbError::isCancelled).
    if (std::find(codes.begin(), codes.end(), long(isc_cancelled)) != codes.end() && InterruptRequested() &&
        InterruptibleNow())
        throw Interrupted("interrupted: the program is ending (" + text + ")", sqlcode, std::move(codes));
    throw DbError(text, sqlcode, std::move(codes));
}

void Check(const Status& st, const std::string& context) {
    if (st.failed()) Throw(st, context);
}

}  // namespace db
