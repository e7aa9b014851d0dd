#include "HealthReport.h"

#include <fstream>
#include <ostream>
#include <sstream>

void HealthReport::Add(const uint8_t* frame, size_t size, const DvFrameFacts& facts) {
    AddHealth(ReadFrameHealth(frame, size, facts));
}

void HealthReport::AddHealth(FrameHealth health) {
    health.arrived = true;
    health.fileFrame = fileFrames_++;
    health.missingBefore = 0;
    if (health.hasTimecode) {
        // Frames the timecode skips, beyond the frames without timecode in between.
        std::optional<timecode_t> previous;
        int64_t between = 0;
        if (haveLast_) {
            previous = lastTimecode_;
            between = sinceLast_;
        } else if (expectedFirst_ && frames_.empty()) {
            previous = TCAddModDay(*expectedFirst_, -1);
        }
        if (previous) {
            const int64_t skipped = TCDiffModDay(*previous, health.timecode) - 1 - between;
            if (skipped > 0 && skipped <= kLostFramesGap) {
                for (int64_t i = skipped; i > 0; --i) {
                    FrameHealth lost;
                    lost.arrived = false;
                    lost.hasTimecode = true;
                    lost.timecode = TCAddModDay(health.timecode, static_cast<LONG>(-i));
                    frames_.push_back(lost);
                }
                health.missingBefore = skipped;
            } else if (skipped != 0 && haveLast_) {
                ++breaks_;
            }
        }
        haveLast_ = true;
        lastTimecode_ = health.timecode;
        sinceLast_ = 0;
    } else {
        ++sinceLast_;
    }
    frames_.push_back(health);
}

HealthReport::Summary HealthReport::Totals() const {
    Summary sum;
    for (const FrameHealth& f : frames_) {
        if (!f.arrived) {
            ++sum.missingFrames;
            continue;
        }
        ++sum.frames;
        if (f.concealedBlocks > 0) ++sum.framesWithConcealment;
        sum.concealedBlocks += f.concealedBlocks;
        if (f.audioErrorSamples > 0) ++sum.framesWithAudioErrors;
        sum.audioErrorSamples += f.audioErrorSamples;
        if (f.recordingStart) ++sum.recordings;
    }
    sum.timecodeBreaks = breaks_;
    return sum;
}

Json HealthReport::ToJson(const std::string& file, DIO_VideoFormat standard) const {
    const Summary sum = Totals();
    Json summary = Json::Object();
    summary.Set("frames", sum.frames);
    summary.Set("frames_with_concealment", sum.framesWithConcealment);
    summary.Set("concealed_blocks", sum.concealedBlocks);
    summary.Set("frames_with_audio_errors", sum.framesWithAudioErrors);
    summary.Set("audio_error_samples", sum.audioErrorSamples);
    summary.Set("missing_frames", sum.missingFrames);
    summary.Set("timecode_breaks", sum.timecodeBreaks);
    summary.Set("recordings", sum.recordings);
    Json frames = Json::Array();
    for (const FrameHealth& f : frames_) frames.Push(FrameHealthJson(f));
    Json report = Json::Object();
    report.Set("file", file);
    report.Set("standard", StandardName(standard));
    report.Set("summary", summary);
    report.Set("frames", frames);
    return report;
}

bool ReadHealthReport(const std::string& path, std::string* file, DIO_VideoFormat* standard,
                      std::vector<FrameHealth>* frames, std::string* error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        *error = "cannot read the report " + path;
        return false;
    }
    std::stringstream text;
    text << in.rdbuf();
    Json report;
    std::string why;
    if (!Json::Parse(text.str(), &report, &why)) {
        *error = path + " is " + why;
        return false;
    }
    const Json* name = report.IsObject() ? report.Find("file") : nullptr;
    const Json* kind = report.IsObject() ? report.Find("standard") : nullptr;
    const Json* list = report.IsObject() ? report.Find("frames") : nullptr;
    if (name == nullptr || !name->IsString() || kind == nullptr || list == nullptr || !list->IsArray()) {
        *error = path + " is not a dvio frame report (it needs \"file\", \"standard\" and \"frames\")";
        return false;
    }
    *standard = kind->AsString() == "PAL" ? DIO_PAL : kind->AsString() == "NTSC" ? DIO_NTSC : DIO_NoVideoFormat;
    if (*standard == DIO_NoVideoFormat) {
        *error = path + ": \"standard\" must be NTSC or PAL";
        return false;
    }
    frames->clear();
    for (size_t i = 0; i < list->Size(); ++i) {
        FrameHealth health;
        if (!FrameHealthFromJson(list->At(i), *standard == DIO_PAL ? 25 : 30, &health)) {
            *error = path + ": frame entry " + std::to_string(i) + " is not understood";
            return false;
        }
        frames->push_back(health);
    }
    *file = name->AsString();
    return true;
}

bool WriteHealthReport(const Json& report, const std::string& path, std::ostream& out, std::string* error) {
    if (path.empty() || path == "-") {
        out << report.Dump() << "\n";
        return static_cast<bool>(out);
    }
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file << report.Dump() << "\n";
    file.close();
    if (!file) {
        *error = "cannot write the report " + path;
        return false;
    }
    return true;
}
