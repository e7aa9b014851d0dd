// The one path of the plug-in's own AV/C traffic to the deck.
#include "deck/AvcBuffer.h"
#include "device/CDV1394.h"
#include "device/DeviceLog.h"
#include "KDXCORE.h"

using namespace dv1394;

namespace {

// The pass-through call's two fixed arguments; their meaning is the card library's.
constexpr ULONG kAVCFirstArgument = 4;
constexpr ULONG kAVCThirdArgument = 8;

// A deck that keeps answering IN TRANSITION is asked this often in all.
constexpr int kAVCAttempts = 5;
constexpr DWORD kInTransitionPauseMs = 30;

// A response that names another opcode answers an earlier command (a late final
// answer to a search answered INTERIM); this command's own answer never came.
bool AnswersAnotherCommand(const unsigned char* command, const unsigned char* response) {
    return response[AVCBufferOffset(kAVCOpcodeByte)] != command[AVCBufferOffset(kAVCOpcodeByte)];
}

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
        const bool stray = AnswersAnotherCommand(command, response);
        result = IsSuccessCode(code) && !stray ? 1 : 0;
        retry = code == kAVCInTransition || stray;
        if (trace) {
            OutputDebugStringA("RESPONSE\n   ");
            DumpAVCBytes(response, *responseLength < kAVCBufferBytes ? *responseLength : kAVCBufferBytes);
        }
        if (code == kAVCInTransition) Sleep(kInTransitionPauseMs);
    }
    return result;
}

unsigned char CDV1394::SendAVCCommand(AVCBuffer& command, ULONG commandLength, AVCBuffer& response) {
    // The deck is told the whole buffer is free for its answer; the attempts inside pass
    // the length on as the previous answer left it.
    ULONG responseLength = kAVCBufferBytes;
    return SendGenericCmd(kAVCFirstArgument, commandLength, kAVCThirdArgument, command.bytes, &responseLength,
                          response.bytes);
}
