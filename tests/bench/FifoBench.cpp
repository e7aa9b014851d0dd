// The ring every stream goes through: one DV frame in and out, by the copy calls and
// by the request/acknowledge regions the host uses.
#include "digitalio/DIOFifo.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace {

constexpr ULONG kFrame = 120000;

void BM_FifoCopyFrameThrough(benchmark::State& state) {
    const bool gaps = state.range(0) != 0;
    std::vector<unsigned char> ring(kFrame * 10 + 4096), frame(kFrame, 0x5A), out(kFrame);
    DIOFifo fifo;
    fifo.InitializeFifo(ring.data(), static_cast<unsigned>(ring.size()), 0, 0, gaps, gaps, "bench", false);
    for (auto _ : state) {
        fifo.WriteBytesInto(frame.data(), kFrame, gaps);
        benchmark::DoNotOptimize(gaps ? fifo.CopyAChunkFrom(out.data(), kFrame) : fifo.CopyBytesFrom(out.data(), kFrame));
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kFrame);
}
BENCHMARK(BM_FifoCopyFrameThrough)->Arg(0)->Arg(1)->ArgName("gaps");

void BM_FifoRegionsWithoutCopy(benchmark::State& state) {
    std::vector<unsigned char> ring(kFrame * 10 + 4096);
    DIOFifo fifo;
    fifo.InitializeFifo(ring.data(), static_cast<unsigned>(ring.size()), 0, 0, true, true, "bench", false);
    unsigned char* region = nullptr;
    for (auto _ : state) {
        fifo.AckGivePtr(fifo.ReqGivePtr(kFrame, 0, &region));
        fifo.AckTakePtr(fifo.ReqTakePtr(kFrame, &region));
    }
}
BENCHMARK(BM_FifoRegionsWithoutCopy);

}  // namespace
