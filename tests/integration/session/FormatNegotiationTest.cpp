// Taking formats from the host: what changes, what is refused, and what the host
// reads back.
#include "device/DefaultFormat.h"
#include "interface/ControlIds.h"
#include "FormatReadback.h"
#include "hostcore/BitMask.h"
#include "support/DeviceFixture.h"

#include <string>

using namespace dv1394;

namespace {

class FormatNegotiationTest : public DeviceFixture {
protected:
    std::vector<std::string> DeviceFormat() {
        DIOFormat format(4);
        EXPECT_EQ(device_->GetControl(kControlDeviceFormat, &format), 1);
        return KeywordsOf(&format);
    }
    unsigned char Offer(const char* signal, const char* rate) {
        DIOFormat format(4);
        if (signal != nullptr) format.SetKeywordParameter(kKeywordVideoSignal, signal);
        if (rate != nullptr) format.SetKeywordParameter(kKeywordAudioSampleRate, rate);
        return device_->SetControl(kControlDeviceFormat, &format);
    }
};

TEST_F(FormatNegotiationTest, TheSampleRateSetsTheSampleSizeAndUnknownTextsChangeNothing) {
    const std::vector<std::string> ntsc48 = {"VSIG=NTSC", "VCMP=DV25", "ASRT=48000", "ASSZ=16"};
    EXPECT_EQ(DeviceFormat(), ntsc48);
    struct Case {
        const char* signal;
        const char* rate;
        unsigned char accepted;
        std::vector<std::string> after;
    };
    const Case cases[] = {
        {"PAL", "96000", 0, ntsc48},
        {"SECAM", "32000", 0, ntsc48},
        {nullptr, "32000", 1, {"VSIG=NTSC", "VCMP=DV25", "ASRT=32000", "ASSZ=12"}},
        {nullptr, "44100", 1, {"VSIG=NTSC", "VCMP=DV25", "ASRT=44100", "ASSZ=16"}},
        {nullptr, nullptr, 1, {"VSIG=NTSC", "VCMP=DV25", "ASRT=44100", "ASSZ=16"}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Offer(c.signal, c.rate), c.accepted) << (c.signal ? c.signal : "-") << " " << (c.rate ? c.rate : "-");
        EXPECT_EQ(DeviceFormat(), c.after);
    }
    EXPECT_EQ(device_->SetControl(kControlDeviceFormat, nullptr), 0);
    EXPECT_TRUE(CallsTo("KDXOpen").empty()) << "no session is opened for a rate change";
}

TEST_F(FormatNegotiationTest, NoChangeUnderALiveStream) {
    ASSERT_EQ(device_->GetNumberHostAdapters(), 1);
    ASSERT_EQ(device_->SetAudioInRingBufferSize(4 * 3888), 1);
    BitMask stereo(2);
    stereo.SetBit(0, 1);
    stereo.SetBit(1, 1);
    ASSERT_EQ(device_->PrepareAudioIn(stereo), 1);
    ASSERT_EQ(Bounded("ArmAudioIn", [&] { return device_->ArmAudioIn(); }), 1);
    // The capture thread uses the buffers a change would replace: the change waits.
    EXPECT_EQ(Offer(nullptr, "32000"), 0);
    ASSERT_EQ(Bounded("TerminateAudioIn", [&] { return device_->TerminateAudioIn(); }), 1);
    EXPECT_EQ(Offer(nullptr, "32000"), 1);
}

TEST_F(FormatNegotiationTest, TheListAnswersOnlyTheDevicesKeywords) {
    DIOFormat wanted(4);
    wanted.SetKeywordParameter(kKeywordAudioSampleRate, "");
    wanted.SetKeywordParameter(kKeywordVideoSignal, "");
    wanted.SetKeywordParameter(MakeFourCC('X', 'T', 'R', 'A'), "kept");
    ASSERT_EQ(device_->GetControl(kControlFormatList, &wanted), 1);
    EXPECT_EQ(KeywordsOf(&wanted), (std::vector<std::string>{"ASRT=32000,44100,48000", "VSIG=NTSC,PAL", "XTRA=kept"}));
    DIOFormat empty(4);
    EXPECT_EQ(device_->GetControl(kControlFormatList, &empty), 0);

    // Too small and empty: nothing copied, still success.
    DIOFormat small(2);
    EXPECT_EQ(device_->GetControl(kControlDeviceFormat, &small), 1);
    EXPECT_EQ(small.NumParameters(), 0);
}

}  // namespace
