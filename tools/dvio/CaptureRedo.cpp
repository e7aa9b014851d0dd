#include "CaptureRedo.h"

#include "CaptureCommand.h"
#include "DeckCapture.h"
#include "DvFile.h"
#include "ExitCodes.h"
#include "HealthReport.h"
#include "InterfaceValueText.h"
#include "StopSignal.h"

#include <cstdio>
#include <map>

namespace {

std::string WithExtension(const std::string& path, const std::string& suffix, const std::string& extension) {
    const size_t slash = path.rfind('/');
    const size_t dot = path.rfind('.');
    const size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    const std::string stem = dot != std::string::npos && dot > nameStart ? path.substr(0, dot) : path;
    return stem + suffix + extension;
}

// The best reading of one report entry so far.
struct Reading {
    FrameHealth health;
    std::vector<uint8_t> bytes;  // empty: the earlier capture's frame is the best
};

// Runs of damaged entries with timecode, [first, last] entry indexes.
std::vector<std::pair<size_t, size_t>> DamagedRuns(const std::vector<FrameHealth>& entries) {
    std::vector<std::pair<size_t, size_t>> runs;
    for (size_t i = 0; i < entries.size(); ++i) {
        if (!entries[i].Damaged() || !entries[i].hasTimecode) continue;
        if (!runs.empty() && static_cast<int64_t>(i - runs.back().second) <= kRedoMergeFrames)
            runs.back().second = i;
        else
            runs.push_back({i, i});
    }
    return runs;
}

std::string DamageText(const FrameHealth& h) {
    if (!h.arrived) return "lost";
    std::string text;
    if (h.concealedBlocks > 0) text = std::to_string(h.concealedBlocks) + " concealed blocks";
    if (h.audioErrorSamples > 0)
        text += (text.empty() ? "" : ", ") + std::to_string(h.audioErrorSamples) + " audio error samples";
    return text;
}

}  // namespace

std::string DefaultRedoPath(const std::string& capturedPath) { return WithExtension(capturedPath, "-redone", ".dv"); }
std::string DefaultRedoReportPath(const std::string& outPath) { return WithExtension(outPath, "", ".json"); }
std::string RedoPassDvPath(const std::string& outPath) { return WithExtension(outPath, "", ".pass.dv"); }
std::string RedoPassWavPath(const std::string& outPath) { return WithExtension(outPath, "", ".pass.wav"); }

