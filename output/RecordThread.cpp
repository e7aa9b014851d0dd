// The record thread: it lives while the card session is open, runs the output
// commands and, through the event machine, the record loop that feeds the card.
//
// Started by RecordThreadStart (from DeviceInitialize) at time-critical priority; it
// owns nothing of the device. Told to end by event 0 of m_hRecordEvents
// (EndRecordThread); it signals "RecordThreadDone" as its last act on the device.
#include "device/CDV1394.h"
#include "hostcore/ThreadContext.h"

namespace {

void RecordThreadEntry(void* device) {
    SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_TIME_CRITICAL);
    static_cast<CDV1394*>(device)->DVRecordThread();
    ThreadContext::Unregister();
}

}  // namespace

void CDV1394::RecordThreadStart() {
    {
        // A command posted while no thread was there to take it has already failed
        // by its time-out: the new thread must not run it.
        std::lock_guard<std::mutex> hold(m_OutputHandOverLock);
        m_nAudioOutCommandTicket = 0;
        m_nVideoOutCommandTicket = 0;
        m_nAudioOutCommand = EventNone;
        m_nVideoOutCommand = EventNone;
        ResetEvent(m_hRecordEvents[1]);
        ResetEvent(m_hRecordEvents[2]);
    }
    ResetEvent(m_hRecordEvents[0]);
    // A restarted thread must not see the previous thread's signals.
    ResetEvent(m_hRecordThreadStarted);
    ResetEvent(m_hRecordThreadDone);
    m_bRecordThreadLaunched = true;
    if (_beginthread(RecordThreadEntry, 0, this) == static_cast<uintptr_t>(-1)) {
        m_bRecordThreadLaunched = false;
        return;
    }
    WaitForSingleObject(m_hRecordThreadStarted, 300);
}

void CDV1394::EndRecordThread() {
    if (!m_bRecordThreadRunning.load() && !m_bRecordThreadLaunched.load()) return;
    SetEvent(m_hRecordEvents[0]);
    if (WaitForSingleObject(m_hRecordThreadDone, 200) != WAIT_OBJECT_0 && m_bRecordThreadLaunched.load()) {
        // Slower than designed (a loaded machine, or a record loop finishing a frame):
        // the thread ends at its next look at the end event, and the session must not
        // close under it.
        WaitForSingleObject(m_hRecordThreadDone, INFINITE);
    }
    m_bRecordThreadLaunched = false;
}

bool CDV1394::DVRecordThread() {
    m_bRecordThreadRunning = true;
    SetEvent(m_hRecordThreadStarted);
    ThreadContext::Register();
    for (;;) {
        const DWORD signalled = WaitForMultipleObjects(3, m_hRecordEvents, FALSE, INFINITE);
        if (signalled == WAIT_OBJECT_0 || signalled == WAIT_FAILED) break;
        if (signalled == WAIT_TIMEOUT) continue;
        RunPostedCommand(signalled == WAIT_OBJECT_0 + 1 ? DeviceAudioOut : DeviceVideoOut);
    }
    m_bRecordThreadRunning = false;
    SetEvent(m_hRecordThreadDone);
    return true;
}
