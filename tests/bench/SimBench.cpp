// What the simulated card and deck cost per frame and per call, so that a test or
// benchmark at high simulator speed knows where its time goes.
// Run: build/bin/sim_bench
#include "KDXCORE.h"
#include "KordexDDC.h"
#include "digitalio/DV25Timecode.h"
#include "digitalio/DVFrame.h"
#include "hostcore/Timecode.h"
#include "sim/SimControl.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int64_t kNtscPeriodMicros = 33367;  // one 525/60 frame period, rounded up

void FreshSession() {
    cardsim::Reset();
    cardsim::UseManualClock(true);
    KDXOpen(0, 1, 0);
    DevInitialize();
}

// A .dv file of `count` 525/60 frames with continuous drop-frame timecode.
std::string MakeFile(int count) {
    const std::string path =
        (std::filesystem::temp_directory_path() / ("sim_bench_" + std::to_string(count) + ".dv")).string();
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    DVFrame generator;
    DV25Timecode writer;
    const timecodeDesc_t desc = TCCreateDesc(1, 30);
    std::unique_ptr<unsigned char[]> frame(generator.GenTestPatternFrame(DIO_NTSC, 0));
    for (int i = 0; i < count; ++i) {
        writer.InsertTimecode(frame.get(), TCCreateDur(i, &desc), DIO_NTSC, false);
        out.write(reinterpret_cast<const char*>(frame.get()), kDVFrameSizeNTSC);
    }
    return path;
}

void BM_BuiltInFrameGeneration(benchmark::State& state) {
    cardsim::Reset();
    std::vector<uint8_t> frame;
    int64_t position = 0;
    for (auto _ : state) {
        cardsim::ReadTapeFrame(position++ % 30000, &frame);
        benchmark::DoNotOptimize(frame.data());
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_BuiltInFrameGeneration)->Unit(benchmark::kMicrosecond);

// One captured frame: a frame period passes, the host finds, reads and releases it.
void CaptureLoop(benchmark::State& state) {
    cardsim::ParkDeck(0, DDC_STATE_PLAYBACK);
    PdvBeginCapture();
    PdvStartCapture();
    LONG taken = 0;
    for (auto _ : state) {
        cardsim::AdvanceClock(kNtscPeriodMicros);
        const LONG counter = PdvGetCapturedFrame();
        for (; taken < counter; ++taken) benchmark::DoNotOptimize(PdvGetCapturedFrameAddr(taken)[1000]);
        PdvSetCapturedFrame(taken);
        if (cardsim::GetDeckStatus().position > 1000) cardsim::ParkDeck(0, DDC_STATE_PLAYBACK);
    }
    state.SetItemsProcessed(state.iterations());
}

void BM_CaptureFromBuiltInTape(benchmark::State& state) {
    FreshSession();
    CaptureLoop(state);
}
BENCHMARK(BM_CaptureFromBuiltInTape)->Unit(benchmark::kMicrosecond);

void BM_CaptureFromFile(benchmark::State& state) {
    const std::string path = MakeFile(1200);
    FreshSession();
    cardsim::LoadTapeFile(path);
    CaptureLoop(state);
    cardsim::Reset();
    std::remove(path.c_str());
}
BENCHMARK(BM_CaptureFromFile)->Unit(benchmark::kMicrosecond);

// One printed frame: the host fills a slot, a frame period passes, the deck records it.
void BM_PlaybackAndRecordFrame(benchmark::State& state) {
    FreshSession();
    DVFrame generator;
    std::unique_ptr<unsigned char[]> frame(generator.GenTestPatternFrame(DIO_NTSC, 1));
    PdvBeginPlayback();
    PdvStartPlayback();
    cardsim::ParkDeck(0, DDC_STATE_RECORD);
    LONG index = 0;
    for (auto _ : state) {
        std::memcpy(PdvGetPlaybackFrameAddr(index), frame.get(), kDVFrameSizeNTSC);
        PdvSetPlaybackFrame(++index);
        cardsim::AdvanceClock(kNtscPeriodMicros);
        // Keep recording over the same stretch so the recorded frames do not pile up.
        if (index % 100 == 0) cardsim::ParkDeck(0, DDC_STATE_RECORD);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_PlaybackAndRecordFrame)->Unit(benchmark::kMicrosecond);

void BM_AVCTimecodeStatus(benchmark::State& state) {
    FreshSession();
    cardsim::ParkDeck(1000, DDC_STATE_PLAYBACK_PAUSE);
    BYTE command[8] = {0x71, 0x51, 0x20, 0x01, 0xFF, 0xFF, 0xFF, 0xFF}, response[8];
    for (auto _ : state) {
        ULONG length = 8;
        benchmark::DoNotOptimize(KDXSendGenericAVCCommand(0, 0, 4, 8, 8, command, &length, response));
    }
}
BENCHMARK(BM_AVCTimecodeStatus);

void BM_DeckTimecodeFromFile(benchmark::State& state) {
    const std::string path = MakeFile(100);
    FreshSession();
    cardsim::LoadTapeFile(path);
    cardsim::ParkDeck(50, DDC_STATE_PLAYBACK_PAUSE);
    LONG h, m, s, f;
    for (auto _ : state) benchmark::DoNotOptimize(DevGetTimecode(&h, &m, &s, &f, 100));
    cardsim::Reset();
    std::remove(path.c_str());
}
BENCHMARK(BM_DeckTimecodeFromFile);

// The worst case of a search: a timecode break defeats the guess, and the whole tape
// is read for the label.
void BM_SearchWholeFile(benchmark::State& state) {
    const int frames = static_cast<int>(state.range(0));
    const std::string path = MakeFile(frames);
    FreshSession();
    cardsim::LoadTapeFile(path);
    cardsim::AddTimecodeBreak(frames - 10, 5000);
    cardsim::TapeTimecode label;
    cardsim::TapeTimecodeAt(frames - 1, &label);
    for (auto _ : state) benchmark::DoNotOptimize(cardsim::FindTapeTimecode(label));
    state.SetItemsProcessed(state.iterations() * frames);
    cardsim::Reset();
    std::remove(path.c_str());
}
BENCHMARK(BM_SearchWholeFile)->Arg(3000)->Unit(benchmark::kMillisecond);

void BM_OpenFileCassette(benchmark::State& state) {
    const int frames = static_cast<int>(state.range(0));
    const std::string path = MakeFile(frames);
    cardsim::Reset();
    for (auto _ : state) benchmark::DoNotOptimize(cardsim::LoadTapeFile(path));
    state.SetItemsProcessed(state.iterations() * frames);
    cardsim::Reset();
    std::remove(path.c_str());
}
BENCHMARK(BM_OpenFileCassette)->Arg(3000)->Unit(benchmark::kMillisecond);

// An hour of simulated time with the deck playing and nobody capturing, and with
// nothing moving at all.
void BM_HourOfPlay(benchmark::State& state) {
    FreshSession();
    for (auto _ : state) {
        cardsim::ParkDeck(0, DDC_STATE_PLAYBACK);
        cardsim::AdvanceClock(3600LL * 1000000);
    }
}
BENCHMARK(BM_HourOfPlay)->Unit(benchmark::kMillisecond);

void BM_IdleHour(benchmark::State& state) {
    FreshSession();
    for (auto _ : state) cardsim::AdvanceClock(3600LL * 1000000);
}
BENCHMARK(BM_IdleHour);

}  // namespace

BENCHMARK_MAIN();
