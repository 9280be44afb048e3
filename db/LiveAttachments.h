#pragma once
// Shared between db/LiveAttachments.cpp, db/Connection.cpp and db/Query.cpp only: the
// open attachments, for the watcher that cancels running statements when the run is
// told to end (CancelInterruptibleWork, from another thread).

#include <ibase.h>

#include <atomic>

namespace db {

struct LiveAttachment {
    isc_db_handle handle = 0;
    std::atomic<bool> busy{false};  // a statement is executing or fetching
};

// The watcher may cancel on the handle from RegisterAttachment until
// UnregisterAttachment, which comes before the attachment is detached.
void RegisterAttachment(LiveAttachment& a, isc_db_handle handle);
void UnregisterAttachment(LiveAttachment& a);

// Marks the attachment busy while a statement runs on it.
class Busy {
public:
    explicit Busy(LiveAttachment& a) : a_(a) { a_.busy.store(true); }
    ~Busy() { a_.busy.store(false); }
    Busy(const Busy&) = delete;
    Busy& operator=(const Busy&) = delete;

private:
    LiveAttachment& a_;
};

}  // namespace db
