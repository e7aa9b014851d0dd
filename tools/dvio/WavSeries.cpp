#include "WavSeries.h"

#include <fcntl.h>
#include <sndfile.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace {

// The longest a file's header may lag behind the samples in it.
constexpr std::chrono::seconds kHeaderInterval{1};

}  // namespace

WavSeries::WavSeries(std::string firstPath) : firstPath_(std::move(firstPath)) {}

WavSeries::~WavSeries() {
    if (file_ != nullptr) sf_close(file_);
    if (reservedFd_ >= 0) close(reservedFd_);
}

bool WavSeries::Reserve(std::string* error) {
    if (Discards() || reservedFd_ >= 0 || !files_.empty()) return true;
    reservedFd_ = open(firstPath_.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (reservedFd_ < 0) {
        *error = "cannot write " + firstPath_ + ": " + std::strerror(errno);
        return false;
    }
    return true;
}

std::string WavSeries::NumberedPath(const std::string& firstPath, int n) {
    if (n <= 1) return firstPath;
    const size_t slash = firstPath.rfind('/');
    const size_t dot = firstPath.rfind('.');
    // A leading dot names a hidden file, not an extension.
    const size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    const bool hasExtension = dot != std::string::npos && dot > nameStart;
    const std::string suffix = "-" + std::to_string(n);
    if (!hasExtension) return firstPath + suffix;
    return firstPath.substr(0, dot) + suffix + firstPath.substr(dot);
}

bool WavSeries::Use(int sampleRate, int channels, int64_t firstFrame, const std::string& firstTimecode,
                    std::string* error) {
    if (Discards()) return true;
    if (file_ != nullptr && files_.back().sampleRate == sampleRate && files_.back().channels == channels) return true;
    if (file_ != nullptr && !Close(error)) return false;

    File entry;
    entry.path = NumberedPath(firstPath_, static_cast<int>(files_.size()) + 1);
    entry.sampleRate = sampleRate;
    entry.channels = channels;
    entry.firstFrame = firstFrame;
    entry.firstTimecode = firstTimecode;

    SF_INFO info{};
    info.samplerate = sampleRate;
    info.channels = channels;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    if (files_.empty() && reservedFd_ >= 0) {
        file_ = sf_open_fd(reservedFd_, SFM_WRITE, &info, SF_TRUE);
        if (file_ != nullptr) reservedFd_ = -1;
    } else {
        file_ = sf_open(entry.path.c_str(), SFM_WRITE, &info);
    }
    if (file_ == nullptr) {
        *error = "cannot write " + entry.path + ": " + sf_strerror(nullptr);
        return false;
    }
    files_.push_back(entry);
    // The header written at the open describes no samples at all yet; written again
    // now it is a valid empty file.
    sf_command(file_, SFC_UPDATE_HEADER_NOW, nullptr, 0);
    headerWritten_ = std::chrono::steady_clock::now();
    return true;
}

bool WavSeries::Write(const int16_t* interleaved, int64_t frames, std::string* error) {
    if (Discards()) return true;
    if (file_ == nullptr) {
        *error = "no WAV file is open";
        return false;
    }
    if (frames <= 0) return true;
    const sf_count_t written = sf_writef_short(file_, interleaved, frames);
    if (written != frames) {
        *error = "writing " + files_.back().path + " failed: " + sf_strerror(file_);
        return false;
    }
    files_.back().samples += frames;
    if (std::chrono::steady_clock::now() - headerWritten_ >= kHeaderInterval) {
        sf_command(file_, SFC_UPDATE_HEADER_NOW, nullptr, 0);
        headerWritten_ = std::chrono::steady_clock::now();
    }
    return true;
}

bool WavSeries::Close(std::string* error) {
    if (reservedFd_ >= 0) {
        // Reserved but never given audio: no file is better than an empty one.
        close(reservedFd_);
        reservedFd_ = -1;
        unlink(firstPath_.c_str());
    }
    if (file_ == nullptr) return true;
    const int result = sf_close(file_);
    file_ = nullptr;
    if (result != 0) {
        *error = "finishing " + files_.back().path + " failed: " + sf_error_number(result);
        return false;
    }
    return true;
}
