#include "DvFrameFacts.h"
#include "ExitCodes.h"
#include "InterfaceValueText.h"
#include "Json.h"
#include "RecordingDateArg.h"
#include "TapeCommands.h"
#include "TestTape.h"
#include "TimecodeArg.h"
#include "sim/SimControl.h"

#include <cmath>
#include <cstdio>

namespace {

// A blank cassette to record onto: an empty file, marked so that loading it as the
// cassette is allowed (an empty file is otherwise refused, as a tape lost by mistake).
int RunBlankTapeNew(const TapeNewRequest& request, bool json, std::ostream& out, std::ostream& err) {
    std::string error;
    if (!cardsim::MakeBlankTapeFile(request.path, &error)) {
        err << "dvio: " << error << "\n";
        return kExitFailed;
    }
    if (json) {
        Json summary = Json::Object();
        summary.Set("file", request.path);
        summary.Set("frames", 0);
        summary.Set("blank", true);
        out << summary.Dump() << "\n";
    } else {
        out << "wrote " << request.path << ": a blank cassette (no frames yet)\n";
    }
    return kExitOk;
}

}  // namespace

int RunTapeNew(const TapeNewRequest& request, bool json, std::ostream& out, std::ostream& err) {
    if (request.blank) return RunBlankTapeNew(request, json, out, err);
    TestTapeOptions options;
    if (request.standard != "ntsc" && request.standard != "pal") {
        err << "dvio: --standard must be ntsc or pal, not \"" << request.standard << "\"\n";
        return kExitUsage;
    }
    options.standard = request.standard == "pal" ? DIO_PAL : DIO_NTSC;
    options.audio = AudioFormatOfRate(request.rate);
    options.channels = request.channels;
    if (!(request.seconds > 0) || request.seconds > 86400) {
        err << "dvio: --seconds must be more than 0 and at most a day (86400)\n";
        return kExitUsage;
    }
    options.frames = FramesInSeconds(options.standard, request.seconds);
    if (options.frames < 1) options.frames = 1;

    // NTSC tapes count drop-frame unless the start is written with ':' before the frames.
    const int fps = options.standard == DIO_PAL ? 25 : 30;
    TimecodeArg start;
    bool dropFrame = options.standard == DIO_NTSC;
    std::string error;
    if (!request.start.empty()) {
        if (!ParseTimecodeArg(request.start, &start, &error)) {
            err << "dvio: --start: " << error << "\n";
            return kExitUsage;
        }
        dropFrame = options.standard == DIO_NTSC && start.dropFrameMark;
        if (!CheckTimecodeArg(start, fps, dropFrame, &error)) {
            err << "dvio: --start: " << error << "\n";
            return kExitUsage;
        }
        if (dropFrame) SkipDroppedLabel(&start);
    }
    if (!request.recorded.empty()) {
        if (!ParseRecordingDateArg(request.recorded, &options.recorded, &error)) {
            err << "dvio: --recorded: " << error << "\n";
            return kExitUsage;
        }
        options.stamped = true;
    }
    options.start = ToTimecode(start, TCCreateDesc(dropFrame ? 1 : 0, static_cast<unsigned short>(fps)));
    if (!CheckTestTapeOptions(options, &error)) {
        err << "dvio: " << error << "\n";
        return kExitUsage;
    }
    if (!WriteTestTape(request.path, options, &error)) {
        err << "dvio: " << error << "\n";
        return kExitFailed;
    }

    const timecode_t last = TCAddModDay(options.start, static_cast<LONG>(options.frames - 1));
    const double duration = options.standard == DIO_PAL ? options.frames / 25.0 : options.frames * 1001.0 / 30000.0;
    if (json) {
        Json summary = Json::Object();
        summary.Set("file", request.path);
        summary.Set("frames", options.frames);
        summary.Set("standard", options.standard == DIO_PAL ? "PAL" : "NTSC");
        summary.Set("seconds", duration);
        summary.Set("first_timecode", TimecodeText(options.start));
        summary.Set("last_timecode", TimecodeText(last));
        summary.Set("sample_rate", request.rate);
        summary.Set("channels", request.channels);
        if (options.stamped) summary.Set("recorded", RecordingDateText(options.recorded));
        out << summary.Dump() << "\n";
    } else {
        char seconds[32];
        std::snprintf(seconds, sizeof seconds, "%.2f", duration);
        out << "wrote " << request.path << ": " << options.frames << " frames of "
            << (options.standard == DIO_PAL ? "PAL" : "NTSC") << " (" << seconds << " s), timecode "
            << TimecodeText(options.start) << " to " << TimecodeText(last) << ", " << request.rate << " Hz audio on "
            << request.channels << " channels"
            << (options.stamped ? ", recorded " + RecordingDateText(options.recorded) : "") << "\n";
    }
    return kExitOk;
}
