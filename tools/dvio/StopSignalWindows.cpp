// Windows: the C runtime turns Ctrl-C and Ctrl-Break into SIGINT and SIGBREAK, and it
// resets a handler before calling it, so the handler installs itself again to keep a
// second Ctrl-C from killing the program before the files are finished.
#include "StopSignal.h"

#include <atomic>
#include <csignal>

namespace {

std::atomic<bool> g_stopRequested{false};
static_assert(std::atomic<bool>::is_always_lock_free, "the signal handler may only touch a lock-free flag");

using Handler = void (*)(int);
Handler g_previousInt = SIG_DFL;
Handler g_previousTerm = SIG_DFL;
Handler g_previousBreak = SIG_DFL;

extern "C" void OnStopSignal(int signal) {
    g_stopRequested.store(true, std::memory_order_relaxed);
    std::signal(signal, OnStopSignal);
}

Handler Restorable(Handler previous) {
    return previous == SIG_ERR ? SIG_DFL : previous;
}

}  // namespace

StopSignal::StopSignal() {
    g_stopRequested.store(false);
    g_previousInt = std::signal(SIGINT, OnStopSignal);
    g_previousTerm = std::signal(SIGTERM, OnStopSignal);
    g_previousBreak = std::signal(SIGBREAK, OnStopSignal);
}

StopSignal::~StopSignal() {
    std::signal(SIGINT, Restorable(g_previousInt));
    std::signal(SIGTERM, Restorable(g_previousTerm));
    std::signal(SIGBREAK, Restorable(g_previousBreak));
}

bool StopSignal::Requested() { return g_stopRequested.load(std::memory_order_relaxed); }

void StopSignal::IgnoreBrokenPipe() {}
