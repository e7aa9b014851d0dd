// dvio: a command-line host for the DV device plug-in. It loads the plug-in by file
// name and drives it only through its exports and the DigitalDevice interface, against
// the simulated card and deck; its tape commands work on DV files directly.
#include "CaptureCommand.h"
#include "FileNames.h"
#include "CaptureRedo.h"
#include "DeckCommand.h"
#include "ExitCodes.h"
#include "HealthReport.h"
#include "InfoCommand.h"
#include "NumberArg.h"
#include "OutputFiles.h"
#include "PluginHost.h"
#include "PrintCommand.h"
#include "SimulatorOptions.h"
#include "StopSignal.h"
#include "TapeCommands.h"
#include "TraceOption.h"

#include "interface/ControlIds.h"

#include "Win32DebugSink.h"

#include <CLI/CLI.hpp>

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>

namespace {

const char* const kFooter =
    "Exit codes: 0 done; 1 the device, the deck or a file failed; 2 the command line is wrong;\n"
    "3 a capture's start timecode never came.\n"
    "dvio never writes over a file it reads, and overwrites an existing file only with --force.";

// The longest capture a command line may ask for: a day.
constexpr double kMostSeconds = 86400;
constexpr int64_t kMostFrames = 30 * 86400;

int UsageError(const std::string& sentence) {
    std::cerr << "dvio: " << sentence << "\n";
    return kExitUsage;
}

int FileError(const std::string& sentence) {
    std::cerr << "dvio: " << sentence << "\n";
    return kExitFailed;
}

// What went to standard output must have got there (a full disk, a closed pipe).
int Finished(int code) {
    std::cout.flush();
    if (!std::cout.good() || std::fflush(stdout) != 0 || std::ferror(stdout)) {
        std::cerr << "dvio: writing to standard output failed: " << std::strerror(errno) << "\n";
        return code == kExitOk ? kExitFailed : code;
    }
    return code;
}

int Run(int argc, char** argv);

// The capture's format, split rule and name pattern, checked against each other.
bool ReadCaptureFiles(const CLI::Option* format, const std::string& formatText, const CLI::Option* split,
                      const std::string& splitText, const CLI::Option* name, CaptureRequest* capture,
                      std::string* error) {
    if (format->count() > 0) {
        if (!ParseOutputFormat(formatText, &capture->format)) {
            *error = "--format takes dv, avi, mov or mkv, not \"" + formatText + "\"";
            return false;
        }
    } else if (!FormatOfPath(capture->dvPath, &capture->format)) {
        capture->format = OutputFormat::Dv;
    }
    if (capture->format != OutputFormat::Dv && !ContainersAvailable()) {
        *error = "this dvio was built without the media libraries, so it writes no " + FormatName(capture->format) +
                 " files: capture to .dv (and WAV) instead";
        return false;
    }
    if (split->count() > 0 && !ParseSplitRule(splitText, &capture->split, error)) return false;
    if (name->count() > 0 && !FileNames::CheckPattern(capture->name, error)) return false;
    if (capture->dvPath == "-") {
        if (capture->format != OutputFormat::Dv) *error = "- writes a raw DV stream; --format " +
                                                          FormatName(capture->format) + " needs a file";
        else if (capture->split.Active() || name->count() > 0)
            *error = "- writes one DV stream: --split and --name need files";
        if (!error->empty()) return false;
    }
    if (!capture->wavPath.empty() && (capture->split.Active() || name->count() > 0)) {
        *error = "--wav names one WAV file: with --split or --name each DV file's WAV files take its name";
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) { return Finished(Run(argc, argv)); }

namespace {

int Run(int argc, char** argv) {
    CLI::App app{"dvio - capture from, and control, a DV deck through the DV device plug-in"};
    app.require_subcommand(1);
    app.fallthrough();
    app.footer(kFooter);

    std::string pluginPath = PluginHost::DefaultPluginPath();
    std::string logTarget;
    std::string trace;
    bool json = false;
    bool force = false;
    std::string speedText;
    SimulatorOptions simulator;
    app.add_option("--plugin", pluginPath, "the plug-in to load (default: the one next to dvio)");
    app.add_option("--log", logTarget, "where the plug-in's debug lines go: a file, or - for standard error");
    app.add_option("--trace", trace, "log the plug-in's card calls (with --log): a list of deck, capture, playback");
    app.add_option("--tape", simulator.tape, "a .dv file as the cassette in the deck (default: the built-in tape)");
    app.add_option("--standard", simulator.standard, "ntsc or pal: the card's standard and the built-in tape's");
    CLI::Option* speed = app.add_option("--speed", speedText,
                                        "how many times faster than real time the simulated deck runs (at most 60)");
    app.add_option("--fault", simulator.faults, "faults to inject into the simulated card and deck, as a list");
    app.add_option("--deck", simulator.deck,
                   "the simulated deck: real (as slow and untidy as a real DV deck) or fast (the default), "
                   "with deck options after a comma");
    app.add_flag("--json", json, "print results as JSON");
    app.add_flag("--force", force, "overwrite output files that exist");

    CLI::App* info = app.add_subcommand("info", "the plug-in's version, adapter, device, controls and formats");

    CaptureRequest capture;
    CLI::App* captureCommand = app.add_subcommand(
        "capture", "capture from the deck to a .dv file and a WAV file, or to AVI, QuickTime or Matroska");
    captureCommand->add_option("OUT", capture.dvPath,
                               "the file to write (.dv, .avi, .mov, .mkv), or - for a DV stream to standard output "
                               "(with --redo: the merged file, default NAME-redone.dv)");
    CLI::Option* wav =
        captureCommand->add_option("--wav", capture.wavPath, "the WAV file (default: OUT.wav; none for -)");
    CLI::Option* from =
        captureCommand->add_option("--from", capture.from, "cue the deck and start at this timecode (HH:MM:SS:FF)");
    CLI::Option* to = captureCommand->add_option("--to", capture.to, "stop before the frame with this timecode");
    std::string framesText, secondsText;
    CLI::Option* frames = captureCommand->add_option("--frames", framesText, "stop after this many frames");
    CLI::Option* seconds = captureCommand->add_option("--seconds", secondsText, "stop after this many seconds");
    to->excludes(frames)->excludes(seconds);
    frames->excludes(seconds);
    captureCommand->add_option("--report", capture.reportPath,
                               "write the frame-by-frame health report (JSON) to this file");
    std::string redoReport;
    CLI::Option* redo = captureCommand->add_option(
        "--redo", redoReport, "capture the damaged frames of this report's capture again, keeping the best of each");
    for (CLI::Option* option : {from, to, frames, seconds, wav}) redo->excludes(option);
    std::string formatText, splitText;
    CLI::Option* format = captureCommand->add_option(
        "--format", formatText, "dv, avi, mov or mkv (default: what OUT's extension names, else dv)");
    CLI::Option* split = captureCommand->add_option(
        "--split", splitText, "start a new file: recording, break, size=N[K|M|G], frames=N or seconds=S");
    CLI::Option* name =
        captureCommand->add_option("--name", capture.name, "name the files: %d %T %c %n %s (see below)");
    captureCommand->footer(
        "Without --to, --frames or --seconds the capture runs until Ctrl-C or the end of the tape.\n"
        "--split recording starts a file at each recording start (a record-start mark, or a jump in the\n"
        "recording date and time); break at each timecode break. Split files are OUT-001.EXT, OUT-002.EXT, ...\n"
        "--name PATTERN names them instead, in OUT's folder with OUT's extension, from each file's first\n"
        "frame: %d recording date (YYYY-MM-DD), %T recording time (HH-MM-SS), %c timecode (HH-MM-SS-FF),\n"
        "%n the file's number (001), %s the tape's name, %% a percent sign. A raw DV file's WAV files take\n"
        "its name; a container holds its audio as 16-bit PCM, one stereo stream per channel pair, and a\n"
        "change of sample rate or channels starts a new file.");
    // A redo merges into one raw DV file.
    for (CLI::Option* option : {format, split, name}) redo->excludes(option);

    PrintRequest print;
    CLI::App* printCommand = app.add_subcommand("print", "print a .dv file to tape, then read the tape back and verify it");
    AddPrintOptions(printCommand, &print);

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
    std::string tapeSecondsText;
    CLI::Option* tapeSeconds = tapeNewCommand->add_option("--seconds", tapeSecondsText, "its length (default 10)");
    tapeNewCommand->add_option("--start", tapeNew.start,
                               "timecode of the first frame (NTSC counts drop-frame unless written HH:MM:SS:FF)");
    tapeNewCommand->add_option("--standard", tapeNewStandard, "ntsc or pal (default ntsc)");
    tapeNewCommand->add_option("--rate", tapeNew.rate, "audio sample rate")->check(CLI::IsMember({48000, 44100, 32000}));
    tapeNewCommand->add_option("--channels", tapeNew.channels, "audio channels (4 needs --rate 32000)")
        ->check(CLI::IsMember({2, 4}));
    tapeNewCommand->add_option("--recorded", tapeNew.recorded,
                               "the recorder's date and time of the first frame, \"YYYY-MM-DD HH:MM:SS\"");
    tapeNewCommand->add_flag("--blank", tapeNew.blank,
                             "an empty, blank cassette to record onto instead (a new file; other options unused)");
    std::string tapeInfoPath;
    CLI::App* tapeInfo = tape->add_subcommand("info", "frames, formats, timecode and breaks of a DV file");
    tapeInfo->add_option("FILE.dv", tapeInfoPath, "the DV file")->required();
    std::string tapeReportPath, tapeReportOut;
    CLI::App* tapeReport = tape->add_subcommand("report", "frame-by-frame health of a DV file as JSON");
    tapeReport->add_option("FILE.dv", tapeReportPath, "the DV file")->required();
    tapeReport->add_option("--report", tapeReportOut, "the JSON file to write (default: standard output)");
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

    // Values CLI11 lets through: empty ones, and numbers out of their range.
    std::string error;
    for (auto [option, text] : {std::make_pair(from, &capture.from), std::make_pair(to, &capture.to),
                                std::make_pair(wav, &capture.wavPath)}) {
        if (option->count() > 0 && text->empty()) return UsageError(option->get_name() + " needs a value, not \"\"");
    }
    if (frames->count() > 0 && !ParseCount("--frames", framesText, kMostFrames, &capture.frames, &error))
        return UsageError(error);
    if (seconds->count() > 0 && !ParsePositive("--seconds", secondsText, kMostSeconds, &capture.seconds, &error))
        return UsageError(error);
    if (captureCommand->parsed() && !ReadCaptureFiles(format, formatText, split, splitText, name, &capture, &error))
        return UsageError(error);
    if (tapeSeconds->count() > 0 && !ParsePositive("--seconds", tapeSecondsText, kMostSeconds, &tapeNew.seconds, &error))
        return UsageError(error);
    if (speed->count() > 0 && !ParsePositive("--speed", speedText, kMaxSpeed, &simulator.speed, &error))
        return UsageError(error);

    // The log is appended to: it only must not be an input, and must be writable.
    if (!logTarget.empty() && logTarget != "-" && logTarget != "stderr") {
        for (const std::string& input : {simulator.tape, tapeInfoPath, tapeAudioIn, tapeReportPath}) {
            if (!input.empty() && SameFile(logTarget, input))
                return FileError("will not write the log to " + logTarget + ": it is " + input +
                                 " itself, which dvio only reads");
        }
        std::FILE* log = std::fopen(logTarget.c_str(), "a");
        if (log == nullptr) return FileError("cannot write the log " + logTarget + ": " + std::strerror(errno));
        std::fclose(log);
    }
    if (!logTarget.empty()) win32::SetDebugLogTarget(logTarget.c_str());

    // The tape commands are tools over the host library: no plug-in, no deck.
    if (tapeNewCommand->parsed()) {
        // A blank cassette is only ever a new file, which tape new itself makes sure of.
        OutputFiles outputs;
        outputs.AddOutput("the tape", tapeNew.path);
        if (!tapeNew.blank && !outputs.Check(force, &error)) return FileError(error);
        tapeNew.standard = !tapeNewStandard.empty() ? tapeNewStandard
                                                    : (!simulator.standard.empty() ? simulator.standard : "ntsc");
        return RunTapeNew(tapeNew, json, std::cout, std::cerr);
    }
    if (tapeInfo->parsed()) return RunTapeInfo(tapeInfoPath, json, std::cout, std::cerr);
    if (tapeReport->parsed()) {
        OutputFiles outputs;
        outputs.AddInput("the DV file", tapeReportPath);
        if (!tapeReportOut.empty() && tapeReportOut != "-") outputs.AddOutput("the report", tapeReportOut);
        if (!outputs.Check(force, &error)) return FileError(error);
        return RunTapeReport(tapeReportPath, tapeReportOut, std::cout, std::cerr);
    }
    if (tapeAudio->parsed()) {
        OutputFiles outputs;
        outputs.AddInput("the DV file", tapeAudioIn);
        outputs.AddOutput("the WAV file", tapeAudioOut, true);
        if (!outputs.Check(force, &error)) return FileError(error);
        return RunTapeAudio(tapeAudioIn, tapeAudioOut, json, std::cout, std::cerr);
    }

    LONG traceBits = 0;
    std::vector<DeckStep> steps;
    if (!ParseTrace(trace, &traceBits, &error) || (deck->parsed() && !ParseDeckSteps(deckWords, &steps, &error))) {
        std::cerr << "dvio: " << error << "\n";
        return kExitUsage;
    }
    // Every output is checked before anything is opened for writing.
    OutputFiles captureOutputs;
    if (captureCommand->parsed() && capture.dvPath == "-") {
        if (isatty(STDOUT_FILENO)) return UsageError("- sends the DV stream to standard output, which is a terminal here");
        StopSignal::IgnoreBrokenPipe();
    }
    RedoRequest redoRequest;
    if (captureCommand->parsed() && redo->count() > 0) {
        if (capture.dvPath == "-") return UsageError("--redo writes a merged file, not standard output");
        std::string captured;
        DIO_VideoFormat redoStandard = DIO_NoVideoFormat;
        std::vector<FrameHealth> entries;
        if (!ReadHealthReport(redoReport, &captured, &redoStandard, &entries, &error)) return FileError(error);
        redoRequest.reportPath = redoReport;
        redoRequest.outPath = capture.dvPath.empty() ? DefaultRedoPath(captured) : capture.dvPath;
        redoRequest.newReportPath =
            capture.reportPath.empty() ? DefaultRedoReportPath(redoRequest.outPath) : capture.reportPath;
        captureOutputs.AddInput("the cassette", simulator.tape);
        captureOutputs.AddInput("the report", redoReport);
        captureOutputs.AddInput("the captured file", captured);
        captureOutputs.AddOutput("the merged file", redoRequest.outPath);
        captureOutputs.AddOutput("the new report", redoRequest.newReportPath);
        captureOutputs.AddOutput("a pass's DV file", RedoPassDvPath(redoRequest.outPath));
        captureOutputs.AddOutput("a pass's WAV file", RedoPassWavPath(redoRequest.outPath), true);
        if (!captureOutputs.Check(force, &error)) return FileError(error);
    } else if (captureCommand->parsed() && capture.dvPath.empty()) {
        return UsageError("OUT is required");
    } else if (captureCommand->parsed()) {
        captureOutputs.AddInput("the cassette", simulator.tape);
        // The first file, when its name does not depend on the tape; every later one is
        // checked as it is started.
        const std::string first =
            FileNames(capture.dvPath, FormatName(capture.format), capture.split.Active(), capture.name).FixedFirstPath();
        if (!first.empty() && first != "-")
            captureOutputs.AddOutput(capture.format == OutputFormat::Dv ? "the DV file" : "the file", first);
        captureOutputs.AddOutput("the WAV file", WavPathOf(capture), true);
        if (!first.empty() && WavsFollowFiles(capture)) captureOutputs.AddOutput("the WAV file", DefaultWavPath(first), true);
        capture.tape = simulator.tape;
        capture.force = force;
        if (!capture.reportPath.empty()) captureOutputs.AddOutput("the report", capture.reportPath);
        if (!captureOutputs.Check(force, &error)) return FileError(error);
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
    if (traceBits != 0) host.Device()->SetControl(kControlTraceSwitches, &traceBits);

    int exitCode = kExitOk;
    if (info->parsed()) exitCode = RunInfo(host, json, std::cout);
    if (printCommand->parsed()) {
        print.standard = simulator.standard;
        exitCode = RunPrint(host, print, json, std::cout, std::cerr);
    }
    if (deck->parsed()) exitCode = RunDeck(host, steps, json, std::cout, std::cerr);
    if (captureCommand->parsed() && redo->count() > 0) {
        redoRequest.standard = simulator.standard;
        exitCode = RunCaptureRedo(host, redoRequest, json, std::cout, std::cerr);
    } else if (captureCommand->parsed()) {
        capture.standard = simulator.standard;
        exitCode = RunCapture(host, capture, captureOutputs, json, std::cout, std::cerr);
    }
    // A recording that cannot reach the cassette file is not lost without a word.
    if (!simulator.Finish(&error)) {
        std::cerr << "dvio: " << error << "\n";
        if (exitCode == kExitOk) exitCode = kExitFailed;
    }
    return exitCode;
}

}  // namespace
