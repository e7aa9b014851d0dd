#include "PrintFixture.h"

#include "interface/FormatKeywords.h"
#include "digitalio/DVFrame.h"
#include "sim/SimControl.h"
#include "sim/SimTime.h"

#include <chrono>
#include <cstring>

namespace print_test {

Frame PictureFrame(ULONG number, DIO_VideoFormat standard) {
    DVFrame maker;
    unsigned char* made = maker.GenTestPatternFrame(standard, number);
    Frame frame(made, made + (standard == DIO_PAL ? kDVFrameSizePAL : kDVFrameSizeNTSC));
    delete[] made;
    return frame;
}

bool SamePicture(const Frame& a, const Frame& b) {
    if (a.size() < kDVFrameSizeNTSC || a.size() != b.size()) return false;
    // Each 12000-byte DIF sequence: header, 2 subcode, 3 VAUX, then 9 groups of one
    // audio block and 15 video blocks of 80 bytes.
    for (size_t sequence = 0; sequence < a.size() / 12000; ++sequence)
        for (size_t block = 7; block < 150; ++block) {
            const size_t at = sequence * 12000 + block * 80;
            if ((block - 6) % 16 != 0 && std::memcmp(&a[at], &b[at], 80) != 0) return false;
        }
    return true;
}

size_t SamplesOfFrames(int count) {
    size_t samples = 0;
    for (int frame = 0; frame < count; ++frame) samples += frame % 5 == 0 ? 1600 : 1602;
    return samples;
}

BitMask Stereo() {
    BitMask mask(2);
    mask.SetBit(0, 1);
    mask.SetBit(1, 1);
    return mask;
}

void PrintFixture::TearDown() {
    StopCardClock();
    DeviceFixture::TearDown();
}

void PrintFixture::OpenSession() {
    ASSERT_EQ(device_->GetNumberHostAdapters(), 1) << "the card session did not open";
    // The session's writability probe played a frame: the print's calls start here.
    cardsim::ClearJournal();
    log_.Clear();
}

void PrintFixture::StartCardClock() {
    cardsim::UseManualClock(true);
    stopClock_ = false;
    readyMark_ = 0;
    ready_ = 0;
    clock_ = std::thread([this] {
        const int64_t quarter = cardsim::FramePeriod(DIO_NTSC) / cardsim::kSimUnitsPerMicrosecond / 4;
        while (!stopClock_) {
            const bool playing = CardState() == PDV_STATE_PLAYING;
            if (playing && FramesMarkedReady() <= cardsim::GetCardCounters().playedFrames) {
                std::this_thread::sleep_for(std::chrono::microseconds(200));
                continue;
            }
            cardsim::AdvanceClock(quarter);
            if (!playing) std::this_thread::sleep_for(std::chrono::microseconds(250));
        }
    });
}

void PrintFixture::StopCardClock() {
    stopClock_ = true;
    if (clock_.joinable()) clock_.join();
}

void PrintFixture::SetUpEdit(int mode, int64_t position, LONG frames) {
    const timecodeDesc_t desc = TCCreateDesc(1, 30);
    ASSERT_EQ(device_->DeviceSetIn(TCCreateDur(static_cast<LONG>(position), &desc)), DDC_NoError);
    ASSERT_EQ(device_->DeviceSetOut(TCCreateDur(static_cast<LONG>(position + frames), &desc)), DDC_NoError);
    ASSERT_EQ(device_->DeviceSetEditMode(static_cast<DeviceEditMode_t>(mode)), DDC_NoError);
    cardsim::ParkDeck(position, DDC_STATE_PLAYBACK_PAUSE);
    ASSERT_EQ(device_->DevicePerform(), DDC_NoError);
    cardsim::UseManualClock(true);
}

void PrintFixture::PrepareVideo(LONG frames, LONG framesToPrint, DIO_VideoFormat standard) {
    ASSERT_EQ(device_->NegotiateVideoOutPageSize(4096), 4096);
    ASSERT_EQ(device_->NegotiateVideoOutBlockSize(4096), 4096);
    const LONG frameSize = static_cast<LONG>(standard == DIO_PAL ? kDVFrameSizePAL : kDVFrameSizeNTSC);
    ASSERT_EQ(device_->SetVideoOutRingBufferSize(frames * frameSize), 1);
    ASSERT_EQ(device_->PrepareVideoOut(), 1);
    ASSERT_EQ(device_->SetControl(kControlFramesToPrint, &framesToPrint), 1);
}

void PrintFixture::PrepareAudio(LONG frames, LONG framesToPrint) {
    ASSERT_EQ(device_->SetAudioOutRingBufferSize(frames * 1602 * 2), 1);
    ASSERT_EQ(device_->PrepareAudioOut(Stereo()), 1);
    ASSERT_EQ(device_->SetControl(kControlAudioOutFramesToPrint, &framesToPrint), 1);
}

void PrintFixture::GiveVideo(const std::vector<Frame>& frames) {
    for (const Frame& frame : frames) {
        const LONG size = static_cast<LONG>(frame.size());
        void* give = nullptr;
        ASSERT_EQ(device_->ReqVideoOutGivePtr(size, 0, 0, size, &give), size) << "the ring is full";
        std::memcpy(give, frame.data(), frame.size());
        device_->AckVideoOutGivePtr(size, 0);
    }
}

void PrintFixture::GiveAudio(int channel, const std::vector<int16_t>& samples) {
    const LONG size = static_cast<LONG>(samples.size() * sizeof(int16_t));
    void* give = nullptr;
    ASSERT_EQ(device_->ReqAudioOutGivePtr(size, 0, 0, size, &give, channel), size) << "the ring is full";
    std::memcpy(give, samples.data(), static_cast<size_t>(size));
    device_->AckAudioOutGivePtr(size, 0, channel);
}

std::vector<Frame> PrintFixture::GivePictures(LONG count, DIO_VideoFormat standard) {
    std::vector<Frame> frames;
    for (LONG k = 1; k <= count; ++k) frames.push_back(PictureFrame(static_cast<ULONG>(k), standard));
    GiveVideo(frames);
    return frames;
}

unsigned char PrintFixture::Take(Streams stream, Step step) {
    CDV1394& d = *device_;
    const bool video = stream == kVideo;
    return Bounded("an output stream step", [&]() -> unsigned char {
        switch (step) {
        case Step::Arm: return video ? d.ArmVideoOut() : d.ArmAudioOut();
        case Step::Start: return video ? d.StartVideoOut() : d.StartAudioOut();
        case Step::Pause: return video ? d.PauseVideoOut() : d.PauseAudioOut();
        case Step::Abort: return video ? d.AbortVideoOut() : d.AbortAudioOut();
        case Step::Terminate: return video ? d.TerminateVideoOut() : d.TerminateAudioOut();
        }
        return 0;
    });
}

void PrintFixture::Do(int streams, Step step, unsigned char result) {
    for (Streams stream : {kVideo, kAudio}) {
        if ((streams & stream) == 0) continue;
        EXPECT_EQ(Take(stream, step), result) << (stream == kVideo ? "VideoOut" : "AudioOut");
    }
}

void PrintFixture::SetStartTimecode(LONG frameCount) {
    const timecodeDesc_t desc = TCCreateDesc(1, 30);
    timecode_t start = TCCreateDur(frameCount, &desc);
    ASSERT_EQ(device_->SetControl(kControlStartTimecode, &start), 1);
}

LONG PrintFixture::ControlLong(LONG id) {
    LONG value[4] = {};
    EXPECT_EQ(device_->GetControl(id, value), 1) << std::hex << id;
    return value[0];
}

std::string PrintFixture::LastError() {
    char text[256] = {};
    device_->GetControl(kControlLastError, text);
    return text;
}

bool PrintFixture::WaitForPlayed(LONG count) {
    return WaitUntil([&] { return cardsim::GetCardCounters().playedFrames >= count; }, 30);
}

std::vector<int64_t> PrintFixture::ReadyMarks() {
    std::vector<int64_t> marks;
    for (const cardsim::JournalEntry& entry : CallsTo("PdvSetPlaybackFrame")) marks.push_back(entry.arguments.at(0));
    return marks;
}

Frame PrintFixture::TapeFrame(int64_t position) {
    Frame frame;
    cardsim::ReadTapeFrame(position, &frame);
    return frame;
}

LONG PrintFixture::CardState() { return cardsim::GetCardStatus().driverState; }

LONG PrintFixture::FramesMarkedReady() {
    for (const cardsim::JournalEntry& entry : cardsim::JournalSince(readyMark_)) {
        readyMark_ = entry.sequence;
        if (entry.result == 0) continue;
        if (entry.function == "PdvBeginPlayback2" || entry.function == "PdvBeginPlayback") ready_ = 0;
        if (entry.function == "PdvSetPlaybackFrame") ready_ = static_cast<LONG>(entry.arguments.at(0));
    }
    return ready_;
}

}  // namespace print_test
