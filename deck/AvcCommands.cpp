// The one path of the plug-in's own AV/C traffic to the deck.
#include "deck/AvcBuffer.h"
#include "device/CDV1394.h"
#include "device/DeviceLog.h"
#include "KDXCORE.h"

namespace {

// A deck that keeps answering IN TRANSITION is asked this often in all.
constexpr int kAVCAttempts = 5;
constexpr DWORD kInTransitionPauseMs = 30;

bool IsSuccessCode(unsigned char code) {
    return code == kAVCAccepted || code == kAVCImplementedStable || code == kAVCInterim;
}

}  // namespace

unsigned char CDV1394::SendGenericCmd(ULONG first, ULONG commandLength, ULONG third, unsigned char* command,
                                      ULONG* responseLength, unsigned char* response) {
    if (command == nullptr || responseLength == nullptr || response == nullptr) return 0;
    const bool trace = m_bTraceDeckControl;
    if (trace) {
        OutputDebugStringA("COMMAND\n   ");
        DumpAVCBytes(command, commandLength);
    }
    unsigned char result = 0;
    bool retry = true;
    for (int attempt = 0; attempt < kAVCAttempts && retry; ++attempt) {
        // The response length goes back in as the previous answer left it.
        if (!KDXSendGenericAVCCommand(0, 0, first, commandLength, third, command, responseLength, response)) return 0;
        const unsigned char code = response[AVCBufferOffset(kAVCCtypeByte)];
        result = IsSuccessCode(code) ? 1 : 0;
        retry = code == kAVCInTransition;
        if (trace) {
            OutputDebugStringA("RESPONSE\n   ");
            DumpAVCBytes(response, *responseLength < kAVCBufferBytes ? *responseLength : kAVCBufferBytes);
        }
        if (retry) Sleep(kInTransitionPauseMs);
    }
    return result;
}
