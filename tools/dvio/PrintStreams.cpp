#include "PrintStreams.h"

#include "hostcore/BitMask.h"
#include "interface/ControlIds.h"

#include <cstring>

namespace {

constexpr LONG kPageSize = 4096;

}  // namespace

PrintStreams::PrintStreams(DigitalDevice* device, const PrintSource& source, int64_t frames, bool video, bool audio)
    : device_(device), source_(source), frames_(frames), video_(video), audio_(audio),
      samplesGiven_(source.channels.size(), 0) {}

PrintStreams::~PrintStreams() { End(); }

std::string PrintStreams::DeviceError() const {
    char text[256] = {};
    device_->GetControl(kControlLastError, text);
    return text[0] != '\0' ? text : "no reason given";
}

bool PrintStreams::Prepare(std::string* error) {
    LONG count = static_cast<LONG>(frames_);
    if (video_) {
        device_->NegotiateVideoOutPageSize(kPageSize);
        device_->NegotiateVideoOutBlockSize(kPageSize);
        const LONG frameSize = static_cast<LONG>(source_.frameSize);
        if (!device_->SetVideoOutRingBufferSize(frameSize * kVideoRingFrames) || !device_->PrepareVideoOut() ||
            !device_->SetControl(kControlFramesToPrint, &count)) {
            *error = "the device refused to prepare VideoOut (" + DeviceError() + ")";
            return false;
        }
        prepared_ = true;
    }
    if (audio_) {
        BitMask mask(static_cast<int>(source_.channels.size()));
        for (size_t c = 0; c < source_.channels.size(); ++c) mask.SetBit(static_cast<int>(c), 1);
        if (!device_->SetAudioOutRingBufferSize(kAudioRingBytes) || !device_->PrepareAudioOut(mask) ||
            !device_->SetControl(kControlAudioOutFramesToPrint, &count)) {
            *error = "the device refused to prepare AudioOut (" + DeviceError() + ")";
            return false;
        }
        prepared_ = true;
    }
    return true;
}

bool PrintStreams::Feed(std::string* error) {
    while (video_ && framesGiven_ < frames_) {
        const std::vector<uint8_t>& frame = source_.frames[static_cast<size_t>(framesGiven_)];
        const LONG size = static_cast<LONG>(frame.size());
        void* give = nullptr;
        const LONG granted = device_->ReqVideoOutGivePtr(size, 0, 0, size, &give);
        if (granted < size || give == nullptr) break;  // the ring is full for now
        std::memcpy(give, frame.data(), frame.size());
        device_->AckVideoOutGivePtr(size, 0);
        ++framesGiven_;
    }
    if (!audio_) return true;
    for (size_t c = 0; c < source_.channels.size(); ++c) {
        const std::vector<int16_t>& pcm = source_.channels[c];
        while (samplesGiven_[c] < pcm.size()) {
            const size_t samples = std::min(kAudioGiveSamples, pcm.size() - samplesGiven_[c]);
            const LONG size = static_cast<LONG>(samples * sizeof(int16_t));
            void* give = nullptr;
            const LONG granted = device_->ReqAudioOutGivePtr(size, 0, 0, size, &give, static_cast<int>(c));
            if (granted < size || give == nullptr) break;
            std::memcpy(give, pcm.data() + samplesGiven_[c], static_cast<size_t>(size));
            device_->AckAudioOutGivePtr(size, 0, static_cast<int>(c));
            samplesGiven_[c] += samples;
        }
    }
    (void)error;
    return true;
}

bool PrintStreams::Step(unsigned char (DigitalDevice::*video)(), unsigned char (DigitalDevice::*audio)(),
                        const char* what, std::string* error) {
    if (video_ && !(device_->*video)()) {
        *error = std::string("the device refused to ") + what + " VideoOut (" + DeviceError() + ")";
        return false;
    }
    if (audio_ && !(device_->*audio)()) {
        *error = std::string("the device refused to ") + what + " AudioOut (" + DeviceError() + ")";
        return false;
    }
    return true;
}

bool PrintStreams::Arm(std::string* error) {
    return Step(&DigitalDevice::ArmVideoOut, &DigitalDevice::ArmAudioOut, "arm", error);
}

bool PrintStreams::Start(std::string* error) {
    return Step(&DigitalDevice::StartVideoOut, &DigitalDevice::StartAudioOut, "start", error);
}

void PrintStreams::End() {
    if (!prepared_) return;
    prepared_ = false;
    if (video_) device_->TerminateVideoOut();
    if (audio_) device_->TerminateAudioOut();
}

LONG PrintStreams::FramesPlayed() const {
    return video_ ? device_->VideoOutCurrentFrame() : device_->AudioOutCurrentFrame();
}

OutputCounters PrintStreams::Counters() const {
    OutputCounters counters;
    LONG value[8] = {};  // the underrun record is larger than one count
    if (device_->GetControl(kControlVideoOutUnderruns, value)) counters.videoUnderruns = value[0];
    value[0] = 0;
    if (device_->GetControl(kControlAudioOutUnderruns, value)) counters.audioUnderruns = value[0];
    value[0] = 0;
    if (device_->GetControl(kControlErrorCount, value)) counters.errors = value[0];
    return counters;
}
