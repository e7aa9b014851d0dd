// The record thread: it lives while the card session is open, runs the output
// commands and feeds the card while printing.
//
// Started by RecordThreadStart (from DeviceInitialize) at time-critical priority; it
// owns nothing of the device. Told to end by event 0 of m_hRecordEvents
// (EndRecordThread); it signals "RecordThreadDone" as its last act on the device.
#include "device/CDV1394.h"
#include "hostcore/ThreadContext.h"

#include <atomic>

namespace {

// A thread was started and has not yet signalled its end. The device cannot be freed
// under a thread that has not yet seen its end event, even one that started late.
std::atomic<bool> s_bRecordThreadLaunched{false};

void RecordThreadEntry(void* device) {
    SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_TIME_CRITICAL);
    static_cast<CDV1394*>(device)->DVRecordThread();
    ThreadContext::Unregister();
}

}  // namespace

void CDV1394::RecordThreadStart() {
    ResetEvent(m_hRecordEvents[0]);
    // A restarted thread must not see the previous thread's signals.
    ResetEvent(m_hRecordThreadStarted);
    ResetEvent(m_hRecordThreadDone);
    s_bRecordThreadLaunched = true;
    if (_beginthread(RecordThreadEntry, 0, this) == static_cast<uintptr_t>(-1)) {
        s_bRecordThreadLaunched = false;
        return;
    }
    WaitForSingleObject(m_hRecordThreadStarted, 300);
}

void CDV1394::EndRecordThread() {
    if (!m_bRecordThreadRunning.load() && !s_bRecordThreadLaunched.load()) return;
    SetEvent(m_hRecordEvents[0]);
    if (WaitForSingleObject(m_hRecordThreadDone, 200) != WAIT_OBJECT_0 && s_bRecordThreadLaunched.load()) {
        // Slower than designed (a loaded machine): the thread still ends at its next
        // look at the end event, and the session must not close under it.
        WaitForSingleObject(m_hRecordThreadDone, INFINITE);
    }
    s_bRecordThreadLaunched = false;
}

bool CDV1394::DVRecordThread() {
    m_bRecordThreadRunning = true;
    SetEvent(m_hRecordThreadStarted);
    ThreadContext::Register();
    for (;;) {
        // Output commands (events 1 and 2) are not run yet: nothing posts them until
        // the output streams exist, so the thread only waits for its end.
        const DWORD signalled = WaitForSingleObject(m_hRecordEvents[0], INFINITE);
        if (signalled == WAIT_OBJECT_0 || signalled == WAIT_FAILED) break;
    }
    m_bRecordThreadRunning = false;
    SetEvent(m_hRecordThreadDone);
    return true;
}
