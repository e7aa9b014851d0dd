#include "StartWatch.h"

#include "CaptureCommand.h"
#include "InterfaceValueText.h"

std::optional<CaptureFailure> StartWatch::Check(double deckSeconds) {
    const std::string& startText = startText_;
    timecode_t shown{};
    if (device_->DeviceGetTimecode(&shown) == DDC_NoError && !TCIsEmpty(shown)) {
        if (firstSeen_.empty()) firstSeen_ = TimecodeText(shown);
        lastSeen_ = TimecodeText(shown);
        const timecode_t start = ToTimecode(start_, shown.desc);
        // Well past the start without a frame delivered: it is not coming.
        if (TCDiffModDay(start, shown) > 2 * fps_) {
            if (auto failure = NoFramesFromTheCard()) return failure;
            return CaptureFailure{"the start timecode " + startText + " never came: the tape went past it, showing " +
                                      firstSeen_ + " to " + lastSeen_ + ", and no frame the device took carried it",
                                  kExitStartNotFound};
        }
    }
    if (deckSeconds > kFirstFrameSeconds + static_cast<double>(kCuePrerollFrames) / fps_) {
        if (auto failure = NoFramesFromTheCard()) return failure;
        const std::string shownText = firstSeen_.empty() ? "no timecode" : firstSeen_ + " to " + lastSeen_;
        return CaptureFailure{"the start timecode " + startText + " never came: in " +
                                  std::to_string(static_cast<int>(kFirstFrameSeconds)) + " seconds the tape showed " +
                                  shownText,
                              kExitStartNotFound};
    }
    return std::nullopt;
}

// The tape played, but the card handed the device no frame: not a start that was
// missed, the capture itself did not run.
std::optional<CaptureFailure> StartWatch::NoFramesFromTheCard() const {
    if (streams_->SignalPresent()) return std::nullopt;
    const std::string text = streams_->DeviceError();
    return CaptureFailure{"the device received no frames while the deck played" +
                          (lastSeen_.empty() ? std::string() : " (the tape showed " + firstSeen_ + " to " + lastSeen_ + ")") +
                          (text.empty() ? "" : "; it reports \"" + text + "\"")};
}
