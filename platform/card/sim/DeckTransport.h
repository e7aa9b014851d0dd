// The deck's mechanism: the transport state it shows, the tape position under the
// head, and the mechanical time each change takes.
//
// A command starts a transition that lasts the deck model's transition time; while
// it lasts the deck shows no state (queries answer "in transition"), the tape stands
// still and no picture comes out. A new command replaces one in transition. Once
// settled, each frame period (Tick) moves the tape by the state's speed: play one
// frame, slow motion a fraction, winding and seeking tens of frames, and reports
// which frame the deck shows (pictures come in play, slow motion and pause, not
// while winding or stopped) and which frame the head records. The tape ends stop
// any motion. Not locked: the world's lock guards it.
#pragma once

#include "KordexDDC.h"
#include "sim/SimTime.h"
#include "sim/SimTypes.h"

#include <cstdint>

namespace cardsim {

enum class DeckCommand {
    Play,
    Stop,
    Pause,
    FastForward,
    Rewind,
    StepForward,
    StepBack,
    Record,
    RecordPause,
    Eject,
    Shuttle,  // argument: the raw shuttle state (DDC_STATE_1_10 ... DDC_STATE_REV_X20, or PLAYBACK_PAUSE)
    Seek,     // argument: the target position
    SeekMissing,  // a search for what the tape does not hold; argument: +1 winds forward, -1 back
};

class DeckTransport {
public:
    explicit DeckTransport(const DeckModel* model) : model_(model) {}

    // Stopped at `position`, or showing EJECT without a cassette; nothing pending.
    void Reset(bool cassetteLoaded, int64_t position = 0);

    void Command(DeckCommand command, int64_t argument, SimTime now);
    // When the transition in progress ends (kNever when none, or while stuck).
    SimTime TransitionEnd() const;
    enum class Arrival { None, Ejected };
    // Completes the transition (at TransitionEnd()).
    Arrival FinishTransition(int64_t tapeLength);

    bool InTransition() const { return pending_ || stuck_; }
    // While stuck the deck never leaves its transition; freeing it lets a pending one
    // end `now`.
    void SetStuck(bool stuck, SimTime now);
    bool Stuck() const { return stuck_; }

    LONG State() const { return state_; }
    // The state being moved to, or the settled state.
    LONG TargetState() const;
    int64_t Position() const { return position100_ / 100; }
    bool Seeking() const { return phase_ != SeekPhase::None; }
    // A search ended at a tape end without finding its target (until the next command).
    bool SearchFailed() const { return searchFailed_; }
    // True while the deck winds the tape without pictures (fast wind, x20 shuttle, a search).
    bool Winding() const;
    // Only settled in still or play can the deck step a frame.
    bool StillOrPlaying() const;
    bool IsRecording() const { return !pending_ && state_ == DDC_STATE_RECORD; }
    bool InRecordPause() const { return !pending_ && !stuck_ && state_ == DDC_STATE_RECORD_PAUSE; }
    bool HeadingForRecordPause() const { return pending_ && TargetState() == DDC_STATE_RECORD_PAUSE; }
    // True while the tape moves or a transition will end: time matters to the deck.
    bool Busy() const;

    struct Frame {
        int64_t picture = -1;  // frame shown this period, -1 for none
        int64_t record = -1;   // frame the head writes this period, -1 for none
    };
    Frame Tick(int64_t tapeLength);

    // Puts the deck into `state` at `position` at once (synchronised record hands the
    // deck between record pause and record this way; tests park the deck with it).
    void Settle(LONG state, int64_t position);

private:
    struct Motion {
        int64_t speed100;  // hundredths of a frame per frame period
        bool pictures;
    };
    Motion MotionOf(LONG state) const;
    LONG StateAfter(DeckCommand command, int64_t argument) const;
    void Park(int64_t target, int64_t tapeLength);
    int TransitionMs(DeckCommand command, int64_t argument) const;
    void StartSearch(int64_t target, int direction, bool found, int64_t tapeLength);
    void SearchTick(int64_t tapeLength);

    // A search winds past its target (when the model overshoots), stops to reverse,
    // and creeps back at play speed.
    enum class SeekPhase { None, Winding, Reversing, Approaching };

    const DeckModel* model_;
    LONG state_ = 2;
    int64_t position100_ = 0;
    bool pending_ = false;
    DeckCommand pendingCommand_ = DeckCommand::Stop;
    int64_t pendingArgument_ = 0;
    SimTime transitionEnd_ = kNever;
    bool stuck_ = false;
    SeekPhase phase_ = SeekPhase::None;
    int64_t seekTarget_ = 0;
    int seekDirection_ = 1;
    bool seekFound_ = true;
    int reverseTicks_ = 0;
    unsigned searches_ = 0;
    bool searchFailed_ = false;
};

}  // namespace cardsim
