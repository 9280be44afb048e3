#pragma once
// Shared between db/Interrupt.cpp and db/LiveAttachments.cpp only: the lock under which
// the interruptible state changes and the watcher cancels running statements.

#include <mutex>

namespace db {

std::mutex& InterruptStateMutex();

}  // namespace db
