// Keeps the capture thread's delivery into an input queue apart from the host's
// operations that reset, reallocate or replace what delivery writes into. The capture
// thread holds it for one frame's delivery and looks at the stream's state only while
// holding it; Prepare, ring allocation and release, a FIFO reset, a new channel mask
// and a new deshuffler wait for it. So a host thread that has left Running and then
// frees or resets the memory can never do so under a write already under way.
//
// Recursive, because the queue's own operations call one another (an allocation
// releases the old ring first).
#pragma once

#include <atomic>
#include <mutex>

namespace dv1394 {

class DeliveryGuard {
public:
    std::unique_lock<std::recursive_mutex> Hold() { return std::unique_lock<std::recursive_mutex>(mutex_); }

    // Tests hold the capture thread inside a delivery (after its state check, with the
    // ring, mask and deshuffler it writes through in hand, before it writes) to show
    // what a host operation must wait for. Null outside those tests.
    enum class Point { Frame, Audio };
    using Pause = void (*)(Point);
    static void SetTestPause(Pause pause) { testPause_.store(pause, std::memory_order_release); }
    static void PauseForTest(Point point) {
        if (const Pause pause = testPause_.load(std::memory_order_acquire)) pause(point);
    }

private:
    std::recursive_mutex mutex_;
    static inline std::atomic<Pause> testPause_{nullptr};
};

}  // namespace dv1394
