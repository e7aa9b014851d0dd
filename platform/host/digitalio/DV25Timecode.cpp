#include "digitalio/DV25Timecode.h"

#include "digitalio/dv25/DifLayout.h"
#include "digitalio/dv25/SubcodeBlocks.h"
#include "digitalio/dv25/TimecodePack.h"

#include <algorithm>
#include <cstdint>

namespace {

using dv25::TimecodeLabel;

constexpr int kMaxCopies = 12 * dv25::kSyncBlocksPerSequence;

// Every valid timecode copy in the trusted subcode blocks of a frame, in frame order.
struct TimecodeCopies {
    DIO_VideoFormat standard = DIO_NoVideoFormat;
    bool anyPack = false;  // a timecode pack other than "no information" exists
    int count = 0;
    TimecodeLabel labels[kMaxCopies];
};

void CollectCopies(const uint8_t* frame, TimecodeCopies* copies) {
    copies->standard = dv25::StandardOfFrame(frame);
    const int sequences = dv25::SequencesIn(copies->standard);
    for (int s = 0; s < sequences; ++s) {
        for (int j = 0; j < dv25::kSubcodeBlocks; ++j) {
            if (!dv25::SubcodeBlockIdValid(frame, s, j)) continue;
            for (int k = 0; k < dv25::kSyncBlocksPerSubcodeBlock; ++k) {
                const uint8_t* pack = frame + dv25::SubcodePackOffset(s, j * dv25::kSyncBlocksPerSubcodeBlock + k);
                if (!dv25::IsTimecodePack(pack) || dv25::IsNoInformationPack(pack)) continue;
                copies->anyPack = true;
                TimecodeLabel label;
                if (dv25::DecodeTimecodePack(pack, copies->standard, &label)) copies->labels[copies->count++] = label;
            }
        }
    }
}

uint32_t KeyOf(const TimecodeLabel& l) {
    return (l.dropFrame ? 0x80000000u : 0u) | (uint32_t{l.hours} << 24) | (uint32_t{l.minutes} << 16) |
           (uint32_t{l.seconds} << 8) | l.frames;
}

// The value that occurs most often (dropouts leave stray copies of a neighbouring
// frame); among equally frequent values, the one found first.
TimecodeLabel MostFrequent(const TimecodeCopies& copies) {
    const uint32_t first = KeyOf(copies.labels[0]);
    bool allEqual = true;
    for (int i = 1; i < copies.count && allEqual; ++i) allEqual = KeyOf(copies.labels[i]) == first;
    if (allEqual) return copies.labels[0];

    // Sort value-major with the position in the low bits, then measure the runs.
    uint64_t keys[kMaxCopies];
    for (int i = 0; i < copies.count; ++i) keys[i] = (uint64_t{KeyOf(copies.labels[i])} << 8) | static_cast<uint64_t>(i);
    std::sort(keys, keys + copies.count);
    int bestIndex = 0, bestCount = 0;
    for (int start = 0; start < copies.count;) {
        int end = start + 1;
        while (end < copies.count && (keys[end] >> 8) == (keys[start] >> 8)) ++end;
        const int index = static_cast<int>(keys[start] & 0xFF);
        if (end - start > bestCount || (end - start == bestCount && index < bestIndex)) {
            bestCount = end - start;
            bestIndex = index;
        }
        start = end;
    }
    return copies.labels[bestIndex];
}

bool CountsAtThirty(const timecodeDesc_t& desc) { return desc.frameRate == 0 || desc.frameRate == 30; }

bool IsDropFrame(const timecodeDesc_t& desc) { return (desc.dropFrame & 1u) != 0 && CountsAtThirty(desc); }

}  // namespace

DV25Timecode::DV25Timecode() = default;
DV25Timecode::~DV25Timecode() = default;

