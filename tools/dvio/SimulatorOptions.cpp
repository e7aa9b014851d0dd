#include "SimulatorOptions.h"

#include "DeckClock.h"
#include "FaultListCheck.h"

#include "sim/SimConfig.h"
#include "sim/SimControl.h"

#include <cstdio>

bool SimulatorOptions::Apply(std::string* error) {
    usageError_ = true;
    if (!standard.empty() && standard != "ntsc" && standard != "pal") {
        *error = "--standard must be ntsc or pal, not \"" + standard + "\"";
        return false;
    }
    if (!standard.empty()) {
        const DIO_VideoFormat format = standard == "pal" ? DIO_PAL : DIO_NTSC;
        cardsim::SetCardStandard(format);
        if (tape.empty()) {
            cardsim::BuiltInTapeOptions builtIn;
            builtIn.standard = format;
            cardsim::LoadBuiltInTape(builtIn);
        }
    }
    if (speed != 0) cardsim::SetSpeed(speed);
    // dvio's waits are in deck time: they follow the speed the deck was given here,
    // or the one it started with.
    SetDeckSpeed(speed != 0 ? speed : cardsim::Speed());
    if (!faults.empty()) {
        if (!CheckFaultList(faults, error)) return false;
        std::string why;
        if (!cardsim::SetFaults(faults, &why)) {
            *error = "--fault \"" + faults + "\" was not understood: " + why;
            return false;
        }
    }
    cardsim::DeckModel parsed;
    bool protect = false;
    std::string deckError;
    if (!deck.empty() && !cardsim::ParseDeckOptions(deck, &parsed, &protect, &deckError)) {
        *error = "--deck \"" + deck + "\" was not understood: " + deckError;
        return false;
    }
    if (!tape.empty()) {
        usageError_ = false;
        std::FILE* file = std::fopen(tape.c_str(), "rb");
        if (file == nullptr) {
            *error = "cannot use " + tape + " as the cassette: it cannot be read";
            return false;
        }
        std::fclose(file);
        std::string why;
        if (!cardsim::LoadTapeFile(tape, &why)) {
            *error = "cannot use " + tape + " as the cassette: " + why;
            return false;
        }
    }
    // After the cassette is in: a write-protect option applies to it.
    if (!deck.empty()) cardsim::SetDeckOptions(deck);
    return true;
}

bool SimulatorOptions::Finish(std::string* error) {
    std::string why;
    if (cardsim::WriteBackTape(&why)) return true;
    *error = "the recording could not be written to the cassette file: " + why;
    return false;
}
