// The one simulated world of the process: the card, the deck, the cassette in it,
// the clock, the faults and the journal. Every card and deck-control function and
// every control call locks it, brings it up to the clock's "now" (AdvanceToNow),
// then acts; time only moves inside those calls, so no thread of our own runs and
// nothing blocks.
//
// Between two calls the world replays what happened in order: the deck's transition
// ends, the device coming and going, and one step per frame period in which the card
// plays a frame, the deck moves and records what the card plays, and the card
// captures what the deck shows.
#pragma once

#include "sim/Cassette.h"
#include "sim/CardDriver.h"
#include "sim/DeckControlState.h"
#include "sim/DeckTransport.h"
#include "sim/Faults.h"
#include "sim/Journal.h"
#include "sim/SimClock.h"
#include "sim/SyncRecord.h"

#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace cardsim {

class World {
public:
    World();
    ~World();
    World(const World&) = delete;
    World& operator=(const World&) = delete;

    // The process-wide world, created (and configured from the environment) on first
    // use. It is never destroyed; at unload its file cassettes are written back.
    static World& Instance();

    std::mutex mutex;

    // Back to a fresh world: built-in tape, card closed, no faults, empty journal, real
    // clock at speed 1. A cassette from a file is written back first.
    void ResetAll();

    // Brings the world up to the clock's present.
    void AdvanceToNow();
    SimTime Now() const { return now_; }
    int64_t NowMicros() const { return SimToMicroseconds(now_); }

    // Cassettes.
    void InsertCassette(std::unique_ptr<Cassette> cassette, int64_t position);
    // Takes the cassette out (written back first); it can be put back with Reinsert.
    void RemoveCassette();
    // Writes back every cassette loaded from a file (the one in the deck and an ejected
    // one); false with the first failure in *error (also kept as TapeError).
    bool WriteBackAll(std::string* error = nullptr);
    // Takes out and lets go of any cassette (in the deck or ejected) that is the file
    // at `path`, written back first, so that the file can be loaded again.
    void ReleaseFile(const std::string& path);
    bool ReinsertCassette();
    Cassette* cassette() { return cassette_.get(); }

    // Sends a transport command to the deck at the present time. A synchronised record
    // in progress ends (the deck was told to do something else).
    void IssueDeckCommand(DeckCommand command, int64_t argument);
    // Answers an AV/C command frame (through the editing fault, when one is set).
    std::vector<uint8_t> AnswerAVC(const std::vector<uint8_t>& command);
    // The position whose timecode the deck reports now, -1 when it reads none: by deck
    // model, none while the mechanism moves and a stale one while winding.
    int64_t TimecodePosition();

    // Card mode changes that end a synchronised record.
    void StopSyncRecord();
    // PdvSyncRecNoParam after the driver checks: false when the deck is not ready.
    bool ArmSyncRecord();

    bool Connected() const { return connected_; }
    void SetConnected(bool connected) { connected_ = connected; }
    void SetStuck(bool stuck);

    // The written-back error of the cassette file, if the last write-back failed.
    const std::string& TapeError() const { return tapeError_; }
    const std::string& ConfigError() const { return configError_; }
    void SetConfigError(const std::string& error) { configError_ = error; }

    // The frame shown when the card has nothing to send (its own black frame).
    const std::vector<uint8_t>& NoSignalFrame(DIO_VideoFormat standard);

    SimClock clock;
    Journal journal;
    Faults faults;
    DeckModel model;
    DeckTransport deck{&model};
    CardDriver card;
    SyncRecord sync;
    DeckControlState ddc;
    BuiltInTapeOptions builtInOptions;
    uint64_t framesRecorded = 0;
    uint64_t framesNotRecorded = 0;

private:
    std::vector<uint8_t> AnswerAVCUnedited(const std::vector<uint8_t>& command);
    void AdvanceTo(SimTime target);
    void FrameStep();
    void CaptureFrame(int64_t picture);
    void RecordFrame(int64_t position, const std::vector<uint8_t>* cardOutput);
    void WriteBackIfRecordingStopped();
    void FinishDeckTransition();
    bool Idle() const;
    DIO_VideoFormat ClockStandard() const;
    void ScheduleNextTick(SimTime from);
    // Lets go of the ejected cassette, written back first.
    void ForgetEjected();

    std::unique_ptr<Cassette> cassette_;
    std::unique_ptr<Cassette> ejected_;
    bool connected_ = true;
    SimTime now_ = 0;
    SimTime nextTick_ = 0;
    bool wasRecording_ = false;
    bool finalAnswerPending_ = false;
    std::vector<uint8_t> finalAnswer_;
    // A final answer not yet taken by a command, and when it came.
    std::vector<uint8_t> strayAnswer_;
    SimTime strayAt_ = 0;
    int64_t timecodeRead_ = -1;
    SimTime timecodeReadAt_ = 0;
    std::vector<uint8_t> noSignal_[2];
    std::string tapeError_;
    std::string lostRecording_;
    std::string configError_;
};

}  // namespace cardsim
