#include "sim/DeckTransport.h"

#include "KordexDDC.h"

#include <algorithm>
#include <cstdlib>

namespace cardsim {

void DeckTransport::Reset(bool cassetteLoaded, int64_t position) {
    state_ = cassetteLoaded ? DDC_STATE_STOP : DDC_STATE_EJECT;
    position100_ = std::max<int64_t>(position, 0) * 100;
    pending_ = false;
    transitionEnd_ = kNever;
    seekTarget_ = -1;
}

LONG DeckTransport::TargetState() const {
    return pending_ ? StateAfter(pendingCommand_, pendingArgument_) : state_;
}

LONG DeckTransport::StateAfter(DeckCommand command, int64_t argument) const {
    switch (command) {
    case DeckCommand::Play: return DDC_STATE_PLAYBACK;
    case DeckCommand::Stop: return DDC_STATE_STOP;
    case DeckCommand::Pause:
        return state_ == DDC_STATE_RECORD || state_ == DDC_STATE_RECORD_PAUSE ? DDC_STATE_RECORD_PAUSE
                                                                              : DDC_STATE_PLAYBACK_PAUSE;
    case DeckCommand::FastForward: return DDC_STATE_FAST_FORWARD;
    case DeckCommand::Rewind: return DDC_STATE_REWIND;
    case DeckCommand::StepForward: return DDC_STATE_PLAYBACK_PAUSE;
    case DeckCommand::StepBack: return DDC_STATE_REV_PLAYBACK_PAUSE;
    case DeckCommand::Record: return DDC_STATE_RECORD;
    case DeckCommand::RecordPause: return DDC_STATE_RECORD_PAUSE;
    case DeckCommand::Eject: return DDC_STATE_EJECT;
    case DeckCommand::Shuttle: return static_cast<LONG>(argument);
    case DeckCommand::Seek: return DDC_STATE_PLAYBACK_PAUSE;
    }
    return state_;
}

void DeckTransport::Command(DeckCommand command, int64_t argument, SimTime now) {
    // Asking for the state the deck already rests in moves nothing.
    const bool stepOrSeek =
        command == DeckCommand::StepForward || command == DeckCommand::StepBack || command == DeckCommand::Seek;
    if (!pending_ && seekTarget_ < 0 && !stepOrSeek && StateAfter(command, argument) == state_) return;
    pending_ = true;
    pendingCommand_ = command;
    pendingArgument_ = argument;
    seekTarget_ = -1;
    transitionEnd_ = now + MillisecondsToSim(std::max(model_->transitionMs, 0));
}

SimTime DeckTransport::TransitionEnd() const { return pending_ && !stuck_ ? transitionEnd_ : kNever; }

void DeckTransport::SetStuck(bool stuck, SimTime now) {
    if (stuck_ && !stuck && pending_) transitionEnd_ = now;
    stuck_ = stuck;
}

bool DeckTransport::Busy() const {
    return TransitionEnd() != kNever || seekTarget_ >= 0 || MotionOf(state_).speed100 != 0;
}

DeckTransport::Motion DeckTransport::MotionOf(LONG state) const {
    const int64_t wind = std::max(model_->windSpeed, 1) * int64_t{100};
    switch (state) {
    case DDC_STATE_PLAYBACK: return {100, true};
    case DDC_STATE_RECORD: return {100, false};
    case DDC_STATE_PLAYBACK_PAUSE:
    case DDC_STATE_REV_PLAYBACK_PAUSE: return {0, true};
    case DDC_STATE_FAST_FORWARD: return {wind, false};
    case DDC_STATE_REWIND: return {-wind, false};
    case DDC_STATE_1_10: return {10, true};
    case DDC_STATE_1_5: return {20, true};
    case DDC_STATE_X1: return {100, true};
    case DDC_STATE_X2: return {200, true};
    case DDC_STATE_X20: return {2000, false};
    case DDC_STATE_REV_1_10: return {-10, true};
    case DDC_STATE_REV_1_5: return {-20, true};
    case DDC_STATE_REV_X1: return {-100, true};
    case DDC_STATE_REV_X2: return {-200, true};
    case DDC_STATE_REV_X20: return {-2000, false};
    default: return {0, false};
    }
}

void DeckTransport::Park(int64_t target, int64_t tapeLength) {
    const int64_t landed = std::clamp<int64_t>(target + model_->landingOffset, 0, std::max<int64_t>(tapeLength - 1, 0));
    position100_ = landed * 100;
    state_ = DDC_STATE_PLAYBACK_PAUSE;
    seekTarget_ = -1;
}

DeckTransport::Arrival DeckTransport::FinishTransition(int64_t tapeLength) {
    if (!pending_) return Arrival::None;
    const LONG target = TargetState();
    pending_ = false;
    transitionEnd_ = kNever;
    const int64_t last = std::max<int64_t>(tapeLength - 1, 0);
    switch (pendingCommand_) {
    case DeckCommand::StepForward:
        position100_ = std::min(Position() + 1, last) * 100;
        state_ = DDC_STATE_PLAYBACK_PAUSE;
        break;
    case DeckCommand::StepBack:
        position100_ = std::max<int64_t>(Position() - 1, 0) * 100;
        state_ = DDC_STATE_REV_PLAYBACK_PAUSE;
        break;
    case DeckCommand::Seek: {
        const int64_t target = std::clamp<int64_t>(pendingArgument_, 0, last);
        const int64_t wind = std::max(model_->windSpeed, 1);
        if (std::abs(target - Position()) <= wind) {
            Park(target, tapeLength);
        } else {
            seekTarget_ = target;
            state_ = target > Position() ? DDC_STATE_FAST_FORWARD : DDC_STATE_REWIND;
        }
        break;
    }
    case DeckCommand::Eject:
        state_ = DDC_STATE_EJECT;
        position100_ = 0;
        return Arrival::Ejected;
    default:
        // Frame-accurate commands act on whole frames.
        position100_ = Position() * 100;
        state_ = target;
        break;
    }
    return Arrival::None;
}

DeckTransport::Frame DeckTransport::Tick(int64_t tapeLength) {
    Frame frame;
    if (InTransition() || tapeLength <= 0) return frame;
    const Motion motion = MotionOf(state_);
    const int64_t here = Position();
    if (motion.pictures) frame.picture = here;
    if (state_ == DDC_STATE_RECORD) frame.record = here;
    if (motion.speed100 == 0) return frame;

    const int64_t last100 = (tapeLength - 1) * 100;
    position100_ += motion.speed100;
    if (seekTarget_ >= 0) {
        const int64_t target100 = seekTarget_ * 100;
        const bool reached = motion.speed100 > 0 ? position100_ >= target100 - motion.speed100
                                                 : position100_ <= target100 - motion.speed100;
        if (reached) {
            Park(seekTarget_, tapeLength);
            return frame;
        }
    }
    if (position100_ > last100 || position100_ < 0) {
        // The tape end stops the deck.
        position100_ = std::clamp<int64_t>(position100_, 0, last100) / 100 * 100;
        state_ = DDC_STATE_STOP;
        seekTarget_ = -1;
    }
    return frame;
}

void DeckTransport::Settle(LONG state, int64_t position) {
    pending_ = false;
    transitionEnd_ = kNever;
    seekTarget_ = -1;
    state_ = state;
    position100_ = std::max<int64_t>(position, 0) * 100;
}

}  // namespace cardsim
