// Timecode breaks in the delivered material, and frames that repeat the previous
// frame's timecode (a paused or stepping deck), whose audio becomes silence.
//
// The capture thread calls this for every delivered frame, right after the frame's
// timecode was decoded into m_tcCurrent; the break record is shared with the host
// (control 0xb10006) under m_csTimeCodeDiscontinuity.
#include "device/CDV1394.h"
#include "digitalio/DV25Timecode.h"

// Both counters live as long as the process and carry over from one capture to the
// next; only the capture thread touches them.
static LONG s_nFramesWithoutTimecode = 0;  // consecutive delivered frames without timecode
static LONG s_nTimecodeJumps = 0;          // consecutive jumps the frames did not explain

namespace {

constexpr LONG kNormalStep = 1;
constexpr LONG kSkippedFrameStep = 2;

}  // namespace

void CDV1394::CheckTimeCodeContinuity(timecode_t* last, unsigned char* frame, bool* repeat) {
    if (repeat != nullptr) *repeat = false;
    if (last == nullptr) return;
    const timecode_t current = CapturedTimecode();

    if (TCIsEmpty(current)) {
        // One frame without timecode may be a dropout; from the second in a row on,
        // every such frame is a break.
        if (++s_nFramesWithoutTimecode >= 2) {
            EnterCriticalSection(&m_csTimeCodeDiscontinuity);
            m_Discontinuity.tcBefore = *last;
            m_Discontinuity.tcAfter = current;
            ++m_Discontinuity.nCount;
            LeaveCriticalSection(&m_csTimeCodeDiscontinuity);
        }
        return;
    }
    s_nFramesWithoutTimecode = 0;

    const LONG step = TCDiffModDay(*last, current);
    if (step == 0) {
        // The deck shows the same frame again; a repeat of the fixed reference mark
        // (00:40:40:00 at 30 frames per second) is left unmarked.
        if (repeat != nullptr && TCDiffModDay(m_tcContinuityMark, current) != 0) *repeat = true;
        m_nTCFramesSinceCheck = 1;
        *last = current;
        s_nTimecodeJumps = 0;
    } else if (step == kNormalStep) {
        ++m_nTCFramesSinceCheck;
        *last = current;
        s_nTimecodeJumps = 0;
    } else if (step == kSkippedFrameStep || step < 0) {
        // One frame skipped, or a step back: the material runs on from here.
        m_nTCFramesSinceCheck = 1;
        *last = current;
        s_nTimecodeJumps = 0;
    } else {
        // A jump. If the frame also carries the timecode the reference expects, the
        // jump was a misread and the reference runs on.
        timecode_t candidate = TCAdd(*last, s_nTimecodeJumps + 1);
        DV25Timecode reader;
        if (reader.LookForTimeCode(frame, &candidate, 1)) {
            *last = candidate;
            s_nTimecodeJumps = 0;
            return;
        }
        // A jump after which the material runs on only moves the reference; a jump
        // followed by another is a break between the two.
        if (s_nTimecodeJumps == 1) {
            EnterCriticalSection(&m_csTimeCodeDiscontinuity);
            m_Discontinuity.tcBefore = *last;
            m_Discontinuity.tcAfter = current;
            ++m_Discontinuity.nCount;
            LeaveCriticalSection(&m_csTimeCodeDiscontinuity);
        }
        *last = current;
        ++s_nTimecodeJumps;
    }
}
