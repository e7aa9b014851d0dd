// The capture path at simulator speeds far above real time: the deck plays at `speed`
// times its frame rate while VideoIn, VideoConfidence and AudioIn run and two host
// threads drain them. For each speed: the frames per second delivered and whether any
// frame was lost on the way (by the card, or by a ring the thread could not fill in
// time). The highest speed without a loss is the rate the capture thread sustains.
// Run: build/bin/capture_bench
#include "device/CDV1394.h"
#include "KDXCORE.h"
#include "capture/HostTaker.h"
#include "sim/SimControl.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <thread>

namespace {

constexpr int kFrames = 900;           // frames the deck plays per run
constexpr LONG kRingFrames = 30;       // each ring holds this many frames
constexpr double kNtscRate = 30000.0 / 1001.0;
constexpr int kStartDrops = 7;         // frames dropped after a start without start timecode

LONG Released() {
    LONG released = 0;
    for (const cardsim::JournalEntry& entry : cardsim::JournalSince(0))
        if (entry.function == "PdvSetCapturedFrame" && !entry.arguments.empty())
            released = static_cast<LONG>(entry.arguments[0]);
    return released;
}

void BM_CaptureAtSpeed(benchmark::State& state) {
    const double speed = static_cast<double>(state.range(0));
    double delivered = 0, lost = 0, dropsByCard = 0, seconds = 0;
    for (auto _ : state) {
        cardsim::Reset();
        cardsim::SetJournalCapacity(1 << 20);
        cardsim::SetJournalFoldsRepeats(true);
        CDV1394* device = new CDV1394();
        if (device->GetNumberHostAdapters() != 1) {
            state.SkipWithError("the card session did not open");
            delete device;
            return;
        }
        cardsim::SetSpeed(speed);
        device->NegotiateVideoInPageSize(4096);
        device->NegotiateVideoConfidencePageSize(4096);
        device->SetVideoInRingBufferSize(kRingFrames * kDVFrameSizeNTSC);
        device->SetVideoConfidenceRingBufferSize(kRingFrames * kDVFrameSizeNTSC);
        device->SetAudioInRingBufferSize(kRingFrames * 3888);
        BitMask channels(2);
        channels.SetBit(0, 1);
        channels.SetBit(1, 1);
        device->PrepareVideoIn();
        device->PrepareVideoConfidence();
        device->PrepareAudioIn(channels);
        device->ArmVideoIn();
        device->ArmVideoConfidence();
        device->ArmAudioIn();

        using capture_test::StreamTaker;
        StreamTaker video = StreamTaker::VideoIn(device, 4 * kDVFrameSizeNTSC, 1);
        StreamTaker monitor = StreamTaker::VideoConfidence(device, 4 * kDVFrameSizeNTSC, 2);
        StreamTaker left = StreamTaker::AudioIn(device, 0, 1 << 16, 3);
        StreamTaker right = StreamTaker::AudioIn(device, 1, 1 << 16, 4);
        // A host passes the data on; keeping a whole capture in memory would slow it.
        for (StreamTaker* taker : {&video, &monitor, &left, &right}) taker->DiscardBytes();
        {
            capture_test::HostThread videoHost({&video, &monitor});
            capture_test::HostThread audioHost({&left, &right});
            device->StartVideoIn();
            device->StartVideoConfidence();
            device->StartAudioIn();
            const auto begin = std::chrono::steady_clock::now();
            cardsim::ParkDeck(0, DDC_STATE_PLAYBACK);
            while (cardsim::GetCardCounters().framesArrived < static_cast<uint64_t>(kFrames))
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            cardsim::ParkDeck(kFrames, DDC_STATE_STOP);
            const LONG stored = cardsim::GetCardCounters().capturedFrames;
            while (Released() < stored) std::this_thread::sleep_for(std::chrono::milliseconds(1));
            seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
            videoHost.StopAndDrain();
            audioHost.StopAndDrain();
        }
        const cardsim::CardCounters card = cardsim::GetCardCounters();
        delivered = static_cast<double>(video.Taken() / kDVFrameSizeNTSC);
        // Everything that arrived and was neither dropped at the start nor delivered.
        lost = static_cast<double>(card.framesArrived) - kStartDrops - delivered;
        dropsByCard = static_cast<double>(card.ringFullDrops);
        device->TerminateVideoIn();
        device->TerminateVideoConfidence();
        device->TerminateAudioIn();
        delete device;
        cardsim::SetSpeed(1);
    }
    state.counters["frames_per_s"] = delivered / seconds;
    state.counters["x_real_time"] = delivered / seconds / kNtscRate;
    state.counters["lost_frames"] = lost;
    state.counters["card_drops"] = dropsByCard;
}
BENCHMARK(BM_CaptureAtSpeed)
    ->Arg(8)
    ->Arg(16)
    ->Arg(32)
    ->Arg(40)
    ->Arg(48)
    ->Arg(56)
    ->Arg(64)
    ->Arg(96)
    ->Arg(128)
    ->Iterations(1)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
