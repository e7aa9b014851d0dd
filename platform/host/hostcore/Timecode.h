// Timecode values and arithmetic shared by the host and the plug-in.
//
// A timecode is a signed frame count from 00:00:00:00 plus a description of its rate.
// At 30 fps with the drop-frame flag, counting follows SMPTE drop-frame rules
// (frame numbers 0 and 1 are skipped at the start of every minute except each tenth),
// so 29.97 material keeps wall-clock time. The "ModDay" forms wrap at 24 hours.
#pragma once

#include "windows.h"
#include <cstddef>

// Word 0: drop-frame flag in bit 0 (code outside this library reads and writes it
// directly); word 1: frames per second (0 counts as 30); word 2: reserved, zero.
struct timecodeDesc_t {
    DWORD dropFrame;
    DWORD frameRate;
    DWORD reserved;
};

struct timecode_t {
    timecodeDesc_t desc;
    LONG frameCount;
};

static_assert(sizeof(timecodeDesc_t) == 12, "the host sees a 12-byte timecode description");
static_assert(sizeof(timecode_t) == 16 && offsetof(timecode_t, frameCount) == 12,
              "the host sees a 16-byte timecode: the description, then the count");

// The frame count of "no timecode". Any timecode with this count is empty, whatever
// its description.
constexpr LONG kTCEmptyFrameCount = static_cast<LONG>(0x80000000u);

inline bool TCIsEmpty(const timecode_t& tc) {
    return tc.frameCount == kTCEmptyFrameCount;
}

timecodeDesc_t TCCreateDesc(unsigned char dropFrame, unsigned short fps);
timecode_t TCCreateDur(LONG frames, const timecodeDesc_t* desc);

// Linear in its fields and not validated: 00:00:00:30 at 30 fps is 00:00:01:00.
// `extra` (a field before the hours) is accepted and ignored.
timecode_t TCConstruct(short extra, short hours, short minutes, short seconds, short frames,
                       const timecodeDesc_t* desc);
// Splits the count taken modulo one day. `extra` receives 0 (or -1 with every other
// field for the empty timecode). Null outputs are skipped.
void TCDeconstruct(timecode_t tc, short* extra, short* hours, short* minutes, short* seconds, short* frames);

// a + frames, wrapping as a 32-bit integer; keeps a's description.
timecode_t TCAdd(timecode_t a, LONG frames);
// a + frames folded into [0, one day); the empty timecode stays empty.
timecode_t TCAddModDay(timecode_t a, LONG frames);
// b - a in frames, wrapping as a 32-bit integer.
LONG TCDiff(timecode_t a, timecode_t b);
// b - a folded into [-day/2, day/2): "b is later" is positive.
LONG TCDiffModDay(timecode_t a, timecode_t b);
// Nonzero when the frame counts are equal.
int TCEqual(const timecode_t* a, const timecode_t* b);

// Writes HH:MM:SS:FF (';' before the frames when drop-frame), or --:--:--:-- for the
// empty timecode, into `size` bytes including the terminator. Returns `buffer`.
char* TCToStr(timecode_t tc, char* buffer, LONG size, short style);

// Frames in one day for the description (2589408 at 30 fps drop-frame).
LONG TCFramesPerDay(const timecodeDesc_t* desc);
