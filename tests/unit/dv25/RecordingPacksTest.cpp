// The recorder's stamp and record-start flag written into a frame and found again,
// from VAUX first and AAUX when VAUX has none; and the deck's error marks (STA,
// invalid samples) counted exactly as they were set.
#include "Dv25TestSupport.h"

#include "digitalio/dv25/DifLayout.h"
#include "digitalio/dv25/FrameErrors.h"
#include "digitalio/dv25/RecordingPacks.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

using dv25::RecordingDateTime;

enum class Damage { None, VauxGone, VauxGoneAauxDayUnknown, VauxTimeNotBcd };

void Apply(Damage damage, uint8_t* frame, DIO_VideoFormat standard) {
    for (int s = 0; s < dv25::SequencesIn(standard); ++s) {
        const int main = dv25::VauxMainAreaFirstPack(s);
        uint8_t* date = frame + dv25::VauxPackOffset(s, main + 2);
        uint8_t* time = frame + dv25::VauxPackOffset(s, main + 3);
        if (damage == Damage::VauxTimeNotBcd) time[3] = 0x8A;  // minutes "0A"
        if (damage == Damage::VauxGone || damage == Damage::VauxGoneAauxDayUnknown) {
            std::memset(date, 0xFF, dv25::kPackSize);
            std::memset(time, 0xFF, dv25::kPackSize);
        }
        if (damage == Damage::VauxGoneAauxDayUnknown)
            frame[dv25::AudioPackOffset(s, dv25::AudioMainAreaBlock(s, 2)) + 2] = 0xFF;
    }
}

TEST(RecordingPacks, TheStampIsFoundWhereItWasWrittenOrNotAtAll) {
    struct Case {
        DIO_VideoFormat standard;
        RecordingDateTime written;
        Damage damage;
        bool found;
    };
    const Case cases[] = {
        {DIO_NTSC, {2024, 12, 5, 13, 14, 15}, Damage::None, true},
        {DIO_PAL, {1999, 12, 31, 23, 59, 59}, Damage::None, true},  // "99" is 1999
        {DIO_NTSC, {1969, 1, 1, 0, 0, 0}, Damage::None, true},     // the window's ends
        {DIO_PAL, {2068, 2, 28, 7, 8, 9}, Damage::None, true},
        {DIO_NTSC, {2010, 6, 30, 12, 0, 1}, Damage::VauxGone, true},  // from AAUX
        {DIO_PAL, {2010, 6, 30, 12, 0, 1}, Damage::VauxGoneAauxDayUnknown, false},
        {DIO_NTSC, {2010, 6, 30, 12, 0, 1}, Damage::VauxTimeNotBcd, true},  // AAUX still holds it
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "year " << c.written.year << " damage " << static_cast<int>(c.damage));
        dv25test::FrameBuffer frame = dv25test::BlackFrame(c.standard);
        RecordingDateTime found;
        EXPECT_FALSE(dv25::FindRecordingDateTime(frame.data(), c.standard, &found));
        dv25::WriteRecordingDateTime(frame.data(), c.standard, c.written);
        Apply(c.damage, frame.data(), c.standard);
        ASSERT_EQ(dv25::FindRecordingDateTime(frame.data(), c.standard, &found), c.found);
        if (c.found) {
            EXPECT_TRUE(found == c.written);
        }
    }
}

TEST(RecordingPacks, RecordStartComesFromVauxElseAaux) {
    for (DIO_VideoFormat standard : {DIO_NTSC, DIO_PAL}) {
        dv25test::FrameBuffer frame = dv25test::BlackFrame(standard);
        // An AAUX source control pack in every sequence, as the audio writer puts it.
        for (int s = 0; s < dv25::SequencesIn(standard); ++s) {
            const uint8_t control[5] = {0x51, 0x3F, 0xCF, 0xA0, 0xFF};
            std::memcpy(frame.data() + dv25::AudioPackOffset(s, dv25::AudioMainAreaBlock(s, 1)), control, 5);
        }
        EXPECT_FALSE(dv25::IsRecordingStart(frame.data(), standard));
        dv25::WriteRecordingStart(frame.data(), standard, true);
        EXPECT_TRUE(dv25::IsRecordingStart(frame.data(), standard));
        // Without VAUX source control packs the AAUX ones answer.
        for (int s = 0; s < dv25::SequencesIn(standard); ++s)
            frame.data()[dv25::VauxPackOffset(s, dv25::VauxMainAreaFirstPack(s) + 1)] = 0xFF;
        EXPECT_TRUE(dv25::IsRecordingStart(frame.data(), standard));
        dv25::WriteRecordingStart(frame.data(), standard, false);
        EXPECT_FALSE(dv25::IsRecordingStart(frame.data(), standard));
    }
}

TEST(FrameErrors, MarksAreCountedExactly) {
    struct Case {
        DIO_VideoFormat standard;
        uint8_t pc1, pc2first, pc2second, pc4;  // the AAUX source pack
        int blocks;
        uint32_t samples;
        int countedBlocks;
        uint32_t countedSamples;
    };
    const Case cases[] = {
        {DIO_NTSC, 0xD4, 0x00, 0x01, 0xC0, 10, 7, 10, 14},      // 48 kHz 16-bit, 1600 samples
        {DIO_PAL, 0xD8, 0x00, 0x01, 0xC0, 1, 1944, 1, 2 * 1920},  // cut to the frame's samples
        {DIO_NTSC, 0xCF, 0x30, 0x30, 0xD1, 5000, 3, 1350, 12},   // 32 kHz 12-bit, four channels
    };
    for (const Case& c : cases) {
        dv25test::FrameBuffer frame = dv25test::BlackFrame(c.standard);
        dv25test::SetSourcePacks(frame.data(), c.standard, c.pc1, c.pc2first, c.pc2second, c.pc4);
        EXPECT_EQ(dv25::CountErroredVideoBlocks(frame.data(), c.standard), 0);
        EXPECT_EQ(dv25::CountInvalidSamples(frame.data(), c.standard), 0u);
        dv25::MarkErroredVideoBlocks(frame.data(), c.standard, c.blocks);
        dv25::MarkInvalidSamples(frame.data(), c.standard, c.samples);
        EXPECT_EQ(dv25::CountErroredVideoBlocks(frame.data(), c.standard), c.countedBlocks);
        EXPECT_EQ(dv25::CountInvalidSamples(frame.data(), c.standard), c.countedSamples);
    }
    // The marks are the codes themselves, where the layout puts sample 0 of the last channel.
    dv25test::FrameBuffer frame = dv25test::BlackFrame(DIO_NTSC);
    dv25test::SetSourcePacks(frame.data(), DIO_NTSC, 0xCF, 0x30, 0x30, 0xD1);
    dv25::MarkInvalidSamples(frame.data(), DIO_NTSC, 1);
    EXPECT_EQ(dv25test::Get12(frame.data(), DIO_NTSC, 3, 0), 0x800);
    EXPECT_NE(dv25test::Get12(frame.data(), DIO_NTSC, 3, 1), 0x800);
}

}  // namespace
