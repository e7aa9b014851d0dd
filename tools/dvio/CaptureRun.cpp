#include "CaptureRun.h"

#include "DeckClock.h"
#include "DeckCommand.h"
#include "HostWords.h"
#include "StopSignal.h"
#include "TestTape.h"
#include "VideoTake.h"

namespace {

constexpr LONG kControlDeviceFormat = 0xb00008;

}  // namespace

CaptureRun::CaptureRun(PluginHost& host, const CaptureRequest& request)
    : device_(host.Device()),
      request_(request),
      deck_(device_),
      streams_(device_),
      wav_(request.wavPath.empty() ? DefaultWavPath(request.dvPath) : request.wavPath),
      audioTake_(device_, InputStreams::kAudioChannels),
      audio_(&audioTake_, &wav_),
      status_(stderr) {}

timecodeDesc_t CaptureRun::DeckDescription() const {
    return TCCreateDesc(dropFrame_ ? 1 : 0, static_cast<unsigned short>(fps_));
}

std::optional<CaptureFailure> CaptureRun::Run() {
    started_ = Clock::now();
    if (auto failure = Plan()) return failure;
    if (auto failure = UseStandard()) return failure;
    std::string error;
    if (!dv_.Open(request_.dvPath, &error)) return CaptureFailure{error};
    report_.dvPath = request_.dvPath;
    deck_.SetInterruption(&StopSignal::Requested);
    if (auto failure = Cue()) {
        if (!StopSignal::Requested()) return failure;
        // Ctrl-C while the deck cues: nothing was captured, and that is what was asked.
        deck_.Transport(&DigitalDevice::DeviceStop);
        report_.ended = "by Ctrl-C, before the capture began";
        return CaptureFailure{"stopped by Ctrl-C while the deck was cueing; nothing was captured", kExitOk};
    }
    if (auto failure = FollowStandardAtStart()) return failure;
    if (auto failure = StartStreams()) {
        Finish();
        return failure;
    }
    std::optional<CaptureFailure> failure = Take();
    Finish();
    return failure;
}

// Reads the deck's rate and checks the timecodes and the end condition against it.
std::optional<CaptureFailure> CaptureRun::Plan() {
    const DDCError_t rateError = deck_.FrameRate(&fps_, &dropFrame_);
    if (rateError != DDC_NoError) {
        return CaptureFailure{"the deck does not answer (" + DDCErrorText(rateError) +
                              "): is a device connected and a cassette loaded?"};
    }
    if (!request_.standard.empty())
        standard_ = request_.standard == "pal" ? DIO_PAL : DIO_NTSC;
    else
        standard_ = fps_ == 25 ? DIO_PAL : DIO_NTSC;
    frameSize_ = FrameSizeOf(standard_);

    std::string error;
    for (auto [text, slot, name] :
         {std::make_tuple(&request_.from, &from_, "--from"), std::make_tuple(&request_.to, &to_, "--to")}) {
        if (text->empty()) continue;
        TimecodeArg tc;
        if (!ParseTimecodeArg(*text, &tc, &error) || !CheckTimecodeArg(tc, fps_, dropFrame_, &error))
            return CaptureFailure{std::string(name) + ": " + error, kExitUsage};
        if (dropFrame_) SkipDroppedLabel(&tc);
        *slot = tc;
    }
    if (from_ && to_) {
        const timecodeDesc_t desc = DeckDescription();
        if (TCDiffModDay(ToTimecode(*from_, desc), ToTimecode(*to_, desc)) <= 0)
            return CaptureFailure{"--to " + request_.to + " must come after --from " + request_.from, kExitUsage};
    }
    if (request_.frames >= 0) frameLimit_ = request_.frames;
    if (request_.seconds >= 0) frameLimit_ = FramesInSeconds(standard_, request_.seconds);
    if (frameLimit_ == 0) return CaptureFailure{"there is nothing to capture in 0 frames", kExitUsage};
    return std::nullopt;
}

// The device captures in one standard: the one asked for, or the one the deck plays.
std::optional<CaptureFailure> CaptureRun::UseStandard() {
    DIOFormat current(4);
    const std::string wanted = standard_ == DIO_PAL ? "PAL" : "NTSC";
    if (device_->GetControl(kControlDeviceFormat, &current) && FormatValue(current, "VSIG") == wanted)
        return std::nullopt;
    DIOFormat format(4);
    format.SetKeywordParameter(FourCC("VSIG"), wanted.c_str());
    if (!device_->SetControl(kControlDeviceFormat, &format))
        return CaptureFailure{"the device refused to capture " + wanted + " (" + streams_.DeviceError() + ")"};
    return std::nullopt;
}

// A tape may change standard part-way: unless the command line chose one, the
// standard at the start decides.
std::optional<CaptureFailure> CaptureRun::FollowStandardAtStart() {
    if (!from_ || !request_.standard.empty()) return std::nullopt;
    int fps = fps_;
    bool dropFrame = dropFrame_;
    if (deck_.RefreshFrameRate(&fps, &dropFrame) != DDC_NoError || fps == fps_) return std::nullopt;
    fps_ = fps;
    dropFrame_ = dropFrame;
    standard_ = fps == 25 ? DIO_PAL : DIO_NTSC;
    frameSize_ = FrameSizeOf(standard_);
    report_.startTimecode = TimecodeText(ToTimecode(*from_, DeckDescription()));
    return UseStandard();
}

// Collects the audio still owed, ends the streams, stops the deck and closes the files.
void CaptureRun::Finish() {
    const Clock::time_point deadline = Clock::now() + DeckToReal(2.0) + std::chrono::milliseconds(200);
    std::string error;
    while (audio_.Owed() > 0 && Clock::now() < deadline) {
        ReadDeliveryCount();
        if (!audio_.Pump(&error)) {
            report_.notes.push_back(error);
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
    report_.audioSamplesMissing = audio_.Owed();
    if (audio_.FirstFrameSilenced()) {
        report_.notes.push_back(
            "the device delivered silence for the first frame (it takes the first frame at a start timecode as a "
            "repeat of it): the WAV holds silence there");
    }
    // A frame the device took as a repeat of the one before gets silence of another
    // length: the sound after it would be out of step with the pictures.
    LONG countedFrames = 0;
    int64_t delivered = 0, carried = 0;
    if (delivery_.Mismatch(&countedFrames, &delivered, &carried)) {
        report_.notes.push_back("the device delivered " + std::to_string(delivered) + " samples for " +
                                std::to_string(countedFrames) + " frames that carry " + std::to_string(carried) +
                                ": the sound may be out of step with the pictures after a repeated timecode");
    }
    report_.counters = streams_.Counters();
    streams_.End();
    const DDCError_t stopError = deck_.Transport(&DigitalDevice::DeviceStop);
    if (stopError != DDC_NoError) report_.notes.push_back("the deck refused to stop: " + DDCErrorText(stopError));
    if (!dv_.Close(&error)) report_.notes.push_back(error);
    if (!wav_.Close(&error)) report_.notes.push_back(error);
    report_.wavFiles = wav_.Files();
    report_.ended = endReason_;
    report_.elapsedSeconds = std::chrono::duration<double>(Clock::now() - started_).count();
    status_.Clear();
}
