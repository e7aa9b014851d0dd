// Cueing the tape to a timecode: an AV/C time code search, else an AV/C search by
// absolute track number reckoned from where the tape stands, else the deck-control
// library's own seek. The call returns once the deck took the command; the transport
// state reads "cueing" until the deck stops moving.
#include "deck/AvcBuffer.h"
#include "deck/TimecodeFields.h"
#include "device/CDV1394.h"
#include "device/DeviceLog.h"
#include "KordexDDC.h"

#include <cstdio>

using namespace dv1394;

namespace {

constexpr ULONG kSearchLength = 8;
// How often, 100 ms apart, the track search pauses a moving deck before it reads the
// track number under the head.
constexpr int kSettleAttempts = 6;
constexpr DWORD kSettlePauseMs = 100;

// A rate of 0 counts as 30, as in the timecode arithmetic.
bool RateIs30(const timecode_t& tc) {
    return tc.desc.frameRate == 30 || tc.desc.frameRate == 0;
}

void WriteTimecodeLine(const char* format, const timecode_t& tc, bool rateIs30) {
    char text[32];
    TCToStr(tc, text, sizeof text, 16);
    char line[160];
    std::snprintf(line, sizeof line, format, text, static_cast<long>(tc.frameCount),
                  static_cast<long>(TracksPerFrame(tc.frameCount, rateIs30)));
    OutputDebugStringA(line);
}

void WriteNumberLine(const char* format, LONG value) {
    char line[64];
    std::snprintf(line, sizeof line, format, static_cast<int>(value));
    OutputDebugStringA(line);
}

// The lines of a search answered with another operand; a STATUS-style answer means
// the deck took the search for a query and did not move.
void WriteMismatchLines(const char* name, unsigned char operand) {
    char line[128];
    std::snprintf(line, sizeof line, "%s returning mismatched response\n", name);
    OutputDebugStringA(line);
    if (operand == kAVCGetCurrent) {
        std::snprintf(line, sizeof line, "%s returning success for STATUS command not CONTROL command\n", name);
        OutputDebugStringA(line);
    }
}

}  // namespace

DDCError_t CDV1394::DeviceSeekToTimecode(timecode_t target) {
    // Already paused on the frame: nothing to wind.
    TransportState_t state = TransportUnknown;
    if (DeviceGetState(&state) == DDC_NoError && state == TransportPaused) {
        timecode_t here;
        if (DeviceGetTimecode(&here) == DDC_NoError && here.frameCount == target.frameCount) {
            OutputDebugStringA("DevSeekToTimecode does not need to be called\n");
            return DDC_NoError;
        }
    }

    // This seek supersedes one still pending, as any transport command does: the
    // settling below reads the deck's own state.
    m_bSeekPending = 0;
    m_dwSeekStopTick = 0;
    DDCError_t error = DDC_NoError;
    if (!KordexDDCReady()) {
        error = DDC_DriverError;
    } else if (TCIsEmpty(target)) {
        error = DDC_InvalidParameter;  // no position to go to
    } else if (m_bLibrarySeekOnly == 0 && (SeekToTimecodeWithTC(target) || SeekToTimecodeWithRelativeATN(target))) {
        error = DDC_NoError;
    } else {
        short extra = 0, hours = 0, minutes = 0, seconds = 0, frames = 0;
        TCDeconstruct(target, &extra, &hours, &minutes, &seconds, &frames);
        error = DevSeekToTimecode(hours, minutes, seconds, frames);
    }
    m_bSeekPending = error == DDC_NoError ? 1 : 0;
    m_dwSeekStopTick = 0;
    if (m_bTraceDeckControl) LogDDCTimecode("DevSeekToTimecode", target, error);
    return error;
}

