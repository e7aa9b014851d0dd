#include "WavFile.h"

#include <cerrno>
#include <cstring>
#include <vector>

namespace {

constexpr uint64_t kMaxDataBytes = 0xFFFFFFFFu - 36;  // RIFF length = 36 + data

void Put16(uint8_t* at, uint32_t value) {
    at[0] = static_cast<uint8_t>(value);
    at[1] = static_cast<uint8_t>(value >> 8);
}

void Put32(uint8_t* at, uint32_t value) {
    Put16(at, value & 0xFFFF);
    Put16(at + 2, value >> 16);
}

}  // namespace

WavFile::~WavFile() {
    std::string ignored;
    Close(&ignored);
}

bool WavFile::WriteHeader(uint32_t dataBytes) {
    uint8_t header[44];
    std::memcpy(header, "RIFF", 4);
    Put32(header + 4, 36 + dataBytes);
    std::memcpy(header + 8, "WAVEfmt ", 8);
    Put32(header + 16, 16);  // size of the format chunk
    Put16(header + 20, 1);   // integer PCM
    Put16(header + 22, static_cast<uint32_t>(channels_));
    Put32(header + 24, static_cast<uint32_t>(sampleRate_));
    Put32(header + 28, static_cast<uint32_t>(sampleRate_ * channels_ * 2));  // bytes per second
    Put16(header + 32, static_cast<uint32_t>(channels_ * 2));                // bytes per sample frame
    Put16(header + 34, 16);                                                  // bits per sample
    std::memcpy(header + 36, "data", 4);
    Put32(header + 40, dataBytes);
    return std::fseek(file_, 0, SEEK_SET) == 0 && std::fwrite(header, 1, sizeof header, file_) == sizeof header;
}

bool WavFile::Open(const std::string& path, int sampleRate, int channels, std::string* error) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        *error = "cannot write " + path + ": " + std::strerror(errno);
        return false;
    }
    return OpenOn(file, path, sampleRate, channels, error);
}

bool WavFile::UpdateHeader() {
    if (file_ == nullptr) return false;
    const bool written = WriteHeader(static_cast<uint32_t>(dataBytes_));
    return std::fseek(file_, 0, SEEK_END) == 0 && written && std::fflush(file_) == 0;
}

bool WavFile::OpenOn(std::FILE* file, const std::string& path, int sampleRate, int channels, std::string* error) {
    if (!Close(error)) {
        std::fclose(file);
        return false;
    }
    file_ = file;
    if (sampleRate <= 0 || channels <= 0 || channels > 64) {
        *error = "cannot write " + path + ": " + std::to_string(channels) + " channels at " +
                 std::to_string(sampleRate) + " Hz is not a WAV layout";
        std::fclose(file_);
        file_ = nullptr;
        return false;
    }
    path_ = path;
    sampleRate_ = sampleRate;
    channels_ = channels;
    dataBytes_ = 0;
    failed_ = false;
    if (!WriteHeader(0)) {
        *error = "cannot write " + path + ": " + std::strerror(errno);
        std::fclose(file_);
        file_ = nullptr;
        return false;
    }
    return true;
}

bool WavFile::Write(const int16_t* interleaved, int64_t frames, std::string* error) {
    if (file_ == nullptr) {
        *error = "no WAV file is open";
        return false;
    }
    if (frames <= 0) return true;
    const uint64_t samples = static_cast<uint64_t>(frames) * static_cast<uint64_t>(channels_);
    if (dataBytes_ + samples * 2 > kMaxDataBytes) {
        *error = "writing " + path_ + " failed: a WAV file holds at most 4 GiB of samples";
        return false;
    }
    // Little-endian on every system, whatever the machine's order.
    std::vector<uint8_t> bytes(samples * 2);
    for (uint64_t i = 0; i < samples; ++i) Put16(&bytes[i * 2], static_cast<uint16_t>(interleaved[i]));
    if (std::fwrite(bytes.data(), 1, bytes.size(), file_) != bytes.size()) {
        failed_ = true;
        *error = "writing " + path_ + " failed: " + std::strerror(errno);
        return false;
    }
    dataBytes_ += bytes.size();
    return true;
}

bool WavFile::Close(std::string* error) {
    if (file_ == nullptr) return true;
    const bool headerWritten = WriteHeader(static_cast<uint32_t>(dataBytes_));
    const bool closed = std::fclose(file_) == 0;
    file_ = nullptr;
    if (!headerWritten || !closed || failed_) {
        *error = "finishing " + path_ + " failed: " + std::strerror(errno);
        return false;
    }
    return true;
}
