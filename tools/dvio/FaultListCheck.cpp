#include "FaultListCheck.h"

#include <cerrno>
#include <algorithm>
#include <cstdlib>
#include <set>
#include <sstream>

namespace {

const char* const kFaultWords =
    "open=CODE[*N], ddcinit=ERR[*N], ddc=NAME:ERR[*N], disconnect=MS[:MS2], stuck, capturestart[=CODE], "
    "playbackstart[=CODE], stall, refuse=NAME[:CODE][*N], driverstate=VALUE, drop=FIRST[:COUNT], "
    "corrupt=FIRST[:COUNT], tcbreak=POS[:JUMP], nosubcode=POS[:COUNT], sta=POS[:COUNT[:BLOCKS]][*N], "
    "audioerr=POS[:COUNT[:SAMPLES]][*N]";

// The deck-control functions a ddc= fault can fail.
const std::set<std::string>& DeckFunctions() {
    static const std::set<std::string> names = {
        "DevInitialize", "DevUnInitialize", "DevPlay", "DevStop", "DevPause", "DevFF", "DevRewind",
        "DevStepForwardAFrame", "DevStepBackAFrame", "DevEject", "DevRecord", "DevShuttle", "DevSeekToTimecode",
        "DevSetIn", "DevSetOut", "DevGetIn", "DevGetOut", "DevGetTimecode", "DevGetState", "DevGetFrameRate",
        "DevUnitInfo", "DevAskForTCAsync", "DevAskForStateAsync", "DevReceiveAsyncTC", "DevReceiveAsyncState",
        "DevCancelAsyncTCRequest", "DevCancelAsyncStateRequest"};
    return names;
}

// The card functions a refuse= fault can refuse.
const std::set<std::string>& CardFunctions() {
    static const std::set<std::string> names = {
        "KDXClose", "KDXGetDVDeviceType", "KDXGetLastError", "KDXGetMediumInfo", "KDXGetOutputPinState",
        "KDXGetPlayPauseMode", "KDXGetUnitInfo", "KDXOpen", "KDXSendGenericAVCCommand", "KDXSetPlayPauseMode",
        "PdvBeginCapture", "PdvBeginPlayback", "PdvDeckControl", "PdvEndCapture", "PdvEndPlayback",
        "PdvGetAdjustment", "PdvGetCapturedFrame", "PdvGetCapturedFrameAddr", "PdvGetDriverState",
        "PdvGetInputChannel", "PdvGetPlaybackFrame", "PdvGetPlaybackFrameAddr", "PdvPausePlayback",
        "PdvSetCapturedFrame", "PdvSetInputChannel", "PdvSetPlaybackFrame", "PdvSetSyncRecDelay",
        "PdvSetSyncRecNumFrames", "PdvSetSyncRecPauseFlying", "PdvStartCapture", "PdvStartPlayback",
        "PdvStopCapture", "PdvStopPlayback", "PdvSyncRecNoParam"};
    return names;
}

std::string Join(const std::set<std::string>& names) {
    std::string text;
    for (const std::string& name : names) text += (text.empty() ? "" : ", ") + name;
    return text;
}

// A whole number (decimal or 0x...) from `least` to `most`.
bool Number(const std::string& text, long long least, long long most, long long* value = nullptr) {
    if (text.empty()) return false;
    char* end = nullptr;
    errno = 0;
    const long long v = std::strtoll(text.c_str(), &end, 0);
    if (errno != 0 || end == nullptr || *end != '\0' || v < least || v > most) return false;
    if (value != nullptr) *value = v;
    return true;
}

constexpr long long kMost32 = 0xFFFFFFFFLL;
constexpr long long kLeast32 = -0x80000000LL;
// Frames, positions and milliseconds up to a day and more of tape.
constexpr long long kMostFrames = 10000000;
constexpr long long kMostMilliseconds = 7LL * 24 * 3600 * 1000;

// "VALUE" or "VALUE*TIMES".
bool Counted(const std::string& text) {
    const size_t star = text.find('*');
    if (star == std::string::npos) return Number(text, kLeast32, kMost32);
    return Number(text.substr(0, star), kLeast32, kMost32) && Number(text.substr(star + 1), 0, 1000000);
}

// "A" or "A:B"; *second is -1 when absent.
bool Pair(const std::string& text, long long mostFirst, long long leastSecond, long long mostSecond,
          long long* first, long long* second) {
    const size_t colon = text.find(':');
    *second = -1;
    if (colon == std::string::npos) return Number(text, 0, mostFirst, first);
    return Number(text.substr(0, colon), 0, mostFirst, first) &&
           Number(text.substr(colon + 1), leastSecond, mostSecond, second);
}

std::string Trim(const std::string& s) {
    const size_t b = s.find_first_not_of(" \t");
    if (b == std::string::npos) return "";
    return s.substr(b, s.find_last_not_of(" \t") - b + 1);
}

// "" when the item is right, else what is wrong with it.
std::string CheckItem(const std::string& name, const std::string& value, bool hasValue) {
    long long a = 0, b = 0;
    static const std::set<std::string> kNames = {"open", "ddcinit", "ddc", "disconnect", "stuck", "capturestart",
                                                 "playbackstart", "stall", "refuse", "driverstate", "drop",
                                                 "corrupt", "tcbreak", "nosubcode", "sta", "audioerr"};
    if (kNames.count(name) == 0) return "\"" + name + "\" is not a fault";
    if (name == "stuck" || name == "stall") return hasValue ? name + " takes no value" : "";
    if (name == "capturestart" || name == "playbackstart")
        return !hasValue || Number(value, 0, kMost32) ? "" : "CODE must be a number";
    if (!hasValue) return name + " needs a value";
    if (name == "open" || name == "ddcinit") return Counted(value) ? "" : "write " + name + "=CODE or CODE*TIMES";
    if (name == "driverstate") return Number(value, kLeast32, kMost32) ? "" : "VALUE must be a 32-bit number";
    if (name == "ddc" || name == "refuse") {
        const size_t colon = value.find(':');
        const size_t star = value.find('*');
        const std::string function = value.substr(0, std::min(colon, star));
        const auto& names = name == "ddc" ? DeckFunctions() : CardFunctions();
        if (names.count(function) == 0)
            return "\"" + function + "\" is not a " + (name == "ddc" ? "deck-control" : "card") +
                   " function; the functions are " + Join(names);
        if (name == "ddc" && colon == std::string::npos) return "write ddc=NAME:ERR";
        if (colon != std::string::npos && !Counted(value.substr(colon + 1))) return "the code must be a number";
        if (colon == std::string::npos && star != std::string::npos && !Number(value.substr(star + 1), 0, 1000000))
            return "TIMES must be a number";
        return "";
    }
    if (name == "disconnect") {
        if (!Pair(value, kMostMilliseconds, 0, kMostMilliseconds, &a, &b))
            return "write disconnect=MS or MS:MS2, in milliseconds up to " + std::to_string(kMostMilliseconds);
        if (b >= 0 && b <= a) return "the device must come back (MS2) after it went away (MS)";
        return "";
    }
    if (name == "drop" || name == "corrupt" || name == "nosubcode")
        return Pair(value, kMostFrames, 1, kMostFrames, &a, &b)
                   ? ""
                   : "write " + name + "=FIRST or FIRST:COUNT, whole numbers up to " + std::to_string(kMostFrames) +
                         " (COUNT at least 1)";
    if (name == "sta" || name == "audioerr") {
        // POS[:COUNT[:AMOUNT]][*N]
        std::string body = value;
        const size_t star = value.find('*');
        bool ok = true;
        if (star != std::string::npos) {
            ok = Number(value.substr(star + 1), 0, 1000000);
            body = value.substr(0, star);
        }
        const size_t first = body.find(':');
        const size_t second = first == std::string::npos ? std::string::npos : body.find(':', first + 1);
        ok = ok && Pair(body.substr(0, second), kMostFrames, 1, kMostFrames, &a, &b) &&
             (second == std::string::npos || Number(body.substr(second + 1), 1, 100000));
        const std::string amount = name == "sta" ? "BLOCKS" : "SAMPLES";
        return ok ? ""
                  : "write " + name + "=POS[:COUNT[:" + amount + "]][*N], whole numbers (COUNT and " + amount +
                        " at least 1)";
    }
    if (name == "tcbreak")
        return Pair(value, kMostFrames, -kMostFrames, kMostFrames, &a, &b)
                   ? ""
                   : "write tcbreak=POS or POS:JUMP, whole numbers up to " + std::to_string(kMostFrames);
    return "\"" + name + "\" is not a fault";
}

}  // namespace

bool CheckFaultList(const std::string& list, std::string* error) {
    std::stringstream items(list);
    std::string item;
    while (std::getline(items, item, ',')) {
        item = Trim(item);
        if (item.empty()) continue;
        const size_t eq = item.find('=');
        const std::string name = Trim(item.substr(0, eq));
        const std::string value = eq == std::string::npos ? "" : Trim(item.substr(eq + 1));
        const std::string why = CheckItem(name, value, eq != std::string::npos);
        if (!why.empty()) {
            *error = "--fault \"" + item + "\" was not understood: " + why + ". The faults are " + kFaultWords;
            return false;
        }
    }
    return true;
}
