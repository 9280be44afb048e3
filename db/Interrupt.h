#pragma once
// Ending a run part-way (the program is told to end by SIGTERM, SIGINT or SIGHUP).
//
// Work that may be cut short runs inside an InterruptibleWork: once an end has been
// requested, its next statement throws Interrupted instead of running, and a statement
// already running (a long select, an update waiting for another client's lock) is
// cancelled by the engine from the thread that watches for the request. Clean-up that
// must run whatever happens (rolling back, dropping the work table) runs inside an
// UninterruptibleWork: its statements run even after an end was requested, and nothing
// cancels them.
//
// The request is process-wide and is never withdrawn: the run is ending.

#include "db/Error.h"

namespace db {

// A statement refused or cancelled because the run is ending.
class Interrupted : public DbError {
public:
    using DbError::DbError;
};

// Asks the run to end. Safe to call from a signal handler.
void RequestInterrupt() noexcept;
bool InterruptRequested() noexcept;

// True while interruptible work runs (and no uninterruptible work inside it).
bool InterruptibleNow() noexcept;
// Throws Interrupted when an end was requested and interruptible work is running.
void CheckInterrupt();

class InterruptibleWork {
public:
    InterruptibleWork();
    ~InterruptibleWork();
    InterruptibleWork(const InterruptibleWork&) = delete;
    InterruptibleWork& operator=(const InterruptibleWork&) = delete;

private:
    bool previous_;
};

class UninterruptibleWork {
public:
    UninterruptibleWork();
    ~UninterruptibleWork();
    UninterruptibleWork(const UninterruptibleWork&) = delete;
    UninterruptibleWork& operator=(const UninterruptibleWork&) = delete;

private:
    bool previous_;
};

// Cancels the statement running on each open attachment, when interruptible work is
// running; otherwise does nothing. Called from a thread other than the one doing the
// work (the program's signal watcher), after RequestInterrupt.
void CancelInterruptibleWork();

// The Firebird client library catches SIGINT and SIGTERM itself and then shuts the
// engine down, which closes every attachment under the running program (each later call
// fails with "invalid database handle"). This refuses that shutdown, so the program ends
// the run in its own order. Call once, before the signals can arrive.
void KeepEngineOnSignals();

}  // namespace db
