// The same work side by side: the audio of a few thousand frames of one file, taken
// out as 16-bit PCM by the library and by `ffmpeg -f dv -i FILE -f s16le`. The
// "per_frame" counter is the time per frame of each.
#include "digitalio/DIOFifo.h"
#include "digitalio/DV25audioDeshuffler.h"
#include "hostcore/BitMask.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

// One NTSC 48 kHz file of about 2000 frames, encoded once by FFmpeg.
class ReferenceFile {
public:
    static ReferenceFile& Get() {
        static ReferenceFile file;
        return file;
    }
    bool ok() const { return !bytes_.empty(); }
    const std::string& path() const { return path_; }
    const std::string& onePath() const { return onePath_; }
    const std::vector<unsigned char>& bytes() const { return bytes_; }
    size_t frames() const { return bytes_.size() / 120000; }

    ~ReferenceFile() {
        std::error_code ignored;
        if (!dir_.empty()) std::filesystem::remove_all(dir_, ignored);
    }

private:
    ReferenceFile() {
        std::string pattern = (std::filesystem::temp_directory_path() / "dv25-bench-XXXXXX").string();
        std::vector<char> buffer(pattern.begin(), pattern.end());
        buffer.push_back('\0');
        if (mkdtemp(buffer.data()) == nullptr) return;
        dir_ = buffer.data();
        path_ = dir_ + "/reference.dv";
        const std::string command =
            "ffmpeg -nostdin -v error -f lavfi -t 66.8 -i 'color=black:s=720x480:r=30000/1001' "
            "-f lavfi -t 68 -i 'aevalsrc=random(0)*2-1|0.9*sin(2*PI*t*997):s=48000' -target ntsc-dv -y '" +
            path_ + "' 2>/dev/null";
        if (std::system(command.c_str()) != 0) return;
        bytes_ = Read(path_);
        // The first frame alone, to tell FFmpeg's start-up from its work per frame.
        onePath_ = dir_ + "/one-frame.dv";
        std::FILE* one = std::fopen(onePath_.c_str(), "wb");
        if (one == nullptr || bytes_.size() < 120000) {
            bytes_.clear();
        } else {
            std::fwrite(bytes_.data(), 1, 120000, one);
        }
        if (one != nullptr) std::fclose(one);
    }

public:
    static std::vector<unsigned char> Read(const std::string& path) {
        std::ifstream in(path, std::ios::binary | std::ios::ate);
        std::vector<unsigned char> bytes(static_cast<size_t>(std::max<std::streamoff>(in.tellg(), 0)));
        in.seekg(0);
        in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        return bytes;
    }

private:
    std::string dir_, path_, onePath_;
    std::vector<unsigned char> bytes_;
};

void SetPerFrame(benchmark::State& state, size_t frames) {
    state.counters["frames"] = static_cast<double>(frames);
    state.counters["per_frame"] = benchmark::Counter(static_cast<double>(frames),
                                                     benchmark::Counter::kIsIterationInvariantRate |
                                                         benchmark::Counter::kInvert);
}

// Deshuffles frames and interleaves both channels into one PCM buffer, the output
// FFmpeg produces.
class AudioExtractor {
public:
    AudioExtractor() : mask_(2) {
        for (int c = 0; c < 2; ++c) {
            memory_[c].resize(1 << 14);
            rings_[c].InitializeFifo(memory_[c].data(), 1 << 14, 0, 0, false, false, "Bench", false);
            array_[c] = &rings_[c];
            mask_.SetBit(c, 1);
        }
    }

