// The simulated world dvio runs against: the cassette in the deck, the card's
// standard, the clock's speed and injected faults.
#pragma once

#include <string>

struct SimulatorOptions {
    std::string tape;      // a .dv file as the cassette; empty: the built-in tape
    std::string standard;  // "ntsc", "pal" or empty for the default
    double speed = 0;      // 0: leave the clock as it is
    std::string faults;    // the simulator's fault list
};

// Applies the options; false with a sentence in *error when one cannot be applied.
bool ApplySimulatorOptions(const SimulatorOptions& options, std::string* error);
