// Taking a device down: what it ends, closes and frees, and in which order.
#include "PluginTestAccess.h"

#include "hostcore/ThreadContext.h"
#include "Win32DebugSink.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace {

using A = PluginTestAccess;

TEST(DeviceTeardown, ANeverOpenedDeviceEndsNoThreadAndClosesItsEvents) {
    const size_t threadsBefore = ThreadContext::RegisteredCount();
    DigitalDevice* device = new CDV1394;
    CDV1394& d = *static_cast<CDV1394*>(device);
    HANDLE recordEvents[4];
    for (int i = 0; i < 4; ++i) recordEvents[i] = A::m_hRecordEvents(d)[i];
    // Our own references to the named events outlive the device's.
    HANDLE started = CreateEventA(nullptr, TRUE, FALSE, "RecordThreadStarted");
    HANDLE done = CreateEventA(nullptr, TRUE, FALSE, "RecordThreadDone");
    // The same events, each through a handle of its own (Windows gives a new handle).
    SetEvent(done);
    ASSERT_EQ(WaitForSingleObject(A::m_hRecordThreadDone(d), 0), static_cast<DWORD>(WAIT_OBJECT_0));
    ResetEvent(done);
    ASSERT_EQ(WaitForSingleObject(A::m_hRecordThreadStarted(d), 0), static_cast<DWORD>(WAIT_TIMEOUT));
    SetEvent(started);
    ASSERT_EQ(WaitForSingleObject(A::m_hRecordThreadStarted(d), 0), static_cast<DWORD>(WAIT_OBJECT_0));
    ResetEvent(started);

    win32::DebugCapture log;
    delete device;  // through the host's interface, as a host does

    EXPECT_TRUE(log.Entries().empty()) << "closing a session that never opened says nothing";
    EXPECT_EQ(ThreadContext::RegisteredCount(), threadsBefore);
    // The record thread was never told to end or found done: nothing signalled it.
    EXPECT_EQ(WaitForSingleObject(done, 0), static_cast<DWORD>(WAIT_TIMEOUT));
    // The unnamed events are gone; the named ones live on only through our references.
    for (HANDLE event : recordEvents) EXPECT_FALSE(CloseHandle(event));
    EXPECT_TRUE(CloseHandle(started));
    EXPECT_TRUE(CloseHandle(done));
    EXPECT_FALSE(CloseHandle(started));
    EXPECT_FALSE(CloseHandle(done));
}

// A stand-in for the capture thread: it works until told to stop, then signals "done"
// while still holding the start lock, as the real one's ending does.
TEST(DeviceTeardown, ARunningCaptureThreadIsStoppedBeforeItsQueuesAreFreed) {
    auto* device = new CDV1394;
    CDV1394& d = *device;
    A::m_hCaptureThreadStarted(d) = CreateEventA(nullptr, TRUE, FALSE, "CaptureThreadStarted");
    A::m_hCaptureThreadDone(d) = CreateEventA(nullptr, TRUE, FALSE, "CaptureThreadDone");
    HANDLE doneEvent = A::m_hCaptureThreadDone(d);
    A::m_bCaptureThreadRunning(d) = true;

    std::atomic<bool> sawStop{false};
    std::atomic<bool> queuesIntact{false};
    std::atomic<bool> releasedLock{false};
    std::thread capture([&] {
        std::atomic<bool>& stop = A::m_bStopCaptureThread(d);
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (!stop.load() && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        sawStop = stop.load();
        queuesIntact = A::m_pVideoIn(d) != nullptr && A::m_pVideoConfidence(d) != nullptr &&
                       A::m_pAudioIn(d) != nullptr && A::m_pVideoIn(d)->GetState() == VDMIdle;
        EnterCriticalSection(&CDV1394::m_csCaptureThreadStart);
        SetEvent(doneEvent);
        // Widen the window in which a teardown that did not wait for the lock would
        // already free the device.
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        releasedLock = true;
        LeaveCriticalSection(&CDV1394::m_csCaptureThreadStart);
    });

    delete device;
    EXPECT_TRUE(releasedLock.load()) << "teardown went on while the thread still held the start lock";
    capture.join();
    EXPECT_TRUE(sawStop.load());
    EXPECT_TRUE(queuesIntact.load());
    // The device closed its reference to the done event.
    EXPECT_FALSE(CloseHandle(doneEvent));
}

}  // namespace
