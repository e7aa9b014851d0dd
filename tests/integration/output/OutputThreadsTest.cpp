// Two host threads drive the two output streams through whole prints at once while a
// third polls states and controls. Steps may be refused (the order of two threads
// decides which stream does the shared work) but each is answered within its wait,
// nothing is freed under the record thread (ThreadSanitizer watches), and both streams
// end idle with the card out of multi-frame play.
#include "PrintFixture.h"

#include "sim/SimControl.h"

#include <cstring>

namespace print_test {
namespace {

constexpr LONG kFrames = 8;

TEST_F(PrintFixture, TwoStreamsFromTwoThreadsWithAPollingThird) {
    OpenSession();
    cardsim::SetSpeed(20);  // frames pass quickly; nothing here depends on how many
    const Frame picture = PictureFrame(1);
    const std::vector<int16_t> samples(SamplesOfFrames(kFrames), 9);
    auto print = [&](Streams stream) {
        CDV1394& d = *device_;
        const bool video = stream == kVideo;
        const LONG count = kFrames;
        const LONG frameBytes = static_cast<LONG>(picture.size());
        const LONG audioBytes = static_cast<LONG>(samples.size() * sizeof(int16_t));
        void* to = nullptr;
        for (int round = 0; round < 2; ++round) {
            if (video) d.NegotiateVideoOutPageSize(4096);
            const bool prepared = video ? d.SetVideoOutRingBufferSize(kFrames * frameBytes) && d.PrepareVideoOut()
                                        : d.SetAudioOutRingBufferSize(audioBytes) && d.PrepareAudioOut(Stereo());
            if (prepared) {
                d.SetControl(video ? kControlFramesToPrint : kControlAudioOutFramesToPrint, const_cast<LONG*>(&count));
                for (int k = 0; video && k < kFrames; ++k) {
                    if (d.ReqVideoOutGivePtr(frameBytes, 0, 0, frameBytes, &to) != frameBytes) break;
                    std::memcpy(to, picture.data(), picture.size());
                    d.AckVideoOutGivePtr(frameBytes, 0);
                }
                for (int channel = 0; !video && channel < 2; ++channel) {
                    if (d.ReqAudioOutGivePtr(audioBytes, 0, 0, audioBytes, &to, channel) != audioBytes) continue;
                    std::memcpy(to, samples.data(), static_cast<size_t>(audioBytes));
                    d.AckAudioOutGivePtr(audioBytes, 0, channel);
                }
                Take(stream, Step::Arm);
                Take(stream, Step::Start);
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
                Take(stream, video ? Step::Pause : Step::Abort);
            }
            EXPECT_EQ(Take(stream, Step::Terminate), 1);
        }
    };
    std::atomic<bool> done{false};
    std::thread poller([&] {
        unsigned char unlocked = 0;
        LONG value[4] = {};
        char text[256] = {};
        while (!done) {
            device_->VideoOutGetState();
            device_->VideoOutCurrentFrame();
            device_->AudioOutCurrentFrame();
            for (LONG id : {kControlErrorCount, kControlVideoOutUnderruns, kControlAudioOutUnderruns})
                device_->GetControl(id, value);
            device_->GetControl(kControlLastError, text);
            device_->SetControl(kControlAudioLocked, &unlocked);
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    });
    std::thread videoHost(print, kVideo);
    std::thread audioHost(print, kAudio);
    videoHost.join();
    audioHost.join();
    done = true;
    poller.join();

    EXPECT_EQ(device_->VideoOutGetState(), VDMIdle);
    EXPECT_EQ(device_->AudioOutGetState(), VDMIdle);
    EXPECT_EQ(CardState(), PDV_STATE_IDLE);
}

}  // namespace
}  // namespace print_test
