#include "HostStreams.h"

#include "interface/ControlIds.h"

#include <cstring>

namespace {


// What dvio asks for; the device answers what it takes.
constexpr LONG kPageSize = 4096;

BitMask AllChannels() {
    BitMask mask(HostStreams::kAudioChannels);
    for (int c = 0; c < HostStreams::kAudioChannels; ++c) mask.SetBit(c, 1);
    return mask;
}

}  // namespace

HostStreams::~HostStreams() {
    if (prepared_) End();
}

std::string HostStreams::Failure(const std::string& what) const {
    const std::string detail = DeviceError();
    return "the device refused to " + what + (detail.empty() ? "" : " (it reports \"" + detail + "\")");
}

bool HostStreams::Configure(LONG frameSize, std::string* error) {
    const LONG page = device_->NegotiateVideoInPageSize(kPageSize);
    const LONG block = device_->NegotiateVideoInBlockSize(kPageSize);
    if (page < 1 || block < 1 || !device_->SetVideoInRingBufferSize(frameSize * kVideoRingFrames)) {
        *error = Failure("give VideoIn a ring buffer of " + std::to_string(kVideoRingFrames) + " frames");
        return false;
    }
    device_->NegotiateAudioInPageSize(kPageSize);
    device_->NegotiateAudioInBlockSize(kPageSize);
    if (!device_->SetAudioInRingBufferSize(kAudioRingBytes)) {
        *error = Failure("size the AudioIn ring buffers");
        return false;
    }
    return true;
}

bool HostStreams::Prepare(std::string* error) {
    if (!device_->PrepareVideoIn()) {
        *error = Failure("prepare VideoIn");
        return false;
    }
    prepared_ = true;
    if (!device_->PrepareAudioIn(AllChannels())) {
        *error = Failure("prepare AudioIn");
        return false;
    }
    return true;
}

bool HostStreams::SetStartTimecode(const timecode_t& start, std::string* error) {
    timecode_t value = start;
    if (!device_->SetControl(kControlStartTimecode, &value)) {
        *error = Failure("take the start timecode");
        return false;
    }
    return true;
}

bool HostStreams::Arm(std::string* error) {
    if (!device_->ArmVideoIn()) {
        *error = Failure("arm VideoIn");
        return false;
    }
    if (!device_->ArmAudioIn()) {
        *error = Failure("arm AudioIn");
        return false;
    }
    return true;
}

bool HostStreams::Start(std::string* error) {
    if (!device_->StartVideoIn()) {
        *error = Failure("start VideoIn");
        return false;
    }
    if (!device_->StartAudioIn()) {
        *error = Failure("start AudioIn");
        return false;
    }
    return true;
}

void HostStreams::End() {
    if (device_->VideoInGetState() == VDMRunning) device_->PauseVideoIn();
    if (device_->AudioInGetState() == VDMRunning) device_->PauseAudioIn();
    device_->TerminateVideoIn();
    device_->TerminateAudioIn();
    prepared_ = false;
}

InputCounters HostStreams::Counters() const {
    InputCounters counters;
    device_->GetControl(kControlVideoInOverruns, &counters.videoOverruns);
    device_->GetControl(kControlAudioInOverruns, &counters.audioOverruns);
    device_->GetControl(kControlErrorCount, &counters.errors);
    LONG missed = 0;
    device_->GetControl(kControlStartMissed, &missed);
    counters.startMissed = missed != 0;
    device_->GetControl(kControlTimecodeBreak, &counters.discontinuity);
    return counters;
}

bool HostStreams::DeliveredAudio(LONG* frames, LONG* samples) const {
    // Frames, samples, then the start time in two words. The words are updated one by
    // one, so a reading counts only when the next one agrees with it.
    LONG first[4] = {}, second[4] = {};
    if (!device_->GetControl(kControlAudioInMeasurement, first) ||
        !device_->GetControl(kControlAudioInMeasurement, second))
        return false;
    if (first[0] != second[0] || first[1] != second[1] || first[0] < 1) return false;
    *frames = first[0];
    *samples = first[1];
    return true;
}

bool HostStreams::SignalPresent() const {
    LONG present = 0;
    return device_->GetControl(kControlSignalPresent, &present) && present != 0;
}

std::string HostStreams::DeviceError() const {
    // The control has no declared size: the text fits the device's 256 bytes.
    char text[257] = {};
    if (!device_->GetControl(kControlLastError, text)) return "";
    text[256] = '\0';
    return text;
}