unsigned char CDV1394::SeekToTimecodeWithTC(timecode_t target) {
    short extra = 0, hours = 0, minutes = 0, seconds = 0, frames = 0;
    TCDeconstruct(target, &extra, &hours, &minutes, &seconds, &frames);
    const unsigned char frame[kSearchLength] = {kAVCControl,
                                                kAVCTapeSubunit,
                                                kAVCOpTimecode,
                                                kAVCSeekTo,
                                                BinToBCD(static_cast<unsigned char>(frames)),
                                                BinToBCD(static_cast<unsigned char>(seconds)),
                                                BinToBCD(static_cast<unsigned char>(minutes)),
                                                BinToBCD(static_cast<unsigned char>(hours))};
    AVCBuffer command;
    command.SetFrameBytes(frame, sizeof frame);
    AVCBuffer response;
    if (!SendAVCCommand(command, kSearchLength, response)) {
        if (m_bTraceDeckControl) OutputDebugStringA("SeekToTimecodeWithTC seek not successful\n");
        return 0;
    }
    const unsigned char operand = response.Frame(kAVCOperand0Byte);
    if (response.Frame(kAVCOpcodeByte) == kAVCOpTimecode && operand == kAVCSeekTo) {
        LogDDCTimecode("SeekToTimecodeWithTC", target, 0);
        return 1;
    }
    if (operand != kAVCSeekTo) WriteMismatchLines("SeekToTimecodeWithTC", operand);
    return 0;
}

unsigned char CDV1394::SeekToTimecodeWithRelativeATN(timecode_t target) {
    // DVCAM tracks are wider: a count reckoned in DV tracks would land elsewhere.
    if (IsDVCAMTape()) return 0;

    // The track number is only meaningful once the tape stands still.
    for (int attempt = 0; attempt < kSettleAttempts; ++attempt) {
        TransportState_t state = TransportUnknown;
        DeviceGetState(&state);
        if (state == TransportPaused || state == TransportStopped) break;
        DevicePause();
        Sleep(kSettlePauseMs);
    }

    LONG currentTrack = 0;
    unsigned char blankFlag = 0;
    if (!GetAbsoluteTrackNumber(&currentTrack, &blankFlag)) return 0;
    if (blankFlag == 0) OutputDebugStringA("GetAbsoluteTrackNumber - discontinuous tracks on tape\n");

    timecode_t current = DeckNoTimecode();
    if (!GetTimecode(&current) || TCIsEmpty(current)) return 0;

    const bool rateIs30 = RateIs30(target);
    const bool trace = m_bTraceDeckControl;
    if (trace) {
        WriteTimecodeLine("CurrentTC = %s = %ld frames = %ld tracks\n", current, rateIs30);
        WriteTimecodeLine("    CueTC = %s = %ld frames = %ld tracks\n", target, rateIs30);
    }

    // The offset makes up for a deck that lands a few frames after a track search.
    timecode_t aim = target;
    if (m_nATNFrameOffset != 0 && aim.frameCount != 0)
        aim.frameCount = static_cast<LONG>(static_cast<ULONG>(aim.frameCount) - static_cast<ULONG>(m_nATNFrameOffset));
    const LONG deltaFrames = TCDiff(current, aim);
    const LONG deltaTracks = TracksPerFrame(deltaFrames, rateIs30);
    const LONG seekTrack = static_cast<LONG>(static_cast<ULONG>(currentTrack) + static_cast<ULONG>(deltaTracks));
    if (trace) {
        WriteNumberLine("  deltaFrames = %d\n", deltaFrames);
        WriteNumberLine("  deltaTracks = %d\n", deltaTracks);
        WriteNumberLine("    seekTrack = %d\n", seekTrack);
    }

    unsigned char track[3];
    EncodeTrackNumber(seekTrack, track);
    const unsigned char frame[kSearchLength] = {kAVCControl, kAVCTapeSubunit, kAVCOpAbsTrackNumber, kAVCSeekTo,
                                                track[0],    track[1],        track[2],             0xFF};
    AVCBuffer command;
    command.SetFrameBytes(frame, sizeof frame);
    AVCBuffer response;
    const bool sent = SendAVCCommand(command, kSearchLength, response) != 0;
    const unsigned char operand = response.Frame(kAVCOperand0Byte);
    if (sent && operand != kAVCSeekTo) WriteMismatchLines("SeekToTimecodeWithRelATN", operand);
    const bool success = sent && operand == kAVCSeekTo;
    if (trace) {
        if (success) {
            LogDDCTimecode("SeekToTimecodeWithRelATN", target, 0);
        } else {
            OutputDebugStringA("SeekToTimecodeWithRelATN not successful\n");
            LogKDXLastError();
        }
    }
    return success ? 1 : 0;
}
