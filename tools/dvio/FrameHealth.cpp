#include "FrameHealth.h"

#include "DvFile.h"
#include "InterfaceValueText.h"
#include "RecordingDateArg.h"
#include "TimecodeArg.h"

#include "digitalio/dv25/FrameErrors.h"

#include <algorithm>

FrameHealth ReadFrameHealth(const uint8_t* frame, size_t size, const DvFrameFacts& facts) {
    FrameHealth health;
    health.hasTimecode = facts.hasTimecode;
    health.timecode = FrameTimecode(facts);
    health.hasRecordingDate = facts.hasRecordingDate;
    health.recorded = facts.recorded;
    health.recordingStart = facts.recordingStart;
    // The counters walk the frame as its header declares it: only a whole frame.
    if (facts.standard != DIO_NoVideoFormat && FrameSizeOf(facts.standard) <= size) {
        health.concealedBlocks = dv25::CountErroredVideoBlocks(frame, facts.standard);
        health.audioErrorSamples = dv25::CountInvalidSamples(frame, facts.standard);
    }
    return health;
}

bool IsBetterReading(const FrameHealth& candidate, const FrameHealth& kept) {
    if (!kept.arrived) return candidate.arrived;
    if (!candidate.arrived) return false;
    if (candidate.concealedBlocks != kept.concealedBlocks) return candidate.concealedBlocks < kept.concealedBlocks;
    return candidate.audioErrorSamples < kept.audioErrorSamples;
}

Json FrameHealthJson(const FrameHealth& health) {
    Json entry = Json::Object();
    entry.Set("timecode", health.hasTimecode ? Json(TimecodeText(health.timecode)) : Json());
    entry.Set("recorded", health.hasRecordingDate ? Json(RecordingDateText(health.recorded)) : Json());
    entry.Set("recording_start", health.recordingStart);
    entry.Set("concealed_blocks", health.concealedBlocks);
    entry.Set("audio_error_samples", static_cast<int64_t>(health.audioErrorSamples));
    entry.Set("arrived", health.arrived);
    entry.Set("missing_before", health.missingBefore);
    entry.Set("file_frame", health.arrived ? Json(health.fileFrame) : Json());
    return entry;
}

bool FrameHealthFromJson(const Json& entry, int fps, FrameHealth* out) {
    if (!entry.IsObject()) return false;
    FrameHealth health;
    const Json* timecode = entry.Find("timecode");
    if (timecode != nullptr && timecode->IsString()) {
        TimecodeArg arg;
        std::string error;
        if (!ParseTimecodeArg(timecode->AsString(), &arg, &error)) return false;
        const bool dropFrame = fps == 30 && arg.dropFrameMark;
        if (!CheckTimecodeArg(arg, fps, dropFrame, &error)) return false;
        health.hasTimecode = true;
        health.timecode = ToTimecode(arg, TCCreateDesc(dropFrame ? 1 : 0, static_cast<unsigned short>(fps)));
    }
    const Json* recorded = entry.Find("recorded");
    if (recorded != nullptr && recorded->IsString()) {
        std::string error;
        health.hasRecordingDate = ParseRecordingDateArg(recorded->AsString(), &health.recorded, &error);
    }
    auto number = [&entry](const char* key) {
        const Json* value = entry.Find(key);
        return value != nullptr ? value->AsInt(-1) : -1;
    };
    const Json* arrived = entry.Find("arrived");
    if (arrived == nullptr) return false;
    health.arrived = arrived->AsBool(true);
    const Json* start = entry.Find("recording_start");
    health.recordingStart = start != nullptr && start->AsBool(false);
    const int64_t blocks = number("concealed_blocks"), samples = number("audio_error_samples");
    if (blocks < 0 || samples < 0) return false;
    health.concealedBlocks = static_cast<int>(blocks);
    health.audioErrorSamples = static_cast<uint32_t>(samples);
    health.missingBefore = std::max<int64_t>(0, number("missing_before"));
    health.fileFrame = number("file_frame");
    *out = health;
    return true;
}
