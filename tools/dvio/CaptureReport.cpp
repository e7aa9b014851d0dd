#include "CaptureReport.h"

#include "InterfaceValueText.h"
#include "WavFilesJson.h"

#include <algorithm>
#include <cstdio>

namespace {

// The largest gap in the timecode taken for frames lost on the way rather than a jump
// on the tape: the device's VideoIn ring, two seconds.
constexpr LONG kLostGapFrames = 60;

}  // namespace

int64_t CaptureReport::LateStartFrames() const {
    if (!start || !timecodes.HasAny() || timecodes.Runs().front().firstFrame != 0) return 0;
    const LONG late = TCDiffModDay(*start, timecodes.First());
    return late > 0 && late <= kLostGapFrames ? late : 0;
}

bool CaptureReport::AfterUnreadableFrames(int64_t frame) const {
    for (const auto& change : formatChanges)
        if (change.frame == frame && change.afterBreak) return true;
    return false;
}

int64_t CaptureReport::LeftOutDamaged() const {
    int64_t frames = 0;
    for (const auto& item : timecodes.Breaks())
        if (AfterUnreadableFrames(item.frame)) frames += TimecodeTrack::FramesSkipped(item, kLostGapFrames);
    return frames;
}

int64_t CaptureReport::Gaps() const {
    int64_t gaps = LateStartFrames();
    for (const auto& item : timecodes.Breaks())
        if (!AfterUnreadableFrames(item.frame)) gaps += TimecodeTrack::FramesSkipped(item, kLostGapFrames);
    return gaps;
}

int64_t CaptureReport::Overruns() const { return std::min(Gaps(), OverrunsCounted()); }

int64_t CaptureReport::NotDelivered() const { return Gaps() - Overruns(); }

int64_t CaptureReport::DamagedInFile() const {
    // A frame without timecode may also lack audio: count each frame once.
    int64_t damaged = timecodes.Missing().Count();
    for (const auto& range : formats.WithoutAudio().Ranges()) {
        for (int64_t frame = range.first; frame <= range.last; ++frame) {
            bool counted = false;
            for (const auto& missing : timecodes.Missing().Ranges())
                counted = counted || (frame >= missing.first && frame <= missing.last);
            if (!counted) ++damaged;
        }
    }
    return damaged;
}

void CaptureReport::PrintText(std::ostream& out) const {
    if (files.size() > 1)
        out << "captured       " << frames << " frames to " << files.size() << " files\n";
    else
        out << "captured       " << frames << " frames to " << (files.empty() ? dvPath : files[0].path) << "\n";
    for (size_t i = 0; i < files.size(); ++i) {
        const auto& file = files[i];
        out << (i == 0 ? "files          " : "               ") << file.path << ": " << file.frames << " frames, "
            << (file.firstTimecode.empty() ? "no timecode" : file.firstTimecode + " to " + file.lastTimecode)
            << (file.recorded.empty() ? "" : ", recorded " + file.recorded) << "\n";
    }
    if (timecodes.HasAny())
        out << "timecode       " << TimecodeText(timecodes.First()) << " to " << TimecodeText(timecodes.Last()) << "\n";
    else
        out << "timecode       none\n";
    if (wavFiles.empty()) out << (audioInFiles ? "audio          in the files, 16-bit PCM\n" : "audio          none\n");
    for (size_t i = 0; i < wavFiles.size(); ++i) {
        const auto& file = wavFiles[i];
        out << (i == 0 ? "audio          " : "               ") << file.path << ": " << file.sampleRate << " Hz, "
            << file.channels << " channels, " << file.samples << " samples"
            << (i == 0 ? "" : " (from frame " + std::to_string(file.firstFrame) + ", " + file.firstTimecode + ")")
            << "\n";
    }
    out << "dropped        " << Dropped() << " (not delivered " << NotDelivered() << ", damaged " << LeftOutDamaged()
        << ", ring overruns " << Overruns() << "; the device counted VideoIn overruns " << OverrunsCounted()
        << ", AudioIn overruns " << counters.audioOverruns << ", stream errors " << counters.errors
        << (overrunsBeforeFirstFrame > 0
                ? ", VideoIn overruns before the first frame " + std::to_string(overrunsBeforeFirstFrame)
                : "")
        << ")\n";
    if (DamagedInFile() > 0)
        out << "damaged        " << DamagedInFile() << " frames kept in the file with unreadable timecode or audio\n";
    out << "breaks         " << timecodes.Breaks().size() << "\n";
    for (const auto& item : timecodes.Breaks()) {
        out << "               at frame " << item.frame << ": " << TimecodeText(item.before) << " then "
            << TimecodeText(item.after) << "\n";
    }
    if (!timecodes.Repeats().empty()) {
        out << "repeats        " << timecodes.Repeats().size() << "\n";
        for (const auto& item : timecodes.Repeats()) {
            out << "               frames " << item.firstFrame << "-" << item.lastFrame << " repeat "
                << TimecodeText(item.timecode) << "\n";
        }
    }
    out << "format changes " << formatChanges.size() << "\n";
    for (const auto& change : formatChanges) {
        out << "               at frame " << change.frame << " (" << change.timecode << "): " << change.standard << ", "
            << change.sampleRate << " Hz" << (change.afterBreak ? ", after unreadable frames" : "") << "\n";
    }
    if (startTimecode.empty())
        out << "start          at once (no start timecode)\n";
    else
        out << "start          " << startTimecode
            << (counters.startMissed ? ": missed"
                : LateStartFrames() > 0
                    ? ": missed, the first frame came " + std::to_string(LateStartFrames()) +
                          (LateStartFrames() == 1 ? " frame" : " frames") + " after it"
                    : ": not missed")
            << "\n";
    if (timecodes.Missing().Count() > 0)
        out << "no timecode    " << timecodes.Missing().Count() << " frames (" << timecodes.Missing().Text() << ")\n";
    if (audioSamplesMissing > 0)
        out << "audio missing  " << audioSamplesMissing << " samples of the last frames never arrived\n";
    out << "ended          " << ended << "\n";
    char elapsed[32];
    std::snprintf(elapsed, sizeof elapsed, "%.1f s", elapsedSeconds);
    out << "elapsed        " << elapsed << "\n";
    for (const auto& note : notes) out << "note           " << note << "\n";
}

