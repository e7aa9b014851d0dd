// dvio: a command-line host for the DV device plug-in. It loads the plug-in by file
// name and drives it only through its exports and the DigitalDevice interface, against
// the simulated card and deck; its tape commands work on DV files directly.
#include "CaptureCommand.h"
#include "DeckCommand.h"
#include "ExitCodes.h"
#include "InfoCommand.h"
#include "PluginHost.h"
#include "SimulatorOptions.h"
#include "TapeCommands.h"
#include "TraceOption.h"

#include "Win32DebugSink.h"

#include <CLI/CLI.hpp>

#include <iostream>

namespace {

constexpr LONG kTraceSwitchesControl = 0xb00005;

const char* const kFooter =
    "Exit codes: 0 done; 1 the device, the deck or a file failed; 2 the command line is wrong;\n"
    "3 a capture's start timecode never came.";

}  // namespace

int main(int argc, char** argv) {
    CLI::App app{"dvio - capture from, and control, a DV deck through the DV device plug-in"};
    app.require_subcommand(1);
    app.fallthrough();
    app.footer(kFooter);

    std::string pluginPath = PluginHost::DefaultPluginPath();
    std::string logTarget;
    std::string trace;
    bool json = false;
    SimulatorOptions simulator;
    app.add_option("--plugin", pluginPath, "the plug-in to load (default: the one next to dvio)");
    app.add_option("--log", logTarget, "where the plug-in's debug lines go: a file, or - for standard error");
    app.add_option("--trace", trace, "log the plug-in's card calls (with --log): a list of deck, capture, playback");
    app.add_option("--tape", simulator.tape, "a .dv file as the cassette in the deck (default: the built-in tape)");
    app.add_option("--standard", simulator.standard, "ntsc or pal: the card's standard and the built-in tape's");
    app.add_option("--speed", simulator.speed, "how many times faster than real time the simulated deck runs");
    app.add_option("--fault", simulator.faults, "faults to inject into the simulated card and deck, as a list");
    app.add_flag("--json", json, "print results as JSON");

    CLI::App* info = app.add_subcommand("info", "the plug-in's version, adapter, device, controls and formats");

    CaptureRequest capture;
    CLI::App* captureCommand = app.add_subcommand("capture", "capture from the deck to a .dv file and a WAV file");
    captureCommand->add_option("OUT.dv", capture.dvPath, "the raw DV file to write")->required();
    captureCommand->add_option("--wav", capture.wavPath, "the WAV file (default: OUT.wav)");
    captureCommand->add_option("--from", capture.from, "cue the deck and start at this timecode (HH:MM:SS:FF)");
    CLI::Option* to = captureCommand->add_option("--to", capture.to, "stop before the frame with this timecode");
    CLI::Option* frames = captureCommand->add_option("--frames", capture.frames, "stop after this many frames")
                              ->check(CLI::PositiveNumber);
    CLI::Option* seconds = captureCommand->add_option("--seconds", capture.seconds, "stop after this many seconds")
                               ->check(CLI::PositiveNumber);
    to->excludes(frames)->excludes(seconds);
    frames->excludes(seconds);
    captureCommand->footer("Without --to, --frames or --seconds the capture runs until Ctrl-C or the end of the tape.");

    std::vector<std::string> deckWords;
    CLI::App* deck = app.add_subcommand("deck", "run deck commands in order, each printing its result");
    deck->add_option("COMMAND", deckWords, "deck commands and their arguments");
    deck->footer(
        "Commands: play stop pause ff rew step back record eject state timecode,\n"
        "  seek TC (waits until the deck has arrived), shuttle SPEED (-100 to 100), wait SECONDS (deck time).\n"
        "Example: dvio deck seek 00:01:00;00 timecode play wait 2 pause timecode\n"
        "Options go before the commands.");

    CLI::App* tape = app.add_subcommand("tape", "make and inspect DV files");
    tape->require_subcommand(1);
    TapeNewRequest tapeNew;
    std::string tapeNewStandard;
    CLI::App* tapeNewCommand = tape->add_subcommand("new", "write a test tape: test pattern, tones, timecode");
    tapeNewCommand->add_option("OUT.dv", tapeNew.path, "the DV file to write")->required();
    tapeNewCommand->add_option("--seconds", tapeNew.seconds, "its length (default 10)")->check(CLI::PositiveNumber);
    tapeNewCommand->add_option("--start", tapeNew.start,
                               "timecode of the first frame (NTSC counts drop-frame unless written HH:MM:SS:FF)");
    tapeNewCommand->add_option("--standard", tapeNewStandard, "ntsc or pal (default ntsc)");
    tapeNewCommand->add_option("--rate", tapeNew.rate, "audio sample rate")->check(CLI::IsMember({48000, 44100, 32000}));
    tapeNewCommand->add_option("--channels", tapeNew.channels, "audio channels (4 needs --rate 32000)")
        ->check(CLI::IsMember({2, 4}));
    tapeNewCommand->add_flag("--blank", tapeNew.blank,
                             "an empty, blank cassette to record onto instead (a new file; other options unused)");
    std::string tapeInfoPath;
    CLI::App* tapeInfo = tape->add_subcommand("info", "frames, formats, timecode and breaks of a DV file");
    tapeInfo->add_option("FILE.dv", tapeInfoPath, "the DV file")->required();
    std::string tapeAudioIn, tapeAudioOut;
    CLI::App* tapeAudio = tape->add_subcommand("audio", "the audio of a DV file as WAV");
    tapeAudio->add_option("FILE.dv", tapeAudioIn, "the DV file")->required();
    tapeAudio->add_option("OUT.wav", tapeAudioOut, "the WAV file (a new numbered file at each rate change)")
        ->required();

    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp& e) {
        return app.exit(e);
    } catch (const CLI::CallForAllHelp& e) {
        return app.exit(e);
    } catch (const CLI::ParseError& e) {
        std::cerr << "dvio: " << e.what() << "\nRun dvio --help (or dvio COMMAND --help) for the usage.\n";
        return kExitUsage;
    }

    if (!logTarget.empty()) win32::SetDebugLogTarget(logTarget.c_str());

    // The tape commands are tools over the host library: no plug-in, no deck.
    if (tapeNewCommand->parsed()) {
        tapeNew.standard = !tapeNewStandard.empty() ? tapeNewStandard
                                                    : (!simulator.standard.empty() ? simulator.standard : "ntsc");
        return RunTapeNew(tapeNew, json, std::cout, std::cerr);
    }
    if (tapeInfo->parsed()) return RunTapeInfo(tapeInfoPath, json, std::cout, std::cerr);
    if (tapeAudio->parsed()) return RunTapeAudio(tapeAudioIn, tapeAudioOut, json, std::cout, std::cerr);

    std::string error;
    LONG traceBits = 0;
    std::vector<DeckStep> steps;
    if (!ParseTrace(trace, &traceBits, &error) || (deck->parsed() && !ParseDeckSteps(deckWords, &steps, &error))) {
        std::cerr << "dvio: " << error << "\n";
        return kExitUsage;
    }
    if (!ApplySimulatorOptions(simulator, &error)) {
        std::cerr << "dvio: " << error << "\n";
        return simulator.UsageError() ? kExitUsage : kExitFailed;
    }
    PluginHost host;
    if (!host.Load(pluginPath, &error)) {
        std::cerr << "dvio: " << error << "\n";
        return kExitFailed;
    }
    if (traceBits != 0) host.Device()->SetControl(kTraceSwitchesControl, &traceBits);

    int exitCode = kExitOk;
    if (info->parsed()) exitCode = RunInfo(host, std::cout);
    if (deck->parsed()) exitCode = RunDeck(host, steps, json, std::cout, std::cerr);
    if (captureCommand->parsed()) {
        capture.standard = simulator.standard;
        exitCode = RunCapture(host, capture, json, std::cout, std::cerr);
    }
    // A recording that cannot reach the cassette file is not lost without a word.
    if (!simulator.Finish(&error)) {
        std::cerr << "dvio: " << error << "\n";
        if (exitCode == kExitOk) exitCode = kExitFailed;
    }
    return exitCode;
}
