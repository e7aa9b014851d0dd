#include "sim/SubcodeTimecode.h"

#include "sim/DVFrameLayout.h"

#include <vector>

namespace cardsim {

namespace {

constexpr uint8_t kTimecodePack = 0x13;

bool FromBcd(uint8_t bcd, int tensMask, int* value) {
    const int units = bcd & 0x0F;
    const int tens = (bcd >> 4) & tensMask;
    if (units > 9) return false;
    *value = tens * 10 + units;
    return true;
}

uint8_t ToBcd(int value) { return static_cast<uint8_t>(((value / 10) << 4) | (value % 10)); }

bool DecodePack(const uint8_t* pack, DIO_VideoFormat standard, TapeTimecode* tc) {
    if (pack[0] != kTimecodePack) return false;
    if (pack[1] == 0xFF && pack[2] == 0xFF && pack[3] == 0xFF && pack[4] == 0xFF) return false;
    TapeTimecode t;
    if (!FromBcd(pack[1], 0x3, &t.frames) || !FromBcd(pack[2], 0x7, &t.seconds) ||
        !FromBcd(pack[3], 0x7, &t.minutes) || !FromBcd(pack[4], 0x3, &t.hours))
        return false;
    const int maxFrames = standard == DIO_PAL ? 24 : 29;
    if (t.frames > maxFrames || t.seconds > 59 || t.minutes > 59 || t.hours > 23) return false;
    t.dropFrame = standard == DIO_NTSC && (pack[1] & 0x40) != 0;
    *tc = t;
    return true;
}

}  // namespace

bool ReadSubcodeTimecode(const uint8_t* frame, DIO_VideoFormat standard, TapeTimecode* timecode) {
    if (frame == nullptr) return false;
    struct Vote {
        TapeTimecode value;
        int count;
    };
    std::vector<Vote> votes;
    votes.reserve(4);
    for (int s = 0; s < SequencesPerFrame(standard); ++s) {
        for (int n = 0; n < 12; ++n) {
            TapeTimecode tc;
            if (!DecodePack(frame + SubcodePackOffset(s, n), standard, &tc)) continue;
            bool found = false;
            for (Vote& v : votes) {
                if (v.value == tc && v.value.dropFrame == tc.dropFrame) {
                    ++v.count;
                    found = true;
                    break;
                }
            }
            if (!found) votes.push_back({tc, 1});
        }
    }
    const Vote* best = nullptr;
    for (const Vote& v : votes)
        if (best == nullptr || v.count > best->count) best = &v;
    if (best == nullptr) return false;
    if (timecode != nullptr) *timecode = best->value;
    return true;
}

int RewriteSubcodeTimecode(uint8_t* frame, DIO_VideoFormat standard, const TapeTimecode& timecode) {
    if (frame == nullptr) return 0;
    int rewritten = 0;
    for (int s = 0; s < SequencesPerFrame(standard); ++s) {
        for (int n = 0; n < 12; ++n) {
            uint8_t* pack = frame + SubcodePackOffset(s, n);
            if (pack[0] != kTimecodePack) continue;
            // Keep colour frame / polarity / binary group flags; the drop-frame flag
            // follows the new value in 525/60.
            uint8_t pc1 = static_cast<uint8_t>((pack[1] & 0x80) | ToBcd(timecode.frames));
            if (standard == DIO_NTSC ? timecode.dropFrame : (pack[1] & 0x40) != 0) pc1 |= 0x40;
            pack[1] = pc1;
            pack[2] = static_cast<uint8_t>((pack[2] & 0x80) | ToBcd(timecode.seconds));
            pack[3] = static_cast<uint8_t>((pack[3] & 0x80) | ToBcd(timecode.minutes));
            pack[4] = static_cast<uint8_t>((pack[4] & 0xC0) | ToBcd(timecode.hours));
            ++rewritten;
        }
    }
    return rewritten;
}

}  // namespace cardsim
