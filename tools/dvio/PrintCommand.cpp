#include "PrintCommand.h"

#include "Deck.h"
#include "DeckClock.h"
#include "DvFile.h"
#include "DvFrameFacts.h"
#include "ExitCodes.h"
#include "InterfaceValueText.h"
#include "Json.h"
#include "PrintFeed.h"
#include "PrintStreams.h"
#include "PrintVerification.h"
#include "StatusLine.h"
#include "StopSignal.h"
#include "TimecodeArg.h"

#include "interface/ControlIds.h"
#include "sim/SimControl.h"

#include <optional>
#include <thread>

namespace {

struct Failure {
    std::string sentence;
    int code = kExitFailed;
};

// The print as planned from the command line, the file and the deck.
struct Plan {
    int fps = 30;
    bool dropFrame = true;
    DIO_VideoFormat standard = DIO_NTSC;
    bool edit = false;
    std::optional<TimecodeArg> in, out, start;
    int64_t frames = 0;  // frames to print
    bool video = true, audio = true;

    timecodeDesc_t Desc() const { return TCCreateDesc(dropFrame ? 1 : 0, static_cast<unsigned short>(fps)); }
};

struct Summary {
    int64_t sent = 0;
    OutputCounters counters;
    std::string editText;
    std::vector<std::string> notes;
};

cardsim::TapeTimecode TapeLabel(const TimecodeArg& tc, bool dropFrame) {
    cardsim::TapeTimecode label;
    label.hours = tc.hours;
    label.minutes = tc.minutes;
    label.seconds = tc.seconds;
    label.frames = tc.frames;
    label.dropFrame = dropFrame;
    return label;
}

TimecodeArg ArgOf(const timecode_t& tc) {
    short extra = 0, h = 0, m = 0, s = 0, f = 0;
    TCDeconstruct(tc, &extra, &h, &m, &s, &f);
    TimecodeArg arg;
    arg.hours = h;
    arg.minutes = m;
    arg.seconds = s;
    arg.frames = f;
    return arg;
}

class PrintRun {
public:
    PrintRun(PluginHost& host, const PrintRequest& request)
        : device_(host.Device()), request_(request), deck_(device_), status_(stderr) {}

    std::optional<Failure> Run();
    const Summary& Result() const { return summary_; }
    const PrintSource& Source() const { return source_; }
    const Plan& GetPlan() const { return plan_; }
    const std::optional<PrintVerification>& Verification() const { return verification_; }

private:
    std::optional<Failure> CheckRequest();
    std::optional<Failure> PlanPrint();
    std::optional<Failure> UseFormat();
    std::optional<Failure> Cue();
    std::optional<Failure> Print();
    std::optional<Failure> FeedUntilPlayed(PrintStreams& streams);
    int64_t LandingPosition() const;

