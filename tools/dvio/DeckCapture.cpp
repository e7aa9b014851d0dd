#include "DeckCapture.h"

#include "CaptureCue.h"
#include "CtrlCWhileCueing.h"
#include "DeckClock.h"
#include "DeckCommand.h"
#include "InterfaceValueText.h"
#include "StartWatch.h"
#include "StopSignal.h"
#include "TestTape.h"
#include "VideoTake.h"

#include "interface/ControlIds.h"

#include <cstdio>

DeckCapture::DeckCapture(PluginHost& host, const CaptureRequest& request)
    : device_(host.Device()),
      request_(request),
      deck_(device_),
      streams_(device_),
      audio_(&streams_, WavPathOf(request)),
      status_(stderr) {}

timecodeDesc_t DeckCapture::DeckDescription() const {
    return TCCreateDesc(dropFrame_ ? 1 : 0, static_cast<unsigned short>(fps_));
}

std::optional<CaptureFailure> DeckCapture::Run() {
    started_ = Clock::now();
    for (int attempt = 1;; ++attempt) {
        std::optional<CaptureFailure> failure = Prepare();
        if (failure) {
            if (!StopSignal::Requested() || report_.dvPath.empty()) return failure;
            // Ctrl-C while the deck cues: nothing was captured, and that is what was
            // asked. The deck is stopped unless it is stuck mid-change (that would hold
            // up the answer to Ctrl-C).
            TransportState_t state = TransportUnknown;
            if (device_->DeviceGetState(&state) == DDC_NoError) device_->DeviceStop();
            report_.ended = "by Ctrl-C, before the capture began";
            return CaptureFailure{"stopped by Ctrl-C while the deck was cueing; nothing was captured", kExitOk};
        }
        if (auto startFailure = StartStreams(cueLeadIn_, cueDeckWasPlaying_)) {
            Finish();
            return startFailure;
        }
        failure = Take();
        // A start that went by while the device fell behind (it counted overruns) was
        // lost on the way, not missing from the tape: the deck is cued once more.
        if (failure && failure->code == kExitStartNotFound && startPassedBehind_ && attempt == 1 &&
            !StopSignal::Requested()) {
            streams_.End();
            audio_.Restart();
            report_.notes.push_back("the start went by while the device had fallen behind; the deck was cued again");
            continue;
        }
        Finish();
        return failure;
    }
}

// Everything before the streams run: the plan, the standard, the files, the cue.
// Nothing is captured yet, so a Ctrl-C is answered at once even while the device
// holds dvio in a call (CtrlCWhileCueing).
std::optional<CaptureFailure> DeckCapture::Prepare() {
    CtrlCWhileCueing watch(removeCreated_);
    if (auto failure = Plan()) return failure;
    if (auto failure = UseStandard()) return failure;
    std::string error;
    // Every output is open before the deck moves: a file that cannot be written is
    // found before anything else happens.
    OutputSequence::Settings files;
    files.out = request_.dvPath;
    files.format = request_.format;
    files.split = request_.split;
    files.pattern = request_.name;
    files.tape = request_.tape;
    files.force = request_.force;
    files.standard = standard_;
    files_ = std::make_unique<OutputSequence>(files);
    if (WavsFollowFiles(request_)) {
        files_->CheckWavsToo();
        files_->OnNewFile([this](int64_t firstFrame, const std::string& path) {
            audio_.FollowVideoFile(firstFrame, DefaultWavPath(path));
        });
    }
    if (!files_->Open(&error) || !audio_.Reserve(&error)) return CaptureFailure{error};
    report_.dvPath = request_.dvPath;
    report_.audioInFiles = request_.format != OutputFormat::Dv;
    deck_.SetInterruption(&StopSignal::Requested);
    CaptureCue cue(&deck_);
    std::optional<timecode_t> start;
    if (from_) {
        start = ToTimecode(*from_, DeckDescription());
        report_.startTimecode = TimecodeText(*start);
        report_.start = start;
    }
    if (auto failure = cue.Cue(start)) return failure;
    if (auto failure = FollowStandardAtStart()) return failure;
    cueLeadIn_ = cue.LeadIn();
    cueDeckWasPlaying_ = cue.DeckWasPlaying();
    FrameSink::Plan plan;
    plan.standard = standard_;
    plan.from = from_;
    plan.to = to_;
    plan.frameLimit = frameLimit_;
    plan.limitOption = request_.seconds >= 0 ? "--seconds" : "--frames";
    plan.leadIn = cue.LeadIn();
    sink_ = std::make_unique<FrameSink>(plan, files_.get(), &audio_, &report_);
    sink_->SetObserver(observer_);
    return std::nullopt;
}

