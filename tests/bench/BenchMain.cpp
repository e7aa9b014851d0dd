// Runs the benchmarks and closes with the ratio of FFmpeg's time per frame to the
// library's for the same audio extraction.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.run_type != Run::RT_Iteration || run.error_occurred) continue;
            const auto counter = run.counters.find("per_frame");
            if (counter == run.counters.end()) continue;
            const std::string name = run.benchmark_name();
            if (name.rfind("BM_FfmpegExtractAudio/", 0) == 0) {
                ffmpeg_ = counter->second.value;
                frames_ = run.counters.at("frames").value;
            }
            if (name.rfind("BM_FfmpegExtractAudioOneFrame", 0) == 0) ffmpegStartup_ = counter->second.value;
            if (name.rfind("BM_LibraryExtractAudio/", 0) == 0) library_ = counter->second.value;
            if (name.rfind("BM_LibraryExtractAudioFromFile", 0) == 0) libraryWithFile_ = counter->second.value;
        }
        ConsoleReporter::ReportRuns(runs);
    }

    void Finalize() override {
        ConsoleReporter::Finalize();
        if (ffmpeg_ > 0 && library_ > 0) {
            std::printf("\nAudio of one frame as PCM: library %.2f us, with the file read %.2f us, FFmpeg %.2f us\n",
                        library_ * 1e6, libraryWithFile_ * 1e6, ffmpeg_ * 1e6);
            std::printf("FFmpeg / library: %.1fx (in memory), %.1fx (both reading the file)\n", ffmpeg_ / library_,
                        libraryWithFile_ > 0 ? ffmpeg_ / libraryWithFile_ : 0.0);
            if (ffmpegStartup_ > 0 && frames_ > 1) {
                // FFmpeg's time for the whole file less its time for one frame.
                const double marginal = (ffmpeg_ * frames_ - ffmpegStartup_) / (frames_ - 1);
                std::printf("Without FFmpeg's start-up (%.1f ms): FFmpeg %.2f us per frame, %.1fx the library reading "
                            "the file\n",
                            ffmpegStartup_ * 1e3, marginal * 1e6,
                            libraryWithFile_ > 0 ? marginal / libraryWithFile_ : 0.0);
            }
        }
    }

private:
    double ffmpeg_ = 0, ffmpegStartup_ = 0, frames_ = 0, library_ = 0, libraryWithFile_ = 0;
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
