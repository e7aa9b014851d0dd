// Recognising the format of each captured frame and recording every change in the
// VideoIn and AudioIn format lists at the byte position where it happens.
#include "queues/DV1394AudioInput.h"
#include "queues/DV1394VideoInput.h"
#include "device/DefaultFormat.h"
#include "FormatReadback.h"
#include "PluginTestAccess.h"
#include "support/DeviceFixture.h"

#include <string>
#include <vector>

using namespace dv1394;

namespace {

using Access = PluginTestAccess;

std::vector<uint8_t> TapeFrame(const cardsim::BuiltInTapeOptions& options, int64_t position) {
    cardsim::LoadBuiltInTape(options);
    std::vector<uint8_t> frame;
    EXPECT_TRUE(cardsim::ReadTapeFrame(position, &frame));
    frame.resize(144000, 0xFF);  // card slots hold a frame of either standard
    return frame;
}

// Wipes every audio block's packs and samples: no readable audio source pack remains.
void WipeAudioBlocks(std::vector<uint8_t>* frame) {
    for (size_t sequence = 0; sequence < 10; ++sequence)
        for (size_t block = 6; block < 150; block += 16)
            std::fill_n(frame->begin() + static_cast<long>((sequence * 150 + block) * 80 + 3), 77, 0xFF);
}

class FormatDetectionTest : public DeviceFixture {
protected:
    static constexpr ULONG kAudioBytesPerFrame = 3200;

    void SetUp() override {
        DeviceFixture::SetUp();
        DV1394VideoInput& video = *Access::m_pVideoIn(*device_);
        Access::m_pFifo(video) = new DIOFifo;
        Access::m_pFifo(video)->InitializeFifo(videoRing_.data(), static_cast<unsigned>(videoRing_.size()), 0, 0,
                                               false, false, "VideoInQ", false);
        video.SetState(VDMRunning);
        DV1394AudioInput& audio = *Access::m_pAudioIn(*device_);
        Access::m_pChannels(audio) = new BitMask(2);
        Access::m_pChannels(audio)->SetBit(0, 1);
        Access::m_pChannels(audio)->SetBit(1, 1);
        Access::m_nChannels(audio) = 2;
        for (int channel = 0; channel < 2; ++channel) {
            Access::m_apBuffer(audio)[channel] = new BYTE[kAudioBytesPerFrame * 16];
            Access::m_apFifo(audio)[channel] = new DIOFifo;
            Access::m_apFifo(audio)[channel]->InitializeFifo(Access::m_apBuffer(audio)[channel],
                                                            kAudioBytesPerFrame * 16, 0, 0, false, false,
                                                            "AudioInQ", false);
            Access::m_apFormatList(audio)[channel] = new FormatList;
        }
        audio.SetState(VDMRunning);
    }

    // What the capture thread does with a frame, as far as formats go: detect, then
    // deliver the frame unless it was not recognised.
    int Deliver(std::vector<uint8_t>& frame) {
        const int result = Access::DetectAndProcessFormatChange(*device_, frame.data(), &audio_, &video_);
        if (result == 1) return result;
        DV1394VideoInput& video = *Access::m_pVideoIn(*device_);
        Access::m_pFifo(video)->WriteBytesInto(frame.data(), 120000, false);
        ++Access::m_nFramesWritten(video);
        DV1394AudioInput& audio = *Access::m_pAudioIn(*device_);
        std::vector<uint8_t> samples(kAudioBytesPerFrame);
        for (int channel = 0; channel < 2; ++channel) {
            Access::m_apFifo(audio)[channel]->WriteBytesInto(samples.data(), kAudioBytesPerFrame, false);
        }
        ++Access::m_nFramesDeshuffled(audio);
        return result;
    }

    // Walks a list as the host's take protocol does, returning each record with the
    // position where it begins.
    static std::vector<std::pair<ULONG, DIOFormat*>> Records(FormatList& list, ULONG end) {
        std::vector<std::pair<ULONG, DIOFormat*>> records;
        ULONG position = 0;
        for (int guard = 0; guard < 16; ++guard) {
            DIOFormat* format = nullptr;
            ULONG next = 0;
            list.GetNextFormatByteCount(end, &format, &next);
            if (records.empty() || records.back().second != format) records.emplace_back(position, format);
            if (next == end) break;
            list.ACK(next, false);
            position = next;
        }
        return records;
    }

