// What one frame costs the capture and record threads: deshuffling, reshuffling,
// reading, searching and stamping the timecode, and building a black frame.
#include "digitalio/DIOFifo.h"
#include "digitalio/DV25Timecode.h"
#include "digitalio/DV25audioDeshuffler.h"
#include "digitalio/DV25audioReshuffler.h"
#include "digitalio/DVFrame.h"
#include "digitalio/USampsInFrame.h"
#include "hostcore/BitMask.h"
#include "hostcore/Timecode.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

namespace {

constexpr unsigned kRingBytes = 1u << 22;  // a thousand frames of one channel

struct Rings {
    std::vector<unsigned char> memory[4];
    DIOFifo fifo[4];
    DIOFifo* array[4];
    BitMask mask{4};
    explicit Rings(int channels) {
        for (int c = 0; c < 4; ++c) {
            memory[c].resize(kRingBytes);
            for (size_t i = 0; i < kRingBytes; ++i) memory[c][i] = static_cast<unsigned char>(i * 31 + c);
            fifo[c].InitializeFifo(memory[c].data(), kRingBytes, 0, 0, false, false, "Bench", false);
            array[c] = &fifo[c];
            if (c < channels) mask.SetBit(c, 1);
        }
    }
};

DIO_VideoFormat StandardOf(const benchmark::State& state) { return state.range(0) == 2 ? DIO_PAL : DIO_NTSC; }
DIO_AudioFormat RateOf(const benchmark::State& state) { return static_cast<DIO_AudioFormat>(state.range(1)); }
int ChannelsOf(DIO_AudioFormat rate) { return rate == DIO_Audio32000 ? 4 : 2; }

// A black frame of the standard with one frame of noise reshuffled into it.
std::unique_ptr<unsigned char[]> FrameWithAudio(DIO_VideoFormat standard, DIO_AudioFormat rate) {
    std::unique_ptr<unsigned char[]> frame(DVFrame().GenBlackFrame(standard));
    Rings rings(ChannelsOf(rate));
    for (int c = 0; c < 4; ++c) rings.fifo[c].WriteBytesInto(rings.memory[c].data(), 8192, false);
    DV25audioReshuffler(rate, standard).ReShuffleAudio(frame.get(), 2, &rings.mask, rings.array);
    return frame;
}

void BM_DeShuffleAudio(benchmark::State& state) {
    const DIO_VideoFormat standard = StandardOf(state);
    const DIO_AudioFormat rate = RateOf(state);
    auto frame = FrameWithAudio(standard, rate);
    Rings rings(ChannelsOf(rate));
    DV25audioDeshuffler deshuffler;
    ULONG samples = 0;
    for (auto _ : state) {
        if (rings.fifo[0].GetQAvail() < 8192) {
            for (auto& f : rings.fifo) f.ResetFifo();
        }
        benchmark::DoNotOptimize(deshuffler.DeShuffleAudio(frame.get(), &rings.mask, rings.array, &samples));
    }
    state.SetItemsProcessed(state.iterations());
}

void BM_ReShuffleAudio(benchmark::State& state) {
    const DIO_VideoFormat standard = StandardOf(state);
    const DIO_AudioFormat rate = RateOf(state);
    std::unique_ptr<unsigned char[]> frame(DVFrame().GenBlackFrame(standard));
    Rings rings(ChannelsOf(rate));
    DV25audioReshuffler reshuffler(rate, standard);
    ULONG n = 1;
    for (auto _ : state) {
        if (rings.fifo[0].GetQDepth() < 8192) {
            state.PauseTiming();
            for (int c = 0; c < 4; ++c) {
                rings.fifo[c].ResetFifo();
                rings.fifo[c].WriteBytesInto(rings.memory[c].data(), kRingBytes, false);
            }
            state.ResumeTiming();
        }
        benchmark::DoNotOptimize(reshuffler.ReShuffleAudio(frame.get(), n++, &rings.mask, rings.array));
    }
    state.SetItemsProcessed(state.iterations());
}

void BM_GetTimecode(benchmark::State& state) {
    std::unique_ptr<unsigned char[]> frame(DVFrame().GenBlackFrame(StandardOf(state)));
    DV25Timecode timecode;
    TimeCode record;
    bool dropFrame;
    for (auto _ : state) benchmark::DoNotOptimize(timecode.GetTimecode(frame.get(), &record, &dropFrame));
    state.SetItemsProcessed(state.iterations());
}

void BM_LookForTimeCode(benchmark::State& state) {
    std::unique_ptr<unsigned char[]> frame(DVFrame().GenBlackFrame(StandardOf(state)));
    const timecodeDesc_t desc = TCCreateDesc(1, 30);
    DV25Timecode timecode;
    for (auto _ : state) {
        timecode_t wanted = TCCreateDur(0, &desc);
        benchmark::DoNotOptimize(timecode.LookForTimeCode(frame.get(), &wanted, 1));
    }
    state.SetItemsProcessed(state.iterations());
}

void BM_InsertTimecode(benchmark::State& state) {
    const DIO_VideoFormat standard = StandardOf(state);
    std::unique_ptr<unsigned char[]> frame(DVFrame().GenBlackFrame(standard));
    const timecodeDesc_t desc = standard == DIO_PAL ? TCCreateDesc(0, 25) : TCCreateDesc(1, 30);
    DV25Timecode timecode;
    LONG count = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(timecode.InsertTimecode(frame.get(), TCCreateDur(count++ % 2000000, &desc), standard,
                                                         false));
    }
    state.SetItemsProcessed(state.iterations());
}

void BM_GenBlackFrame(benchmark::State& state) {
    const DIO_VideoFormat standard = StandardOf(state);
    DVFrame generator;
    for (auto _ : state) {
        std::unique_ptr<unsigned char[]> frame(generator.GenBlackFrame(standard));
        benchmark::DoNotOptimize(frame.get());
    }
    state.SetItemsProcessed(state.iterations());
}

void AudioModes(benchmark::internal::Benchmark* b) {
    b->ArgNames({"standard", "rate"});
    for (int standard : {1, 2}) {
        for (int rate : {1, 2, 3}) b->Args({standard, rate});
    }
}

void Standards(benchmark::internal::Benchmark* b) {
    b->ArgName("standard");
    b->Arg(1)->Arg(2);
}

}  // namespace

BENCHMARK(BM_DeShuffleAudio)->Apply(AudioModes);
BENCHMARK(BM_ReShuffleAudio)->Apply(AudioModes);
BENCHMARK(BM_GetTimecode)->Apply(Standards);
BENCHMARK(BM_LookForTimeCode)->Apply(Standards);
BENCHMARK(BM_InsertTimecode)->Apply(Standards);
BENCHMARK(BM_GenBlackFrame)->Apply(Standards);
