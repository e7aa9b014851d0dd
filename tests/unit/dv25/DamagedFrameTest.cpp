// Damaged frames: impossible packs, broken block IDs and contradicting headers give
// clear failures from every reader and never a write or a read outside the frame.
#include "Dv25TestSupport.h"

#include "digitalio/DV25Timecode.h"
#include "digitalio/DV25audioDeshuffler.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

using namespace dv25test;

// The three readers on one frame: the source pack, the deshuffler, the timecode.
struct Readings {
    LONG packResult;
    LONG deshuffleResult;
    ULONG queued;
    bool timecodeFound;
    TimeCode record;
};

Readings ReadAll(unsigned char* frame) {
    Readings r{};
    DIO_AudioFormat rate;
    DIO_VideoFormat video;
    DV25audioDeshuffler deshuffler;
    r.packResult = deshuffler.GetRateAndSampsFromASPak(frame, &rate, &video);
    RingSet rings(2, 1 << 16);
    BitMask mask = MaskOf({0, 1}, 2);
    ULONG samples = 0;
    r.deshuffleResult = deshuffler.DeShuffleAudio(frame, &mask, rings.array(), &samples);
    r.queued = rings[0].fifo()->GetQDepth() + rings[1].fifo()->GetQDepth();
    bool dropFrame;
    r.timecodeFound = DV25Timecode().GetTimecode(frame, &r.record, &dropFrame);
    return r;
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
        const Readings r = ReadAll(frame.data());
        EXPECT_NE(r.packResult, 0) << std::hex << int(pack[0]) << " " << int(pack[1]) << " " << int(pack[4]);
        EXPECT_NE(r.deshuffleResult, 0);
        EXPECT_EQ(r.queued, 0u);
        EXPECT_TRUE(r.timecodeFound);  // the subcode is still fine
    }
}

TEST(DamagedFrame, SubcodeFullOfFFHasNoTimecode) {
    FrameBuffer frame = BlackFrame(DIO_PAL);
    for (int s = 0; s < 12; ++s) std::memset(frame.data() + s * 12000 + 80, 0xFF, 160);
    const Readings r = ReadAll(frame.data());
    EXPECT_FALSE(r.timecodeFound);
    EXPECT_EQ(r.record.hours, kTimeCodeFieldAbsent);
    EXPECT_EQ(r.record.frames, kTimeCodeFieldAbsent);
    EXPECT_EQ(r.deshuffleResult, 0);  // audio is still there
    timecode_t tc = TCCreateDur(0, nullptr);
    EXPECT_FALSE(DV25Timecode().LookForTimeCode(frame.data(), &tc, 100));
}

TEST(DamagedFrame, WrongBlockIdsAreNotTrusted) {
    {
        // One audio block out of place: no audio from this frame, though its format
        // still reads from the intact source packs.
        FrameBuffer frame = BlackFrame(DIO_NTSC);
        frame.data()[7 * 12000 + 480 + 1280 * 5 + 2] = 4;
        Readings r = ReadAll(frame.data());
        EXPECT_NE(r.deshuffleResult, 0);
        EXPECT_EQ(r.packResult, 0);
        EXPECT_EQ(r.queued, 0u);
        // Every block holding a source pack damaged: the format is unreadable too.
        for (int s = 0; s < 10; ++s) frame.data()[s * 12000 + 480 + 1280 * (s % 2 == 0 ? 3 : 0)] = 0x9F;
        r = ReadAll(frame.data());
        EXPECT_NE(r.packResult, 0);
        EXPECT_NE(r.deshuffleResult, 0);
    }
    {
        // Subcode blocks that carry a video ID: their packs are skipped, the rest count.
        FrameBuffer frame = BlackFrame(DIO_NTSC);
        // Sequence 0's first subcode block says frame 05; all others say frame 00 and
        // would outvote it if they were trusted.
        for (int k = 0; k < 6; ++k) frame.data()[80 + 3 + 8 * k + 4] = 0xC5;
        frame.data()[160] = 0x9F;
        for (int s = 1; s < 10; ++s) {
            frame.data()[s * 12000 + 80] = 0x9F;
            frame.data()[s * 12000 + 160] = 0x9F;
        }
        const Readings r = ReadAll(frame.data());
        EXPECT_TRUE(r.timecodeFound);
        EXPECT_EQ(r.record.frames, 5u);
        // Every subcode block broken: nothing.
        frame.data()[80] = 0x5F;
        EXPECT_FALSE(ReadAll(frame.data()).timecodeFound);
    }
    {
        // A first block that is not a header: nothing is read at all.
        FrameBuffer frame = BlackFrame(DIO_PAL);
        frame.data()[0] = 0x3F;
        const Readings r = ReadAll(frame.data());
        EXPECT_NE(r.packResult, 0);
        EXPECT_NE(r.deshuffleResult, 0);
        EXPECT_FALSE(r.timecodeFound);
    }
}

TEST(DamagedFrame, PalFrameReadAsNtscIsRefused) {
    // The header is flipped to 525/60 but the audio says 625/50: the frame
    // contradicts itself and its audio is not read.
    FrameBuffer frame = BlackFrame(DIO_PAL);
    frame.data()[3] = 0x3F;
    const Readings r = ReadAll(frame.data());
    EXPECT_NE(r.packResult, 0);
    EXPECT_NE(r.deshuffleResult, 0);
    EXPECT_EQ(r.queued, 0u);
    // An NTSC frame flipped to 625/50 reads its sequences 10 and 11 from the rest of the
    // buffer (all 0xFF), finds them broken, and still stays inside the buffer.
    FrameBuffer ntsc = BlackFrame(DIO_NTSC);
    ntsc.data()[3] = 0xBF;
    const Readings n = ReadAll(ntsc.data());
    EXPECT_NE(n.deshuffleResult, 0);
}

}  // namespace