int RunCaptureRedo(PluginHost& host, const RedoRequest& request, bool json, std::ostream& out, std::ostream& err) {
    // Ctrl-C ends the passes; what was read by then still goes into the merged file.
    StopSignal stopSignal;
    std::string capturedPath, error;
    DIO_VideoFormat standard = DIO_NoVideoFormat;
    std::vector<FrameHealth> entries;
    if (!ReadHealthReport(request.reportPath, &capturedPath, &standard, &entries, &error)) {
        err << "dvio: " << error << "\n";
        return kExitFailed;
    }
    std::vector<Reading> best(entries.size());
    std::map<std::string, size_t> damagedAt;  // timecode text -> entry
    int64_t damagedBefore = 0;
    for (size_t i = 0; i < entries.size(); ++i) {
        best[i].health = entries[i];
        if (!entries[i].Damaged()) continue;
        ++damagedBefore;
        if (entries[i].hasTimecode) damagedAt[TimecodeText(entries[i].timecode)] = i;
    }

    // Each run again, until it is clean or the passes are used up.
    const auto runs = DamagedRuns(entries);
    std::vector<std::string> notes;
    int passes = 0;
    bool passFailed = false;
    for (const auto& run : runs) {
        for (int pass = 1; pass <= kRedoPasses && !StopSignal::Requested(); ++pass) {
            bool damaged = false;
            for (size_t i = run.first; i <= run.second; ++i) damaged = damaged || best[i].health.Damaged();
            if (!damaged) break;
            CaptureRequest capture;
            capture.dvPath = RedoPassDvPath(request.outPath);
            capture.wavPath = RedoPassWavPath(request.outPath);
            capture.from = TimecodeText(entries[run.first].timecode);
            capture.to = TimecodeText(TCAddModDay(entries[run.second].timecode, 1));
            capture.standard = request.standard;
            DeckCapture again(host, capture);
            const auto removePassFiles = [&capture] {
                std::remove(capture.dvPath.c_str());
                std::remove(capture.wavPath.c_str());
            };
            again.SetRemoveCreated(removePassFiles);
            again.SetFrameObserver([&](const uint8_t* frame, size_t size, const DvFrameFacts& facts) {
                if (!facts.hasTimecode) return;
                const auto it = damagedAt.find(TimecodeText(FrameTimecode(facts)));
                if (it == damagedAt.end()) return;
                const FrameHealth reading = ReadFrameHealth(frame, size, facts);
                Reading& kept = best[it->second];
                if (!IsBetterReading(reading, kept.health)) return;
                kept.health = reading;
                kept.bytes.assign(frame, frame + size);
            });
            const std::optional<CaptureFailure> failure = again.Run();
            ++passes;
            for (const auto& file : again.Report().wavFiles) std::remove(file.path.c_str());
            removePassFiles();
            if (failure && failure->code != kExitOk) {
                notes.push_back("the pass over " + capture.from + " to " + capture.to + " failed: " + failure->sentence);
                passFailed = true;
                break;
            }
        }
    }

    if (StopSignal::Requested()) notes.push_back("stopped by Ctrl-C before every pass was run");

    // The merged capture: the earlier file's frames, each replaced by a better reading
    // where there is one, and lost frames put back where they were found.
    DvFileReader reader;
    DvFileWriter writer;
    if (!reader.Open(capturedPath, &error) || !writer.Open(request.outPath, &error)) {
        err << "dvio: " << error << "\n";
        return kExitFailed;
    }
    HealthReport merged(entries.empty() || !entries.front().hasTimecode
                            ? std::nullopt
                            : std::optional<timecode_t>(entries.front().timecode));
    std::vector<uint8_t> frame;
    auto write = [&](const std::vector<uint8_t>& bytes) {
        merged.Add(bytes.data(), bytes.size(), ReadFrameFacts(bytes.data(), bytes.size()));
        return writer.Write(bytes.data(), bytes.size(), &error);
    };
    bool ok = true;
    for (size_t i = 0; i < entries.size() && ok; ++i) {
        if (entries[i].arrived) {
            if (reader.Next(&frame) != DvFileReader::Result::Frame) {
                error = capturedPath + " does not hold the frames its report lists: " + reader.Problem();
                ok = false;
                break;
            }
            ok = write(best[i].bytes.empty() ? frame : best[i].bytes);
        } else if (!best[i].bytes.empty()) {
            ok = write(best[i].bytes);
        }
    }
    ok = ok && writer.Close(&error);
    const Json report = merged.ToJson(request.outPath, standard);
    ok = ok && WriteHealthReport(report, request.newReportPath, out, &error);
    if (!ok) {
        err << "dvio: " << error << "\n";
        return kExitFailed;
    }

    std::vector<size_t> left;
    for (size_t i = 0; i < best.size(); ++i)
        if (best[i].health.Damaged()) left.push_back(i);
    const int64_t recovered = damagedBefore - static_cast<int64_t>(left.size());
    if (json) {
        Json summary = Json::Object();
        summary.Set("file", request.outPath);
        summary.Set("from", capturedPath);
        summary.Set("report", request.newReportPath);
        summary.Set("damaged_frames", damagedBefore);
        summary.Set("ranges", static_cast<int64_t>(runs.size()));
        summary.Set("passes", passes);
        summary.Set("recovered", recovered);
        Json list = Json::Array();
        for (size_t i : left) {
            Json item = Json::Object();
            item.Set("timecode", best[i].health.hasTimecode ? Json(TimecodeText(best[i].health.timecode)) : Json());
            item.Set("damage", DamageText(best[i].health));
            list.Push(item);
        }
        summary.Set("not_recovered", list);
        Json noteList = Json::Array();
        for (const auto& note : notes) noteList.Push(note);
        summary.Set("notes", noteList);
        out << summary.Dump() << "\n";
    } else {
        out << "redone         " << request.outPath << " from " << capturedPath << ": " << damagedBefore
            << " damaged frames in " << runs.size() << " ranges, " << passes << " passes\n";
        out << "recovered      " << recovered << " of " << damagedBefore << " frames\n";
        out << "not recovered  " << left.size() << " frames\n";
        for (size_t i : left) {
            out << "               "
                << (best[i].health.hasTimecode ? TimecodeText(best[i].health.timecode) : "(no timecode)") << ": "
                << DamageText(best[i].health) << "\n";
        }
        out << "report         " << request.newReportPath << "\n";
        for (const auto& note : notes) out << "note           " << note << "\n";
    }
    if (passFailed) {
        err << "dvio: some passes failed; the merged file holds the best of what was read\n";
        return kExitFailed;
    }
    return kExitOk;
}
