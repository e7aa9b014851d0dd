#include "CaptureAudio.h"

#include <algorithm>

void CaptureAudio::AddFrame(const DvFrameFacts& facts, bool written, int64_t index, const std::string& timecode) {
    const bool first = frameSamples_.empty();
    frameSamples_.push_back(facts.samples);
    Entry entry{};
    // A frame whose audio the device cannot read reaches the rings without samples.
    entry.consume = !facts.audioReadable ? 0 : first && !firstKnown_ ? -1 : int64_t{facts.samples};
    entry.written = written && facts.audioReadable;
    entry.sampleRate = SampleRateOf(facts.audioRate);
    entry.channels = facts.audioChannels;
    entry.write = entry.written ? int64_t{facts.samples} : 0;
    entry.index = index;
    entry.timecode = timecode;
    entries_.push_back(entry);
}

void CaptureAudio::SetFirstFrameSamples(int64_t samples) {
    if (firstKnown_) return;
    firstKnown_ = true;
    if (!entries_.empty() && entries_.front().consume < 0) {
        Entry& entry = entries_.front();
        entry.consume = samples;
        // A count other than the frame's own means the device put silence there.
        if (entry.written && (samples != entry.write || expectSilence_)) {
            entry.silence = true;
            firstSilenced_ = true;
        }
    }
}

bool CaptureAudio::Pump(std::string* error) {
    take_->Pump();
    while (!entries_.empty()) {
        Entry& entry = entries_.front();
        if (entry.consume < 0) break;  // the first frame's count is not known yet
        if (entry.written && entry.wrote < entry.write &&
            !wav_->Use(entry.sampleRate, entry.channels, entry.index, entry.timecode, error))
            return false;
        if (entry.silence) {
            const int64_t count = entry.write - entry.wrote;
            buffer_.assign(static_cast<size_t>(count * entry.channels), 0);
            if (count > 0 && !wav_->Write(buffer_.data(), count, error)) return false;
            entry.wrote = entry.write;
            const int64_t dropped = std::min(entry.consume - entry.consumed, take_->Available());
            buffer_.clear();
            take_->Pop(dropped, 0, &buffer_);
            entry.consumed += dropped;
        } else {
            const int64_t count = std::min(entry.consume - entry.consumed, take_->Available());
            if (count > 0) {
                buffer_.clear();
                take_->Pop(count, entry.written ? entry.channels : 0, &buffer_);
                if (entry.written && !wav_->Write(buffer_.data(), count, error)) return false;
                entry.consumed += count;
                if (entry.written) entry.wrote += count;
            }
        }
        if (entry.consumed < entry.consume) break;
        entries_.pop_front();
    }
    return true;
}

int64_t CaptureAudio::Owed() const {
    int64_t owed = 0;
    for (const Entry& entry : entries_) owed += entry.write - entry.wrote;
    return owed;
}
