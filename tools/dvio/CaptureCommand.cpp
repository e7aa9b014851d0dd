#include "CaptureCommand.h"

#include "AudioTake.h"
#include "CaptureAudio.h"
#include "CaptureReport.h"
#include "Deck.h"
#include "DeckClock.h"
#include "DeckCommand.h"
#include "DvFile.h"
#include "DvFrameFacts.h"
#include "ExitCodes.h"
#include "HostWords.h"
#include "InputStreams.h"
#include "StatusLine.h"
#include "StopSignal.h"
#include "TestTape.h"
#include "TimecodeArg.h"
#include "VideoTake.h"
#include "WavSeries.h"

#include <chrono>
#include <cstdio>
#include <optional>

namespace {

constexpr LONG kControlDeviceFormat = 0xb00008;

using Clock = std::chrono::steady_clock;

bool IsMoving(TransportState_t state) {
    return state == TransportPlaying || state == TransportForwardPlaying;
}

// A failure that ends the command: its sentence and exit code.
struct Failure {
    std::string sentence;
    int code = kExitFailed;
};

class CaptureRun {
public:
    CaptureRun(PluginHost& host, const CaptureRequest& request)
        : device_(host.Device()), request_(request), deck_(device_), streams_(device_),
          wav_(request.wavPath.empty() ? DefaultWavPath(request.dvPath) : request.wavPath),
          audioTake_(device_, InputStreams::kAudioChannels), audio_(&audioTake_, &wav_), status_(stderr) {}

    // Runs the capture; the report is filled as far as it got.
    std::optional<Failure> Run();
    const CaptureReport& Report() const { return report_; }

private:
    std::optional<Failure> Plan();
    std::optional<Failure> UseStandard();
    std::optional<Failure> Cue();
    int StepBack(int steps);
    std::optional<Failure> StartStreams();
    std::optional<Failure> Take();
    void Finish();

    bool OnFrame(const uint8_t* frame, size_t size);
    void OnFormat(const DIOFormat& format);
    std::optional<Failure> WatchForStart(double seconds);
    void LearnFirstFrameSamples();
    void CheckAudioCount();
    void ShowStatus(double seconds, bool force = false);

    DigitalDevice* device_;
    CaptureRequest request_;
    Deck deck_;
    InputStreams streams_;
    DvFileWriter dv_;
    WavSeries wav_;
    AudioTake audioTake_;
    CaptureAudio audio_;
    StatusLine status_;
    CaptureReport report_;

    // What the deck counts in.
    int fps_ = 30;
    bool dropFrame_ = true;
    DIO_VideoFormat standard_ = DIO_NTSC;
    size_t frameSize_ = kDVFrameSizeNTSC;

    std::optional<TimecodeArg> from_;
    std::optional<TimecodeArg> to_;
    int64_t frameLimit_ = -1;
    bool deckWasPlaying_ = false;
    // The device starts a frame early and that frame is dropped (see Cue).
    bool leadIn_ = false;
    int64_t deviceFrames_ = 0;  // frames taken from VideoIn, the lead-in included
    std::optional<std::pair<LONG, int64_t>> firstFrameGuess_;  // (frames counted, samples of the first)

