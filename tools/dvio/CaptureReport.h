// What a capture did, as the summary at its end says it: in words or as one JSON object.
#pragma once

#include "TimecodeAndFormatRuns.h"
#include "HostStreams.h"
#include "Json.h"
#include "OutputSequence.h"
#include "WavSeries.h"

#include <optional>
#include <ostream>
#include <string>
#include <vector>

struct CaptureReport {
    struct FormatChange {
        int64_t frame;          // the first frame in the new format
        std::string timecode;   // that frame's timecode
        std::string standard;   // VSIG of the device's record
        std::string sampleRate; // ASRT of the device's record
        bool afterBreak;        // the device marked the record as following unreadable frames
    };

    std::string dvPath;                      // OUT of the command line
    std::vector<OutputSequence::File> files; // what the frames went to
    bool audioInFiles = false;               // containers: the audio is in them
    std::vector<WavSeries::File> wavFiles;
    int64_t frames = 0;
    TimecodeTrack timecodes;
    FormatTrack formats;
    std::vector<FormatChange> formatChanges;
    InputCounters counters;
    LONG overrunsBeforeFirstFrame = 0;  // the VideoIn overrun count as the first frame came
    std::string startTimecode;  // empty when the capture started at once
    std::optional<timecode_t> start;  // the start timecode as the deck counts it
    std::string ended;          // how the capture ended, in words
    double elapsedSeconds = 0;
    int64_t audioSamplesMissing = 0;  // per channel: owed to the frames but never delivered
    std::vector<std::string> notes;

    // Frames of the tape the capture covered that are not in the file, by cause. They
    // show as small gaps in the timecode (and a late first frame). The device's VideoIn
    // overrun count says the host fell behind, but it also counts moments of backlog
    // that lost nothing (and one lost frame on VideoIn and AudioIn alike): it explains
    // at most the gaps there are. Gaps after the device's mark of unreadable frames are
    // frames it left out as damaged.
    int64_t Overruns() const;
    int64_t NotDelivered() const;
    int64_t LeftOutDamaged() const;
    int64_t LateStartFrames() const;
    int64_t Dropped() const { return Overruns() + NotDelivered() + LeftOutDamaged(); }
    // Frames in the file whose timecode or audio could not be read.
    int64_t DamagedInFile() const;

    void PrintText(std::ostream& out) const;
    Json ToJson() const;

private:
    bool AfterUnreadableFrames(int64_t frame) const;
    // Frames in the gaps not marked as unreadable, the late start included.
    int64_t Gaps() const;
    // VideoIn overruns while the capture covered the tape.
    int64_t OverrunsCounted() const {
        return counters.videoOverruns > overrunsBeforeFirstFrame ? counters.videoOverruns - overrunsBeforeFirstFrame : 0;
    }
};