    std::vector<uint8_t> videoRing_ = std::vector<uint8_t>(120000 * 12);
    DIO_AudioFormat audio_ = DIO_NoAudioFormat;
    DIO_VideoFormat video_ = DIO_NoVideoFormat;
};

TEST_F(FormatDetectionTest, ChangesAreRecordedWhereTheyHappen) {
    cardsim::BuiltInTapeOptions ntsc48;
    cardsim::BuiltInTapeOptions ntsc32;
    ntsc32.audio = DIO_Audio32000;
    cardsim::BuiltInTapeOptions switching;
    switching.formatSwitchAt = 10;  // PAL from position 10 on
    std::vector<std::vector<uint8_t>> frames = {
        TapeFrame(ntsc48, 0), TapeFrame(ntsc48, 1), TapeFrame(ntsc48, 2),  // frames 0-2: NTSC, 48 kHz
        TapeFrame(ntsc32, 3), TapeFrame(ntsc32, 4),                        // frames 3-4: 32 kHz
        TapeFrame(ntsc32, 5),                                              // no readable audio pack
        TapeFrame(switching, 10), TapeFrame(switching, 11),                // PAL, 48 kHz, after a break
    };
    WipeAudioBlocks(&frames[5]);
    const int expected[] = {2, 0, 0, 2, 0, 1, 2, 0};
    for (size_t i = 0; i < frames.size(); ++i) EXPECT_EQ(Deliver(frames[i]), expected[i]) << "frame " << i;
    EXPECT_EQ(audio_, DIO_Audio48000);
    EXPECT_EQ(video_, DIO_PAL);

    auto videoRecords = Records(Access::m_FormatList(*Access::m_pVideoIn(*device_)), 7 * 120000);
    ASSERT_EQ(videoRecords.size(), 3u);
    EXPECT_EQ(videoRecords[0].first, 0u);
    EXPECT_EQ(KeywordOf(videoRecords[0].second, kKeywordVideoSignal), "NTSC");
    EXPECT_EQ(KeywordOf(videoRecords[0].second, kKeywordVideoCompression), "DV25");
    EXPECT_EQ(KeywordOf(videoRecords[0].second, kKeywordAudioSampleRate), "48000");
    EXPECT_EQ(videoRecords[0].second->GetFormatChange(), 0);
    EXPECT_EQ(videoRecords[1].first, 3u * 120000);
    EXPECT_EQ(KeywordOf(videoRecords[1].second, kKeywordAudioSampleRate), "32000");
    EXPECT_EQ(KeywordOf(videoRecords[1].second, kKeywordAudioSampleSize), "(none)");  // not written
    EXPECT_EQ(videoRecords[1].second->GetFormatChange(), 1);
    EXPECT_EQ(videoRecords[1].second->GetFormatChangeBreak(), 0);
    EXPECT_EQ(videoRecords[2].first, 5u * 120000);  // the unreadable frame was not delivered
    EXPECT_EQ(KeywordOf(videoRecords[2].second, kKeywordVideoSignal), "PAL");
    EXPECT_EQ(KeywordOf(videoRecords[2].second, kKeywordAudioSampleRate), "48000");
    EXPECT_EQ(videoRecords[2].second->GetFormatChangeBreak(), 1);

    DV1394AudioInput& audio = *Access::m_pAudioIn(*device_);
    for (int channel = 0; channel < 2; ++channel) {
        auto audioRecords = Records(*Access::m_apFormatList(audio)[channel], 7 * kAudioBytesPerFrame);
        ASSERT_EQ(audioRecords.size(), 3u) << "channel " << channel;
        EXPECT_EQ(audioRecords[1].first, 3 * kAudioBytesPerFrame);
        EXPECT_EQ(audioRecords[2].first, 5 * kAudioBytesPerFrame);
        EXPECT_EQ(KeywordOf(audioRecords[1].second, kKeywordAudioSampleRate), "32000");
        EXPECT_EQ(audioRecords[2].second->GetFormatChangeBreak(), 1);
        EXPECT_EQ(audioRecords[1].second->GetFormatChangeBreak(), 0);
    }
    // Formats of incoming material never change the device's own.
    EXPECT_EQ(Access::m_eVideoFormat(*device_).load(), DIO_NTSC);
}

TEST_F(FormatDetectionTest, QueuesThatAreNotRunningGetNoRecords) {
    Access::m_pVideoIn(*device_)->SetState(VDMArmed);
    Access::m_pAudioIn(*device_)->SetState(VDMPrepared);
    cardsim::BuiltInTapeOptions ntsc48;
    auto frame = TapeFrame(ntsc48, 0);
    EXPECT_EQ(Deliver(frame), 2);
    DIOFormat* format = reinterpret_cast<DIOFormat*>(1);
    ULONG next = 0;
    Access::m_FormatList(*Access::m_pVideoIn(*device_)).GetNextFormatByteCount(100, &format, &next);
    EXPECT_EQ(format, nullptr);
    std::vector<uint8_t> nothing(144000, 0);
    EXPECT_EQ(Access::DetectAndProcessFormatChange(*device_, nothing.data(), &audio_, &video_), 1);
    EXPECT_EQ(audio_, DIO_NoAudioFormat);
    EXPECT_EQ(video_, DIO_NoVideoFormat);
}

}  // namespace