    // While taking.
    bool ended_ = false;
    std::string endReason_;
    std::optional<CaptureReport::FormatChange> pendingChange_;
    std::string writeError_;
    Clock::time_point started_;
    Clock::time_point lastFrameAt_;
    std::string tapeFirstSeen_, tapeLastSeen_;
};

std::optional<Failure> CaptureRun::Run() {
    started_ = Clock::now();
    if (auto failure = Plan()) return failure;
    if (auto failure = UseStandard()) return failure;
    std::string error;
    if (!dv_.Open(request_.dvPath, &error)) return Failure{error};
    report_.dvPath = request_.dvPath;
    if (auto failure = Cue()) return failure;
    if (from_ && request_.standard.empty()) {
        // A tape may change standard part-way: the start decides.
        int fps = fps_;
        bool dropFrame = dropFrame_;
        if (deck_.RefreshFrameRate(&fps, &dropFrame) == DDC_NoError && fps != fps_) {
            fps_ = fps;
            dropFrame_ = dropFrame;
            standard_ = fps == 25 ? DIO_PAL : DIO_NTSC;
            frameSize_ = FrameSizeOf(standard_);
            report_.startTimecode =
                TimecodeText(ToTimecode(*from_, TCCreateDesc(dropFrame_ ? 1 : 0, static_cast<unsigned short>(fps_))));
            if (auto failure = UseStandard()) return failure;
        }
    }
    if (auto failure = StartStreams()) {
        Finish();
        return failure;
    }
    std::optional<Failure> failure = Take();
    Finish();
    return failure;
}

// Reads the deck's rate and checks the timecodes and the end condition against it.
std::optional<Failure> CaptureRun::Plan() {
    const DDCError_t rateError = deck_.FrameRate(&fps_, &dropFrame_);
    if (rateError != DDC_NoError) {
        return Failure{"the deck does not answer (" + DDCErrorText(rateError) +
                       "): is a device connected and a cassette loaded?"};
    }
    if (!request_.standard.empty()) standard_ = request_.standard == "pal" ? DIO_PAL : DIO_NTSC;
    else standard_ = fps_ == 25 ? DIO_PAL : DIO_NTSC;
    frameSize_ = FrameSizeOf(standard_);

    std::string error;
    for (auto [text, slot, name] : {std::make_tuple(&request_.from, &from_, "--from"),
                                    std::make_tuple(&request_.to, &to_, "--to")}) {
        if (text->empty()) continue;
        TimecodeArg tc;
        if (!ParseTimecodeArg(*text, &tc, &error) || !CheckTimecodeArg(tc, fps_, dropFrame_, &error))
            return Failure{std::string(name) + ": " + error, kExitUsage};
        if (dropFrame_) SkipDroppedLabel(&tc);
        *slot = tc;
    }
    if (from_ && to_) {
        const timecodeDesc_t desc = TCCreateDesc(dropFrame_ ? 1 : 0, static_cast<unsigned short>(fps_));
        if (TCDiffModDay(ToTimecode(*from_, desc), ToTimecode(*to_, desc)) <= 0)
            return Failure{"--to " + request_.to + " must come after --from " + request_.from, kExitUsage};
    }
    if (request_.frames >= 0) frameLimit_ = request_.frames;
    if (request_.seconds >= 0) frameLimit_ = FramesInSeconds(standard_, request_.seconds);
    if (frameLimit_ == 0) return Failure{"there is nothing to capture in 0 frames", kExitUsage};
    return std::nullopt;
}

// The device captures in one standard: the one asked for, or the one the deck plays.
std::optional<Failure> CaptureRun::UseStandard() {
    DIOFormat current(4);
    const std::string wanted = standard_ == DIO_PAL ? "PAL" : "NTSC";
    if (device_->GetControl(kControlDeviceFormat, &current) && FormatValue(current, "VSIG") == wanted)
        return std::nullopt;
    DIOFormat format(4);
    format.SetKeywordParameter(FourCC("VSIG"), wanted.c_str());
    if (!device_->SetControl(kControlDeviceFormat, &format))
        return Failure{"the device refused to capture " + wanted + " (" + streams_.DeviceError() + ")"};
    return std::nullopt;
}

// Puts the tape where the capture begins, the transport stopped so that no still
// picture reaches the streams before they run.
std::optional<Failure> CaptureRun::Cue() {
    TransportState_t state = TransportUnknown;
    deck_.State(&state);
    if (from_) {
        const timecodeDesc_t desc = TCCreateDesc(dropFrame_ ? 1 : 0, static_cast<unsigned short>(fps_));
        const timecode_t start = ToTimecode(*from_, desc);
        report_.startTimecode = TimecodeText(start);
        timecode_t arrived{};
        DDCError_t error = deck_.SeekAndWait(TCAddModDay(start, -kCuePrerollFrames), kSeekPatienceSeconds, &arrived);
        // The device finds its start only among frames it sees after the streams run,
        // and it silences the audio of the first frame it delivers at a start timecode
        // (it takes that frame as a repeat of the start itself). So where the tape
        // holds the frames before the start, the device is asked to start one frame
        // early and that lead-in frame is dropped.
        const LONG before = error == DDC_NoError && !TCIsEmpty(arrived) ? TCDiffModDay(arrived, start) : 0;
        leadIn_ = before >= 1 && before <= 2 * kCuePrerollFrames;
        if (!leadIn_) {
            // The start follows a break or begins the recording: cue to it, then back
            // up over whatever frames come before it.
            error = deck_.SeekAndWait(start, kSeekPatienceSeconds, &arrived);
            if (error != DDC_NoError)
                return Failure{"the deck could not cue to " + TimecodeText(start) + ": " + DDCErrorText(error)};
            if (StepBack(kStartStepsBack) == 0) {
                return Failure{"the start timecode " + TimecodeText(start) +
                               " is the first frame of the recording, and the device needs to see frames before its "
                               "start: capture from the frame after it, or without --from"};
            }
        }
    } else if (IsMoving(state)) {
        deckWasPlaying_ = true;
        return std::nullopt;
    }
    // Stopped, the deck shows no still picture that the streams could take for the tape.
    if (state != TransportStopped || from_) {
        const DDCError_t error = deck_.Transport(&DigitalDevice::DeviceStop);
        if (error != DDC_NoError) return Failure{"the deck refused to stop before the capture: " + DDCErrorText(error)};
        deck_.WaitForState(TransportStopped, kTransportPatienceSeconds);
    }
    return std::nullopt;
}

// Steps the tape back frame by frame while it shows earlier frames; the steps taken.
int CaptureRun::StepBack(int steps) {
    int taken = 0;
    for (; taken < steps; ++taken) {
        timecode_t here{}, there{};
        if (deck_.Timecode(&here) != DDC_NoError) break;
        if (deck_.Transport(&DigitalDevice::DeviceRewFrame) != DDC_NoError) break;
        deck_.WaitForState(TransportPaused, kTransportPatienceSeconds);
        if (deck_.Timecode(&there) != DDC_NoError || TCEqual(&here, &there)) break;
    }
    return taken;
}

std::optional<Failure> CaptureRun::StartStreams() {
    std::string error;
    if (!streams_.Configure(static_cast<LONG>(frameSize_), &error) || !streams_.Prepare(&error))
        return Failure{error};
    if (from_) {
        const timecodeDesc_t desc = TCCreateDesc(dropFrame_ ? 1 : 0, static_cast<unsigned short>(fps_));
        const timecode_t start = TCAddModDay(ToTimecode(*from_, desc), leadIn_ ? -1 : 0);
        if (!streams_.SetStartTimecode(start, &error)) return Failure{error};
    }
    if (!streams_.Arm(&error) || !streams_.Start(&error)) return Failure{error};
    if (!deckWasPlaying_) {
        const DDCError_t playError = deck_.Transport(&DigitalDevice::DevicePlay);
        if (playError != DDC_NoError) return Failure{"the deck refused to play: " + DDCErrorText(playError)};
    }
    return std::nullopt;
}

bool CaptureRun::OnFrame(const uint8_t* frame, size_t size) {
    DvFrameFacts facts = ReadFrameFacts(frame, size);
    if (facts.standard != standard_) {
        // The ring holds frames of the configured size: a frame of the other standard
        // does not fit, so the capture ends before it. Its timecode is read from the
        // part that arrived (the take's buffer holds a whole frame of either standard).
        const DvFrameFacts other = ReadFrameFacts(frame, kDVFrameSizePAL);
        const std::string at = other.hasTimecode ? TimecodeText(FrameTimecode(other)) : "a frame without timecode";
        if (pendingChange_) {
            pendingChange_->frame = report_.frames;
            pendingChange_->timecode = at;
            report_.formatChanges.push_back(*pendingChange_);
            pendingChange_.reset();
        }
        endReason_ = "the tape changes to " + StandardName(facts.standard) + " at " + at + " (after frame " +
                     std::to_string(report_.frames) + "), which a capture in " + StandardName(standard_) +
                     " cannot take; capture the rest with dvio capture OUT.dv" +
                     (other.hasTimecode ? " --from " + TimecodeText(FrameTimecode(other)) : "");
        ended_ = true;
        return false;
    }
    const timecode_t tc = FrameTimecode(facts);
    if (from_ && !leadIn_ && deviceFrames_ == 0 && facts.hasTimecode &&
        TCDiffModDay(ToTimecode(*from_, tc.desc), tc) == 0)
        audio_.ExpectFirstFrameSilenced();
    if (leadIn_ && deviceFrames_ == 0) {
        ++deviceFrames_;
        audio_.AddFrame(facts, false, -1, TimecodeText(tc));
        return true;
    }
    if (to_ && facts.hasTimecode && TCDiffModDay(ToTimecode(*to_, tc.desc), tc) >= 0) {
        endReason_ = "at " + TimecodeText(tc) + " (--to)";
        ended_ = true;
        return false;
    }
    if (!dv_.Write(frame, size, &writeError_)) {
        ended_ = true;
        return false;
    }
    const int64_t index = report_.frames++;
    ++deviceFrames_;
    lastFrameAt_ = Clock::now();
    if (pendingChange_) {
        pendingChange_->frame = index;
        pendingChange_->timecode = TimecodeText(tc);
        report_.formatChanges.push_back(*pendingChange_);
        pendingChange_.reset();
    }
    report_.timecodes.Add(index, facts);
    report_.formats.Add(index, facts);
    audio_.AddFrame(facts, true, index, TimecodeText(tc));
    if (frameLimit_ > 0 && report_.frames >= frameLimit_) {
        endReason_ = "after " + std::to_string(report_.frames) + " frames (" +
                     (request_.seconds >= 0 ? "--seconds" : "--frames") + ")";
        ended_ = true;
    }
    return true;
}

void CaptureRun::OnFormat(const DIOFormat& format) {
    // The first record describes the frames from the start; later ones are changes.
    if (!format.GetFormatChange()) return;
    pendingChange_ = CaptureReport::FormatChange{0, "", FormatValue(format, "VSIG"), FormatValue(format, "ASRT"),
                                                 format.GetFormatChangeBreak() != 0};
}

// Before the first frame of a capture from a timecode: what the tape shows, and
// whether it is time to give up on the start.
std::optional<Failure> CaptureRun::WatchForStart(double seconds) {
    timecode_t shown{};
    if (device_->DeviceGetTimecode(&shown) == DDC_NoError && !TCIsEmpty(shown)) {
        if (tapeFirstSeen_.empty()) tapeFirstSeen_ = TimecodeText(shown);
        tapeLastSeen_ = TimecodeText(shown);
        const timecode_t start = ToTimecode(*from_, shown.desc);
        // Well past the start without a frame delivered: it is not coming.
        if (TCDiffModDay(start, shown) > 2 * fps_) {
            return Failure{"the start timecode " + report_.startTimecode + " never came: the tape went past it, "
                               "showing " + tapeFirstSeen_ + " to " + tapeLastSeen_ +
                               ", and no frame the device took carried it",
                           kExitStartNotFound};
        }
    }
    if (seconds > kFirstFrameSeconds + static_cast<double>(kCuePrerollFrames) / fps_) {
        const std::string shownText =
            tapeFirstSeen_.empty() ? "no timecode" : tapeFirstSeen_ + " to " + tapeLastSeen_;
        return Failure{"the start timecode " + report_.startTimecode + " never came: in " +
                           std::to_string(static_cast<int>(kFirstFrameSeconds)) + " seconds the tape showed " +
                           shownText,
                       kExitStartNotFound};
    }
    return std::nullopt;
}

void CaptureRun::ShowStatus(double seconds, bool force) {
    if (!status_.Active()) return;
    char line[200];
    if (report_.frames == 0 && from_) {
        std::snprintf(line, sizeof line, "waiting for %s  (tape at %s)  %.1f s", report_.startTimecode.c_str(),
                      tapeLastSeen_.empty() ? "--:--:--:--" : tapeLastSeen_.c_str(), seconds);
    } else {
        const InputCounters counters = streams_.Counters();
        const std::string tc = report_.timecodes.HasAny() ? TimecodeText(report_.timecodes.Last()) : "--:--:--:--";
        std::snprintf(line, sizeof line, "%s  frames %lld  drops %lld  breaks %zu  %.1f s", tc.c_str(),
                      static_cast<long long>(report_.frames),
                      static_cast<long long>(int64_t{counters.videoOverruns} + counters.audioOverruns),
                      report_.timecodes.Breaks().size(), seconds);
    }
    status_.Show(line, force);
}

// The device counts the frames and samples it delivered; with the sample counts of
// the frames after the first, two of its counts tell how many it delivered for the
// first. Two different counts must agree before the answer is used.
void CaptureRun::LearnFirstFrameSamples() {
    if (audio_.FirstFrameKnown()) return;
    LONG frames = 0, samples = 0;
    if (!streams_.DeliveredAudio(&frames, &samples)) return;
    const std::vector<uint32_t>& counts = audio_.FrameSamples();
    if (static_cast<size_t>(frames) > counts.size()) return;  // VideoIn has not handed those frames out yet
    int64_t first = samples;
    for (LONG i = 1; i < frames; ++i) first -= counts[static_cast<size_t>(i)];
    if (first < 0 || first > 2 * 1944) return;
    if (firstFrameGuess_ && firstFrameGuess_->first != frames && firstFrameGuess_->second == first) {
        audio_.SetFirstFrameSamples(first);
        return;
    }
    if (!firstFrameGuess_ || firstFrameGuess_->first != frames) firstFrameGuess_ = std::make_pair(frames, first);
}

// The device's count of samples must match what the frames carry; a frame it took
// as a repeat of the one before (its audio then silence of another length) would
// put the sound out of step with the pictures after it.
void CaptureRun::CheckAudioCount() {
    LONG frames = 0, samples = 0;
    const std::vector<uint32_t>& counts = audio_.FrameSamples();
    if (!streams_.DeliveredAudio(&frames, &samples) || frames < 2 || static_cast<size_t>(frames) > counts.size() ||
        !firstFrameGuess_)
        return;
    int64_t expected = audio_.FirstFrameKnown() ? firstFrameGuess_->second : counts.front();
    for (LONG i = 1; i < frames; ++i) expected += counts[static_cast<size_t>(i)];
    if (expected != samples) {
        report_.notes.push_back("the device delivered " + std::to_string(samples) + " samples for " +
                                std::to_string(frames) + " frames that carry " + std::to_string(expected) +
                                ": the sound may be out of step with the pictures after a repeated timecode");
    }
}

std::optional<Failure> CaptureRun::Take() {
    VideoTake video(device_, frameSize_);
    lastFrameAt_ = Clock::now();
    const Clock::time_point takeStarted = Clock::now();
    auto lastWatch = Clock::time_point{};
    while (!ended_) {
        const int got = video.Pump([this](const uint8_t* frame, size_t size) { return OnFrame(frame, size); },
                                   [this](const DIOFormat& format) { OnFormat(format); });
        if (!writeError_.empty()) return Failure{writeError_};
        LearnFirstFrameSamples();
        std::string error;
        if (!audio_.Pump(&error)) return Failure{error};
        if (ended_) break;
        const double seconds = std::chrono::duration<double>(Clock::now() - started_).count();
        if (StopSignal::Requested()) {
            endReason_ = report_.frames == 0 && from_ ? "by Ctrl-C, before the start timecode came" : "by Ctrl-C";
            break;
        }
        if (report_.frames == 0) {
            // Deck time since the streams started, as the deck lives it.
            const bool patienceGone = Clock::now() - takeStarted > DeckToReal(kFirstFrameSeconds);
            if (from_) {
                if (Clock::now() - lastWatch > std::chrono::milliseconds(100)) {
                    lastWatch = Clock::now();
                    const double deckSeconds = std::chrono::duration<double>(Clock::now() - takeStarted).count() /
                                               std::chrono::duration<double>(DeckToReal(1.0)).count();
                    if (auto failure = WatchForStart(deckSeconds)) return failure;
                }
            } else if (patienceGone) {
                TransportState_t state = TransportUnknown;
                deck_.State(&state);
                return Failure{"no frames came from the deck in " + std::to_string(static_cast<int>(kFirstFrameSeconds)) +
                               " seconds (the deck is " + TransportStateText(state) + ")" +
                               (streams_.DeviceError().empty() ? "" : "; the device reports \"" +
                                                                          streams_.DeviceError() + "\"")};
            }
        } else if (Clock::now() - lastFrameAt_ > DeckToReal(kTapeEndSeconds)) {
            TransportState_t state = TransportUnknown;
            deck_.State(&state);
            endReason_ = "no more frames came: the tape ran out (the deck is " + TransportStateText(state) + ")";
            break;
        }
        ShowStatus(seconds);
        if (got == 0) SleepPoll();
    }
    if (ended_ && endReason_.empty()) endReason_ = "stopped";
    return std::nullopt;
}

// Collects the audio still owed, ends the streams, stops the deck and closes the files.
void CaptureRun::Finish() {
    const Clock::time_point deadline = Clock::now() + DeckToReal(2.0) + std::chrono::milliseconds(200);
    std::string error;
    while (audio_.Owed() > 0 && Clock::now() < deadline) {
        LearnFirstFrameSamples();
        if (!audio_.Pump(&error)) {
            report_.notes.push_back(error);
            break;
        }
        if (audio_.Owed() > 0) SleepPoll();
    }
    if (!audio_.FirstFrameKnown() && !audio_.FrameSamples().empty()) {
        // Too short a capture for the device to have counted twice: trust one count,
        // or else the frame's own.
        audio_.SetFirstFrameSamples(firstFrameGuess_ ? firstFrameGuess_->second : audio_.FrameSamples().front());
        audio_.Pump(&error);
    }
    report_.audioSamplesMissing = audio_.Owed();
    if (audio_.FirstFrameSilenced()) {
        report_.notes.push_back(
            "the device delivered silence for the first frame (it takes the first frame at a start timecode as a "
            "repeat of it): the WAV holds silence there");
    }
    CheckAudioCount();
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

}  // namespace

std::string DefaultWavPath(const std::string& dvPath) {
    const size_t slash = dvPath.rfind('/');
    const size_t dot = dvPath.rfind('.');
    const size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    if (dot != std::string::npos && dot > nameStart) return dvPath.substr(0, dot) + ".wav";
    return dvPath + ".wav";
}

int RunCapture(PluginHost& host, const CaptureRequest& request, bool json, std::ostream& out, std::ostream& err) {
    StopSignal stopSignal;
    CaptureRun run(host, request);
    const std::optional<Failure> failure = run.Run();
    const CaptureReport& report = run.Report();
    const bool captured = !report.dvPath.empty() && (report.frames > 0 || !failure);
    if (captured) {
        if (json) out << report.ToJson().Dump() << "\n";
        else report.PrintText(out);
    }
    if (failure) {
        err << "dvio: " << failure->sentence << "\n";
        return failure->code;
    }
    return kExitOk;
}
