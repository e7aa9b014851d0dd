// The simulated world dvio runs against: the cassette in the deck, the card's
// standard, the clock's speed and injected faults.
#pragma once

#include <string>

// The fastest the simulated deck may run for dvio: beyond it a capture cannot keep up
// with the deck on an ordinary machine (the card's ring fills faster than frames are
// taken, and a start timecode passes before the device sees it).
constexpr double kMaxSpeed = 60;

struct SimulatorOptions {
    std::string tape;      // a .dv file as the cassette; empty: the built-in tape
    std::string standard;  // "ntsc", "pal" or empty for the default
    double speed = 0;      // 0: leave the clock as it is; else checked by the caller (kMaxSpeed)
    std::string faults;    // the simulator's fault list
    std::string deck;      // the deck's options ("real": a real deck's pace and manners); empty: as it is

    // After a failed Apply: whether the command line was at fault (rather than a file).
    bool UsageError() const { return usageError_; }

    // Applies the options; false with a sentence in *error when one cannot be applied.
    bool Apply(std::string* error);
    // After the command: puts what was recorded onto a cassette file into that file;
    // false with a sentence in *error when it cannot be (the file stays as it was).
    bool Finish(std::string* error);

private:
    bool usageError_ = false;
};

inline bool ApplySimulatorOptions(SimulatorOptions& options, std::string* error) { return options.Apply(error); }
