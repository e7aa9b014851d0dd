// dvio: a command-line host for the DV device plug-in. It loads the plug-in by file
// name and drives it only through its exports and the DigitalDevice interface, against
// the simulated card and deck.
#include "InfoCommand.h"
#include "PluginHost.h"
#include "SimulatorOptions.h"

#include "win32_debug_sink.h"

#include <CLI/CLI.hpp>

#include <iostream>

namespace {

constexpr LONG kTraceSwitchesControl = 0xb00005;

// "deck,capture,playback" -> the trace switch bits.
bool ParseTrace(const std::string& list, LONG* bits, std::string* error) {
    *bits = 0;
    size_t start = 0;
    while (start <= list.size()) {
        const size_t comma = list.find(',', start);
        const std::string word = list.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        if (word == "deck") *bits |= 1;
        else if (word == "capture") *bits |= 2;
        else if (word == "playback") *bits |= 4;
        else if (!word.empty()) {
            *error = "--trace takes deck, capture and playback, not \"" + word + "\"";
            return false;
        }
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    CLI::App app{"dvio - capture from, print to and control a DV deck through the DV device plug-in"};
    app.require_subcommand(1);

    std::string pluginPath = PluginHost::DefaultPluginPath();
    std::string logTarget;
    std::string trace;
    SimulatorOptions simulator;
    app.add_option("--plugin", pluginPath, "the plug-in to load (default: the one next to dvio)");
    app.add_option("--log", logTarget, "where the plug-in's debug lines go: a file, or - for standard error");
    app.add_option("--trace", trace, "trace card calls: a list of deck, capture, playback");
    app.add_option("--tape", simulator.tape, "a .dv file as the cassette in the deck (default: the built-in tape)");
    app.add_option("--standard", simulator.standard, "the card's video standard: ntsc or pal");
    app.add_option("--speed", simulator.speed, "how much faster than real time the simulated deck runs");
    app.add_option("--fault", simulator.faults, "faults to inject into the simulated card and deck");

    CLI::App* info = app.add_subcommand("info", "show the plug-in's version, adapter, device, controls and formats");

    CLI11_PARSE(app, argc, argv);

    if (!logTarget.empty()) win32::SetDebugLogTarget(logTarget.c_str());
    std::string error;
    LONG traceBits = 0;
    if (!ParseTrace(trace, &traceBits, &error) || !ApplySimulatorOptions(simulator, &error)) {
        std::cerr << "dvio: " << error << "\n";
        return 2;
    }
    PluginHost host;
    if (!host.Load(pluginPath, &error)) {
        std::cerr << "dvio: " << error << "\n";
        return 1;
    }
    if (traceBits != 0) host.Device()->SetControl(kTraceSwitchesControl, &traceBits);

    if (info->parsed()) return RunInfo(host, std::cout);
    return 0;
}
