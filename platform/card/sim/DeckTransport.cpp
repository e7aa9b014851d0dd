#include "sim/DeckTransport.h"

#include "KordexDDC.h"

#include <algorithm>
#include <cstdlib>

namespace cardsim {

namespace {

// States in which the tape is wrapped round the head drum.
bool Threaded(LONG state) {
    return state != DDC_STATE_STOP && state != DDC_STATE_EJECT && state != DDC_STATE_FAST_FORWARD &&
           state != DDC_STATE_REWIND;
}

}  // namespace

void DeckTransport::Reset(bool cassetteLoaded, int64_t position) {
    state_ = cassetteLoaded ? DDC_STATE_STOP : DDC_STATE_EJECT;
    position100_ = std::max<int64_t>(position, 0) * 100;
    pending_ = false;
    transitionEnd_ = kNever;
    phase_ = SeekPhase::None;
    searches_ = 0;
    searchFailed_ = false;
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
    case DeckCommand::SeekMissing: return argument >= 0 ? DDC_STATE_FAST_FORWARD : DDC_STATE_REWIND;
    }
    return state_;
}

int DeckTransport::TransitionMs(DeckCommand command, int64_t argument) const {
    const int plain = std::max(model_->transitionMs, 0);
    const LONG to = command == DeckCommand::SeekMissing ? DDC_STATE_PLAYBACK_PAUSE : StateAfter(command, argument);
    if (to == DDC_STATE_EJECT) return model_->ejectMs < 0 ? plain : model_->ejectMs;
    if (!Threaded(state_) && Threaded(to)) return model_->threadMs < 0 ? plain : model_->threadMs;
    return plain;
}

void DeckTransport::Command(DeckCommand command, int64_t argument, SimTime now) {
    // Asking for the state the deck already rests in moves nothing.
    const bool stepOrSeek = command == DeckCommand::StepForward || command == DeckCommand::StepBack ||
                            command == DeckCommand::Seek || command == DeckCommand::SeekMissing;
    if (!pending_ && phase_ == SeekPhase::None && !stepOrSeek && StateAfter(command, argument) == state_) return;
    pending_ = true;
    pendingCommand_ = command;
    pendingArgument_ = argument;
    phase_ = SeekPhase::None;
    searchFailed_ = false;
    transitionEnd_ = now + MillisecondsToSim(TransitionMs(command, argument));
}

SimTime DeckTransport::TransitionEnd() const { return pending_ && !stuck_ ? transitionEnd_ : kNever; }

void DeckTransport::SetStuck(bool stuck, SimTime now) {
    if (stuck_ && !stuck && pending_) transitionEnd_ = now;
    stuck_ = stuck;
}

bool DeckTransport::Busy() const {
    return TransitionEnd() != kNever || phase_ != SeekPhase::None || MotionOf(state_).speed100 != 0;
}

bool DeckTransport::Winding() const {
    if (InTransition()) return false;
    const Motion motion = MotionOf(state_);
    return motion.speed100 != 0 && !motion.pictures;
}

bool DeckTransport::StillOrPlaying() const {
    return !InTransition() && (state_ == DDC_STATE_PLAYBACK_PAUSE || state_ == DDC_STATE_REV_PLAYBACK_PAUSE ||
                               state_ == DDC_STATE_PLAYBACK);
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
    const int miss = model_->landingMisses[searches_++ % model_->landingMisses.size()];
    const int64_t landed =
        std::clamp<int64_t>(target + model_->landingOffset + miss, 0, std::max<int64_t>(tapeLength - 1, 0));
    position100_ = landed * 100;
    state_ = DDC_STATE_PLAYBACK_PAUSE;
    phase_ = SeekPhase::None;
}

