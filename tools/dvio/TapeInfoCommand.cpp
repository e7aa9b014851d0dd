#include "DvFile.h"
#include "DvFrameFacts.h"
#include "ExitCodes.h"
#include "TimecodeAndFormatRuns.h"
#include "InterfaceValueText.h"
#include "Json.h"
#include "TapeCommands.h"

#include <cstdio>
#include <vector>

namespace {

// A frame the recorder marked as the start of a recording.
struct RecordingStart {
    int64_t frame;
    timecode_t timecode;
    bool hasDate;
    dv25::RecordingDateTime recorded;
};

Json RecordingsJson(const std::vector<RecordingStart>& starts) {
    Json list = Json::Array();
    for (const auto& start : starts) {
        Json item = Json::Object();
        item.Set("frame", start.frame);
        item.Set("timecode", TimecodeText(start.timecode));
        item.Set("recorded", start.hasDate ? Json(RecordingDateText(start.recorded)) : Json());
        list.Push(item);
    }
    return list;
}

std::string FrameSpan(int64_t first, int64_t last) {
    return first == last ? "frame " + std::to_string(first)
                         : "frames " + std::to_string(first) + "-" + std::to_string(last);
}

void PrintText(const std::string& path, int64_t frames, const FormatTrack& formats, const TimecodeTrack& timecodes,
               const IndexRanges& damaged, const std::vector<RecordingStart>& starts, const std::string& problem,
               std::ostream& out) {
    char line[160];
    out << "file           " << path << "\n";
    out << "frames         " << frames << "\n";
    bool first = true;
    for (const auto& run : formats.Runs()) {
        std::snprintf(line, sizeof line, "%-15s%s: %s\n", first ? "format" : "", FrameSpan(run.firstFrame, run.lastFrame).c_str(),
                      run.format.Text().c_str());
        out << line;
        first = false;
    }
    if (formats.Runs().empty()) out << "format         (no frames)\n";
    size_t index = 0;
    for (const auto& run : formats.Runs()) {
        if (index++ == 0) continue;
        out << "format change  at frame " << run.firstFrame << " (" << TimecodeText(run.firstTimecode) << "): now "
            << run.format.Text() << "\n";
    }
    first = true;
    for (const auto& run : timecodes.Runs()) {
        std::snprintf(line, sizeof line, "%-15s%s: %s to %s\n", first ? "timecode" : "",
                      FrameSpan(run.firstFrame, run.lastFrame).c_str(), TimecodeText(run.first).c_str(),
                      TimecodeText(run.last).c_str());
        out << line;
        first = false;
    }
    if (timecodes.Runs().empty()) out << "timecode       none\n";
    out << "breaks         " << timecodes.Breaks().size() << "\n";
    for (const auto& item : timecodes.Breaks()) {
        out << "               at frame " << item.frame << ": " << TimecodeText(item.before) << " then "
            << TimecodeText(item.after) << "\n";
    }
    if (!timecodes.Repeats().empty()) out << "repeats        " << timecodes.Repeats().size() << "\n";
    for (const auto& item : timecodes.Repeats()) {
        out << "               " << FrameSpan(item.firstFrame, item.lastFrame) << " repeat "
            << TimecodeText(item.timecode) << "\n";
    }
    out << "no timecode    " << timecodes.Missing().Count() << " frames"
        << (timecodes.Missing().Count() ? " (" + timecodes.Missing().Text() + ")" : "") << "\n";
    out << "no audio       " << formats.WithoutAudio().Count() << " frames"
        << (formats.WithoutAudio().Count() ? " (" + formats.WithoutAudio().Text() + ")" : "") << "\n";
    if (!starts.empty()) out << "recordings     " << starts.size() << "\n";
    for (const auto& start : starts) {
        out << "               at frame " << start.frame << " (" << TimecodeText(start.timecode)
            << "): " << (start.hasDate ? RecordingDateText(start.recorded) : "no date") << "\n";
    }
    if (damaged.Count() > 0)
        out << "damaged        " << damaged.Count() << " frames without a readable header (" << damaged.Text() << ")\n";
    if (!problem.empty()) out << "problem        " << problem << "\n";
}

}  // namespace

int RunTapeInfo(const std::string& path, bool json, std::ostream& out, std::ostream& err) {
    DvFileReader reader;
    std::string error;
    if (!reader.Open(path, &error)) {
        err << "dvio: " << error << "\n";
        return kExitFailed;
    }
    FormatTrack formats;
    TimecodeTrack timecodes;
    IndexRanges damaged;
    std::vector<RecordingStart> starts;
    std::vector<uint8_t> frame;
    DvFileReader::Result result;
    while ((result = reader.Next(&frame)) == DvFileReader::Result::Frame || result == DvFileReader::Result::Damaged) {
        const int64_t index = reader.Index() - 1;
        if (result == DvFileReader::Result::Damaged) {
            // Nothing in it can be trusted: a frame without timecode, counted apart.
            damaged.Add(index);
            timecodes.Add(index, DvFrameFacts());
            continue;
        }
        const DvFrameFacts facts = ReadFrameFacts(frame.data(), frame.size());
        formats.Add(index, facts);
        timecodes.Add(index, facts);
        if (facts.recordingStart)
            starts.push_back({index, FrameTimecode(facts), facts.hasRecordingDate, facts.recorded});
    }
    const int64_t frames = reader.Index();
    if (frames == 0 && result != DvFileReader::Result::End) {
        err << "dvio: " << path << " is not a DV file: " << reader.Problem() << "\n";
        return kExitFailed;
    }
    const std::string problem = result == DvFileReader::Result::End ? "" : reader.Problem();

    if (json) {
        Json report = Json::Object();
        report.Set("file", path);
        report.Set("frames", frames);
        report.Set("formats", FormatRunsJson(formats));
        report.Set("format_changes", static_cast<int64_t>(formats.Changes()));
        report.Set("timecode_runs", TimecodeRunsJson(timecodes));
        report.Set("breaks", BreaksJson(timecodes));
        report.Set("repeats", RepeatsJson(timecodes));
        report.Set("frames_without_timecode", timecodes.Missing().Count());
        report.Set("without_timecode", timecodes.Missing().ToJson());
        report.Set("frames_without_audio", formats.WithoutAudio().Count());
        report.Set("damaged_frames", damaged.Count());
        report.Set("damaged", damaged.ToJson());
        report.Set("without_audio", formats.WithoutAudio().ToJson());
        report.Set("recordings", RecordingsJson(starts));
        if (!problem.empty()) report.Set("problem", problem);
        out << report.Dump() << "\n";
    } else {
        PrintText(path, frames, formats, timecodes, damaged, starts, problem, out);
    }
    if (!problem.empty()) {
        err << "dvio: " << problem << "\n";
        return kExitFailed;
    }
    return kExitOk;
}
