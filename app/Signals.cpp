#include "app/Signals.h"

#include <fcntl.h>
#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <stdexcept>
#include <string>
#include <thread>

#include "db/Interrupt.h"

namespace app {

namespace {

constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};

std::atomic<int> received{0};
std::atomic<bool> committed{false};
// The write ends are read by the handler: plain ints set before it is installed.
int watchPipe[2] = {-1, -1};  // the watching thread's
int eventPipe[2] = {-1, -1};  // the event loop's
struct sigaction previous[3];
sigset_t previousMask;
std::thread watcher;
bool active = false;

sigset_t WatchedSet() {
    sigset_t set;
    sigemptyset(&set);
    for (int s : kSignals) sigaddset(&set, s);
    return set;
}

static_assert(std::atomic<int>::is_always_lock_free, "set from a signal handler");

void OnSignal(int signal) {
    const int savedErrno = errno;
    int expected = 0;
    if (!received.compare_exchange_strong(expected, signal)) {
        // The run is already being ended: end at once. The signal is blocked while
        // this handler runs, so it arrives, with its default action, right after.
        ::signal(signal, SIG_DFL);
        ::raise(signal);
        errno = savedErrno;
        return;
    }
    db::RequestInterrupt();
    const char byte = static_cast<char>(signal);
    [[maybe_unused]] ssize_t ignored = ::write(watchPipe[1], &byte, 1);
    ignored = ::write(eventPipe[1], &byte, 1);
    errno = savedErrno;
}

void MakePipe(int fds[2], bool nonBlockingRead) {
    if (::pipe2(fds, O_CLOEXEC) != 0) throw std::runtime_error("cannot make the signal pipe");
    // The handler must never wait on a full pipe.
    ::fcntl(fds[1], F_SETFL, ::fcntl(fds[1], F_GETFL) | O_NONBLOCK);
    if (nonBlockingRead) ::fcntl(fds[0], F_SETFL, ::fcntl(fds[0], F_GETFL) | O_NONBLOCK);
}

void ClosePipe(int fds[2]) {
    for (int i = 0; i < 2; ++i) {
        if (fds[i] >= 0) ::close(fds[i]);
        fds[i] = -1;
    }
}

void Watch() {
    // The only thread that takes the signals (see the constructor).
    const sigset_t set = WatchedSet();
    pthread_sigmask(SIG_UNBLOCK, &set, nullptr);
    for (;;) {
        char byte = 0;
        const ssize_t n = ::read(watchPipe[0], &byte, 1);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0 || byte == 0) return;  // the watch is ending
        // This thread's reads are interrupted by the signals it takes; the client
        // library must not find EINTR left over (see the constructor).
        errno = 0;
        db::CancelInterruptibleWork();
    }
}

}  // namespace

SignalWatch::SignalWatch() {
    if (active) throw std::logic_error("one signal watch at a time");
    db::KeepEngineOnSignals();
    MakePipe(watchPipe, false);
    MakePipe(eventPipe, true);
    // The signals are blocked in this thread and so in every thread started from it
    // later (the engine's among them); only the watching thread takes them. A signal
    // that interrupts a system call leaves EINTR in that thread's errno, and the client
    // library has a loop that then never ends (it repeats fstat while errno is EINTR,
    // whatever fstat returned): the next time the engine opened a shared file on the
    // thread that had been interrupted, the program hung.
    const sigset_t set = WatchedSet();
    pthread_sigmask(SIG_BLOCK, &set, &previousMask);
    watcher = std::thread(Watch);
    struct sigaction action {};
    action.sa_handler = OnSignal;
    action.sa_flags = SA_RESTART;
    action.sa_mask = set;
    for (size_t i = 0; i < std::size(kSignals); ++i) ::sigaction(kSignals[i], &action, &previous[i]);
    active = true;
}

SignalWatch::~SignalWatch() {
    for (size_t i = 0; i < std::size(kSignals); ++i) ::sigaction(kSignals[i], &previous[i], nullptr);
    const char stop = 0;
    while (::write(watchPipe[1], &stop, 1) < 0 && errno == EINTR) {
    }
    watcher.join();
    ClosePipe(watchPipe);
    ClosePipe(eventPipe);
    // A signal that came after the watching thread ended is delivered now, with the
    // action that was there before.
    pthread_sigmask(SIG_SETMASK, &previousMask, nullptr);
    active = false;
}

int SignalWatch::eventFd() const { return eventPipe[0]; }

int SignalWatch::Received() { return received.load(); }

void SignalWatch::OutcomeCommitted() { committed.store(true); }

bool SignalWatch::IsOutcomeCommitted() { return committed.load(); }

const char* SignalName(int signal) {
    switch (signal) {
    case SIGTERM: return "SIGTERM";
    case SIGINT: return "SIGINT";
    case SIGHUP: return "SIGHUP";
    }
    static thread_local std::string other;
    other = "signal " + std::to_string(signal);
    return other.c_str();
}

}  // namespace app
