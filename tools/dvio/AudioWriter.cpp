#include "AudioWriter.h"

#include "DeckClock.h"

AudioWriter::AudioWriter(HostStreams* streams, const std::string& wavPath)
    : streams_(streams),
      wav_(wavPath),
      take_(streams->Device(), HostStreams::kAudioChannels),
      audio_(&take_, &wav_) {}

void AudioWriter::Restart() {
    take_ = AudioTake(streams_->Device(), HostStreams::kAudioChannels);
    audio_ = CaptureAudio(&take_, &wav_);
    delivery_ = DeliveryCount();
}

bool AudioWriter::Pump(std::string* error) {
    ReadDeliveryCount();
    return audio_.Pump(error);
}

// The device's count of what it delivered tells how many samples it gave the first
// frame.
void AudioWriter::ReadDeliveryCount() {
    LONG frames = 0, samples = 0;
    if (!streams_->DeliveredAudio(&frames, &samples)) return;
    delivery_.Offer(frames, samples, audio_.FrameSamples());
    if (!audio_.FirstFrameKnown() && delivery_.FirstFrame()) audio_.SetFirstFrameSamples(*delivery_.FirstFrame());
}

int64_t AudioWriter::Drain(std::chrono::steady_clock::time_point deadline, std::vector<std::string>* notes) {
    std::string error;
    while (audio_.Owed() > 0 && std::chrono::steady_clock::now() < deadline) {
        if (!Pump(&error)) {
            notes->push_back(error);
            break;
        }
        if (audio_.Owed() > 0) SleepPoll();
    }
    if (!audio_.FirstFrameKnown() && !audio_.FrameSamples().empty()) {
        // Too short a capture for the device to have counted twice: trust one count,
        // or else the frame's own.
        audio_.SetFirstFrameSamples(delivery_.Guess().value_or(audio_.FrameSamples().front()));
        audio_.Pump(&error);
    }
    if (audio_.FirstFrameSilenced()) {
        notes->push_back(
            "the device delivered silence for the first frame (it takes the first frame at a start timecode as a "
            "repeat of it): the WAV holds silence there");
    }
    // A frame the device took as a repeat of the one before gets silence of another
    // length: the sound after it would be out of step with the pictures.
    LONG countedFrames = 0;
    int64_t delivered = 0, carried = 0;
    if (delivery_.Mismatch(&countedFrames, &delivered, &carried)) {
        notes->push_back("the device delivered " + std::to_string(delivered) + " samples for " +
                         std::to_string(countedFrames) + " frames that carry " + std::to_string(carried) +
                         ": the sound may be out of step with the pictures after a repeated timecode");
    }
    return audio_.Owed();
}
