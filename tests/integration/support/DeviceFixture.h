// A fresh simulated world and a fresh device for each test, with the device's debug
// lines and the card calls it made at hand, and bounded waits: a test that waits for
// something that never comes fails within seconds and says what it waited for.
#pragma once

#include "device/CDV1394.h"
#include "sim/SimControl.h"
#include "Win32DebugSink.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <future>
#include <string>
#include <thread>
#include <vector>

// The sanitizers make everything several times slower; the waits allow for that.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr int kWaitScale = 4;
#else
constexpr int kWaitScale = 1;
#endif

// Polls `condition` every millisecond for up to `seconds` (scaled for sanitizer builds).
inline bool WaitUntil(const std::function<bool()>& condition, int seconds = 15) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds * kWaitScale);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

// The last `count` card calls, one per line, for failure messages.
inline std::string JournalTail(size_t count) {
    const std::vector<cardsim::JournalEntry> entries = cardsim::JournalSince(0);
    std::string text;
    for (size_t i = entries.size() > count ? entries.size() - count : 0; i < entries.size(); ++i)
        text += cardsim::DescribeEntry(entries[i]) + "\n";
    return text;
}

// Runs a host call that waits on a worker thread (Arm waits for the capture thread to
// start, Terminate for it to end). One that has not returned within 20 s never will:
// the process stops with what it was waiting for, instead of sitting until the suite's
// time-out.
template <typename Call>
auto Bounded(const char* what, Call call) -> decltype(call()) {
    auto pending = std::async(std::launch::async, call);
    if (pending.wait_for(std::chrono::seconds(20 * kWaitScale)) != std::future_status::ready) {
        std::fprintf(stderr, "FAILED: %s did not return within %d s; last card calls:\n%s", what, 20 * kWaitScale,
                     JournalTail(20).c_str());
        std::fflush(stderr);
        std::_Exit(1);
    }
    return pending.get();
}

class DeviceFixture : public ::testing::Test {
protected:
    void SetUp() override {
        cardsim::Reset();
        device_ = new CDV1394();
        log_.Clear();
        cardsim::ClearJournal();
    }

    void TearDown() override {
        cardsim::UseManualClock(false);  // nothing may wait on a frozen world
        Bounded("deleting the device", [this] { delete device_; });
        device_ = nullptr;
    }

    // Names of the card and deck-control functions called since the last ClearJournal.
    static std::vector<std::string> CardCalls() {
        std::vector<std::string> names;
        for (const cardsim::JournalEntry& entry : cardsim::JournalSince(0)) names.push_back(entry.function);
        return names;
    }

    // Card calls named `function`, in order.
    static std::vector<cardsim::JournalEntry> CallsTo(const std::string& function) {
        std::vector<cardsim::JournalEntry> calls;
        for (const cardsim::JournalEntry& entry : cardsim::JournalSince(0))
            if (entry.function == function) calls.push_back(entry);
        return calls;
    }

    CDV1394* device_ = nullptr;
    win32::DebugCapture log_;
};
