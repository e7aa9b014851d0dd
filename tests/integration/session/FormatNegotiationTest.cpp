// Taking formats from the host: what changes, what is refused, and what the host
// reads back.
#include "queues/DV1394AudioInput.h"
#include "device/DefaultFormat.h"
#include "queues/DV1394AudioOutput.h"
#include "digitalio/DV25audioDeshuffler.h"
#include "FormatReadback.h"
#include "PluginTestAccess.h"
#include "support/DeviceFixture.h"

#include <string>

using namespace dv1394;

namespace {

using Access = PluginTestAccess;

class FormatNegotiationTest : public DeviceFixture {
protected:
    std::string DeviceKeyword(LONG keyword) { return KeywordOf(Access::m_pDeviceFormat(*device_), keyword); }
};

TEST_F(FormatNegotiationTest, NewDeviceIsNtscWith48kAudio) {
    EXPECT_EQ(Access::m_eVideoFormat(*device_).load(), DIO_NTSC);
    EXPECT_EQ(Access::m_eAudioFormatIn(*device_).load(), DIO_Audio48000);
    EXPECT_EQ(Access::m_eAudioFormatOut(*device_).load(), DIO_Audio48000);
    EXPECT_EQ(Access::m_nFrameSize(*Access::m_pVideoIn(*device_)).load(), 120000);
    ASSERT_NE(Access::m_pBlackFrame(*device_), nullptr);
    ASSERT_NE(Access::m_pOutputFrameBuffer(*device_), nullptr);
    ASSERT_NE(Access::m_pSilentChannels(*device_), nullptr);
    EXPECT_EQ(Access::m_pSilentChannels(*device_)->GetNumBitsSet(), 2);
    EXPECT_EQ(Access::m_eAudioFormat(*Access::m_pAudioIn(*device_)).load(), DIO_Audio48000);
    EXPECT_NE(Access::m_pDeshuffler(*Access::m_pAudioIn(*device_)), nullptr);
    EXPECT_NE(Access::m_pReshuffler(*Access::m_pAudioOut(*device_)), nullptr);
    // The black frame is a valid NTSC frame with silent 48 kHz audio.
    DIO_AudioFormat audio;
    DIO_VideoFormat video;
    DV25audioDeshuffler reader;
    ASSERT_EQ(reader.GetRateAndSampsFromASPak(Access::m_pBlackFrame(*device_), &audio, &video), 0);
    EXPECT_EQ(video, DIO_NTSC);
    EXPECT_EQ(audio, DIO_Audio48000);
    EXPECT_TRUE(CardCalls().empty());  // construction does not touch the card
}

TEST_F(FormatNegotiationTest, SampleRateAloneChangesBothSidesButNoStandard) {
    DIOFormat format(4);
    format.SetKeywordParameter(kKeywordAudioSampleRate, "32000");
    bool videoChanged = true;
    ASSERT_TRUE(Access::UpdateFormat(*device_, &format, &videoChanged));
    EXPECT_FALSE(videoChanged);
    EXPECT_EQ(Access::m_eAudioFormatIn(*device_).load(), DIO_Audio32000);
    EXPECT_EQ(Access::m_eAudioFormatOut(*device_).load(), DIO_Audio32000);
    EXPECT_EQ(DeviceKeyword(kKeywordAudioSampleRate), "32000");
    EXPECT_EQ(DeviceKeyword(kKeywordAudioSampleSize), "12");
    EXPECT_EQ(DeviceKeyword(kKeywordVideoSignal), "NTSC");
    // Silence is now written as four 12-bit channels.
    EXPECT_EQ(Access::m_pSilentChannels(*device_)->GetNumBitsInMask(), 4);
    EXPECT_EQ(Access::m_pSilentChannels(*device_)->GetNumBitsSet(), 4);
    EXPECT_EQ(Access::m_eAudioFormat(*Access::m_pAudioOut(*device_)).load(), DIO_Audio32000);
    // Through the control: no session is opened for a rate change.
    format.SetKeywordParameter(kKeywordAudioSampleRate, "44100");
    EXPECT_EQ(device_->SetControl(0xb00008, &format), 1);
    EXPECT_EQ(DeviceKeyword(kKeywordAudioSampleSize), "16");
    EXPECT_TRUE(CallsTo("KDXOpen").empty());
}

TEST_F(FormatNegotiationTest, UnknownTextsChangeNothing) {
    for (auto keywordAndText : {std::make_pair(kKeywordVideoSignal, "SECAM"),
                                std::make_pair(kKeywordAudioSampleRate, "96000")}) {
        DIOFormat format(4);
        format.SetKeywordParameter(kKeywordVideoSignal, "PAL");
        format.SetKeywordParameter(kKeywordAudioSampleRate, "32000");
        format.SetKeywordParameter(keywordAndText.first, keywordAndText.second);
        EXPECT_EQ(device_->SetControl(0xb00008, &format), 0) << keywordAndText.second;
        EXPECT_EQ(Access::m_eVideoFormat(*device_).load(), DIO_NTSC);
        EXPECT_EQ(Access::m_eAudioFormatIn(*device_).load(), DIO_Audio48000);
        EXPECT_EQ(DeviceKeyword(kKeywordVideoSignal), "NTSC");
        EXPECT_EQ(DeviceKeyword(kKeywordAudioSampleRate), "48000");
    }
    // Neither keyword: accepted, nothing changes.
    DIOFormat unrelated(4);
    unrelated.SetKeywordParameter(kKeywordVideoCompression, "DV25");
    bool videoChanged = true;
    EXPECT_TRUE(Access::UpdateFormat(*device_, &unrelated, &videoChanged));
    EXPECT_FALSE(videoChanged);
    EXPECT_FALSE(Access::UpdateFormat(*device_, nullptr, &videoChanged));
    EXPECT_EQ(device_->SetControl(0xb00008, nullptr), 0);
    EXPECT_TRUE(CardCalls().empty());
}

TEST_F(FormatNegotiationTest, NoChangeUnderALiveStream) {
    // A stream that is armed or running has a thread using the buffers a change would
    // replace: the change waits.
    Access::m_eState(*Access::m_pAudioIn(*device_)).store(VDMArmed);
    DIOFormat format(4);
    format.SetKeywordParameter(kKeywordAudioSampleRate, "32000");
    EXPECT_EQ(device_->SetControl(0xb00008, &format), 0);
    EXPECT_EQ(Access::m_eAudioFormatIn(*device_).load(), DIO_Audio48000);
    Access::m_eState(*Access::m_pAudioIn(*device_)).store(VDMPrepared);
    EXPECT_EQ(device_->SetControl(0xb00008, &format), 1);
    EXPECT_EQ(Access::m_eAudioFormatIn(*device_).load(), DIO_Audio32000);
}

TEST_F(FormatNegotiationTest, ListAndCopyAnswerOnlyTheDevicesKeywords) {
    DIOFormat wanted(4);
    wanted.SetKeywordParameter(kKeywordAudioSampleRate, "");
    wanted.SetKeywordParameter(kKeywordVideoSignal, "");
    wanted.SetKeywordParameter(MakeFourCC('X', 'T', 'R', 'A'), "kept");
    ASSERT_EQ(device_->GetControl(0xb00009, &wanted), 1);
    EXPECT_EQ(KeywordOf(&wanted, kKeywordAudioSampleRate), "32000,44100,48000");
    EXPECT_EQ(KeywordOf(&wanted, kKeywordVideoSignal), "NTSC,PAL");
    EXPECT_EQ(KeywordOf(&wanted, MakeFourCC('X', 'T', 'R', 'A')), "kept");
    DIOFormat empty(4);
    EXPECT_EQ(device_->GetControl(0xb00009, &empty), 0);

    // Copy into an empty format large enough: all four keywords.
    DIOFormat roomy(3);
    EXPECT_EQ(device_->GetControl(0xb00008, &roomy), 1);
    EXPECT_EQ(KeywordsOf(&roomy), (std::vector<std::string>{"VSIG=NTSC", "VCMP=DV25", "ASRT=48000", "ASSZ=16"}));
    // Too small and empty: nothing copied, still success.
    DIOFormat small(2);
    EXPECT_EQ(device_->GetControl(0xb00008, &small), 1);
    EXPECT_EQ(small.NumParameters(), 0);
    // A foreign keyword: the ones before it are copied, it is blanked, and the copy fails.
    DIOFormat foreign(4);
    foreign.SetKeywordParameter(kKeywordVideoSignal, "?");
    foreign.SetKeywordParameter(MakeFourCC('F', 'O', 'R', 'N'), "x");
    foreign.SetKeywordParameter(kKeywordAudioSampleRate, "?");
    EXPECT_EQ(device_->GetControl(0xb00008, &foreign), 0);
    EXPECT_EQ(KeywordsOf(&foreign), (std::vector<std::string>{"VSIG=NTSC", "FORN=", "ASRT=?"}));
    EXPECT_EQ(Access::CopyDIOFormat(*device_, nullptr, &roomy), 0);
}

}  // namespace
