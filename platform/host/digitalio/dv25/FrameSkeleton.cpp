#include "digitalio/dv25/FrameSkeleton.h"

#include "digitalio/dv25/DifLayout.h"
#include "digitalio/dv25/SubcodeBlocks.h"

#include <cstring>

namespace dv25 {

namespace {

void WriteHeader(uint8_t* frame, DIO_VideoFormat standard, int s) {
    uint8_t* block = frame + SequenceOffset(s);
    WriteBlockId(block, Section::Header, s, 0);
    block[3] = static_cast<uint8_t>((DsfOf(standard) << 7) | 0x3F);
    // No track information, consumer application IDs (000) for the track, audio, video
    // and subcode, and the three "transmitted" flags clear (valid).
    block[4] = 0xF8;
    block[5] = 0x78;
    block[6] = 0x78;
    block[7] = 0x78;
}

void WriteVaux(uint8_t* frame, DIO_VideoFormat standard, int s) {
    for (int j = 0; j < kVauxBlocks; ++j) WriteBlockId(frame + VauxBlockOffset(s, j), Section::Vaux, s, j);
    const int mainArea = VauxMainAreaFirstPack(s);
    // Source: no channel, colour, no source information, the standard's 50/60 flag,
    // 25 Mbit/s.
    const uint8_t source[5] = {0x60, 0xFF, 0xFF, static_cast<uint8_t>(0xC0 | (DsfOf(standard) << 5)), 0xFF};
    // Source control: copy free, original recording, 4:3 full frame; a normal moving
    // interlaced picture (both fields, field 1 first, frame changed); no genre.
    const uint8_t control[5] = {0x61, 0x3F, 0xC8, static_cast<uint8_t>(standard == DIO_PAL ? 0xFD : 0xFC), 0xFF};
    std::memcpy(frame + VauxPackOffset(s, mainArea), source, kPackSize);
    std::memcpy(frame + VauxPackOffset(s, mainArea + 1), control, kPackSize);
}

}  // namespace

void WriteFrameSkeleton(uint8_t* frame, DIO_VideoFormat standard) {
    std::memset(frame, 0xFF, FrameSizeOf(standard));
    const int sequences = SequencesIn(standard);
    for (int s = 0; s < sequences; ++s) {
        WriteHeader(frame, standard, s);
        WriteFreshSubcode(frame, standard, s);
        WriteVaux(frame, standard, s);
        for (int k = 0; k < kAudioBlocksPerSequence; ++k) WriteBlockId(frame + AudioBlockOffset(s, k), Section::Audio, s, k);
        for (int v = 0; v < kVideoBlocksPerSequence; ++v) WriteBlockId(frame + VideoBlockOffset(s, v), Section::Video, s, v);
    }
}

}  // namespace dv25
