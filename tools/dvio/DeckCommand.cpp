#include "DeckCommand.h"

#include "Deck.h"
#include "DeckClock.h"
#include "ExitCodes.h"
#include "InterfaceValueText.h"
#include "Json.h"
#include "TimecodeArg.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <map>

namespace {

using Command = DDCError_t (DigitalDevice::*)();

const std::map<std::string, Command>& TransportCommands() {
    static const std::map<std::string, Command> commands = {
        {"play", &DigitalDevice::DevicePlay},     {"stop", &DigitalDevice::DeviceStop},
        {"pause", &DigitalDevice::DevicePause},   {"ff", &DigitalDevice::DeviceFF},
        {"rew", &DigitalDevice::DeviceRew},       {"step", &DigitalDevice::DeviceFFrame},
        {"back", &DigitalDevice::DeviceRewFrame}, {"record", &DigitalDevice::DeviceRecord},
        {"eject", &DigitalDevice::DeviceEject},
    };
    return commands;
}

bool TakesArgument(const std::string& name) { return name == "seek" || name == "shuttle" || name == "wait"; }

bool ParseInteger(const std::string& text, long* value) {
    if (text.empty()) return false;
    char* end = nullptr;
    errno = 0;
    *value = std::strtol(text.c_str(), &end, 10);
    return errno == 0 && end != nullptr && *end == '\0';
}

bool ParseSeconds(const std::string& text, double* value) {
    if (text.empty()) return false;
    char* end = nullptr;
    *value = std::strtod(text.c_str(), &end);
    return end != nullptr && *end == '\0' && std::isfinite(*value);
}

// One step's outcome: the deck's answer and what it showed.
struct Outcome {
    DDCError_t error = DDC_NoError;
    std::string words;  // what the line says after "name[ argument]: "
    Json fields = Json::Object();
};

Outcome RunStep(Deck& deck, const DeckStep& step) {
    Outcome outcome;
    const auto transport = TransportCommands().find(step.name);
    if (transport != TransportCommands().end()) {
        outcome.error = deck.Transport(transport->second);
        outcome.words = DDCErrorText(outcome.error);
    } else if (step.name == "state") {
        TransportState_t state = TransportUnknown;
        outcome.error = deck.State(&state);
        outcome.words = outcome.error == DDC_NoError ? TransportStateText(state) : DDCErrorText(outcome.error);
        if (outcome.error == DDC_NoError) {
            outcome.fields.Set("state", TransportStateText(state));
            outcome.fields.Set("state_value", static_cast<int>(state));
        }
    } else if (step.name == "timecode") {
        timecode_t tc{};
        outcome.error = deck.Timecode(&tc);
        outcome.words = outcome.error == DDC_NoError ? TimecodeText(tc) : DDCErrorText(outcome.error);
        if (outcome.error == DDC_NoError) outcome.fields.Set("timecode", TimecodeText(tc));
    } else if (step.name == "shuttle") {
        long speed = 0;
        ParseInteger(step.argument, &speed);
        outcome.error = deck.Shuttle(static_cast<LONG>(speed));
        outcome.words = DDCErrorText(outcome.error);
    } else if (step.name == "wait") {
        double seconds = 0;
        ParseSeconds(step.argument, &seconds);
        SleepDeckSeconds(seconds);
        outcome.words = "done";
    } else if (step.name == "seek") {
        TimecodeArg label;
        std::string why;
        ParseTimecodeArg(step.argument, &label, &why);
        int rate = 0;
        bool dropFrame = false;
        outcome.error = deck.FrameRate(&rate, &dropFrame);
        if (outcome.error != DDC_NoError) {
            outcome.words = DDCErrorText(outcome.error) + " (the deck did not tell its frame rate)";
            return outcome;
        }
        if (!CheckTimecodeArg(label, rate, dropFrame, &why)) {
            outcome.error = DDC_InvalidParameter;
            outcome.words = DDCErrorText(outcome.error) + " (" + why + ")";
            return outcome;
        }
        if (dropFrame) SkipDroppedLabel(&label);
        const timecode_t target = ToTimecode(label, TCCreateDesc(dropFrame ? 1 : 0, static_cast<unsigned short>(rate)));
        timecode_t arrived{};
        outcome.error = deck.SeekAndWait(target, kSeekPatienceSeconds, &arrived);
        outcome.fields.Set("target", TimecodeText(target));
        if (outcome.error == DDC_NoError) {
            outcome.words = DDCErrorText(outcome.error) + ", the deck is at " + TimecodeText(arrived);
            outcome.fields.Set("timecode", TimecodeText(arrived));
        } else if (outcome.error == DDC_DeviceInTransition) {
            outcome.words = DDCErrorText(outcome.error) + " (the deck stayed in transition for " +
                            std::to_string(static_cast<int>(kTransportPatienceSeconds)) + " seconds: it is stuck)";
        } else if (outcome.error == DDC_CommandTimeout) {
            outcome.words = DDCErrorText(outcome.error) + " (the deck was still seeking after " +
                            std::to_string(static_cast<int>(kSeekPatienceSeconds)) + " seconds)";
        } else {
            outcome.words = DDCErrorText(outcome.error);
        }
    }
    return outcome;
}

}  // namespace

