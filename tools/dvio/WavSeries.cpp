#include "WavSeries.h"


WavSeries::WavSeries(std::string firstPath) : firstPath_(std::move(firstPath)) {}

WavSeries::~WavSeries() = default;

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
    if (file_.IsOpen() && files_.back().sampleRate == sampleRate && files_.back().channels == channels) return true;
    if (!Close(error)) return false;

    File entry;
    entry.path = NumberedPath(firstPath_, static_cast<int>(files_.size()) + 1);
    entry.sampleRate = sampleRate;
    entry.channels = channels;
    entry.firstFrame = firstFrame;
    entry.firstTimecode = firstTimecode;

    if (!file_.Open(entry.path, sampleRate, channels, error)) return false;
    files_.push_back(entry);
    return true;
}

bool WavSeries::Write(const int16_t* interleaved, int64_t frames, std::string* error) {
    if (!file_.Write(interleaved, frames, error)) return false;
    if (frames > 0) files_.back().samples += frames;
    return true;
}

bool WavSeries::Close(std::string* error) {
    return file_.Close(error);
}
