#include "WavReader.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

namespace {

uint32_t Le32(const unsigned char* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
           static_cast<uint32_t>(p[3]) << 24;
}

uint16_t Le16(const unsigned char* p) {
    return static_cast<uint16_t>(p[0] | p[1] << 8);
}

constexpr uint16_t kFormatPcm = 1;
constexpr uint16_t kFormatExtensible = 0xFFFE;

}  // namespace

bool ReadWavFile(const std::string& path, WavContents* contents, std::string* error) {
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"), std::fclose);
    if (!file) {
        *error = "cannot read " + path + ": " + std::strerror(errno);
        return false;
    }
    unsigned char riff[12];
    if (std::fread(riff, 1, sizeof riff, file.get()) != sizeof riff || std::memcmp(riff, "RIFF", 4) != 0 ||
        std::memcmp(riff + 8, "WAVE", 4) != 0) {
        *error = path + " is not a WAV file";
        return false;
    }
    bool haveFormat = false;
    *contents = WavContents{};
    // Chunks in any order; "fmt " must come before "data", as every writer puts it.
    for (;;) {
        unsigned char header[8];
        if (std::fread(header, 1, sizeof header, file.get()) != sizeof header) break;
        const uint32_t size = Le32(header + 4);
        if (std::memcmp(header, "fmt ", 4) == 0) {
            unsigned char format[16];
            if (size < sizeof format || std::fread(format, 1, sizeof format, file.get()) != sizeof format) break;
            const uint16_t tag = Le16(format);
            const uint16_t bits = Le16(format + 14);
            if ((tag != kFormatPcm && tag != kFormatExtensible) || bits != 16) {
                *error = path + " holds " + std::to_string(bits) + "-bit audio of format " + std::to_string(tag) +
                         "; only 16-bit PCM can be printed";
                return false;
            }
            contents->channels = Le16(format + 2);
            contents->sampleRate = static_cast<int>(Le32(format + 4));
            haveFormat = contents->channels > 0;
            if (std::fseek(file.get(), static_cast<long>(size - sizeof format + (size & 1)), SEEK_CUR) != 0) break;
        } else if (std::memcmp(header, "data", 4) == 0 && haveFormat) {
            // A length the file does not hold (a capture cut short) reads what is there.
            const size_t frameBytes = 2 * static_cast<size_t>(contents->channels);
            std::vector<unsigned char> bytes(size);
            const size_t got = std::fread(bytes.data(), 1, bytes.size(), file.get());
            const size_t samples = got / frameBytes * static_cast<size_t>(contents->channels);
            contents->interleaved.resize(samples);
            for (size_t i = 0; i < samples; ++i) contents->interleaved[i] = static_cast<int16_t>(Le16(&bytes[2 * i]));
            return true;
        } else if (std::fseek(file.get(), static_cast<long>(size + (size & 1)), SEEK_CUR) != 0) {
            break;
        }
    }
    *error = path + " has no readable " + std::string(haveFormat ? "data" : "format") + " chunk";
    return false;
}
