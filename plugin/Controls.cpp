// Numbered device controls the host reads and sets: start timecode, device format and
// format list, trace switches, stream statistics and timecode health.
//
// Every control runs on the calling host thread. An unknown id, or a null buffer where
// one is needed, answers 0 and writes nothing.
#include "device/CDV1394.h"
#include "device/DefaultFormat.h"
#include "interface/ControlIds.h"
#include "queues/DV1394AudioInput.h"
#include "queues/DV1394AudioOutput.h"
#include "queues/DV1394VideoInput.h"
#include "queues/DV1394VideoOutput.h"

#include <cstring>

using namespace dv1394;

namespace {

struct ControlShape {
    LONG id;
    bool has;       // HasControl
    LONG size;      // GetControlSize
    bool settable;  // CanSetControl
};

// Controls the host may not "have" (0xb00005, 0xb00007) still answer get or set.
const ControlShape kControls[] = {
    {kControlFramesToPrint, true, 4, true},        {kControlFrameDelay, true, 4, false},
    {kControlFourCC, true, 4, true},               {kControl1000B, true, 4, false},
    {kControlVideoOutUnderruns, true, 24, false},  {kControl30001, true, 4, true},
    {kControlVideoInOverruns, true, 4, false},     {kControlErrorCount, true, 4, false},
    {kControlLastError, true, 0, false},           {kControlStartTimecode, true, 16, true},
    {kControlB00004, true, 4, true},        {kControlTraceSwitches, false, 0, false},
    {kControlAVDeviceCount, false, 0, false},      {kControlDeviceFormat, true, 16, true},
    {kControlFormatList, true, 0, false},          {kControlB0000A, true, 8, false},
    {kControlLibrarySeekOnly, true, 0, false},     {kControlTrackSeekOffset, true, 0, false},
    {kControlStartMissed, true, 4, false},         {kControlAudioInMeasurement, true, 16, false},
    {kControlAudioInOverruns, true, 4, false},     {kControlSignalPresent, true, 4, false},
    {kControlTimecodeBreak, true, 36, false},      {kControlAudioOutUnderruns, true, 4, false},
    {kControlAudioOutFramesToPrint, true, 4, true}, {kControlFrameDelayOut, true, 4, false},
    {kControlAudioLocked, true, 1, true},
};

const ControlShape* FindControl(LONG id) {
    for (const ControlShape& shape : kControls)
        if (shape.id == id) return &shape;
    return nullptr;
}

template <typename T>
void Put(void* value, const T& data) {
    std::memcpy(value, &data, sizeof data);
}

template <typename T>
T Get(const void* value) {
    T data;
    std::memcpy(&data, value, sizeof data);
    return data;
}

// Signal-present tolerance: the last captured frame at most this long ago.
constexpr DWORD kSignalWindowMs = 2000;

}  // namespace

unsigned char CDV1394::HasControl(LONG id) {
    const ControlShape* shape = FindControl(id);
    return shape != nullptr && shape->has ? 1 : 0;
}

LONG CDV1394::GetControlSize(LONG id) {
    const ControlShape* shape = FindControl(id);
    return shape != nullptr ? shape->size : 0;
}

unsigned char CDV1394::CanSetControl(LONG id) {
    const ControlShape* shape = FindControl(id);
    return shape != nullptr && shape->settable ? 1 : 0;
}

unsigned char CDV1394::GetControlRange(LONG, void*, void*) {
    return 0;  // no control has a range
}

LONG CDV1394::FrameDelay() const {
    if (!m_bStartTimecodeUsed.load()) return m_nFrameDelay;
    // Printing from a start timecode: fewer frames of delay when only video is printed.
    return m_nOutputDevices.load() == 2 ? m_nFrameDelayTimed - 4 : m_nFrameDelayTimed;
}