void DeckTransport::StartSearch(int64_t target, int direction, bool found, int64_t tapeLength) {
    seekTarget_ = target;
    seekDirection_ = direction;
    seekFound_ = found;
    if (found && std::abs(target - Position()) <= std::max(model_->windSpeed, 1)) {
        Park(target, tapeLength);
        return;
    }
    phase_ = SeekPhase::Winding;
    state_ = direction > 0 ? DDC_STATE_FAST_FORWARD : DDC_STATE_REWIND;
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
        const int64_t to = std::clamp<int64_t>(pendingArgument_, 0, last);
        StartSearch(to, to >= Position() ? 1 : -1, true, tapeLength);
        break;
    }
    case DeckCommand::SeekMissing:
        StartSearch(pendingArgument_ >= 0 ? last : 0, pendingArgument_ >= 0 ? 1 : -1, false, tapeLength);
        break;
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

void DeckTransport::SearchTick(int64_t tapeLength) {
    const int64_t last100 = (tapeLength - 1) * 100;
    const int64_t target100 = seekTarget_ * 100;
    const int64_t speed = MotionOf(state_).speed100;
    switch (phase_) {
    case SeekPhase::Winding: {
        position100_ += speed;
        const bool atEnd = position100_ >= last100 || position100_ <= 0;
        position100_ = std::clamp<int64_t>(position100_, 0, last100);
        if (!seekFound_) {
            if (atEnd) {
                // Nothing found from here to the tape end: the deck gives up there.
                position100_ = position100_ / 100 * 100;
                state_ = DDC_STATE_STOP;
                phase_ = SeekPhase::None;
                searchFailed_ = true;
            }
            return;
        }
        const int64_t overshoot = std::max(model_->overshootFrames, 0) * int64_t{100};
        const int64_t stopAt = target100 + seekDirection_ * overshoot;
        const bool reached = seekDirection_ > 0 ? position100_ >= stopAt - speed : position100_ <= stopAt - speed;
        if (!reached && !atEnd) return;
        if (overshoot == 0) {
            Park(seekTarget_, tapeLength);
            return;
        }
        position100_ = std::clamp<int64_t>(stopAt, 0, last100) / 100 * 100;
        phase_ = SeekPhase::Reversing;
        state_ = DDC_STATE_STOP;
        reverseTicks_ = std::max(model_->reverseStopMs, 0) * 30 / 1000;
        return;
    }
    case SeekPhase::Reversing:
        if (reverseTicks_-- > 0) return;
        phase_ = SeekPhase::Approaching;
        state_ = seekDirection_ > 0 ? DDC_STATE_REV_X1 : DDC_STATE_X1;
        return;
    case SeekPhase::Approaching:
        position100_ += speed;
        if (seekDirection_ > 0 ? position100_ <= target100 : position100_ >= target100) Park(seekTarget_, tapeLength);
        return;
    case SeekPhase::None:
        return;
    }
}

DeckTransport::Frame DeckTransport::Tick(int64_t tapeLength) {
    Frame frame;
    if (InTransition() || tapeLength <= 0) return frame;
    const Motion motion = MotionOf(state_);
    const int64_t here = Position();
    if (motion.pictures) frame.picture = here;
    if (state_ == DDC_STATE_RECORD) frame.record = here;
    if (phase_ != SeekPhase::None) {
        SearchTick(tapeLength);
        return frame;
    }
    if (motion.speed100 == 0) return frame;

    const int64_t last100 = (tapeLength - 1) * 100;
    position100_ += motion.speed100;
    if (position100_ > last100 || position100_ < 0) {
        // The tape end stops the deck.
        position100_ = std::clamp<int64_t>(position100_, 0, last100) / 100 * 100;
        state_ = DDC_STATE_STOP;
    }
    return frame;
}

void DeckTransport::Settle(LONG state, int64_t position) {
    pending_ = false;
    transitionEnd_ = kNever;
    phase_ = SeekPhase::None;
    state_ = state;
    position100_ = std::max<int64_t>(position, 0) * 100;
}

}  // namespace cardsim
