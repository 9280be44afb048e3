// The client library's side of ending a run (db/Interrupt.h): the open attachments,
// whose running statements the watcher cancels, and the engine kept running through the
// signals the library catches.

#include "db/LiveAttachments.h"

#include <mutex>
#include <set>

#include "db/FirebirdStatus.h"
#include "db/Interrupt.h"
#include "db/InterruptState.h"

namespace db {

namespace {

std::mutex& LiveMutex() {
    static std::mutex m;
    return m;
}

std::set<LiveAttachment*>& Live() {
    static std::set<LiveAttachment*> live;
    return live;
}

int RefuseSignalShutdown(const int reason, const int /*mask*/, void*) {
    // Non-zero at the confirmation step keeps the engine running.
    return reason == fb_shutrsn_signal ? 1 : 0;
}

}  // namespace

void RegisterAttachment(LiveAttachment& a, isc_db_handle handle) {
    std::lock_guard<std::mutex> lock(LiveMutex());
    a.handle = handle;
    Live().insert(&a);
}

void UnregisterAttachment(LiveAttachment& a) {
    std::lock_guard<std::mutex> lock(LiveMutex());
    Live().erase(&a);
    a.handle = 0;
}

void CancelInterruptibleWork() {
    std::lock_guard<std::mutex> state(InterruptStateMutex());
    if (!InterruptibleNow()) return;
    std::lock_guard<std::mutex> live(LiveMutex());
    for (LiveAttachment* a : Live()) {
        // Only an attachment with a statement under way: a cancel that finds none stays
        // pending and would fail the attachment's next call, the clean-up's included.
        if (!a->busy.load()) continue;
        Status st;
        isc_db_handle h = a->handle;
        fb_cancel_operation(&st, &h, fb_cancel_raise);
    }
}

void KeepEngineOnSignals() {
    static std::once_flag once;
    std::call_once(once, [] {
        Status st;
        fb_shutdown_callback(&st, RefuseSignalShutdown, fb_shut_confirmation, nullptr);
        Check(st, "cannot register the engine's shutdown check");
    });
}

}  // namespace db