    DigitalDevice* device_;
    PrintRequest request_;
    Deck deck_;
    StatusLine status_;
    PrintSource source_;
    Plan plan_;
    Summary summary_;
    int64_t startPosition_ = -1;  // where a plain print began
    int64_t inPosition_ = -1;     // where an edit's In is on the tape, before the edit
    std::optional<PrintVerification> verification_;
};

std::optional<Failure> PrintRun::CheckRequest() {
    plan_.edit = request_.insert || request_.assemble;
    plan_.video = !request_.audioOnly;
    plan_.audio = !request_.videoOnly;
    if (!plan_.edit && (!request_.out.empty() || request_.preroll >= 0))
        return Failure{"--out and --preroll belong to an edit: add --insert or --assemble", kExitUsage};
    if (plan_.edit && request_.in.empty())
        return Failure{std::string(request_.insert ? "--insert" : "--assemble") + " needs --in TC", kExitUsage};
    if (request_.insert && !request_.startTc.empty())
        return Failure{"--start-tc does not go with --insert: an insert keeps the tape's timecode", kExitUsage};
    if (request_.videoOnly && !request_.wavPath.empty())
        return Failure{"--wav and --video-only do not go together", kExitUsage};
    std::string error;
    if (!LoadPrintSource(request_.dvPath, request_.wavPath, plan_.audio, &source_, &error))
        return Failure{error, error.rfind("cannot read ", 0) == 0 ? kExitFailed : kExitUsage};
    return std::nullopt;
}

std::optional<Failure> PrintRun::PlanPrint() {
    const DDCError_t rateError = deck_.FrameRate(&plan_.fps, &plan_.dropFrame);
    if (rateError != DDC_NoError)
        return Failure{"the deck does not answer (" + DDCErrorText(rateError) +
                       "): is a device connected and a cassette loaded?"};
    if (!request_.standard.empty())
        plan_.standard = request_.standard == "pal" ? DIO_PAL : DIO_NTSC;
    else
        plan_.standard = plan_.fps == 25 ? DIO_PAL : DIO_NTSC;
    if (source_.standard != plan_.standard)
        return Failure{request_.dvPath + " holds " + StandardName(source_.standard) + " frames, but the session is " +
                           StandardName(plan_.standard) +
                           (request_.standard.empty() ? " (the tape in the deck)" : " (--standard)"),
                       kExitUsage};

    std::string error;
    for (auto [text, slot, name] : {std::make_tuple(&request_.in, &plan_.in, "--in"),
                                    std::make_tuple(&request_.out, &plan_.out, "--out"),
                                    std::make_tuple(&request_.startTc, &plan_.start, "--start-tc")}) {
        if (text->empty()) continue;
        TimecodeArg tc;
        if (!ParseTimecodeArg(*text, &tc, &error) || !CheckTimecodeArg(tc, plan_.fps, plan_.dropFrame, &error))
            return Failure{std::string(name) + ": " + error, kExitUsage};
        if (plan_.dropFrame) SkipDroppedLabel(&tc);
        *slot = tc;
    }
    plan_.frames = source_.Frames();
    if (plan_.in && plan_.out) {
        const timecodeDesc_t desc = plan_.Desc();
        const LONG length = TCDiffModDay(ToTimecode(*plan_.in, desc), ToTimecode(*plan_.out, desc));
        if (length <= 0 || length > TCFramesPerDay(&desc) / 2)
            return Failure{"--out " + request_.out + " must come after --in " + request_.in, kExitUsage};
        if (length > plan_.frames)
            return Failure{"the edit from --in to --out is " + std::to_string(length) + " frames, but " +
                               request_.dvPath + " holds only " + std::to_string(plan_.frames),
                           kExitUsage};
        plan_.frames = length;
    }
    if (plan_.audio && !request_.wavPath.empty()) {
        // A WAV file shorter than the print is followed by silence, as a host's timeline
        // would play it, rather than running the rings dry.
        const double framesPerSecond = plan_.standard == DIO_PAL ? 25.0 : 30000.0 / 1001.0;
        const auto needed = static_cast<size_t>(plan_.frames * (SampleRateOf(source_.audioRate) / framesPerSecond + 2));
        if (!source_.channels.empty() && source_.channels[0].size() < needed) {
            summary_.notes.push_back(request_.wavPath + " ends before the last frame: silence follows it");
            for (std::vector<int16_t>& channel : source_.channels) channel.resize(needed, 0);
        }
    }
    if (cardsim::GetDeckStatus().writeProtected)
        return Failure{"the cassette in the deck is write-protected: the deck will not record, nothing was printed"};
    return std::nullopt;
}

// The device prints in the file's standard and at its audio rate.
std::optional<Failure> PrintRun::UseFormat() {
    DIOFormat format(4);
    format.SetKeywordParameter(FourCC("VSIG"), plan_.standard == DIO_PAL ? "PAL" : "NTSC");
    if (plan_.audio) {
        const std::string rate = std::to_string(SampleRateOf(source_.audioRate));
        format.SetKeywordParameter(FourCC("ASRT"), rate.c_str());
    }
    if (!device_->SetControl(kControlDeviceFormat, &format))
        return Failure{"the device refused the print's format (" + StandardName(plan_.standard) + ")"};
    return std::nullopt;
}

// An edit: In, Out, preroll and mode set, and the deck cued for them. A plain print
// is cued to In when one is given.
std::optional<Failure> PrintRun::Cue() {
    const timecodeDesc_t desc = plan_.Desc();
    if (plan_.edit) {
        // The simulated deck's edit switches, as a person sets them on a real deck.
        const std::string tracks = plan_.video && plan_.audio ? "video+audio" : plan_.video ? "video" : "audio";
        const std::string kind = request_.insert ? "insert=" + tracks : "assemble";
        std::string why;
        if (!cardsim::SetDeckOptions(kind, &why)) return Failure{"the deck cannot be set for the edit: " + why};
        const timecode_t in = ToTimecode(*plan_.in, desc);
        const timecode_t out = plan_.out ? ToTimecode(*plan_.out, desc) : TCAddModDay(in, static_cast<LONG>(plan_.frames));
        const int64_t preroll = request_.preroll >= 0 ? request_.preroll : kDefaultPrerollFrames;
        const auto mode = static_cast<DeviceEditMode_t>(1);
        for (auto [error, what] : {std::make_pair(device_->DeviceSetIn(in), "the In point"),
                                   std::make_pair(device_->DeviceSetOut(out), "the Out point"),
                                   std::make_pair(device_->DeviceSetPreroll(TCCreateDur(static_cast<LONG>(preroll), &desc)),
                                                  "the preroll"),
                                   std::make_pair(device_->DeviceSetEditMode(mode), "the edit mode")})
            if (error != DDC_NoError) return Failure{std::string("the deck refused ") + what + ": " + DDCErrorText(error)};
        summary_.editText = std::string(request_.insert ? "insert" : "assemble") + " " +
                            (plan_.video && plan_.audio ? "video and audio" : plan_.video ? "video" : "audio") +
                            ", In " + TimecodeText(in) + ", Out " + TimecodeText(out) + ", preroll " +
                            std::to_string(preroll) + " frames";
        // An assemble rewrites the timecode from In on: In is found on the tape before.
        inPosition_ = cardsim::FindTapeTimecode(TapeLabel(*plan_.in, plan_.dropFrame));
        const DDCError_t cueError = device_->DeviceGotoPreroll();
        if (cueError != DDC_NoError) return Failure{"the deck could not be cued: " + DDCErrorText(cueError)};
        const DeckDeadline deadline(kCueSeconds);
        for (;;) {
            TransportState_t state = TransportUnknown;
            const DDCError_t error = device_->DeviceGetState(&state);
            if (error == DDC_NoError && state != TransportSeeking) break;
            if (deadline.Passed() || StopSignal::Requested())
                return Failure{"the deck did not arrive at the preroll point"};
            SleepPoll();
        }
        return std::nullopt;
    }
    if (DeviceEditMode_t mode = static_cast<DeviceEditMode_t>(0); device_->DeviceSetEditMode(mode) != DDC_NoError)
        return Failure{"the device refused a plain print"};
    if (plan_.in) {
        timecode_t arrived{};
        const DDCError_t error = deck_.SeekAndWait(ToTimecode(*plan_.in, desc), kCueSeconds, &arrived);
        if (error != DDC_NoError) return Failure{"the deck could not be cued to " + request_.in + ": " + DDCErrorText(error)};
    }
    startPosition_ = cardsim::GetDeckStatus().position;
    if (!plan_.start) {
        // The print takes the timecode of the tape where it begins, or starts at zero.
        timecode_t here{};
        plan_.start = deck_.Timecode(&here) == DDC_NoError && !TCIsEmpty(here) ? ArgOf(here) : TimecodeArg{};
        plan_.start->dropFrameMark = plan_.dropFrame;
    }
    summary_.editText = "plain record from " + TimecodeArgText(*plan_.start, plan_.dropFrame);
    return std::nullopt;
}

std::optional<Failure> PrintRun::FeedUntilPlayed(PrintStreams& streams) {
    std::string error;
    LONG played = 0;
    DeckDeadline stall(kStallSeconds);
    while (played < plan_.frames) {
        if (!streams.Feed(&error)) return Failure{error};
        const LONG now = streams.FramesPlayed();
        if (now != played) stall = DeckDeadline(kStallSeconds);
        played = now;
        if (stall.Passed())
            return Failure{"the print stalled after " + std::to_string(played) + " of " +
                           std::to_string(plan_.frames) + " frames (" + streams.DeviceError() + ")"};
        if (StopSignal::Requested()) return Failure{"stopped by Ctrl-C after " + std::to_string(played) + " frames"};
        const OutputCounters counters = streams.Counters();
        status_.Show("printing frame " + std::to_string(played) + " of " + std::to_string(plan_.frames) +
                     "  underruns " + std::to_string(counters.videoUnderruns + counters.audioUnderruns));
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return std::nullopt;
}

std::optional<Failure> PrintRun::Print() {
    PrintStreams streams(device_, source_, plan_.frames, plan_.video, plan_.audio);
    std::string error;
    if (!streams.Prepare(&error)) return Failure{error};
    if (!request_.insert) {
        // An assemble writes new timecode: by default the tape's own runs on from In.
        timecode_t start = ToTimecode(plan_.start ? *plan_.start : *plan_.in, plan_.Desc());
        if (!device_->SetControl(kControlStartTimecode, &start)) return Failure{"the device refused the start timecode"};
    }
    streams.Feed(&error);
    if (!streams.Arm(&error)) return Failure{error};
    if (plan_.edit) {
        const DDCError_t performError = device_->DevicePerform();
        if (performError != DDC_NoError) return Failure{"the deck refused the edit: " + DDCErrorText(performError)};
    } else {
        const DDCError_t recordError = deck_.Transport(&DigitalDevice::DeviceRecord);
        if (recordError != DDC_NoError) return Failure{"the deck refused to record: " + DDCErrorText(recordError)};
        if (!deck_.WaitForState(TransportRecording, kTransportPatienceSeconds))
            return Failure{"the deck did not start recording"};
    }
    if (!streams.Start(&error)) return Failure{error};
    std::optional<Failure> failure = FeedUntilPlayed(streams);
    // An edit ends by itself at Out; a plain record is stopped once the last frame has
    // reached the deck.
    if (plan_.edit)
        deck_.WaitForState(TransportPaused, kStallSeconds) || deck_.WaitForState(TransportStopped, 0);
    summary_.sent = streams.FramesPlayed();
    summary_.counters = streams.Counters();
    // The card ran low on frames: what reached the tape is still read back below.
    if (summary_.counters.videoUnderruns + summary_.counters.audioUnderruns > 0)
        summary_.notes.push_back("the device ran short of frames " +
                                 std::to_string(summary_.counters.videoUnderruns + summary_.counters.audioUnderruns) +
                                 " times; the verification shows what reached the tape");
    streams.End();
    status_.Clear();
    const DDCError_t stopError = deck_.Transport(&DigitalDevice::DeviceStop);
    if (stopError != DDC_NoError) summary_.notes.push_back("the deck refused to stop: " + DDCErrorText(stopError));
    return failure;
}

// Where the first frame belongs: In for an edit; for a plain print, the last of the
// frames from where the deck began that show the stamped timecode (the card's lead-in
// still carries it too).
int64_t PrintRun::LandingPosition() const {
    if (plan_.edit) return inPosition_;
    const cardsim::TapeTimecode label = TapeLabel(*plan_.start, plan_.dropFrame);
    const int64_t length = cardsim::TapeLength();
    cardsim::TapeTimecode here;
    for (int64_t p = std::max<int64_t>(startPosition_, 0); p < length; ++p) {
        if (!cardsim::TapeTimecodeAt(p, &here) || here != label) continue;
        while (p + 1 < length && cardsim::TapeTimecodeAt(p + 1, &here) && here == label) ++p;
        return p;
    }
    return -1;
}

std::optional<Failure> PrintRun::Run() {
    if (auto failure = CheckRequest()) return failure;
    if (auto failure = PlanPrint()) return failure;
    if (auto failure = UseFormat()) return failure;
    deck_.SetInterruption(&StopSignal::Requested);
    if (auto failure = Cue()) return failure;
    std::optional<Failure> failure = Print();
    if (failure) return failure;
    verification_ = VerifyPrint(source_, plan_.frames, LandingPosition(), plan_.video, plan_.audio, !plan_.edit);
    return std::nullopt;
}

void PrintText(const PrintRun& run, const PrintRequest& request, std::ostream& out) {
    const Summary& s = run.Result();
    const PrintSource& source = run.Source();
    out << "printed      " << request.dvPath << ": " << run.GetPlan().frames << " frames "
        << StandardName(source.standard);
    if (run.GetPlan().audio)
        out << ", audio " << SampleRateOf(source.audioRate) << " Hz " << source.channels.size() << " channels from "
            << source.audioFrom;
    out << "\n"
        << "edit         " << s.editText << "\n"
        << "sent         " << s.sent << " frames, underruns " << s.counters.videoUnderruns << " video "
        << s.counters.audioUnderruns << " audio, errors " << s.counters.errors << "\n";
    if (run.Verification()) {
        out << "landed       " << run.Verification()->firstTimecode << " to " << run.Verification()->lastTimecode
            << "\n";
        run.Verification()->PrintText(out);
    }
    for (const std::string& note : s.notes) out << "note         " << note << "\n";
}

Json PrintJson(const PrintRun& run, const PrintRequest& request) {
    const Summary& s = run.Result();
    Json json = Json::Object();
    json.Set("file", request.dvPath)
        .Set("frames", run.GetPlan().frames)
        .Set("standard", StandardName(run.Source().standard))
        .Set("edit", s.editText)
        .Set("sent", s.sent)
        .Set("video_underruns", static_cast<int64_t>(s.counters.videoUnderruns))
        .Set("audio_underruns", static_cast<int64_t>(s.counters.audioUnderruns))
        .Set("errors", static_cast<int64_t>(s.counters.errors));
    Json notes = Json::Array();
    for (const std::string& note : s.notes) notes.Push(note);
    json.Set("notes", notes);
    if (run.Verification()) {
        json.Set("landed_first", run.Verification()->firstTimecode)
            .Set("landed_last", run.Verification()->lastTimecode)
            .Set("verification", run.Verification()->ToJson());
    }
    return json;
}

}  // namespace

int RunPrint(PluginHost& host, const PrintRequest& request, bool json, std::ostream& out, std::ostream& err) {
    StopSignal stopSignal;
    PrintRun run(host, request);
    const std::optional<Failure> failure = run.Run();
    if (run.Verification() || run.Result().sent > 0) {
        if (json)
            out << PrintJson(run, request).Dump() << "\n";
        else
            PrintText(run, request, out);
    }
    if (failure) {
        err << "dvio: " << failure->sentence << "\n";
        return failure->code;
    }
    if (!run.Verification()->Exact()) {
        err << "dvio: the print did not land exactly"
            << (run.Verification()->problems.empty() ? "" : ": " + run.Verification()->problems.front()) << "\n";
        return kExitFailed;
    }
    return kExitOk;
}
