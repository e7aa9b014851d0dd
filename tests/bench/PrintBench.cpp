// Frame assembly for print to tape: one DV frame from the VideoOut ring with the audio
// of two AudioOut channels shuffled in, the timecode stamped and the frame handed to
// the card's playback ring, as the record thread does for every frame it sends.
// Reported as frames per second and as a multiple of real time (29.97 frames a
// second). Run: build/bin/print_bench
#include "device/CDV1394.h"
#include "KDXCORE.h"
#include "digitalio/DVFrame.h"
#include "interface/ControlIds.h"
#include "PluginTestAccess.h"
#include "sim/SimControl.h"
#include "sim/SimTime.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

namespace {

constexpr double kNtscRate = 30000.0 / 1001.0;
constexpr LONG kRingFrames = 4;

void Give(CDV1394& device, const unsigned char* frame, const std::vector<int16_t>& samples, ULONG samplesNow) {
    void* give = nullptr;
    const LONG size = static_cast<LONG>(kDVFrameSizeNTSC);
    if (device.ReqVideoOutGivePtr(size, 0, 0, size, &give) == size) {
        std::memcpy(give, frame, kDVFrameSizeNTSC);
        device.AckVideoOutGivePtr(size, 0);
    }
    const LONG bytes = static_cast<LONG>(samplesNow * sizeof(int16_t));
    for (int channel : {0, 1})
        if (device.ReqAudioOutGivePtr(bytes, 0, 0, bytes, &give, channel) == bytes) {
            std::memcpy(give, samples.data(), static_cast<size_t>(bytes));
            device.AckAudioOutGivePtr(bytes, 0, channel);
        }
}

void BM_QueueAFrameVideoAndTwoChannels(benchmark::State& state) {
    cardsim::Reset();
    CDV1394* device = new CDV1394();
    if (device->GetNumberHostAdapters() != 1) {
        state.SkipWithError("the card session did not open");
        delete device;
        return;
    }
    cardsim::UseManualClock(true);
    BitMask channels(2);
    channels.SetBit(0, 1);
    channels.SetBit(1, 1);
    LONG unlimited = -1;
    device->NegotiateVideoOutPageSize(4096);
    device->NegotiateVideoOutBlockSize(4096);
    device->SetVideoOutRingBufferSize(kRingFrames * static_cast<LONG>(kDVFrameSizeNTSC));
    device->SetAudioOutRingBufferSize(kRingFrames * 1602 * 2);
    device->PrepareVideoOut();
    device->PrepareAudioOut(channels);
    device->SetControl(kControlFramesToPrint, &unlimited);
    device->SetControl(kControlAudioOutFramesToPrint, &unlimited);
    // The second Arm opens multi-frame play (nothing to preload yet); the card is then
    // started here rather than by the record loop, so that this thread assembles.
    device->ArmVideoOut();
    device->ArmAudioOut();
    if (!PdvStartPlayback()) {
        state.SkipWithError("the card did not start");
        delete device;
        return;
    }
    DVFrame maker;
    unsigned char* frame = maker.GenTestPatternFrame(DIO_NTSC, 1);
    const std::vector<int16_t> samples(1602, 1234);
    const int64_t period = cardsim::FramePeriod(DIO_NTSC) / cardsim::kSimUnitsPerMicrosecond;
    ULONG number = 0;
    for (auto _ : state) {
        state.PauseTiming();
        ++number;
        Give(*device, frame, samples, number % 5 == 1 ? 1600 : 1602);
        state.ResumeTiming();
        benchmark::DoNotOptimize(PluginTestAccess::QueueAFrame(*device));
        state.PauseTiming();
        cardsim::AdvanceClock(period);  // the card plays one frame for every frame queued
        state.ResumeTiming();
    }
    state.counters["frames_per_s"] = benchmark::Counter(static_cast<double>(state.iterations()),
                                                        benchmark::Counter::kIsRate);
    state.counters["x_real_time"] = benchmark::Counter(static_cast<double>(state.iterations()) / kNtscRate,
                                                       benchmark::Counter::kIsRate);
    delete[] frame;
    device->TerminateAudioOut();
    device->TerminateVideoOut();
    delete device;
    cardsim::UseManualClock(false);
}
BENCHMARK(BM_QueueAFrameVideoAndTwoChannels)->Unit(benchmark::kMicrosecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
