#include "StopSignal.h"

#include <atomic>
#include <csignal>

namespace {

std::atomic<bool> g_stopRequested{false};
static_assert(std::atomic<bool>::is_always_lock_free, "the signal handler may only touch a lock-free flag");

using Handler = void (*)(int);
Handler g_previousInt = SIG_DFL;
Handler g_previousTerm = SIG_DFL;

// The standard signal call, not sigaction, so that Windows has it too. Some systems
// reset the handler before calling it; installing it again keeps a second Ctrl-C from
// killing the program before the files are finished.
extern "C" void OnStopSignal(int signal) {
    g_stopRequested.store(true, std::memory_order_relaxed);
    std::signal(signal, OnStopSignal);
}

}  // namespace

StopSignal::StopSignal() {
    g_stopRequested.store(false);
    g_previousInt = std::signal(SIGINT, OnStopSignal);
    g_previousTerm = std::signal(SIGTERM, OnStopSignal);
}

StopSignal::~StopSignal() {
    std::signal(SIGINT, g_previousInt == SIG_ERR ? SIG_DFL : g_previousInt);
    std::signal(SIGTERM, g_previousTerm == SIG_ERR ? SIG_DFL : g_previousTerm);
}

bool StopSignal::Requested() { return g_stopRequested.load(std::memory_order_relaxed); }
