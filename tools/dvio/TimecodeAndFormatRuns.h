// What a run of DV frames shows frame by frame: where its timecode runs on and where
// it breaks, where its format changes, and which frames lack timecode or audio. Both
// dvio tape info and dvio capture report through these.
#pragma once

#include "DvFrameFacts.h"
#include "Json.h"

#include <cstdint>
#include <string>
#include <vector>

// Frame indexes as ranges, first to last inclusive.
class IndexRanges {
public:
    struct Range {
        int64_t first;
        int64_t last;
    };
    void Add(int64_t index);
    int64_t Count() const { return count_; }
    const std::vector<Range>& Ranges() const { return ranges_; }
    // "12-15, 40" (at most `shown` ranges, then "and N more").
    std::string Text(size_t shown = 8) const;
    Json ToJson() const;

private:
    std::vector<Range> ranges_;
    int64_t count_ = 0;
};

class TimecodeTrack {
public:
    struct Run {
        int64_t firstFrame;
        int64_t lastFrame;
        timecode_t first;
        timecode_t last;
    };
    struct Break {
        int64_t frame;      // the first frame after the break
        timecode_t before;  // the last timecode before it
        timecode_t after;   // the timecode of that frame
        int64_t beforeFrame;  // the frame with `before`
    };

    // Frames that show the timecode of the frame before them, one after the other: one
    // finding however long the run.
    struct Repeat {
        int64_t firstFrame;  // the first frame that repeats
        int64_t lastFrame;
        timecode_t timecode;
    };

    void Add(int64_t index, const DvFrameFacts& facts);

    const std::vector<Run>& Runs() const { return runs_; }
    const std::vector<Break>& Breaks() const { return breaks_; }
    const std::vector<Repeat>& Repeats() const { return repeats_; }
    // Frames a break skips over, when few enough to be frames lost on the way (at
    // most `most`) rather than a jump in what the tape recorded; else 0.
    static int64_t FramesSkipped(const Break& item, LONG most);
    const IndexRanges& Missing() const { return missing_; }
    bool HasAny() const { return !runs_.empty(); }
    timecode_t First() const;
    timecode_t Last() const;

private:
    std::vector<Run> runs_;
    std::vector<Break> breaks_;
    std::vector<Repeat> repeats_;
    IndexRanges missing_;
};

struct FrameFormat {
    DIO_VideoFormat standard = DIO_NoVideoFormat;
    DIO_AudioFormat audio = DIO_NoAudioFormat;
    int bits = 0;
    int channels = 0;
    bool operator==(const FrameFormat& o) const {
        return standard == o.standard && audio == o.audio && bits == o.bits && channels == o.channels;
    }
    bool operator!=(const FrameFormat& o) const { return !(*this == o); }
    // "NTSC, 48000 Hz 16-bit, 2 channels"
    std::string Text() const;
    Json ToJson() const;
};

class FormatTrack {
public:
    struct Run {
        int64_t firstFrame;
        int64_t lastFrame;
        FrameFormat format;
        timecode_t firstTimecode;
    };

    // A frame whose audio cannot be read keeps the audio format before it and is
    // counted as a frame without audio.
    void Add(int64_t index, const DvFrameFacts& facts);

    const std::vector<Run>& Runs() const { return runs_; }
    const IndexRanges& WithoutAudio() const { return withoutAudio_; }
    // Changes are the starts of every run after the first.
    size_t Changes() const { return runs_.empty() ? 0 : runs_.size() - 1; }

private:
    std::vector<Run> runs_;
    IndexRanges withoutAudio_;
};

Json TimecodeRunsJson(const TimecodeTrack& track);
Json BreaksJson(const TimecodeTrack& track);
Json RepeatsJson(const TimecodeTrack& track);
Json FormatRunsJson(const FormatTrack& track);
