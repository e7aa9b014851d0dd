#include "SimulatorOptions.h"

#include "sim/SimControl.h"

#include <cstdio>

bool SimulatorOptions::Apply(std::string* error) {
    usageError_ = true;
    if (!standard.empty() && standard != "ntsc" && standard != "pal") {
        *error = "--standard must be ntsc or pal, not \"" + standard + "\"";
        return false;
    }
    if (speed != 0 && !(speed > 0 && speed <= 1000)) {
        *error = "--speed must be more than 0 and at most 1000";
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
    if (!faults.empty()) {
        std::string why;
        if (!cardsim::SetFaults(faults, &why)) {
            *error = "--fault \"" + faults + "\" was not understood: " + why;
            return false;
        }
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
    return true;
}

bool SimulatorOptions::Finish(std::string* error) {
    std::string why;
    if (cardsim::WriteBackTape(&why)) return true;
    *error = "the recording could not be written to the cassette file: " + why;
    return false;
}
