#include "OracleSupport.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <sstream>

namespace oracle {

bool ToolsAvailable() {
    static const bool available =
        std::system("command -v ffmpeg >/dev/null 2>&1 && command -v ffprobe >/dev/null 2>&1") == 0;
    return available;
}

bool InCi() {
    const char* ci = std::getenv("CI");
    return ci != nullptr && std::strcmp(ci, "true") == 0;
}

ScratchDir::ScratchDir() {
    // create_directory is false for a folder that exists, so a name is never shared.
    std::random_device random;
    const std::filesystem::path base = std::filesystem::temp_directory_path();
    for (int attempt = 0; attempt < 100 && path_.empty(); ++attempt) {
        const std::filesystem::path candidate = base / ("dv25-oracle-" + std::to_string(random()));
        std::error_code error;
        if (std::filesystem::create_directory(candidate, error)) path_ = candidate.string();
    }
}

ScratchDir::~ScratchDir() {
    std::error_code ignored;
    if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
}

int Run(const std::string& command, std::string* errors) {
    ScratchDir scratch;
    const std::string errorFile = scratch.File("stderr");
    const int status = std::system((command + " 2>'" + errorFile + "'").c_str());
    if (errors != nullptr) {
        std::ifstream in(errorFile);
        errors->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    return status;
}

std::string Output(const std::string& command) {
    std::string text;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return text;
    char buffer[256];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) text.append(buffer, n);
    pclose(pipe);
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) text.pop_back();
    return text;
}

std::string Probe(const std::string& path, const std::string& entries) {
    return Output("ffprobe -v error -show_entries " + entries + " -of default=noprint_wrappers=1 '" + path + "' 2>&1");
}

std::vector<uint8_t> ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::vector<int16_t> Pcm(const std::vector<uint8_t>& bytes) {
    std::vector<int16_t> samples(bytes.size() / 2);
    for (size_t i = 0; i < samples.size(); ++i)
        samples[i] = static_cast<int16_t>(static_cast<uint16_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8)));
    return samples;
}

std::vector<int16_t> ReadPcm(const std::string& path) { return Pcm(ReadBytes(path)); }

std::vector<std::vector<uint8_t>> SplitFrames(const std::vector<uint8_t>& file) {
    std::vector<std::vector<uint8_t>> frames;
    size_t at = 0;
    while (at + 4 <= file.size()) {
        const size_t size = (file[at + 3] & 0x80) != 0 ? kDVFrameSizePAL : kDVFrameSizeNTSC;
        if (at + size > file.size()) break;
        frames.emplace_back(file.begin() + static_cast<std::ptrdiff_t>(at),
                            file.begin() + static_cast<std::ptrdiff_t>(at + size));
        at += size;
    }
    return frames;
}

std::vector<int16_t> Noise(size_t count, uint32_t seed) {
    std::vector<int16_t> out(count);
    uint32_t x = seed * 2654435761u + 12345;
    for (size_t i = 0; i < count; ++i) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        out[i] = static_cast<int16_t>(x >> 9);
    }
    return out;
}

bool FfmpegDv(const std::string& path, DIO_VideoFormat standard, const std::string& picture, const std::string& sound,
              const std::string& options, std::string* errors) {
    const bool pal = standard == DIO_PAL;
    const std::string video = picture + (picture.find('=') == std::string::npos ? "=" : ":") +
                              (pal ? "s=720x576:r=25" : "s=720x480:r=30000/1001");
    const int status = Run("ffmpeg -nostdin -v error -f lavfi -i '" + video + "' -f lavfi -i '" + sound + "' -target " +
                               (pal ? "pal-dv" : "ntsc-dv") + " " + options + " -y '" + path + "'",
                           errors);
    return status == 0;
}

std::vector<int16_t> FfmpegPcm(const std::string& dv, int stream, std::string* errors) {
    ScratchDir dir;
    const std::string pcm = dir.File("out.pcm");
    if (Run("ffmpeg -nostdin -v error -i '" + dv + "' -map 0:a:" + std::to_string(stream) + " -f s16le -y '" + pcm +
                "'",
            errors) != 0)
        return {};
    return ReadPcm(pcm);
}

void ExpectSamePcm(const std::vector<int16_t>& ours, const std::vector<int16_t>& theirs) {
    ASSERT_EQ(ours.size(), theirs.size());
    size_t mismatches = 0;
    for (size_t i = 0; i < ours.size() && mismatches < 5; ++i) {
        if (ours[i] == theirs[i]) continue;
        ++mismatches;
        ADD_FAILURE() << "sample " << i / 2 << " channel " << i % 2 << ": ours " << ours[i] << ", FFmpeg's "
                      << theirs[i];
    }
}

}  // namespace oracle
