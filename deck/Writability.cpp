// Whether the connected deck can record: probed once when the session opens, by
// waiting for the deck to settle and playing one black frame through the card.
#include "device/CDV1394.h"
#include "device/DeviceLog.h"
#include "KDXCORE.h"

#include <cstdio>
#include <cstring>

using namespace dv1394;

namespace {

constexpr DWORD kTransitionWaitMs = 3000;
constexpr size_t kNTSCFrameBytes = 120000;
constexpr size_t kPALFrameBytes = 144000;

}  // namespace

unsigned char CDV1394::WaitTillOutOfTransition() {
    const DWORD start = GetTickCount();
    TransportState_t state = TransportUnknown;
    DDCError_t error = DDC_NoError;
    do {
        error = DeviceGetState(&state);
    } while (error == DDC_DeviceInTransition && GetTickCount() - start < kTransitionWaitMs);
    char line[64];
    std::snprintf(line, sizeof line, "in transition %ld\n", static_cast<long>(GetTickCount() - start));
    OutputDebugStringA(line);
    return error == DDC_DeviceInTransition ? 0 : 1;
}

bool CDV1394::CheckIfDeviceIsWritable() {
    // Opening playback fails when the card cannot send to the device at all.
    if (!PdvBeginPlayback()) return false;
    if (m_pBlackFrame != nullptr) {
        const LONG index = PdvGetPlaybackFrame();
        BYTE* slot = PdvGetPlaybackFrameAddr(index);
        if (slot != nullptr) {
            // The black frame is built the size of the larger standard's frame.
            std::memcpy(slot, m_pBlackFrame, m_eVideoFormat == DIO_NTSC ? kNTSCFrameBytes : kPALFrameBytes);
            PdvSetPlaybackFrame(index + 1);
        }
    }
    PdvEndPlayback();
    return true;
}

void CDV1394::SetAVWritableFlag() {
    if (m_hKordex != 0 && !PdvIsConnectedDV2()) {
        OutputDebugStringA("SetAVWritableFlag - no device connected\n");
        return;
    }
    WaitTillOutOfTransition();
    m_bAVWritable = CheckIfDeviceIsWritable() ? 1 : 0;
    if (m_bAVWritable == 0) {
        OutputDebugStringA("CheckIfDeviceIsWritable FAILED\n");
        LogKDXLastError();
    }
}
