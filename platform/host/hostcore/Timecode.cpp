#include "hostcore/Timecode.h"

#include <cstdint>
#include <cstdio>

namespace {

// Drop-frame counting drops 2 frame numbers per minute except every tenth minute:
// 17982 frames per ten minutes, 1798 per dropped minute.
constexpr int64_t kDropFramesPerTenMinutes = 17982;
constexpr int64_t kDropFramesPerMinute = 1798;

LONG Rate(const timecodeDesc_t& desc) {
    return desc.frameRate == 0 ? 30 : static_cast<LONG>(desc.frameRate);
}

bool IsDropFrame(const timecodeDesc_t& desc) {
    return (desc.dropFrame & 1u) != 0 && Rate(desc) == 30;
}

int64_t FramesPerDay(const timecodeDesc_t& desc) {
    return IsDropFrame(desc) ? 6 * 24 * kDropFramesPerTenMinutes : int64_t{Rate(desc)} * 86400;
}

int64_t FloorMod(int64_t value, int64_t modulus) {
    int64_t r = value % modulus;
    return r < 0 ? r + modulus : r;
}

LONG Wrap32(int64_t value) {
    return static_cast<LONG>(static_cast<uint32_t>(static_cast<uint64_t>(value)));
}

}  // namespace

timecodeDesc_t TCCreateDesc(unsigned char dropFrame, unsigned short fps) {
    timecodeDesc_t desc{};
    desc.dropFrame = dropFrame != 0 ? 1u : 0u;
    desc.frameRate = fps;
    desc.reserved = 0;
    return desc;
}

timecode_t TCCreateDur(LONG frames, const timecodeDesc_t* desc) {
    timecode_t tc{};
    if (desc != nullptr) tc.desc = *desc;
    tc.frameCount = frames;
    return tc;
}

LONG TCFramesPerDay(const timecodeDesc_t* desc) {
    timecodeDesc_t d = desc != nullptr ? *desc : timecodeDesc_t{};
    return static_cast<LONG>(FramesPerDay(d));
}

timecode_t TCConstruct(short /*extra*/, short hours, short minutes, short seconds, short frames,
                       const timecodeDesc_t* desc) {
    timecodeDesc_t d = desc != nullptr ? *desc : timecodeDesc_t{};
    const int64_t rate = Rate(d);
    int64_t count = ((int64_t{hours} * 60 + minutes) * 60 + seconds) * rate + frames;
    if (IsDropFrame(d)) {
        const int64_t totalMinutes = int64_t{hours} * 60 + minutes;
        count -= 2 * (totalMinutes - totalMinutes / 10);
    }
    return TCCreateDur(Wrap32(count), &d);
}

void TCDeconstruct(timecode_t tc, short* extra, short* hours, short* minutes, short* seconds, short* frames) {
    short parts[5] = {-1, -1, -1, -1, -1};
    if (!TCIsEmpty(tc)) {
        const int64_t rate = Rate(tc.desc);
        int64_t count = FloorMod(tc.frameCount, FramesPerDay(tc.desc));
        if (IsDropFrame(tc.desc)) {
            // Put back the frame numbers that drop-frame counting skipped.
            const int64_t tens = count / kDropFramesPerTenMinutes;
            const int64_t rest = count % kDropFramesPerTenMinutes;
            int64_t skipped = 18 * tens;
            if (rest >= 2) skipped += 2 * ((rest - 2) / kDropFramesPerMinute);
            count += skipped;
        }
        parts[0] = 0;
        parts[4] = static_cast<short>(count % rate);
        const int64_t totalSeconds = count / rate;
        parts[3] = static_cast<short>(totalSeconds % 60);
        parts[2] = static_cast<short>((totalSeconds / 60) % 60);
        parts[1] = static_cast<short>(totalSeconds / 3600);
    }
    if (extra != nullptr) *extra = parts[0];
    if (hours != nullptr) *hours = parts[1];
    if (minutes != nullptr) *minutes = parts[2];
    if (seconds != nullptr) *seconds = parts[3];
    if (frames != nullptr) *frames = parts[4];
}

timecode_t TCAdd(timecode_t a, LONG frames) {
    a.frameCount = Wrap32(int64_t{a.frameCount} + frames);
    return a;
}

timecode_t TCAddModDay(timecode_t a, LONG frames) {
    if (TCIsEmpty(a)) return a;
    a.frameCount = static_cast<LONG>(FloorMod(int64_t{a.frameCount} + frames, FramesPerDay(a.desc)));
    return a;
}

LONG TCDiff(timecode_t a, timecode_t b) {
    return Wrap32(int64_t{b.frameCount} - a.frameCount);
}

LONG TCDiffModDay(timecode_t a, timecode_t b) {
    const int64_t day = FramesPerDay(a.desc);
    const int64_t half = day / 2;
    return static_cast<LONG>(FloorMod(int64_t{b.frameCount} - a.frameCount + half, day) - half);
}

int TCEqual(const timecode_t* a, const timecode_t* b) {
    if (a == nullptr || b == nullptr) return a == b;
    return a->frameCount == b->frameCount ? 1 : 0;
}

char* TCToStr(timecode_t tc, char* buffer, LONG size, short /*style*/) {
    if (buffer == nullptr || size <= 0) return buffer;
    if (TCIsEmpty(tc)) {
        std::snprintf(buffer, static_cast<size_t>(size), "--:--:--:--");
        return buffer;
    }
    short h, m, s, f;
    TCDeconstruct(tc, nullptr, &h, &m, &s, &f);
    std::snprintf(buffer, static_cast<size_t>(size), "%02d:%02d:%02d%c%02d", h, m, s,
                  IsDropFrame(tc.desc) ? ';' : ':', f);
    return buffer;
}
