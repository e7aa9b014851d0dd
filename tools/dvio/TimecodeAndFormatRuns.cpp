#include "TimecodeAndFormatRuns.h"

#include "InterfaceValueText.h"

namespace {

bool SameLabel(const timecode_t& a, const timecode_t& b) {
    short ah, am, as, af, bh, bm, bs, bf;
    TCDeconstruct(a, nullptr, &ah, &am, &as, &af);
    TCDeconstruct(b, nullptr, &bh, &bm, &bs, &bf);
    return ah == bh && am == bm && as == bs && af == bf;
}

}  // namespace

void IndexRanges::Add(int64_t index) {
    ++count_;
    if (!ranges_.empty() && ranges_.back().last + 1 == index) {
        ranges_.back().last = index;
        return;
    }
    ranges_.push_back({index, index});
}

std::string IndexRanges::Text(size_t shown) const {
    std::string text;
    for (size_t i = 0; i < ranges_.size() && i < shown; ++i) {
        if (!text.empty()) text += ", ";
        text += std::to_string(ranges_[i].first);
        if (ranges_[i].last != ranges_[i].first) text += "-" + std::to_string(ranges_[i].last);
    }
    if (ranges_.size() > shown) text += " and " + std::to_string(ranges_.size() - shown) + " more";
    return text;
}

Json IndexRanges::ToJson() const {
    Json list = Json::Array();
    for (const Range& range : ranges_) list.Push(Json::Array().Push(range.first).Push(range.last));
    return list;
}

void TimecodeTrack::Add(int64_t index, const DvFrameFacts& facts) {
    if (!facts.hasTimecode) {
        missing_.Add(index);
        return;
    }
    const timecode_t tc = FrameTimecode(facts);
    if (!runs_.empty()) {
        Run& run = runs_.back();
        // Frames without timecode in between still count: the tape ran on under them.
        const timecode_t expected = TCAddModDay(run.last, static_cast<LONG>(index - run.lastFrame));
        if (SameLabel(expected, tc)) {
            run.lastFrame = index;
            run.last = tc;
            return;
        }
        if (run.lastFrame == index - 1 && SameLabel(run.last, tc)) {
            // The timecode stands still: the run goes on from the repeat.
            if (!repeats_.empty() && repeats_.back().lastFrame == index - 1 && SameLabel(repeats_.back().timecode, tc))
                repeats_.back().lastFrame = index;
            else
                repeats_.push_back({index, index, tc});
            run.lastFrame = index;
            return;
        }
        breaks_.push_back({index, run.last, tc, run.lastFrame});
    }
    runs_.push_back({index, index, tc, tc});
}

int64_t TimecodeTrack::FramesSkipped(const Break& item, LONG most) {
    // Frames without timecode between the two are in the file.
    const int64_t step = TCDiffModDay(item.before, item.after) - (item.frame - item.beforeFrame);
    return step > 0 && step <= most ? step : 0;
}

timecode_t TimecodeTrack::First() const {
    const timecodeDesc_t desc = TCCreateDesc(0, 30);
    return runs_.empty() ? TCCreateDur(kTCEmptyFrameCount, &desc) : runs_.front().first;
}

timecode_t TimecodeTrack::Last() const {
    const timecodeDesc_t desc = TCCreateDesc(0, 30);
    return runs_.empty() ? TCCreateDur(kTCEmptyFrameCount, &desc) : runs_.back().last;
}

std::string FrameFormat::Text() const {
    std::string text = StandardName(standard);
    if (audio == DIO_NoAudioFormat) return text + ", no readable audio";
    return text + ", " + std::to_string(SampleRateOf(audio)) + " Hz " + std::to_string(bits) + "-bit, " +
           std::to_string(channels) + " channels";
}

Json FrameFormat::ToJson() const {
    Json json = Json::Object();
    json.Set("standard", StandardName(standard));
    json.Set("sample_rate", SampleRateOf(audio));
    json.Set("bits", bits);
    json.Set("channels", channels);
    return json;
}

void FormatTrack::Add(int64_t index, const DvFrameFacts& facts) {
    FrameFormat format;
    format.standard = facts.standard;
    if (facts.audioReadable) {
        format.audio = facts.audioRate;
        format.bits = facts.audioBits;
        format.channels = facts.audioChannels;
    } else {
        withoutAudio_.Add(index);
        if (!runs_.empty() && runs_.back().format.standard == facts.standard) {
            runs_.back().lastFrame = index;
            return;
        }
    }
    if (!runs_.empty()) {
        Run& run = runs_.back();
        // A run that began without readable audio takes the first audio format it meets.
        if (run.format.audio == DIO_NoAudioFormat && run.format.standard == format.standard) run.format = format;
        if (run.format == format) {
            run.lastFrame = index;
            return;
        }
    }
    runs_.push_back({index, index, format, FrameTimecode(facts)});
}

Json TimecodeRunsJson(const TimecodeTrack& track) {
    Json list = Json::Array();
    for (const auto& run : track.Runs()) {
        list.Push(Json::Object()
                      .Set("first_frame", run.firstFrame)
                      .Set("last_frame", run.lastFrame)
                      .Set("first", TimecodeText(run.first))
                      .Set("last", TimecodeText(run.last)));
    }
    return list;
}

Json BreaksJson(const TimecodeTrack& track) {
    Json list = Json::Array();
    for (const auto& item : track.Breaks()) {
        list.Push(Json::Object()
                      .Set("frame", item.frame)
                      .Set("before", TimecodeText(item.before))
                      .Set("after", TimecodeText(item.after)));
    }
    return list;
}

Json RepeatsJson(const TimecodeTrack& track) {
    Json list = Json::Array();
    for (const auto& item : track.Repeats()) {
        list.Push(Json::Object()
                      .Set("first_frame", item.firstFrame)
                      .Set("last_frame", item.lastFrame)
                      .Set("timecode", TimecodeText(item.timecode)));
    }
    return list;
}

Json FormatRunsJson(const FormatTrack& track) {
    Json list = Json::Array();
    for (const auto& run : track.Runs()) {
        Json item = run.format.ToJson();
        item.Set("first_frame", run.firstFrame);
        item.Set("last_frame", run.lastFrame);
        item.Set("first_timecode", TimecodeText(run.firstTimecode));
        list.Push(item);
    }
    return list;
}
