// dvio print of a 60-second tape (FFmpeg's test picture and tones) as an insert edit,
// run as a user runs it, at simulator speeds from real time up: the wall time, the
// frames printed per second, whether the print stayed lossless (the tape read back holds
// every frame and sample where it belongs) and the underruns the device counted on the
// way. The highest speed whose `lossless` is 1 is the answer.
// Run: build/bin/dvio_print_bench
#include "OracleSupport.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

constexpr double kSeconds = 60;

const oracle::ScratchDir& Dir() {
    static oracle::ScratchDir dir;
    return dir;
}

bool MakeSource() {
    static const bool made = [] {
        std::string errors;
        return oracle::FfmpegDv(Dir().File("src.dv"), DIO_NTSC, "testsrc",
                                "aevalsrc=0.5*sin(2*PI*t*440)|0.4*sin(2*PI*t*1234+1):s=48000",
                                "-t " + std::to_string(kSeconds) + " -ac 2 -ar 48000", &errors);
    }();
    return made;
}

std::string Shell(const std::string& command) {
    std::string out;
    if (std::FILE* pipe = ::popen(command.c_str(), "r")) {
        char buffer[4096];
        for (size_t got; (got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, got);
        ::pclose(pipe);
    }
    return out;
}

void BM_DvioPrintSixtySeconds(benchmark::State& state) {
    if (!MakeSource()) {
        state.SkipWithError("FFmpeg could not make the source tape");
        return;
    }
    const double speed = static_cast<double>(state.range(0));
    const std::string dir = "cd '" + Dir().Path() + "' && ";
    bool lossless = true;
    double frames = 0, underruns = 0;
    for (auto _ : state) {
        state.PauseTiming();
        Shell(dir + "rm -f cass.dv && '" DVIO_PATH "' tape new cass.dv --seconds 75 >/dev/null");
        state.ResumeTiming();
        const std::string json = Shell(dir + "'" DVIO_PATH "' --tape cass.dv --speed " + std::to_string(speed) +
                                       " --json print src.dv --insert --in 00:00:05:00 2>/dev/null");
        state.PauseTiming();
        lossless = lossless && json.find("\"exact\":true") != std::string::npos;
        auto number = [&json](const std::string& key) {
            const size_t at = json.find("\"" + key + "\":");
            return at == std::string::npos ? 0.0 : std::atof(json.c_str() + at + key.size() + 3);
        };
        frames += number("sent");
        underruns += number("video_underruns") + number("audio_underruns");
        state.ResumeTiming();
    }
    state.counters["speed"] = speed;
    state.counters["lossless"] = lossless ? 1 : 0;
    state.counters["underruns"] = underruns;
    state.counters["frames_per_second"] = benchmark::Counter(frames, benchmark::Counter::kIsRate);
}

BENCHMARK(BM_DvioPrintSixtySeconds)->Arg(1)->Arg(2)->Arg(3)->Arg(4)->Arg(6)->Arg(8)->Iterations(1)
    ->Unit(benchmark::kSecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
