// Damaged frames: impossible packs, broken block IDs and contradicting headers give
// clear failures from every reader and never a write or a read outside the frame.
#include "Dv25TestSupport.h"

#include "digitalio/DV25Timecode.h"
#include "digitalio/DV25audioDeshuffler.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

using namespace dv25test;

// The three readers on one frame as one row: source pack read (1) or refused (0),
// deshuffle done or refused, bytes queued, timecode found, its hours and frames.
using Row = std::vector<ULONG>;
constexpr ULONG kAbsent = kTimeCodeFieldAbsent;

Row ReadAll(unsigned char* frame) {
    DIO_AudioFormat rate;
    DIO_VideoFormat video;
    DV25audioDeshuffler deshuffler;
    const bool pack = deshuffler.GetRateAndSampsFromASPak(frame, &rate, &video) == 0;
    RingSet rings(2, 1 << 16);
    BitMask mask = MaskOf({0, 1}, 2);
    ULONG samples = 0;
    const bool audio = deshuffler.DeShuffleAudio(frame, &mask, rings.array(), &samples) == 0;
    TimeCode tc{};
    bool dropFrame;
    const bool found = DV25Timecode().GetTimecode(frame, &tc, &dropFrame);
    return {pack, audio, rings[0].fifo()->GetQDepth() + rings[1].fifo()->GetQDepth(), found, tc.hours, tc.frames};
}

TEST(DamagedFrame, ImpossibleSourcePacksFailWithoutWriting) {
    const unsigned char impossible[][5] = {
        {0x50, 0x40 | 41, 0x00, 0xC0, 0xC0},  // 48 kHz, AF_SIZE beyond 1620
        {0x50, 0x54, 0x00, 0xC0, 0xD8},       // rate code 3
        {0x50, 0x54, 0x00, 0xC0, 0xC1},       // 12-bit at 48 kHz
        {0x50, 0x54, 0x00, 0xC0, 0xC2},       // 20-bit
        {0x50, 0x54, 0x00, 0xC2, 0xC0},       // four audio blocks (50 Mbit/s)
        {0x50, 0x54, 0x00, 0xE0, 0xC0},       // says 625/50 in a 525/60 frame
        {0x51, 0x54, 0x00, 0xC0, 0xC0},       // not a source pack at all
        {0xFF, 0xFF, 0xFF, 0xFF, 0xFF},       // no information
    };
    for (const auto& pack : impossible) {
        FrameBuffer frame = BlackFrame(DIO_NTSC);
        for (int s = 0; s < 10; ++s) std::memcpy(SourcePackOf(frame.data(), s), pack, 5);
        // The subcode is still fine.
        EXPECT_EQ(ReadAll(frame.data()), (Row{0, 0, 0, 1, 0, 0}))
            << std::hex << int(pack[0]) << " " << int(pack[1]) << " " << int(pack[4]);
    }
}

TEST(DamagedFrame, SubcodeFullOfFFHasNoTimecodeButAudio) {
    FrameBuffer frame = BlackFrame(DIO_PAL);
    for (int s = 0; s < 12; ++s) std::memset(frame.data() + s * 12000 + 80, 0xFF, 160);
    EXPECT_EQ(ReadAll(frame.data()), (Row{1, 1, 2 * 1920 * 2, 0, kAbsent, kAbsent}));
    timecode_t tc = TCCreateDur(0, nullptr);
    EXPECT_FALSE(DV25Timecode().LookForTimeCode(frame.data(), &tc, 100));
}

TEST(DamagedFrame, WrongBlockIdsAreNotTrusted) {
    // One audio block out of place: no audio from this frame, though its format still
    // reads from the intact source packs. With every block holding a source pack
    // damaged, the format is unreadable too.
    FrameBuffer frame = BlackFrame(DIO_NTSC);
    frame.data()[7 * 12000 + 480 + 1280 * 5 + 2] = 4;
    EXPECT_EQ(ReadAll(frame.data()), (Row{1, 0, 0, 1, 0, 0}));
    for (int s = 0; s < 10; ++s) frame.data()[s * 12000 + 480 + 1280 * (s % 2 == 0 ? 3 : 0)] = 0x9F;
    EXPECT_EQ(ReadAll(frame.data()), (Row{0, 0, 0, 1, 0, 0}));

    // Subcode blocks that carry a video ID: their packs are skipped, the rest count.
    // Sequence 0's first subcode block says frame 05; all others say frame 00 and
    // would outvote it if they were trusted.
    FrameBuffer subcode = BlackFrame(DIO_NTSC);
    for (int k = 0; k < 6; ++k) subcode.data()[80 + 3 + 8 * k + 4] = 0xC5;
    subcode.data()[160] = 0x9F;
    for (int s = 1; s < 10; ++s) subcode.data()[s * 12000 + 80] = subcode.data()[s * 12000 + 160] = 0x9F;
    EXPECT_EQ(ReadAll(subcode.data()), (Row{1, 1, 2 * 1600 * 2, 1, 0, 5}));
    subcode.data()[80] = 0x5F;  // every subcode block broken: nothing
    EXPECT_EQ(ReadAll(subcode.data())[3], 0u);

    // A first block that is not a header: nothing is read at all.
    FrameBuffer header = BlackFrame(DIO_PAL);
    header.data()[0] = 0x3F;
    EXPECT_EQ(ReadAll(header.data()), (Row{0, 0, 0, 0, kAbsent, kAbsent}));
}

TEST(DamagedFrame, HeaderContradictingTheAudioIsRefused) {
    // A 625/50 frame whose header is flipped to 525/60 while its audio says 625/50: the
    // frame contradicts itself and its audio is not read.
    FrameBuffer frame = BlackFrame(DIO_PAL);
    frame.data()[3] = 0x3F;
    const Row r = ReadAll(frame.data());
    EXPECT_EQ(Row(r.begin(), r.begin() + 3), (Row{0, 0, 0}));
    // A 525/60 frame flipped to 625/50 reads its sequences 10 and 11 from the rest of
    // the buffer (all 0xFF), finds them broken, and still stays inside the buffer.
    FrameBuffer ntsc = BlackFrame(DIO_NTSC);
    ntsc.data()[3] = 0xBF;
    EXPECT_EQ(ReadAll(ntsc.data())[1], 0u);
}

}  // namespace
