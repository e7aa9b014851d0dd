#include "CaptureFixture.h"

#include "device/DefaultFormat.h"
#include "sim/SimTime.h"

#include <algorithm>
#include <cstring>

using namespace dv1394;

namespace capture_test {

BitMask Channels(int bits, std::initializer_list<int> selected) {
    BitMask mask(bits);
    for (int channel : selected) mask.SetBit(channel, 1);
    return mask;
}

void CaptureFixture::OpenSession() { ASSERT_EQ(device_->GetNumberHostAdapters(), 1) << "the card session did not open"; }

void CaptureFixture::UseStandard(DIO_VideoFormat standard) {
    DIOFormat format(4);
    format.SetKeywordParameter(kKeywordVideoSignal, standard == DIO_PAL ? "PAL" : "NTSC");
    ASSERT_EQ(device_->SetControl(kControlDeviceFormat, &format), 1);
}

void CaptureFixture::PassFrames(int periods, DIO_VideoFormat standard) {
    // Quarter periods at a time, so that no step can carry two frames, until exactly
    // `periods` more frames reached the card. (The world's ticks keep the phase they
    // had under the standard it started with, so whole periods from now would not do.)
    const int64_t stepMicros = cardsim::FramePeriod(standard) / cardsim::kSimUnitsPerMicrosecond / 4;
    const uint64_t target = cardsim::GetCardCounters().framesArrived + static_cast<uint64_t>(periods);
    for (int steps = 0; cardsim::GetCardCounters().framesArrived < target; ++steps) {
        ASSERT_LT(steps, 8 * periods + 8) << "the deck delivers no frames";
        cardsim::AdvanceClock(stepMicros);
    }
}

LONG CaptureFixture::FramesReleased() {
    for (const cardsim::JournalEntry& entry : cardsim::JournalSince(journalMark_)) {
        journalMark_ = entry.sequence;
        if (entry.function == "PdvSetCapturedFrame" && entry.result != 0 && !entry.arguments.empty())
            released_ = static_cast<LONG>(entry.arguments[0]);
        if (entry.function == "PdvBeginCapture") released_ = 0;
    }
    return released_;
}

bool CaptureFixture::WaitForReleased(LONG count) {
    return WaitUntil([&] { return FramesReleased() >= count; });
}

void CaptureFixture::FeedFrames(int periods, DIO_VideoFormat standard) {
    // A few at a time: the card holds 32 frames, and more than 28 waiting means the
    // host fell behind.
    constexpr int kLargestBurst = 16;
    for (int left = periods; left > 0; left -= kLargestBurst) {
        const LONG before = FramesReleased();
        PassFrames(std::min(left, kLargestBurst), standard);
        const LONG stored = cardsim::GetCardCounters().capturedFrames;
        ASSERT_TRUE(WaitForReleased(stored))
            << "the capture thread took " << FramesReleased() - before << " of " << stored - before
            << " frames; last card calls:\n"
            << JournalTail(24);
    }
}

bool CaptureFixture::WaitForIdlePoll() {
    FramesReleased();
    const uint64_t after = journalMark_;
    return WaitUntil([&] {
        for (const cardsim::JournalEntry& entry : cardsim::JournalSince(after))
            if (entry.function == "PdvGetCapturedFrame") return true;
        return false;
    });
}

void CaptureFixture::Prepare(int streams, LONG frames, const BitMask& channels, LONG frameSize) {
    if (streams & kVideoIn) {
        ASSERT_EQ(device_->NegotiateVideoInPageSize(4096), 4096);
        ASSERT_EQ(device_->NegotiateVideoInBlockSize(4096), 4096);
        ASSERT_EQ(device_->SetVideoInRingBufferSize(frames * frameSize), 1);
        ASSERT_EQ(device_->PrepareVideoIn(), 1);
    }
    if (streams & kVideoConfidence) {
        ASSERT_EQ(device_->NegotiateVideoConfidencePageSize(4096), 4096);
        ASSERT_EQ(device_->NegotiateVideoConfidenceBlockSize(4096), 4096);
        ASSERT_EQ(device_->SetVideoConfidenceRingBufferSize(frames * frameSize), 1);
        ASSERT_EQ(device_->PrepareVideoConfidence(), 1);
    }
    if (streams & kAudioIn) {
        ASSERT_EQ(device_->NegotiateAudioInPageSize(4096), 4096);
        ASSERT_EQ(device_->SetAudioInRingBufferSize(frames * 3888), 1);
        ASSERT_EQ(device_->PrepareAudioIn(channels), 1);
    }
}

void CaptureFixture::Do(std::initializer_list<Step> steps, int streams) {
    CDV1394& d = *device_;
    const auto take = [&d](Step step, int stream) -> unsigned char {
        const bool video = stream == kVideoIn, monitor = stream == kVideoConfidence;
        switch (step) {
        case Step::Arm: return video ? d.ArmVideoIn() : monitor ? d.ArmVideoConfidence() : d.ArmAudioIn();
        case Step::Start: return video ? d.StartVideoIn() : monitor ? d.StartVideoConfidence() : d.StartAudioIn();
        case Step::Pause: return video ? d.PauseVideoIn() : monitor ? d.PauseVideoConfidence() : d.PauseAudioIn();
        case Step::Terminate:
            return video ? d.TerminateVideoIn() : monitor ? d.TerminateVideoConfidence() : d.TerminateAudioIn();
        }
        return 0;
    };
    for (Step step : steps) {
        for (int stream : {kVideoIn, kVideoConfidence, kAudioIn}) {
            if ((streams & stream) == 0) continue;
            ASSERT_EQ(Bounded("a capture stream step", [&] { return take(step, stream); }), 1)
                << "step " << static_cast<int>(step) << " of stream " << stream;
        }
    }
}

LONG CaptureFixture::ControlLong(LONG id) {
    LONG value = -12345;
    EXPECT_EQ(device_->GetControl(id, &value), 1) << std::hex << id;
    return value;
}

TimecodeDiscontinuity CaptureFixture::BreakRecord() {
    TimecodeDiscontinuity record{};
    EXPECT_EQ(device_->GetControl(kControlTimecodeBreak, &record), 1);
    return record;
}

std::string CaptureFixture::LastError() {
    char text[256] = "";
    device_->GetControl(kControlLastError, text);
    return text;
}

void CaptureFixture::SetStartTimecode(LONG frameCount, bool dropFrame, DWORD rate) {
    const timecodeDesc_t desc = TCCreateDesc(dropFrame ? 1 : 0, static_cast<unsigned short>(rate));
    timecode_t start = TCCreateDur(frameCount, &desc);
    ASSERT_EQ(device_->SetControl(kControlStartTimecode, &start), 1);
}


}  // namespace capture_test
