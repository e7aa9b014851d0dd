#include "CaptureAudio.h"

#include <algorithm>

void CaptureAudio::AddFrame(int64_t index, const DvFrameFacts& facts, const std::string& timecode) {
    if (!facts.audioReadable) return;  // the device delivers no audio for such a frame
    const int rate = SampleRateOf(facts.audioRate);
    if (!segments_.empty() && segments_.back().sampleRate == rate && segments_.back().channels == facts.audioChannels) {
        segments_.back().owed += facts.samples;
        return;
    }
    segments_.push_back({rate, facts.audioChannels, index, timecode, facts.samples, 0});
}

bool CaptureAudio::Pump(std::string* error) {
    take_->Pump();
    while (!segments_.empty()) {
        Segment& segment = segments_.front();
        const int64_t count = std::min(segment.owed - segment.written, take_->Available());
        if (count > 0) {
            if (!wav_->Use(segment.sampleRate, segment.channels, segment.firstFrame, segment.firstTimecode, error))
                return false;
            buffer_.clear();
            take_->Pop(count, segment.channels, &buffer_);
            if (!wav_->Write(buffer_.data(), count, error)) return false;
            segment.written += count;
            written_ += count;
        }
        // A finished segment gives way only to the next one: more frames may extend it.
        if (segment.written < segment.owed || segments_.size() == 1) break;
        segments_.pop_front();
    }
    return true;
}

int64_t CaptureAudio::Owed() const {
    int64_t owed = 0;
    for (const Segment& segment : segments_) owed += segment.owed - segment.written;
    return owed;
}
