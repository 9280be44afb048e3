#pragma once
// Ending a run in order on SIGTERM, SIGINT and SIGHUP.
//
// While a SignalWatch lives, the first of these signals does not kill the process: its
// handler records the signal, asks the run's interruptible work to end
// (db::RequestInterrupt) and writes one byte to each of two pipes. A thread of the
// watch reads the first and cancels the statement running on the database at that
// moment (db::CancelInterruptibleWork), so a command waiting for another client's lock
// ends too; the window's event loop watches the second (eventFd, with a
// QSocketNotifier) and closes the window through its close handling. A command-line run
// has no event loop: its next statement stops it, and its clean-up rolls back and drops
// the work table. The process then ends with 128 + the signal's number.
//
// A second signal while the run is being ended ends the process at once, in case the
// clean-up itself hangs (a database server that no longer answers); what it leaves
// behind is removed by a later run.
//
// The Firebird client library catches SIGINT and SIGTERM too; its handler calls this
// one as well, and its engine shutdown is refused (db::KeepEngineOnSignals).

namespace app {

class SignalWatch {
public:
    // Installs the handlers and starts the watching thread. One watch at a time.
    SignalWatch();
    // Stops the thread and puts back the handlers that were there before.
    ~SignalWatch();
    SignalWatch(const SignalWatch&) = delete;
    SignalWatch& operator=(const SignalWatch&) = delete;

    // Readable once a signal has arrived (for a QSocketNotifier); never read from it.
    int eventFd() const;

    // The signal that told the run to end; 0 while none has. Kept after the watch ends.
    static int Received();

    // Called by a command once its outcome is committed (a requisition written): a signal
    // that arrives afterwards comes too late to stop anything, and the run reports what
    // it committed with the command's own status instead of 128 + the signal.
    static void OutcomeCommitted();
    static bool IsOutcomeCommitted();
};

// "SIGTERM", "SIGINT", "SIGHUP", else "signal N".
const char* SignalName(int signal);

}  // namespace app
