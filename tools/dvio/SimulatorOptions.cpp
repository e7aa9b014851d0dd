#include "SimulatorOptions.h"

#include "sim/SimControl.h"

bool ApplySimulatorOptions(const SimulatorOptions& options, std::string* error) {
    if (!options.standard.empty()) {
        if (options.standard != "ntsc" && options.standard != "pal") {
            *error = "--standard must be ntsc or pal, not \"" + options.standard + "\"";
            return false;
        }
        const DIO_VideoFormat standard = options.standard == "pal" ? DIO_PAL : DIO_NTSC;
        cardsim::SetCardStandard(standard);
        if (options.tape.empty()) {
            cardsim::BuiltInTapeOptions tape;
            tape.standard = standard;
            cardsim::LoadBuiltInTape(tape);
        }
    }
    if (!options.tape.empty()) {
        std::string why;
        if (!cardsim::LoadTapeFile(options.tape, &why)) {
            *error = "cannot use " + options.tape + " as the cassette: " + why;
            return false;
        }
    }
    if (options.speed != 0 && !cardsim::SetSpeed(options.speed)) {
        *error = "--speed must be more than 0 and at most 1000";
        return false;
    }
    if (!options.faults.empty()) {
        std::string why;
        if (!cardsim::SetFaults(options.faults, &why)) {
            *error = "--fault \"" + options.faults + "\" was not understood: " + why;
            return false;
        }
    }
    return true;
}
