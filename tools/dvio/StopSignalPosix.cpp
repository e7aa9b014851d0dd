#include "StopSignal.h"

#include <atomic>
#include <csignal>

namespace {

std::atomic<bool> g_stopRequested{false};
static_assert(std::atomic<bool>::is_always_lock_free, "the signal handler may only touch a lock-free flag");

struct sigaction g_previousInt;
struct sigaction g_previousTerm;
struct sigaction g_previousHup;

extern "C" void OnStopSignal(int) { g_stopRequested.store(true, std::memory_order_relaxed); }

}  // namespace

StopSignal::StopSignal() {
    g_stopRequested.store(false);
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, &g_previousInt);
    sigaction(SIGTERM, &action, &g_previousTerm);
    sigaction(SIGHUP, &action, &g_previousHup);
}

StopSignal::~StopSignal() {
    sigaction(SIGINT, &g_previousInt, nullptr);
    sigaction(SIGTERM, &g_previousTerm, nullptr);
    sigaction(SIGHUP, &g_previousHup, nullptr);
}

bool StopSignal::Requested() { return g_stopRequested.load(std::memory_order_relaxed); }

void StopSignal::IgnoreBrokenPipe() { std::signal(SIGPIPE, SIG_IGN); }
