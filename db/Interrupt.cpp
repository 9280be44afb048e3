#include "db/Interrupt.h"

#include <atomic>

#include "db/InterruptState.h"

namespace db {

namespace {

std::atomic<bool> requested{false};
std::atomic<bool> interruptible{false};

static_assert(std::atomic<bool>::is_always_lock_free, "the request is set from a signal handler");

}  // namespace

std::mutex& InterruptStateMutex() {
    static std::mutex m;
    return m;
}

void RequestInterrupt() noexcept { requested.store(true); }

bool InterruptRequested() noexcept { return requested.load(); }

bool InterruptibleNow() noexcept { return interruptible.load(); }

void CheckInterrupt() {
    if (InterruptRequested() && InterruptibleNow()) throw Interrupted("interrupted: the program is ending");
}

namespace {

bool Switch(bool on) {
    // Under the watcher's lock: once this returns, no cancel meant for the previous
    // state can reach the attachments any more.
    std::lock_guard<std::mutex> lock(InterruptStateMutex());
    return interruptible.exchange(on);
}

}  // namespace

InterruptibleWork::InterruptibleWork() : previous_(Switch(true)) {}
InterruptibleWork::~InterruptibleWork() { Switch(previous_); }

UninterruptibleWork::UninterruptibleWork() : previous_(Switch(false)) {}
UninterruptibleWork::~UninterruptibleWork() { Switch(previous_); }

}  // namespace db
