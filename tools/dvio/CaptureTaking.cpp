#include "CaptureRun.h"

#include "DeckClock.h"
#include "DeckCommand.h"
#include "HostWords.h"
#include "StopSignal.h"
#include "VideoTake.h"

#include <cstdio>

std::optional<CaptureFailure> CaptureRun::Take() {
    VideoTake video(device_, frameSize_);
    lastFrameAt_ = Clock::now();
    const Clock::time_point takeStarted = Clock::now();
    auto lastWatch = Clock::time_point{};
    while (!ended_) {
        const int got = video.Pump([this](const uint8_t* frame, size_t size) { return OnFrame(frame, size); },
                                   [this](const DIOFormat& format) { OnFormat(format); });
        if (!writeError_.empty()) return CaptureFailure{writeError_};
        ReadDeliveryCount();
        std::string error;
        if (!audio_.Pump(&error)) return CaptureFailure{error};
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
                return CaptureFailure{
                    "no frames came from the deck in " + std::to_string(static_cast<int>(kFirstFrameSeconds)) +
                    " seconds (the deck is " + TransportStateText(state) + ")" +
                    (streams_.DeviceError().empty() ? "" : "; the device reports \"" + streams_.DeviceError() + "\"")};
            }
        } else if (Clock::now() - lastFrameAt_ > DeckToReal(kTapeEndSeconds)) {
            TransportState_t state = TransportUnknown;
            deck_.State(&state);
            if (state == TransportNoDevice) {
                // What was taken is kept, but the capture is not what was asked for.
                endReason_ = "no more frames came: the deck went away";
                return CaptureFailure{"the deck went away after " + std::to_string(report_.frames) +
                                      " frames; the files hold what came before it"};
            }
            // A deck that stopped by itself reached the end of the tape; one that still
            // plays is on blank tape or sends nothing.
            const bool stopped = state == TransportStopped || state == TransportEjected;
            endReason_ = std::string("no more frames came: ") + (stopped ? "the tape ran out" : "blank tape or no signal") +
                         " (the deck is " + TransportStateText(state) + ")";
            break;
        }
        ShowStatus(seconds);
        if (got == 0) SleepPoll();
    }
    if (ended_ && endReason_.empty()) endReason_ = "stopped";
    return std::nullopt;
}

bool CaptureRun::OnFrame(const uint8_t* frame, size_t size) {
    // Frames that came with the last one wanted stay in the ring.
    if (ended_) return false;
    const DvFrameFacts facts = ReadFrameFacts(frame, size);
    if (facts.standard != standard_) return EndAtStandardChange(frame, facts.standard);
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
    PlacePendingChange(index, TimecodeText(tc));
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

// A format record applies from the next frame on, which places it.
void CaptureRun::PlacePendingChange(int64_t frame, const std::string& timecode) {
    if (!pendingChange_) return;
    pendingChange_->frame = frame;
    pendingChange_->timecode = timecode;
    report_.formatChanges.push_back(*pendingChange_);
    pendingChange_.reset();
}

void CaptureRun::OnFormat(const DIOFormat& format) {
    // The first record describes the frames from the start; later ones are changes.
    if (!format.GetFormatChange()) return;
    pendingChange_ = CaptureReport::FormatChange{0, "", FormatValue(format, "VSIG"), FormatValue(format, "ASRT"),
                                                 format.GetFormatChangeBreak() != 0};
}

// Before the first frame of a capture from a timecode: what the tape shows, and
// whether it is time to give up on the start.
std::optional<CaptureFailure> CaptureRun::WatchForStart(double seconds) {
    timecode_t shown{};
    if (device_->DeviceGetTimecode(&shown) == DDC_NoError && !TCIsEmpty(shown)) {
        if (tapeFirstSeen_.empty()) tapeFirstSeen_ = TimecodeText(shown);
        tapeLastSeen_ = TimecodeText(shown);
        const timecode_t start = ToTimecode(*from_, shown.desc);
        // Well past the start without a frame delivered: it is not coming.
        if (TCDiffModDay(start, shown) > 2 * fps_) {
            return CaptureFailure{"the start timecode " + report_.startTimecode +
                                      " never came: the tape went past it, "
                                      "showing " +
                                      tapeFirstSeen_ + " to " + tapeLastSeen_ +
                                      ", and no frame the device took carried it",
                                  kExitStartNotFound};
        }
    }
    if (seconds > kFirstFrameSeconds + static_cast<double>(kCuePrerollFrames) / fps_) {
        const std::string shownText = tapeFirstSeen_.empty() ? "no timecode" : tapeFirstSeen_ + " to " + tapeLastSeen_;
        return CaptureFailure{"the start timecode " + report_.startTimecode + " never came: in " +
                                  std::to_string(static_cast<int>(kFirstFrameSeconds)) + " seconds the tape showed " +
                                  shownText,
                              kExitStartNotFound};
    }
    return std::nullopt;
}

void CaptureRun::ShowStatus(double seconds) {
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
    status_.Show(line);
}

// The ring holds frames of the configured size: a frame of the other standard does
// not fit, so the capture ends before it. Its timecode is read from the part that
// arrived (the take's buffer holds a whole frame of either standard).
bool CaptureRun::EndAtStandardChange(const uint8_t* frame, DIO_VideoFormat other) {
    const DvFrameFacts facts = ReadFrameFacts(frame, kDVFrameSizePAL);
    const std::string at = facts.hasTimecode ? TimecodeText(FrameTimecode(facts)) : "a frame without timecode";
    PlacePendingChange(report_.frames, at);
    endReason_ = "the tape changes to " + StandardName(other) + " at " + at + " (after frame " +
                 std::to_string(report_.frames) + "), which a capture in " + StandardName(standard_) +
                 " cannot take; capture the rest with dvio capture OUT.dv" +
                 (facts.hasTimecode ? " --from " + TimecodeText(FrameTimecode(facts)) : "");
    ended_ = true;
    return false;
}

// The device's count of what it delivered tells how many samples it gave the first
// frame.
void CaptureRun::ReadDeliveryCount() {
    LONG frames = 0, samples = 0;
    if (!streams_.DeliveredAudio(&frames, &samples)) return;
    delivery_.Offer(frames, samples, audio_.FrameSamples());
    if (!audio_.FirstFrameKnown() && delivery_.FirstFrame()) audio_.SetFirstFrameSamples(*delivery_.FirstFrame());
}
