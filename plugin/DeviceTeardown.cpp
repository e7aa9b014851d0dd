// Taking the device down when the host deletes it: threads first, then what the
// threads used, then the events and locks.
#include "device/CDV1394.h"
#include "plugin/ProcessDevice.h"
#include "queues/DV1394AudioInput.h"
#include "queues/DV1394AudioOutput.h"
#include "queues/DV1394VideoInput.h"
#include "queues/DV1394VideoOutput.h"

#include <mutex>

using namespace dv1394;

CDV1394::~CDV1394() {
    // No export may hand this device out any more.
    ForgetProcessDevice(this);

    // Closes the card session, which ends the record thread.
    DeviceUnInitialize();
    // The capture thread writes into the queues: it must be gone before they are.
    StopCaptureThread();

    delete m_pVideoIn;
    delete m_pVideoConfidence;
    delete m_pVideoOut;
    delete m_pAudioIn;
    delete m_pAudioOut;
    delete m_pSilentReshuffler;
    delete[] m_pBlackFrame;
    delete m_pSilentChannels;
    delete[] m_pOutputFrameBuffer;
    delete m_pCaptureFormat;
    delete m_pPrintFormat;
    delete m_pDeviceFormat;

    CloseEvents();

    DeleteCriticalSection(&m_csCaptureThreadTimecode);
    DeleteCriticalSection(&m_csCaptureThreadStart);
    DeleteCriticalSection(&m_csRecordThreadStart);
    DeleteCriticalSection(&m_csDevicePresentCall);
    DeleteCriticalSection(&m_csTimeCodeDiscontinuity);
}

void CDV1394::StopCaptureThread() {
    // Two host threads may terminate the last input streams at once: only one of them
    // stops the thread; the other finds it stopped. Without this both would wait for
    // the one "done" signal, and the second, after the first reset it, for ever.
    static std::mutex stopLock;
    std::lock_guard<std::mutex> stopping(stopLock);
    if (!m_bCaptureThreadRunning.load()) return;
    m_bStopCaptureThread.store(true);
    WaitForSingleObject(m_hCaptureThreadDone, INFINITE);
    // The thread signals "done" while it still holds the start lock; once we have had
    // the lock ourselves it has let go of it and no longer touches the device.
    EnterCriticalSection(&m_csCaptureThreadStart);
    LeaveCriticalSection(&m_csCaptureThreadStart);
    m_bCaptureThreadRunning.store(false);
    m_bStopCaptureThread.store(false);
    ResetEvent(m_hCaptureThreadDone);
}

void CDV1394::CloseEvents() {
    for (HANDLE& event : m_hRecordEvents) {
        if (event != nullptr) CloseHandle(event);
        event = nullptr;
    }
    HANDLE* named[] = {&m_hRecordThreadStarted, &m_hRecordThreadDone, &m_hCaptureThreadStarted,
                       &m_hCaptureThreadDone};
    for (HANDLE* event : named) {
        if (*event != nullptr) CloseHandle(*event);
        *event = nullptr;
    }
}
