#include "WavSeries.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

// The longest a file's header may lag behind the samples in it.
constexpr std::chrono::seconds kHeaderInterval{1};

}  // namespace

WavSeries::WavSeries(std::string firstPath) : firstPath_(std::move(firstPath)) {}

WavSeries::~WavSeries() {
    std::string ignored;
    Close(&ignored);
}

bool WavSeries::Reserve(std::string* error) {
    if (Discards() || firstPath_.empty() || reserved_ != nullptr || !files_.empty()) return true;
    reserved_ = std::fopen(firstPath_.c_str(), "wb");
    if (reserved_ == nullptr) {
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
    if (!segments_.empty() && firstFrame >= segments_.front().firstFrame) {
        if (file_.IsOpen() && !Close(error)) return false;
        while (segments_.size() > 1 && firstFrame >= segments_[1].firstFrame) segments_.pop_front();
        firstPath_ = segments_.front().firstPath;
        segmentStart_ = files_.size();
        segments_.pop_front();
    }
    if (firstPath_.empty()) return true;
    if (file_.IsOpen() && files_.back().sampleRate == sampleRate && files_.back().channels == channels) return true;
    if (file_.IsOpen() && !Close(error)) return false;

    File entry;
    entry.path = NumberedPath(firstPath_, static_cast<int>(files_.size() - segmentStart_) + 1);
    entry.sampleRate = sampleRate;
    entry.channels = channels;
    entry.firstFrame = firstFrame;
    entry.firstTimecode = firstTimecode;

    bool opened;
    if (files_.empty() && reserved_ != nullptr) {
        opened = file_.OpenOn(reserved_, entry.path, sampleRate, channels, error);
        reserved_ = nullptr;
    } else {
        opened = file_.Open(entry.path, sampleRate, channels, error);
    }
    if (!opened) return false;
    files_.push_back(entry);
    // The header written at the open is already a valid empty file.
    headerWritten_ = std::chrono::steady_clock::now();
    return true;
}

void WavSeries::FollowFrom(int64_t firstFrame, const std::string& firstPath) {
    follows_ = true;
    segments_.push_back({firstFrame, firstPath});
}

bool WavSeries::Write(const int16_t* interleaved, int64_t frames, std::string* error) {
    if (Discards() || firstPath_.empty()) return true;
    if (!file_.Write(interleaved, frames, error)) return false;
    if (frames <= 0) return true;
    files_.back().samples += frames;
    if (std::chrono::steady_clock::now() - headerWritten_ >= kHeaderInterval) {
        file_.UpdateHeader();
        headerWritten_ = std::chrono::steady_clock::now();
    }
    return true;
}

bool WavSeries::Close(std::string* error) {
    if (reserved_ != nullptr) {
        // Reserved but never given audio: no file is better than an empty one.
        std::fclose(reserved_);
        reserved_ = nullptr;
        std::remove(firstPath_.c_str());
    }
    return file_.Close(error);
}
