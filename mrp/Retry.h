#pragma once
// Trying a step again when another client was in its way.
//
// Clients that need the same rows meet on them: the second waits for the first's lock
// and is then told "lock conflict" or "deadlock" (the server's catalogue, the day's
// counter, an order two clerks transfer at once), though nothing is wrong with its work,
// and the same step a moment later goes through. Every step that writes what other
// clients write is therefore tried again: after a pause of random length, so that a
// crowd of clients does not meet again in step, longer with each attempt up to a bound;
// and at most kConflictAttempts times, so that a row held for good (a client stopped in
// the middle of its transaction) ends in the error after a few seconds rather than never.
// A program being ended (db::Interrupted) is never tried again.

#include <QRandomGenerator>
#include <QThread>
#include <algorithm>

#include "db/Connection.h"
#include "db/Interrupt.h"

namespace mrp {

inline constexpr int kConflictAttempts = 50;

// The errors every step tries again after.
inline bool IsLockConflict(const db::DbError& e) { return e.isLockConflict(); }

// Runs attempt() until it returns, and returns what it returns. A db::DbError that
// `retries` accepts is another client's doing: onConflict(error) is told (it may throw,
// to stop trying: what the other client committed can make another attempt pointless),
// and unless that was the last attempt the step is tried again after the pause. Any
// other error goes on at once. An attempt leaves nothing of its own behind when it
// fails (a transaction it began is rolled back).
template <typename Attempt, typename Retries, typename OnConflict>
auto RetryOnConflict(Attempt attempt, Retries retries, OnConflict onConflict) -> decltype(attempt()) {
    for (int n = 1;; ++n) {
        try {
            return attempt();
        } catch (const db::Interrupted&) {
            throw;
        } catch (const db::DbError& e) {
            if (!retries(e)) throw;
            onConflict(e);
            if (n >= kConflictAttempts) throw;
            QThread::msleep(QRandomGenerator::global()->bounded(1, 10 * std::min(n, 10)));
        }
    }
}

template <typename Attempt, typename Retries>
auto RetryOnConflict(Attempt attempt, Retries retries) -> decltype(attempt()) {
    return RetryOnConflict(std::move(attempt), std::move(retries), [](const db::DbError&) {});
}

template <typename Attempt>
auto RetryOnConflict(Attempt attempt) -> decltype(attempt()) {
    return RetryOnConflict(std::move(attempt), IsLockConflict);
}

}  // namespace mrp
