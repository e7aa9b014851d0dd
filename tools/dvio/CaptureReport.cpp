#include "CaptureReport.h"

#include "InterfaceValueText.h"
#include "WavFilesJson.h"

#include <cstdio>

void CaptureReport::PrintText(std::ostream& out) const {
    out << "captured       " << frames << " frames to " << dvPath << "\n";
    if (timecodes.HasAny())
        out << "timecode       " << TimecodeText(timecodes.First()) << " to " << TimecodeText(timecodes.Last()) << "\n";
    else
        out << "timecode       none\n";
    if (wavFiles.empty()) out << "audio          none\n";
    for (size_t i = 0; i < wavFiles.size(); ++i) {
        const auto& file = wavFiles[i];
        out << (i == 0 ? "audio          " : "               ") << file.path << ": " << file.sampleRate << " Hz, "
            << file.channels << " channels, " << file.samples << " samples"
            << (i == 0 ? "" : " (from frame " + std::to_string(file.firstFrame) + ", " + file.firstTimecode + ")")
            << "\n";
    }
    out << "dropped        " << Dropped() << " (VideoIn overruns " << counters.videoOverruns << ", AudioIn overruns "
        << counters.audioOverruns << "; stream errors " << counters.errors << ")\n";
    out << "breaks         " << timecodes.Breaks().size() << "\n";
    for (const auto& item : timecodes.Breaks()) {
        out << "               at frame " << item.frame << ": " << TimecodeText(item.before) << " then "
            << TimecodeText(item.after) << "\n";
    }
    out << "format changes " << formatChanges.size() << "\n";
    for (const auto& change : formatChanges) {
        out << "               at frame " << change.frame << " (" << change.timecode << "): " << change.standard << ", "
            << change.sampleRate << " Hz" << (change.afterBreak ? ", after unreadable frames" : "") << "\n";
    }
    if (startTimecode.empty())
        out << "start          at once (no start timecode)\n";
    else
        out << "start          " << startTimecode << (counters.startMissed ? ": missed" : ": not missed") << "\n";
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
    json.Set("file", dvPath);
    json.Set("frames", frames);
    json.Set("first_timecode", timecodes.HasAny() ? Json(TimecodeText(timecodes.First())) : Json());
    json.Set("last_timecode", timecodes.HasAny() ? Json(TimecodeText(timecodes.Last())) : Json());
    json.Set("wav", WavFilesJson(wavFiles));
    json.Set("dropped", Json::Object()
                            .Set("total", Dropped())
                            .Set("videoin_overruns", static_cast<int>(counters.videoOverruns))
                            .Set("audioin_overruns", static_cast<int>(counters.audioOverruns))
                            .Set("stream_errors", static_cast<int>(counters.errors)));
    json.Set("breaks", BreaksJson(timecodes));
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
    json.Set("start_missed", counters.startMissed);
    json.Set("frames_without_timecode", timecodes.Missing().Count());
    json.Set("audio_samples_missing", audioSamplesMissing);
    json.Set("ended", ended);
    json.Set("elapsed_seconds", elapsedSeconds);
    Json noteList = Json::Array();
    for (const auto& note : notes) noteList.Push(note);
    json.Set("notes", noteList);
    return json;
}
