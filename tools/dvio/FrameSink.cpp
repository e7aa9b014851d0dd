#include "FrameSink.h"

#include "CaptureCommand.h"
#include "InterfaceValueText.h"
#include "VideoTake.h"

bool FrameSink::OnFrame(const uint8_t* frame, size_t size) {
    // Frames that came with the last one wanted stay in the ring.
    if (ended_) return false;
    const DvFrameFacts facts = ReadFrameFacts(frame, size);
    if (facts.standard != plan_.standard) return EndAtStandardChange(frame, facts.standard);
    const timecode_t tc = FrameTimecode(facts);
    if (plan_.from && !plan_.leadIn && deviceFrames_ == 0 && facts.hasTimecode &&
        TCDiffModDay(ToTimecode(*plan_.from, tc.desc), tc) == 0)
        audio_->ExpectFirstFrameSilenced();
    if (plan_.leadIn && deviceFrames_ == 0) {
        ++deviceFrames_;
        audio_->AddFrame(facts, false, -1, TimecodeText(tc));
        return true;
    }
    if (plan_.to && facts.hasTimecode && TCDiffModDay(ToTimecode(*plan_.to, tc.desc), tc) >= 0) {
        endReason_ = "at " + TimecodeText(tc) + " (--to)";
        ended_ = true;
        return false;
    }
    if (!files_->Write(frame, size, facts, report_->frames, &writeError_)) {
        ended_ = true;
        return false;
    }
    const int64_t index = report_->frames++;
    ++deviceFrames_;
    lastFrameAt_ = std::chrono::steady_clock::now();
    PlacePendingChange(index, TimecodeText(tc));
    report_->timecodes.Add(index, facts);
    report_->formats.Add(index, facts);
    audio_->AddFrame(facts, true, index, TimecodeText(tc));
    if (observer_) observer_(frame, size, facts);
    if (plan_.frameLimit > 0 && report_->frames >= plan_.frameLimit) {
        endReason_ = "after " + std::to_string(report_->frames) + " frames (" + plan_.limitOption + ")";
        ended_ = true;
    }
    return true;
}

// A format record applies from the next frame on, which places it.
void FrameSink::PlacePendingChange(int64_t frame, const std::string& timecode) {
    if (!pendingChange_) return;
    pendingChange_->frame = frame;
    pendingChange_->timecode = timecode;
    report_->formatChanges.push_back(*pendingChange_);
    pendingChange_.reset();
}

void FrameSink::OnFormat(const DIOFormat& format) {
    // The first record describes the frames from the start; later ones are changes.
    if (!format.GetFormatChange()) return;
    pendingChange_ = CaptureReport::FormatChange{0, "", FormatValue(format, "VSIG"), FormatValue(format, "ASRT"),
                                                 format.GetFormatChangeBreak() != 0};
}

// The ring holds frames of the configured size: a frame of the other standard does
// not fit, so the capture ends before it. Its timecode is read from the part that
// arrived (the take's buffer holds a whole frame of either standard).
bool FrameSink::EndAtStandardChange(const uint8_t* frame, DIO_VideoFormat other) {
    const DvFrameFacts facts = ReadFrameFacts(frame, kDVFrameSizePAL);
    const std::string at = facts.hasTimecode ? TimecodeText(FrameTimecode(facts)) : "a frame without timecode";
    PlacePendingChange(report_->frames, at);
    // A capture from a start timecode cues the deck kCuePrerollFrames ahead of it, and
    // those frames must be in the standard of the start: the first start that works
    // is that far into the new standard.
    std::string advice = "capture the rest with dvio capture OUT.dv";
    if (facts.hasTimecode) {
        const LONG skipped = kCuePrerollFrames + 1;
        advice += " --from " + TimecodeText(TCAddModDay(FrameTimecode(facts), skipped)) + " (the " +
                  std::to_string(skipped) + " frames before it cannot be captured from a start timecode)";
    }
    endReason_ = "the tape changes to " + StandardName(other) + " at " + at + " (after frame " +
                 std::to_string(report_->frames) + "), which a capture in " + StandardName(plan_.standard) +
                 " cannot take; " + advice;
    ended_ = true;
    return false;
}
