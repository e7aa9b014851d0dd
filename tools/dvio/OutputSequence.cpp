#include "OutputSequence.h"

#include "CaptureCommand.h"
#include "InterfaceValueText.h"
#include "OutputFiles.h"
#include "TestTape.h"
#include "WavSeries.h"

#include <filesystem>
#include <system_error>

namespace {

// Seconds since 1970 of a recording date and time, for comparing two of them (days
// from the civil calendar).
int64_t SecondsOf(const dv25::RecordingDateTime& t) {
    const int y = t.year - (t.month <= 2 ? 1 : 0);
    const int era = (y >= 0 ? y : y - 399) / 400;
    const int yearOfEra = y - era * 400;
    const int dayOfYear = (153 * (t.month + (t.month > 2 ? -3 : 9)) + 2) / 5 + t.day - 1;
    const int dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    const int64_t days = int64_t{era} * 146097 + dayOfEra - 719468;
    return days * 86400 + t.hour * 3600 + t.minute * 60 + t.second;
}

// A camera's clock runs on through a recording; a jump back, or ahead by more than
// a frame's worth of rounding, is another recording.
constexpr int64_t kMostClockStepSeconds = 1;

bool Exists(const std::string& path) {
    std::error_code error;
    return std::filesystem::symlink_status(path, error).type() != std::filesystem::file_type::not_found && !error;
}

}  // namespace

OutputSequence::OutputSequence(const Settings& settings)
    : settings_(settings),
      names_(settings.out, FormatName(settings.format), settings.split.Active(), settings.pattern) {}

bool OutputSequence::Open(std::string* error) {
    const std::string path = names_.FixedFirstPath();
    if (path.empty()) return true;
    writer_ = MakeFrameWriter(settings_.format);
    if (!writer_) {
        *error = "this dvio was built without container support: capture to .dv instead";
        return false;
    }
    if (!writer_->Open(path, error)) return false;
    open_ = true;
    firstOpened_ = true;
    return true;
}

bool OutputSequence::StartsNewFile(int64_t index, size_t size, const DvFrameFacts& facts) {
    const int64_t inFile = files_.empty() ? 0 : files_.back().frames;
    if (inFile == 0) return false;
    if (!writer_->Takes(facts)) return true;
    switch (settings_.split.kind) {
    case SplitRule::Kind::Recording:
        if (facts.recordingStart) return true;
        if (previousDated_ && facts.hasRecordingDate) {
            const int64_t step = SecondsOf(facts.recorded) - SecondsOf(previousRecorded_);
            return step < 0 || step > kMostClockStepSeconds;
        }
        return false;
    case SplitRule::Kind::Break:
        return !breaks_.Breaks().empty() && breaks_.Breaks().back().frame == index;
    case SplitRule::Kind::Size: {
        // A container holds the frame's audio beside it.
        const uint64_t audio = settings_.format == OutputFormat::Dv ? 0 : uint64_t{facts.samples} * facts.audioChannels * 2;
        return writer_->MediaBytes() + size + audio > settings_.split.bytes;
    }
    case SplitRule::Kind::Frames: return inFile >= settings_.split.frames;
    case SplitRule::Kind::Seconds: return inFile >= FramesInSeconds(settings_.standard, settings_.split.seconds);
    default: return false;
    }
}

bool OutputSequence::Write(const uint8_t* frame, size_t size, const DvFrameFacts& facts, int64_t index,
                           std::string* error) {
    if (settings_.split.kind == SplitRule::Kind::Break) breaks_.Add(index, facts);
    const bool newFile = files_.empty() || StartsNewFile(index, size, facts);
    if (newFile && !StartFile(facts, index, error)) return false;
    if (!writer_->WriteFrame(frame, size, facts, error)) return false;
    File& file = files_.back();
    ++file.frames;
    if (facts.hasTimecode) {
        const std::string tc = TimecodeText(FrameTimecode(facts));
        if (file.firstTimecode.empty()) file.firstTimecode = tc;
        file.lastTimecode = tc;
    }
    if (file.recorded.empty() && facts.hasRecordingDate && file.frames == 1)
        file.recorded = RecordingDateText(facts.recorded);
    previousDated_ = facts.hasRecordingDate;
    previousRecorded_ = facts.recorded;
    return true;
}

// Closes the file before (if any) and opens the next, named from this frame.
bool OutputSequence::StartFile(const DvFrameFacts& facts, int64_t index, std::string* error) {
    File file;
    file.firstFrame = index;
    if (files_.empty() && firstOpened_) {
        file.path = names_.FixedFirstPath();
    } else {
        if (open_ && !Close(error)) return false;
        FileNameFields fields;
        fields.number = static_cast<int>(files_.size()) + 1;
        if (facts.hasRecordingDate) {
            const std::string when = RecordingDateText(facts.recorded);
            fields.date = when.substr(0, 10);
            fields.time = when.substr(11);
        }
        if (facts.hasTimecode) fields.timecode = TimecodeText(FrameTimecode(facts));
        fields.tape = FileNames::TapeName(settings_.tape);
        file.path = names_.PathOf(fields);
        if (!MayWrite(file.path, error)) return false;
        if (!writer_) writer_ = MakeFrameWriter(settings_.format);
        if (!writer_) {
            *error = "this dvio was built without container support: capture to .dv instead";
            return false;
        }
        if (!writer_->Open(file.path, error)) return false;
        open_ = true;
    }
    written_.push_back(file.path);
    if (checkWavs_) written_.push_back(DefaultWavPath(file.path));
    files_.push_back(file);
    if (onNewFile_) onNewFile_(index, file.path);
    return true;
}

bool OutputSequence::MayWrite(const std::string& path, std::string* error) const {
    std::vector<std::string> paths = {path};
    if (checkWavs_) {
        paths.push_back(DefaultWavPath(path));
        paths.push_back(WavSeries::NumberedPath(DefaultWavPath(path), 2));
    }
    const std::string stopped = "; the capture stopped there, keeping the " + std::to_string(files_.size()) +
                                (files_.size() == 1 ? " file" : " files") + " before it";
    for (const std::string& candidate : paths) {
        if (!settings_.tape.empty() && SameFile(candidate, settings_.tape)) {
            *error = "will not write " + candidate + ": it is the cassette " + settings_.tape + " itself" + stopped;
            return false;
        }
        for (const std::string& earlier : written_) {
            if (SameFile(candidate, earlier)) {
                *error = "will not write " + candidate + ": this capture wrote it already (put %n in --name to "
                         "number the files)" + stopped;
                return false;
            }
        }
        if (!settings_.force && Exists(candidate)) {
            *error = candidate + " already exists: dvio does not overwrite a file unless --force is given" + stopped;
            return false;
        }
    }
    return true;
}

bool OutputSequence::Close(std::string* error) {
    if (!open_) return true;
    open_ = false;
    return writer_->Close(error);
}
