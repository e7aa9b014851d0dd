// Ctrl-C while the deck cues is answered within half a second even when the device
// holds dvio inside one of its calls (a deck stuck mid-change keeps the plug-in
// waiting for seconds): nothing has been captured yet, so after a short grace a
// watcher thread removes the files the run created, says so and ends the process.
#pragma once

#include <atomic>
#include <chrono>
#include <functional>
#include <thread>

class CtrlCWhileCueing {
public:
    // `removeCreated` is called on the watcher thread just before the process ends.
    explicit CtrlCWhileCueing(std::function<void()> removeCreated);
    // Ends the watch (the cue is over, one way or the other).
    ~CtrlCWhileCueing();
    CtrlCWhileCueing(const CtrlCWhileCueing&) = delete;
    CtrlCWhileCueing& operator=(const CtrlCWhileCueing&) = delete;

    // How long the cue itself is given to notice the Ctrl-C and end cleanly.
    static constexpr std::chrono::milliseconds kGrace{400};

private:
    void Watch();

    std::function<void()> removeCreated_;
    std::atomic<bool> done_{false};
    std::thread thread_;
};