Json CaptureReport::ToJson() const {
    Json json = Json::Object();
    json.Set("file", files.empty() ? dvPath : files[0].path);
    json.Set("frames", frames);
    json.Set("first_timecode", timecodes.HasAny() ? Json(TimecodeText(timecodes.First())) : Json());
    json.Set("last_timecode", timecodes.HasAny() ? Json(TimecodeText(timecodes.Last())) : Json());
    json.Set("wav", WavFilesJson(wavFiles));
    Json fileList = Json::Array();
    for (const auto& file : files) {
        fileList.Push(Json::Object()
                          .Set("path", file.path)
                          .Set("frames", file.frames)
                          .Set("first_frame", file.firstFrame)
                          .Set("first_timecode", file.firstTimecode.empty() ? Json() : Json(file.firstTimecode))
                          .Set("last_timecode", file.lastTimecode.empty() ? Json() : Json(file.lastTimecode))
                          .Set("recorded", file.recorded.empty() ? Json() : Json(file.recorded)));
    }
    json.Set("files", fileList);
    json.Set("dropped", Json::Object()
                            .Set("total", Dropped())
                            .Set("not_delivered", NotDelivered())
                            .Set("damaged", LeftOutDamaged())
                            .Set("ring_overruns", Overruns())
                            .Set("videoin_overruns", static_cast<int>(counters.videoOverruns))
                            .Set("audioin_overruns", static_cast<int>(counters.audioOverruns))
                            .Set("stream_errors", static_cast<int>(counters.errors)));
    json.Set("damaged_in_file", DamagedInFile());
    json.Set("breaks", BreaksJson(timecodes));
    json.Set("repeats", RepeatsJson(timecodes));
    json.Set("device_breaks", static_cast<int>(counters.discontinuity.nCount));
    Json changes = Json::Array();
    for (const auto& change : formatChanges) {
        changes.Push(Json::Object()
                         .Set("frame", change.frame)
                         .Set("timecode", change.timecode)
                         .Set("standard", change.standard)
                         .Set("sample_rate", change.sampleRate)
                         .Set("after_break", change.afterBreak));
    }
    json.Set("format_changes", changes);
    json.Set("start_timecode", startTimecode.empty() ? Json() : Json(startTimecode));
    json.Set("start_missed", counters.startMissed || LateStartFrames() > 0);
    json.Set("start_late_frames", LateStartFrames());
    json.Set("frames_without_timecode", timecodes.Missing().Count());
    json.Set("audio_samples_missing", audioSamplesMissing);
    json.Set("ended", ended);
    json.Set("elapsed_seconds", elapsedSeconds);
    Json noteList = Json::Array();
    for (const auto& note : notes) noteList.Push(note);
    json.Set("notes", noteList);
    return json;
}