unsigned char CDV1394::GetControlDefault(LONG id, void* value) {
    switch (id) {
    case kControlLibrarySeekOnly:
    case kControlTrackSeekOffset:
        // Their size is 0: they answer through the result and have no value to write.
        // The default is known, so the call succeeds and writes nothing.
        return 1;
    case kControlDeviceFormat: {
        auto* format = static_cast<DIOFormat*>(value);
        if (format == nullptr || format->MaxParameters() < 3) return 0;
        DIOFormat* defaults = CreateDefaultFormat();
        if (defaults == nullptr) return 0;
        *format = *defaults;
        delete defaults;
        return 1;
    }
    default:
        break;
    }
    if (value == nullptr) return 0;
    switch (id) {
    case kControlFramesToPrint:
    case kControl1000B:
    case kControlVideoInOverruns:
    case kControlErrorCount:
    case kControlStartMissed:
    case kControlAudioInOverruns:
    case kControlAudioOutUnderruns:
        Put<LONG>(value, 0);
        return 1;
    case kControlFrameDelay:
    case kControlFrameDelayOut:
        Put<LONG>(value, 5);
        return 1;
    case kControlFourCC:
        Put<DWORD>(value, 0x44562f43u);
        return 1;
    case kControl30001:
        Put<LONG>(value, 120000);
        return 1;
    case kControlB00004:
        Put<LONG>(value, 1);
        return 1;
    case kControlVideoOutUnderruns:  // the record is 16 bytes, whatever the size says
    case kControlAudioInMeasurement:
        std::memset(value, 0, 16);
        return 1;
    case kControlLastError:
        static_cast<char*>(value)[0] = '\0';
        return 1;
    case kControlStartTimecode:
        Put(value, TCCreateDur(kTCEmptyFrameCount, nullptr));
        return 1;
    case kControlAudioLocked:
        Put<unsigned char>(value, 1);
        return 1;
    default:
        return 0;
    }
}

unsigned char CDV1394::GetControl(LONG id, void* value) {
    if (value == nullptr) return 0;
    switch (id) {
    case kControlFrameDelay:
    case kControlFrameDelayOut:
        Put<LONG>(value, FrameDelay());
        return 1;
    case kControlFourCC:
        Put<DWORD>(value, m_dwFourCC);
        return 1;
    case kControl1000B:
        Put<LONG>(value, m_nControl1000B);
        return 1;
    case kControl30001:
        Put<LONG>(value, m_nControl30001);
        return 1;
    case kControlVideoOutUnderruns:
        return m_pVideoOut != nullptr && m_pVideoOut->GetParameter(id, value) ? 1 : 0;
    case kControlVideoInOverruns:
        return m_pVideoIn != nullptr && m_pVideoIn->GetParameter(id, value) ? 1 : 0;
    case kControlAudioInMeasurement:
    case kControlAudioInOverruns:
        return m_pAudioIn != nullptr && m_pAudioIn->GetParameter(id, value) ? 1 : 0;
    case kControlAudioOutUnderruns:
        return m_pAudioOut != nullptr && m_pAudioOut->GetParameter(id, value) ? 1 : 0;
    case kControlErrorCount: {
        LONG videoOut = 0, videoIn = 0, audioOut = 0, audioIn = 0;
        const bool all = m_pVideoOut != nullptr && m_pVideoOut->GetParameter(id, &videoOut) &&
                         m_pVideoIn != nullptr && m_pVideoIn->GetParameter(id, &videoIn) &&
                         m_pAudioOut != nullptr && m_pAudioOut->GetParameter(id, &audioOut) &&
                         m_pAudioIn != nullptr && m_pAudioIn->GetParameter(id, &audioIn);
        Put<LONG>(value, all ? videoOut + videoIn + audioOut + audioIn : 0);
        return all ? 1 : 0;
    }
    case kControlLastError: {
        // The size reads 0, so the host's buffer is taken to hold the whole text.
        return CopyLastErrorText(static_cast<char*>(value)) != 0 ? 1 : 0;
    }
    case kControlStartTimecode: {
        EnterCriticalSection(&m_csCaptureThreadTimecode);
        const timecode_t start = m_tcStart;
        LeaveCriticalSection(&m_csCaptureThreadTimecode);
        Put(value, start);
        return 1;
    }
    case kControlB00004:
        Put<LONG>(value, 1);
        return 1;
    case kControlAVDeviceCount: {
        EnterCriticalSection(&m_csDevicePresentCall);
        const LONG devices = GetNumberAVDevices(0);
        LeaveCriticalSection(&m_csDevicePresentCall);
        Put<LONG>(value, devices);
        return 1;
    }
    case kControlDeviceFormat:
        return CopyDIOFormat(static_cast<DIOFormat*>(value), m_pDeviceFormat);
    case kControlFormatList:
        return ListFormats(static_cast<DIOFormat*>(value)) ? 1 : 0;
    case kControlB0000A:
        Put<LONG>(value, 1);
        Put<LONG>(static_cast<char*>(value) + sizeof(LONG), 0);
        return 1;
    case kControlLibrarySeekOnly:
        return static_cast<unsigned char>(m_bLibrarySeekOnly & 0xFF);
    case kControlTrackSeekOffset:
        return static_cast<unsigned char>(m_nATNFrameOffset & 0xFF);
    case kControlStartMissed:
        Put<LONG>(value, m_bStartMissed.load() ? 1 : 0);
        return 1;
    case kControlSignalPresent: {
        const bool present = GetTickCount() - m_dwLastFrameTick.load() <= kSignalWindowMs;
        m_bSignalPresent = present;
        Put<LONG>(value, present ? 1 : 0);
        return 1;
    }
    case kControlTimecodeBreak: {
        EnterCriticalSection(&m_csTimeCodeDiscontinuity);
        const TimecodeDiscontinuity record = m_Discontinuity;
        LeaveCriticalSection(&m_csTimeCodeDiscontinuity);
        Put(value, record);
        return 1;
    }
    default:
        return 0;  // unknown, or set-only (8, 0xb00005, 0xb20003, 0xb20006)
    }
}

