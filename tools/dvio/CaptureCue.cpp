#include "CaptureCue.h"

#include "CaptureCommand.h"
#include "DeckCommand.h"
#include "InterfaceValueText.h"

namespace {

bool IsMoving(TransportState_t state) { return state == TransportPlaying || state == TransportForwardPlaying; }

}  // namespace

namespace {

CaptureFailure Stuck(const std::string& what) {
    return CaptureFailure{"the deck " + what + ": it stayed in transition for " +
                          std::to_string(static_cast<int>(kTransportPatienceSeconds)) +
                          " seconds (deck time) and is stuck"};
}

}  // namespace

std::optional<CaptureFailure> CaptureCue::Cue(const std::optional<timecode_t>& start) {
    TransportState_t state = TransportUnknown;
    const DDCError_t stateError = deck_->State(&state);
    if (deck_->Interrupted()) return CaptureFailure{"interrupted"};
    if (stateError == DDC_DeviceInTransition || stateError == DDC_DeviceBusy)
        return Stuck("does not tell its state");
    if (start) {
        timecode_t arrived{};
        DDCError_t error =
            deck_->SeekAndWait(TCAddModDay(*start, -kCuePrerollFrames), kSeekPatienceSeconds, &arrived);
        // The device finds its start only among frames it sees after the streams run,
        // and it silences the audio of the first frame it delivers at a start timecode
        // (it takes that frame as a repeat of the start itself). So where the tape
        // holds the frames before the start, the device is asked to start one frame
        // early and that lead-in frame is dropped.
        if (deck_->Interrupted()) return CaptureFailure{"interrupted"};
        if (error == DDC_DeviceInTransition) return Stuck("could not cue to " + TimecodeText(*start));
        const LONG before = error == DDC_NoError && !TCIsEmpty(arrived) ? TCDiffModDay(arrived, *start) : 0;
        leadIn_ = before >= 1 && before <= 2 * kCuePrerollFrames;
        if (!leadIn_) {
            // The start follows a break or begins the recording: cue to it, then back
            // up over whatever frames come before it.
            error = deck_->SeekAndWait(*start, kSeekPatienceSeconds, &arrived);
            if (error == DDC_DeviceInTransition) return Stuck("could not cue to " + TimecodeText(*start));
            if (error != DDC_NoError)
                return CaptureFailure{"the deck could not cue to " + TimecodeText(*start) + ": " + DDCErrorText(error)};
            if (StepBack(kStartStepsBack) == 0) {
                return CaptureFailure{
                    "the start timecode " + TimecodeText(*start) +
                    " is the first frame of the recording, and the device needs to see frames before its "
                    "start: capture from the frame after it, or without --from"};
            }
        }
    } else if (IsMoving(state)) {
        deckWasPlaying_ = true;
        return std::nullopt;
    }
    // Stopped, the deck shows no still picture that the streams could take for the tape.
    if (state != TransportStopped || start) {
        const DDCError_t error = deck_->Transport(&DigitalDevice::DeviceStop);
        if (error == DDC_DeviceInTransition) return Stuck("refused to stop before the capture");
        if (error != DDC_NoError)
            return CaptureFailure{"the deck refused to stop before the capture: " + DDCErrorText(error)};
        deck_->WaitForState(TransportStopped, kTransportPatienceSeconds);
    }
    return std::nullopt;
}

// Steps the tape back frame by frame while it shows earlier frames; the steps taken.
int CaptureCue::StepBack(int steps) {
    int taken = 0;
    for (; taken < steps; ++taken) {
        timecode_t here{}, there{};
        if (deck_->Timecode(&here) != DDC_NoError) break;
        if (deck_->Transport(&DigitalDevice::DeviceRewFrame) != DDC_NoError) break;
        deck_->WaitForState(TransportPaused, kTransportPatienceSeconds);
        if (deck_->Timecode(&there) != DDC_NoError || TCEqual(&here, &there)) break;
    }
    return taken;
}