bool DV25Timecode::GetTimecode(unsigned char* frame, TimeCode* record, bool* dropFrame) {
    if (frame == nullptr || record == nullptr || dropFrame == nullptr) return false;
    TimecodeCopies copies;
    CollectCopies(frame, &copies);
    *record = {kTimeCodeFieldAbsent, kTimeCodeFieldAbsent, kTimeCodeFieldAbsent, kTimeCodeFieldAbsent};
    *dropFrame = false;
    if (copies.count > 0) {
        const TimecodeLabel l = MostFrequent(copies);
        *record = {l.hours, l.minutes, l.seconds, l.frames};
        *dropFrame = l.dropFrame;
    }
    return copies.anyPack;
}

bool DV25Timecode::LookForTimeCode(unsigned char* frame, timecode_t* tc, int n) {
    if (frame == nullptr || tc == nullptr || TCIsEmpty(*tc)) return false;
    TimecodeCopies copies;
    CollectCopies(frame, &copies);
    const LONG window = std::max(n, 1);
    bool found = false;
    LONG bestOffset = 0;
    timecode_t best{};
    for (int i = 0; i < copies.count; ++i) {
        const TimecodeLabel& l = copies.labels[i];
        // Compare labels under the pack's own counting: at 30 fps the pack says
        // whether frames are dropped, and the wanted timecode is re-read that way.
        timecodeDesc_t desc = tc->desc;
        if (CountsAtThirty(desc)) desc.dropFrame = (desc.dropFrame & ~1u) | (l.dropFrame ? 1u : 0u);
        timecode_t wanted = *tc;
        if (desc.dropFrame != tc->desc.dropFrame) {
            short h, m, s, f;
            TCDeconstruct(*tc, nullptr, &h, &m, &s, &f);
            wanted = TCConstruct(0, h, m, s, f, &desc);
        }
        const timecode_t carried = TCConstruct(0, l.hours, l.minutes, l.seconds, l.frames, &desc);
        const LONG offset = TCDiffModDay(wanted, carried);
        if (offset < 0 || offset >= window) continue;
        if (!found || offset < bestOffset) {
            found = true;
            bestOffset = offset;
            best = carried;
        }
    }
    if (found) *tc = best;
    return found;
}

bool DV25Timecode::InsertTimecode(unsigned char* frame, timecode_t tc, DIO_VideoFormat standard, bool existingOnly) {
    if (frame == nullptr || TCIsEmpty(tc)) return false;
    // The frame's buffer is only as large as its own header says.
    if (dv25::SequencesIn(standard) == 0 || dv25::StandardOfFrame(frame) != standard) return false;
    short h, m, s, f;
    TCDeconstruct(tc, nullptr, &h, &m, &s, &f);
    const TimecodeLabel label{static_cast<uint8_t>(h), static_cast<uint8_t>(m), static_cast<uint8_t>(s),
                              static_cast<uint8_t>(f), standard == DIO_NTSC && IsDropFrame(tc.desc)};
    if (!dv25::IsValidLabel(label, standard)) return false;

    const int sequences = dv25::SequencesIn(standard);
    const int half = dv25::SequencesPerHalf(standard);
    bool written = false;
    for (int seq = 0; seq < sequences; ++seq) {
        if (!existingOnly) {
            dv25::RepairSubcodeIds(frame, standard, seq);
            frame[dv25::SequenceOffset(seq) + 7] &= 0x7F;  // subcode valid (TF3 = 0)
        }
        for (int n = 0; n < dv25::kSyncBlocksPerSequence; ++n) {
            uint8_t* pack = frame + dv25::SubcodePackOffset(seq, n);
            const bool existing = dv25::IsTimecodePack(pack);
            // Where readers look: every sync block of the first half (which includes
            // the first pack of the frame), and 0, 3, 6, 9 of the second half.
            const bool required = !existingOnly && (seq < half || n % 3 == 0);
            if (!existing && !required) continue;
            dv25::EncodeTimecodePack(pack, label, standard, existing);
            written = true;
        }
    }
    return written;
}