// Reads the deck's rate and checks the timecodes and the end condition against it.
std::optional<CaptureFailure> DeckCapture::Plan() {
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
std::optional<CaptureFailure> DeckCapture::UseStandard() {
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
std::optional<CaptureFailure> DeckCapture::FollowStandardAtStart() {
    if (!from_ || !request_.standard.empty()) return std::nullopt;
    int fps = fps_;
    bool dropFrame = dropFrame_;
    if (deck_.RefreshFrameRate(&fps, &dropFrame) != DDC_NoError || fps == fps_) return std::nullopt;
    fps_ = fps;
    dropFrame_ = dropFrame;
    standard_ = fps == 25 ? DIO_PAL : DIO_NTSC;
    frameSize_ = FrameSizeOf(standard_);
    report_.start = ToTimecode(*from_, DeckDescription());
    report_.startTimecode = TimecodeText(*report_.start);
    return UseStandard();
}

std::optional<CaptureFailure> DeckCapture::StartStreams(bool leadIn, bool deckWasPlaying) {
    std::string error;
    if (!streams_.Configure(static_cast<LONG>(frameSize_), &error) || !streams_.Prepare(&error))
        return CaptureFailure{error};
    if (from_) {
        const timecode_t start = TCAddModDay(ToTimecode(*from_, DeckDescription()), leadIn ? -1 : 0);
        if (!streams_.SetStartTimecode(start, &error)) return CaptureFailure{error};
    }
    if (!streams_.Arm(&error) || !streams_.Start(&error)) return CaptureFailure{error};
    if (!deckWasPlaying) {
        const DDCError_t playError = deck_.Transport(&DigitalDevice::DevicePlay);
        if (playError != DDC_NoError) return CaptureFailure{"the deck refused to play: " + DDCErrorText(playError)};
    }
    return std::nullopt;
}

std::optional<CaptureFailure> DeckCapture::Take() {
    VideoTake video(device_, frameSize_);
    // Patience in deck time that passes only while this loop runs (see WaitingDeckTime).
    WaitingDeckTime sinceStart, sinceFrame;
    int64_t framesSeen = 0;
    auto lastWatch = Clock::time_point{};
    std::optional<StartWatch> watch;
    if (from_) watch.emplace(&streams_, *from_, report_.startTimecode, fps_);
    while (!sink_->Ended()) {
        const int got = video.Pump([this](const uint8_t* frame, size_t size) { return sink_->OnFrame(frame, size); },
                                   [this](const DIOFormat& format) { sink_->OnFormat(format); });
        std::string error = sink_->WriteError();
        if (error.empty() && !audio_.Pump(&error) && error.empty()) error = "the audio could not be written";
        if (!error.empty()) {
            endReason_ = "by a write error: " + error;
            return CaptureFailure{error};
        }
        if (sink_->Ended()) break;
        const double seconds = std::chrono::duration<double>(Clock::now() - started_).count();
        if (StopSignal::Requested()) {
            endReason_ = report_.frames == 0 && from_ ? "by Ctrl-C, before the start timecode came" : "by Ctrl-C";
            break;
        }
        if (auto failure = DeviceFailure()) return failure;
        const double waited = sinceStart.Tick();
        if (got > 0 || report_.frames != framesSeen) {
            if (framesSeen == 0 && report_.frames > 0)
                report_.overrunsBeforeFirstFrame = streams_.Counters().videoOverruns;
            framesSeen = report_.frames;
            sinceFrame.Restart();
        }
        if (report_.frames == 0) {
            if (watch) {
                if (Clock::now() - lastWatch > std::chrono::milliseconds(100)) {
                    lastWatch = Clock::now();
                    if (auto failure = watch->Check(waited)) {
                        startPassedBehind_ = streams_.Counters().videoOverruns > 0;
                        return failure;
                    }
                }
            } else if (waited > kFirstFrameSeconds) {
                TransportState_t state = TransportUnknown;
                deck_.State(&state);
                if (!streams_.SignalPresent() && state != TransportStopped && state != TransportEjected)
                    return CaptureFailure{"the device received no frames while the deck was " +
                                          TransportStateText(state) +
                                          (streams_.DeviceError().empty()
                                               ? ""
                                               : "; it reports \"" + streams_.DeviceError() + "\"")};
                return CaptureFailure{
                    "no frames came from the deck in " + std::to_string(static_cast<int>(kFirstFrameSeconds)) +
                    " seconds (the deck is " + TransportStateText(state) + ")" +
                    (streams_.DeviceError().empty() ? "" : "; the device reports \"" + streams_.DeviceError() + "\"")};
            }
        } else if (sinceFrame.Tick() > kTapeEndSeconds) {
            return NoMoreFrames();
        }
        ShowStatus(seconds, watch ? watch->LastSeen() : "");
        if (got == 0) SleepPoll();
    }
    if (sink_->Ended()) endReason_ = sink_->EndReason().empty() ? "stopped" : sink_->EndReason();
    return std::nullopt;
}

// The device counts what went wrong on its side (a card that refused to capture, a
// driver that fails): that ends the capture as the device's failure.
std::optional<CaptureFailure> DeckCapture::DeviceFailure() {
    const InputCounters counters = streams_.Counters();
    if (counters.errors == 0) return std::nullopt;
    const std::string text = streams_.DeviceError();
    return CaptureFailure{"the device failed" + (text.empty() ? "" : ": \"" + text + "\"") + " (" +
                          std::to_string(counters.errors) + " stream errors)"};
}

// Frames stopped coming: the deck tells why.
std::optional<CaptureFailure> DeckCapture::NoMoreFrames() {
    TransportState_t state = TransportUnknown;
    deck_.State(&state);

    if (state == TransportNoDevice) {
        // What was taken is kept, but the capture is not what was asked for.
        endReason_ = "no more frames came: the deck went away";
        return CaptureFailure{"the deck went away after " + std::to_string(report_.frames) +
                              " frames; the files hold what came before it"};
    }
    // A deck that plays on over recorded tape (it reads timecode well past the last
    // frame) while nothing comes: the device has stopped delivering.
    timecode_t shown{};
    if (report_.timecodes.HasAny() && deck_.Timecode(&shown) == DDC_NoError && !TCIsEmpty(shown)) {
        const timecode_t last = report_.timecodes.Last();
        const LONG ahead = TCDiffModDay(last, shown);
        if (ahead > static_cast<LONG>(kTapeEndSeconds * fps_ / 2) && ahead < 3600 * fps_) {
            const std::string text = streams_.DeviceError();
            endReason_ = "the device stopped delivering frames";
            return CaptureFailure{"the deck plays on (at " + TimecodeText(shown) +
                                  ") but the device delivered no frame after " + TimecodeText(last) +
                                  (text.empty() ? "" : "; it reports \"" + text + "\"") +
                                  "; the files hold what came before"};
        }
    }
    // A deck that stopped by itself reached the end of the tape; one that still
    // plays is on blank tape or sends nothing.
    const bool stopped = state == TransportStopped || state == TransportEjected;
    endReason_ = std::string("no more frames came: ") + (stopped ? "the tape ran out" : "blank tape or no signal") +
                 " (the deck is " + TransportStateText(state) + ")";
    return std::nullopt;
}

void DeckCapture::ShowStatus(double seconds, const std::string& tapeShows) {
    if (!status_.Active()) return;
    char line[200];
    if (report_.frames == 0 && from_) {
        std::snprintf(line, sizeof line, "waiting for %s  (tape at %s)  %.1f s", report_.startTimecode.c_str(),
                      tapeShows.empty() ? "--:--:--:--" : tapeShows.c_str(), seconds);
    } else {
        const InputCounters counters = streams_.Counters();
        const std::string tc = report_.timecodes.HasAny() ? TimecodeText(report_.timecodes.Last()) : "--:--:--:--";
        std::snprintf(line, sizeof line, "%s  frames %lld  drops %lld  breaks %zu  %.1f s", tc.c_str(),
                      static_cast<long long>(report_.frames),
                      static_cast<long long>(counters.videoOverruns),
                      report_.timecodes.Breaks().size(), seconds);
    }
    status_.Show(line);
}

// Collects the audio still owed, ends the streams, stops the deck and closes the files.
void DeckCapture::Finish() {
    const Clock::time_point deadline = Clock::now() + DeckToReal(2.0) + std::chrono::milliseconds(200);
    report_.audioSamplesMissing = audio_.Drain(deadline, &report_.notes);
    report_.counters = streams_.Counters();
    streams_.End();
    const DDCError_t stopError = deck_.Transport(&DigitalDevice::DeviceStop);
    if (stopError != DDC_NoError) report_.notes.push_back("the deck refused to stop: " + DDCErrorText(stopError));
    std::string error;
    if (files_) {
        if (!files_->Close(&error)) report_.notes.push_back(error);
        report_.files = files_->Files();
    }
    if (!audio_.Close(&error)) report_.notes.push_back(error);
    report_.wavFiles = audio_.Files();
    report_.ended = endReason_;
    report_.elapsedSeconds = std::chrono::duration<double>(Clock::now() - started_).count();
    status_.Clear();
}
