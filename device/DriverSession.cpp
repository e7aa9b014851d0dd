// The card session: the card driver and the deck-control library, opened together on
// first use (and again for a new video standard) and closed together.
//
// Runs on whichever host thread made the call; no lock, as the session members are
// only touched by host-thread operations.
#include "device/CDV1394.h"
#include "device/DeviceLog.h"
#include "KDXCORE.h"
#include "KordexDDC.h"

using namespace dv1394;

void CDV1394::OpenKordexDriver(DIO_VideoFormat format) {
    LONG standard = KDX_STANDARD_CURRENT;
    if (format == DIO_NTSC) {
        standard = KDX_STANDARD_NTSC;
        m_eVideoFormat = DIO_NTSC;
    } else if (format == DIO_PAL) {
        standard = KDX_STANDARD_PAL;
        m_eVideoFormat = DIO_PAL;
    } else {
        if (format == DIO_NoVideoFormat) OutputDebugStringA("OpenKordexDriver DIO_NoVideoFormat\n");
        OutputDebugStringA("shoot\n");
    }

    m_hKordex = KDXOpen(0, standard, 0);
    if (m_bTraceDeckControl) LogDriverOpen("KDXOpen", standard, m_hKordex != 0);
    if (m_hKordex == 0) {
        LogKDXLastError();
        return;
    }
    if (standard != KDX_STANDARD_CURRENT) return;
    // Opened on the card's own standard: adopt it.
    switch (PdvGetAdjustment(PDV_ADJ_VIDEO_STANDARD) & 0xFFFF) {
    case PDV_VST_NTSC:
        OutputDebugStringA("-------- Kordex set to PDV_VST_NTSC\n");
        m_eVideoFormat = DIO_NTSC;
        break;
    case PDV_VST_PAL:
        OutputDebugStringA("-------- Kordex set to PDV_VST_PAL\n");
        m_eVideoFormat = DIO_PAL;
        break;
    default:
        OutputDebugStringA("-------- Kordex set to invalid video standard\n");
        break;
    }
}

unsigned char CDV1394::InitializeKordex(DIO_VideoFormat format) {
    DeviceUnInitialize();  // a session is always opened from closed
    OpenKordexDriver(format);
    if (m_hKordex != 0) {
        const DDCError_t result = DevInitialize();
        if (m_bTraceDeckControl) LogDDCError("DevInitialize", result);
        if (result != DDC_NoError) UnInitializeKordex();
        else m_bDDCInitialized = 1;
    }
    return m_hKordex != 0 && m_bDDCInitialized != 0 ? 1 : 0;
}

void CDV1394::UnInitializeKordex() {
    if (m_bDDCInitialized != 0) {
        DevUnInitialize();
        m_bDDCInitialized = 0;
        if (m_bTraceDeckControl) LogDDCError("DevUnInitialize", DDC_NoError);
    }
    if (m_hKordex != 0) {
        const BOOL closed = KDXClose(0);
        m_hKordex = 0;
        if (m_bTraceDeckControl) LogDDCError("KDXClose", closed != FALSE ? DDC_NoError : DDC_NoDevice);
    }
}

unsigned char CDV1394::KordexDDCReady() {
    if (m_hKordex != 0 && m_bDDCInitialized != 0) return 1;
    if (m_bDeviceInitialized == 0) {
        // No session was ever completed: the full opening, record thread included.
        DeviceInitialize();
        return m_hKordex != 0 && m_bDDCInitialized != 0 ? 1 : 0;
    }
    // A session existed and was lost: reopen the libraries only.
    OutputDebugStringA("----- Kordex driver is not open, attempting to correct...\n");
    return InitializeKordex(m_eVideoFormat.load());
}

DDCError_t CDV1394::DeviceInitialize() {
    m_nEditMode = DeviceEditMode_t{};
    m_bSeekPending = 0;
    m_bAVWritable = 0;
    m_nRecordPlayDelay = 0;
    m_nRecordStopDelay = 0;
    m_nTCFrameRate = 30;
    m_bTCDropFrame = 1;
    EnterCriticalSection(&m_csCaptureThreadTimecode);
    m_tcDesc = TCCreateDesc(static_cast<unsigned char>(m_bTCDropFrame), static_cast<unsigned short>(m_nTCFrameRate));
    LeaveCriticalSection(&m_csCaptureThreadTimecode);
    m_tcIn = TCCreateDur(kTCEmptyFrameCount, nullptr);
    m_tcPreroll = TCCreateDur(kTCEmptyFrameCount, nullptr);

    InitializeKordex(m_eVideoFormat.load());
    if (m_hKordex == 0 || m_bDDCInitialized == 0) return DDC_NoDevice;

    RecordThreadStart();
    // Through the interface, as a host would: refreshes the deck's rate and drop-frame.
    DeviceGetFrameRate(nullptr, nullptr);
    EnterCriticalSection(&m_csCaptureThreadTimecode);
    const timecodeDesc_t desc = m_tcDesc;
    LeaveCriticalSection(&m_csCaptureThreadTimecode);
    m_tcIn = TCCreateDur(kTCEmptyFrameCount, &desc);
    m_tcPreroll = TCCreateDur(kTCEmptyFrameCount, &desc);
    SetAVWritableFlag();
    m_bDeviceInitialized = 1;
    return DDC_NoError;
}

void CDV1394::DeviceUnInitialize() {
    m_bSeekPending = 0;
    // The record thread lives exactly while the deck-control library is open.
    if (m_bDDCInitialized != 0) EndRecordThread();
    UnInitializeKordex();
}