unsigned char CDV1394::SetControl(LONG id, void* value) {
    if (value == nullptr) return 0;
    switch (id) {
    case kControlFramesToPrint:
        return m_pVideoOut != nullptr && m_pVideoOut->SetParameter(id, value) ? 1 : 0;
    case kControlAudioOutFramesToPrint:
    case kControlAudioLocked:
        return m_pAudioOut != nullptr && m_pAudioOut->SetParameter(id, value) ? 1 : 0;
    case kControlFourCC:
        m_dwFourCC = Get<DWORD>(value);
        return 1;
    case kControl30001:
        m_nControl30001 = Get<LONG>(value);
        return 1;
    case kControlStartTimecode:
        EnterCriticalSection(&m_csCaptureThreadTimecode);
        m_tcStart = Get<timecode_t>(value);
        LeaveCriticalSection(&m_csCaptureThreadTimecode);
        m_bStartTimecodeSet = true;
        return 1;
    case kControlB00004:
        return Get<LONG>(value) == 1 ? 1 : 0;  // stores nothing
    case kControlTraceSwitches: {
        const LONG bits = Get<LONG>(value);
        m_bTraceDeckControl = (bits & 1) != 0;
        m_bTraceCapture = (bits & 2) != 0;
        m_bTracePlayback = (bits & 4) != 0;
        return 1;
    }
    case kControlDeviceFormat: {
        bool videoChanged = false;
        const bool updated = UpdateFormat(static_cast<DIOFormat*>(value), &videoChanged);
        // A new standard needs the card opened for it and a new record thread.
        if (videoChanged) DeviceInitialize();
        return updated ? 1 : 0;
    }
    case kControlLibrarySeekOnly:
        m_bLibrarySeekOnly = *static_cast<const unsigned char*>(value);
        return 0;
    case kControlTrackSeekOffset:
        m_nATNFrameOffset = Get<LONG>(value);
        return 0;
    default:
        return 0;
    }
}