bool ParseDeckSteps(const std::vector<std::string>& words, std::vector<DeckStep>* steps, std::string* error) {
    steps->clear();
    for (size_t i = 0; i < words.size(); ++i) {
        DeckStep step;
        step.name = words[i];
        const bool known = TransportCommands().count(step.name) != 0 || step.name == "state" ||
                           step.name == "timecode" || TakesArgument(step.name);
        if (!known) {
            *error = "\"" + step.name +
                     "\" is not a deck command: use play, stop, pause, ff, rew, step, back, record, eject, state, "
                     "timecode, seek TC, shuttle SPEED or wait SECONDS";
            return false;
        }
        if (TakesArgument(step.name)) {
            if (i + 1 >= words.size()) {
                *error = step.name + " needs " +
                         (step.name == "seek" ? "a timecode (HH:MM:SS:FF)"
                                              : step.name == "shuttle" ? "a speed (-100 to 100)" : "a number of seconds");
                return false;
            }
            step.argument = words[++i];
            if (step.name == "seek") {
                TimecodeArg unused;
                if (!ParseTimecodeArg(step.argument, &unused, error)) return false;
            } else if (step.name == "shuttle") {
                long speed = 0;
                if (!ParseInteger(step.argument, &speed) || speed < -100 || speed > 100) {
                    *error = "shuttle takes a whole speed from -100 to 100, not \"" + step.argument + "\"";
                    return false;
                }
            } else {
                double seconds = 0;
                if (!ParseSeconds(step.argument, &seconds) || seconds < 0 || seconds > 3600) {
                    *error = "wait takes a number of seconds from 0 to 3600, not \"" + step.argument + "\"";
                    return false;
                }
            }
        }
        steps->push_back(step);
    }
    if (steps->empty()) {
        *error = "dvio deck needs at least one command, for example: dvio deck play wait 2 pause timecode";
        return false;
    }
    return true;
}

int RunDeck(PluginHost& host, const std::vector<DeckStep>& steps, bool json, std::ostream& out, std::ostream& err) {
    Deck deck(host.Device());
    // Every timecode fits the deck's rate before the first command runs.
    for (const DeckStep& step : steps) {
        if (step.name != "seek") continue;
        int rate = 0;
        bool dropFrame = false;
        TimecodeArg label;
        std::string why;
        const DDCError_t rateError = deck.FrameRate(&rate, &dropFrame);
        if (rateError != DDC_NoError) {
            err << "dvio: the deck did not tell its frame rate (" << DDCErrorText(rateError)
                << "), which a seek needs; no command was run\n";
            return kExitFailed;
        }
        if (ParseTimecodeArg(step.argument, &label, &why) && !CheckTimecodeArg(label, rate, dropFrame, &why)) {
            err << "dvio: seek " << step.argument << ": " << why << "; no command was run\n";
            return kExitUsage;
        }
    }
    for (size_t i = 0; i < steps.size(); ++i) {
        const DeckStep& step = steps[i];
        const Outcome outcome = RunStep(deck, step);
        const std::string label = step.argument.empty() ? step.name : step.name + " " + step.argument;
        if (json) {
            Json line = Json::Object();
            line.Set("command", step.name);
            if (!step.argument.empty()) line.Set("argument", step.argument);
            line.Set("error", static_cast<int>(outcome.error));
            line.Set("result", DDCErrorText(outcome.error));
            for (const char* key : {"state", "state_value", "timecode", "target"}) {
                if (const Json* value = outcome.fields.Find(key)) line.Set(key, *value);
            }
            out << line.Dump() << "\n";
        } else {
            out << label << ": " << outcome.words << "\n";
        }
        out.flush();
        if (outcome.error != DDC_NoError) {
            err << "dvio: the deck refused \"" << label << "\": " << DDCErrorText(outcome.error)
                << (i + 1 < steps.size() ? "; the commands after it were not run" : "") << "\n";
            return kExitFailed;
        }
    }
    return kExitOk;
}
