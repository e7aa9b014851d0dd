#include "WavSeries.h"

#include <sndfile.h>

WavSeries::WavSeries(std::string firstPath) : firstPath_(std::move(firstPath)) {}

WavSeries::~WavSeries() {
    if (file_ != nullptr) sf_close(file_);
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
    if (file_ != nullptr && files_.back().sampleRate == sampleRate && files_.back().channels == channels) return true;
    if (!Close(error)) return false;

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
    file_ = sf_open(entry.path.c_str(), SFM_WRITE, &info);
    if (file_ == nullptr) {
        *error = "cannot write " + entry.path + ": " + sf_strerror(nullptr);
        return false;
    }
    files_.push_back(entry);
    return true;
}

bool WavSeries::Write(const int16_t* interleaved, int64_t frames, std::string* error) {
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
    return true;
}

bool WavSeries::Close(std::string* error) {
    if (file_ == nullptr) return true;
    const int result = sf_close(file_);
    file_ = nullptr;
    if (result != 0) {
        *error = "finishing " + files_.back().path + " failed: " + sf_error_number(result);
        return false;
    }
    return true;
}