    // Appends the frame's audio to `pcm` at `*out`.
    void Frame(const unsigned char* frame, std::vector<unsigned char>& pcm, size_t* out) {
        ULONG samples = 0;
        if (deshuffler_.DeShuffleAudio(const_cast<unsigned char*>(frame), &mask_, array_, &samples) != 0) return;
        rings_[0].CopyBytesFrom(channel_[0], samples * 2);
        rings_[1].CopyBytesFrom(channel_[1], samples * 2);
        unsigned char* dst = pcm.data() + *out;
        for (ULONG n = 0; n < samples; ++n) {
            std::memcpy(dst + 4 * n, channel_[0] + 2 * n, 2);
            std::memcpy(dst + 4 * n + 2, channel_[1] + 2 * n, 2);
        }
        *out += samples * 4;
    }

private:
    std::vector<unsigned char> memory_[2];
    DIOFifo rings_[2];
    DIOFifo* array_[2];
    BitMask mask_;
    DV25audioDeshuffler deshuffler_;
    unsigned char channel_[2][4000];
};

size_t ExtractAudio(const std::vector<unsigned char>& file, std::vector<unsigned char>& pcm) {
    AudioExtractor extractor;
    size_t out = 0;
    for (size_t at = 0; at + 120000 <= file.size(); at += 120000) extractor.Frame(file.data() + at, pcm, &out);
    return out;
}

// Reads the file frame by frame, as a streaming reader does.
size_t ExtractAudioFromFile(const std::string& path, std::vector<unsigned char>& pcm) {
    AudioExtractor extractor;
    std::vector<unsigned char> frame(120000);
    size_t out = 0;
    FILE* in = std::fopen(path.c_str(), "rb");
    if (in == nullptr) return 0;
    while (std::fread(frame.data(), 1, frame.size(), in) == frame.size()) extractor.Frame(frame.data(), pcm, &out);
    std::fclose(in);
    return out;
}

void BM_LibraryExtractAudio(benchmark::State& state) {
    ReferenceFile& file = ReferenceFile::Get();
    if (!file.ok()) {
        state.SkipWithError("ffmpeg could not make the reference file");
        return;
    }
    std::vector<unsigned char> pcm(file.frames() * 1620 * 4);
    for (auto _ : state) benchmark::DoNotOptimize(ExtractAudio(file.bytes(), pcm));
    SetPerFrame(state, file.frames());
}

// The same, reading the file from disk each time as FFmpeg does.
void BM_LibraryExtractAudioFromFile(benchmark::State& state) {
    ReferenceFile& file = ReferenceFile::Get();
    if (!file.ok()) {
        state.SkipWithError("ffmpeg could not make the reference file");
        return;
    }
    std::vector<unsigned char> pcm(file.frames() * 1620 * 4);
    for (auto _ : state) benchmark::DoNotOptimize(ExtractAudioFromFile(file.path(), pcm));
    SetPerFrame(state, file.frames());
}

void RunFfmpeg(benchmark::State& state, const std::string& path, size_t frames) {
    const std::string command = "ffmpeg -nostdin -v error -f dv -i '" + path + "' -f s16le -y /dev/null";
    for (auto _ : state) {
        if (std::system(command.c_str()) != 0) {
            state.SkipWithError("ffmpeg failed");
            return;
        }
    }
    SetPerFrame(state, frames);
}

void BM_FfmpegExtractAudio(benchmark::State& state) {
    ReferenceFile& file = ReferenceFile::Get();
    if (!file.ok()) {
        state.SkipWithError("ffmpeg could not make the reference file");
        return;
    }
    RunFfmpeg(state, file.path(), file.frames());
}

// FFmpeg on the first frame alone: its start-up, which the whole file's time includes.
void BM_FfmpegExtractAudioOneFrame(benchmark::State& state) {
    ReferenceFile& file = ReferenceFile::Get();
    if (!file.ok()) {
        state.SkipWithError("ffmpeg could not make the reference file");
        return;
    }
    RunFfmpeg(state, file.onePath(), 1);
}

}  // namespace

BENCHMARK(BM_LibraryExtractAudio)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_LibraryExtractAudioFromFile)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_FfmpegExtractAudio)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
BENCHMARK(BM_FfmpegExtractAudioOneFrame)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
