// The recorder's stamp and record-start flag written into a frame and found again,
// from VAUX first and AAUX when VAUX has none.
#include "Dv25TestSupport.h"

#include "digitalio/dv25/DifLayout.h"
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

}  // namespace
