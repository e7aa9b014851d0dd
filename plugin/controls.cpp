// Numbered device controls the host reads and sets: start timecode, device format and
// format list, trace switches, stream statistics and timecode health.
//
// Every control runs on the calling host thread. An unknown id, or a null buffer where
// one is needed, answers 0 and writes nothing.
#include "CDV1394.h"
#include "capture/DV1394AudioInput.h"
#include "capture/DV1394VideoInput.h"
#include "capture/default_format.h"
#include "output/DV1394AudioOutput.h"
#include "output/DV1394VideoOutput.h"

#include <cstring>

namespace {

enum ControlId : LONG {
    kFramesToPrint = 8,
    kFrameDelay = 18,
    kFourCC = 0x10001,
    kControl1000B = 0x1000b,
    kVideoOutUnderruns = 0x20005,
    kControl30001 = 0x30001,
    kVideoInOverruns = 0x70001,
    kErrorCount = 0xb00001,
    kLastError = 0xb00002,
    kStartTimecode = 0xb00003,
    kControlB00004 = 0xb00004,
    kTraceSwitches = 0xb00005,
    kAVDeviceCount = 0xb00007,
    kDeviceFormat = 0xb00008,
    kFormatList = 0xb00009,
    kControlB0000A = 0xb0000a,
    kLibrarySeekOnly = 0xb0000b,
    kTrackSeekOffset = 0xb0000c,
    kStartMissed = 0xb10001,
    kAudioInMeasurement = 0xb10002,
    kAudioInOverruns = 0xb10003,
    kSignalPresent = 0xb10005,
    kTimecodeBreak = 0xb10006,
    kAudioOutUnderruns = 0xb20001,
    kAudioOutFramesToPrint = 0xb20003,
    kFrameDelayOut = 0xb20005,
    kAudioLocked = 0xb20006,
};

struct ControlShape {
    LONG id;
    bool has;       // HasControl
    LONG size;      // GetControlSize
    bool settable;  // CanSetControl
};

// Controls the host may not "have" (0xb00005, 0xb00007) still answer get or set.
const ControlShape kControls[] = {
    {kFramesToPrint, true, 4, true},        {kFrameDelay, true, 4, false},
    {kFourCC, true, 4, true},               {kControl1000B, true, 4, false},
    {kVideoOutUnderruns, true, 24, false},  {kControl30001, true, 4, true},
    {kVideoInOverruns, true, 4, false},     {kErrorCount, true, 4, false},
    {kLastError, true, 0, false},           {kStartTimecode, true, 16, true},
    {kControlB00004, true, 4, true},        {kTraceSwitches, false, 0, false},
    {kAVDeviceCount, false, 0, false},      {kDeviceFormat, true, 16, true},
    {kFormatList, true, 0, false},          {kControlB0000A, true, 8, false},
    {kLibrarySeekOnly, true, 0, false},     {kTrackSeekOffset, true, 0, false},
    {kStartMissed, true, 4, false},         {kAudioInMeasurement, true, 16, false},
    {kAudioInOverruns, true, 4, false},     {kSignalPresent, true, 4, false},
    {kTimecodeBreak, true, 36, false},      {kAudioOutUnderruns, true, 4, false},
    {kAudioOutFramesToPrint, true, 4, true}, {kFrameDelayOut, true, 4, false},
    {kAudioLocked, true, 1, true},
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
    case kLibrarySeekOnly:
    case kTrackSeekOffset:
        return 0;  // these answer through the result, and their default is 0
    case kDeviceFormat: {
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
    case kFramesToPrint:
    case kControl1000B:
    case kVideoInOverruns:
    case kErrorCount:
    case kStartMissed:
    case kAudioInOverruns:
    case kAudioOutUnderruns:
        Put<LONG>(value, 0);
        return 1;
    case kFrameDelay:
    case kFrameDelayOut:
        Put<LONG>(value, 5);
        return 1;
    case kFourCC:
        Put<DWORD>(value, 0x44562f43u);
        return 1;
    case kControl30001:
        Put<LONG>(value, 120000);
        return 1;
    case kControlB00004:
        Put<LONG>(value, 1);
        return 1;
    case kVideoOutUnderruns:  // the record is 16 bytes, whatever the size says
    case kAudioInMeasurement:
        std::memset(value, 0, 16);
        return 1;
    case kLastError:
        static_cast<char*>(value)[0] = '\0';
        return 1;
    case kStartTimecode:
        Put(value, TCCreateDur(kTCEmptyFrameCount, nullptr));
        return 1;
    case kAudioLocked:
        Put<unsigned char>(value, 1);
        return 1;
    default:
        return 0;
    }
}

unsigned char CDV1394::GetControl(LONG id, void* value) {
    if (value == nullptr) return 0;
    switch (id) {
    case kFrameDelay:
    case kFrameDelayOut:
        Put<LONG>(value, FrameDelay());
        return 1;
    case kFourCC:
        Put<DWORD>(value, m_dwFourCC);
        return 1;
    case kControl1000B:
        Put<LONG>(value, m_nControl1000B);
        return 1;
    case kControl30001:
        Put<LONG>(value, m_nControl30001);
        return 1;
    case kVideoOutUnderruns:
        return m_pVideoOut != nullptr && m_pVideoOut->GetParameter(id, value) ? 1 : 0;
    case kVideoInOverruns:
        return m_pVideoIn != nullptr && m_pVideoIn->GetParameter(id, value) ? 1 : 0;
    case kAudioInMeasurement:
    case kAudioInOverruns:
        return m_pAudioIn != nullptr && m_pAudioIn->GetParameter(id, value) ? 1 : 0;
    case kAudioOutUnderruns:
        return m_pAudioOut != nullptr && m_pAudioOut->GetParameter(id, value) ? 1 : 0;
    case kErrorCount: {
        LONG videoOut = 0, videoIn = 0, audioOut = 0, audioIn = 0;
        const bool all = m_pVideoOut != nullptr && m_pVideoOut->GetParameter(id, &videoOut) &&
                         m_pVideoIn != nullptr && m_pVideoIn->GetParameter(id, &videoIn) &&
                         m_pAudioOut != nullptr && m_pAudioOut->GetParameter(id, &audioOut) &&
                         m_pAudioIn != nullptr && m_pAudioIn->GetParameter(id, &audioIn);
        Put<LONG>(value, all ? videoOut + videoIn + audioOut + audioIn : 0);
        return all ? 1 : 0;
    }
    case kLastError: {
        // The size reads 0, so the host's buffer is taken to hold the whole text.
        const size_t length = strnlen(m_szLastError, sizeof m_szLastError - 1);
        std::memcpy(value, m_szLastError, length);
        static_cast<char*>(value)[length] = '\0';
        return length != 0 ? 1 : 0;
    }
    case kStartTimecode: {
        EnterCriticalSection(&m_csCaptureThreadTimecode);
        const timecode_t start = m_tcStart;
        LeaveCriticalSection(&m_csCaptureThreadTimecode);
        Put(value, start);
        return 1;
    }
    case kControlB00004:
        Put<LONG>(value, 1);
        return 1;
    case kAVDeviceCount: {
        EnterCriticalSection(&m_csDevicePresentCall);
        const LONG devices = GetNumberAVDevices(0);
        LeaveCriticalSection(&m_csDevicePresentCall);
        Put<LONG>(value, devices);
        return 1;
    }
    case kDeviceFormat:
        return CopyDIOFormat(static_cast<DIOFormat*>(value), m_pDeviceFormat);
    case kFormatList:
        return ListFormats(static_cast<DIOFormat*>(value)) ? 1 : 0;
    case kControlB0000A:
        Put<LONG>(value, 1);
        Put<LONG>(static_cast<char*>(value) + sizeof(LONG), 0);
        return 1;
    case kLibrarySeekOnly:
        return static_cast<unsigned char>(m_bLibrarySeekOnly & 0xFF);
    case kTrackSeekOffset:
        return static_cast<unsigned char>(m_nATNFrameOffset & 0xFF);
    case kStartMissed:
        Put<LONG>(value, m_bStartMissed.load() ? 1 : 0);
        return 1;
    case kSignalPresent: {
        const bool present = GetTickCount() - m_dwLastFrameTick.load() <= kSignalWindowMs;
        m_bSignalPresent = present;
        Put<LONG>(value, present ? 1 : 0);
        return 1;
    }
    case kTimecodeBreak: {
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
    case kFramesToPrint:
        return m_pVideoOut != nullptr && m_pVideoOut->SetParameter(id, value) ? 1 : 0;
    case kAudioOutFramesToPrint:
    case kAudioLocked:
        return m_pAudioOut != nullptr && m_pAudioOut->SetParameter(id, value) ? 1 : 0;
    case kFourCC:
        m_dwFourCC = Get<DWORD>(value);
        return 1;
    case kControl30001:
        m_nControl30001 = Get<LONG>(value);
        return 1;
    case kStartTimecode:
        EnterCriticalSection(&m_csCaptureThreadTimecode);
        m_tcStart = Get<timecode_t>(value);
        LeaveCriticalSection(&m_csCaptureThreadTimecode);
        m_bStartTimecodeSet = true;
        return 1;
    case kControlB00004:
        return Get<LONG>(value) == 1 ? 1 : 0;  // stores nothing
    case kTraceSwitches: {
        const LONG bits = Get<LONG>(value);
        m_bTraceDeckControl = (bits & 1) != 0;
        m_bTraceCapture = (bits & 2) != 0;
        m_bTracePlayback = (bits & 4) != 0;
        return 1;
    }
    case kDeviceFormat: {
        bool videoChanged = false;
        const bool updated = UpdateFormat(static_cast<DIOFormat*>(value), &videoChanged);
        // A new standard needs the card opened for it and a new record thread.
        if (videoChanged) DeviceInitialize();
        return updated ? 1 : 0;
    }
    case kLibrarySeekOnly:
        m_bLibrarySeekOnly = *static_cast<const unsigned char*>(value);
        return 0;
    case kTrackSeekOffset:
        m_nATNFrameOffset = Get<LONG>(value);
        return 0;
    default:
        return 0;
    }
}
