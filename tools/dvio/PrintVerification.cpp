#include "PrintVerification.h"

#include "FrameAudio.h"
#include "sim/SimControl.h"

#include <cstdio>
#include <cstring>

namespace {

// How far from its place a frame is looked for, and how far outside the edit.
constexpr int64_t kSearchFrames = 5;
constexpr size_t kProblemsShown = 10;
constexpr size_t kSequenceBytes = 12000;
constexpr size_t kBlockBytes = 80;

std::string TapeTimecodeText(int64_t position) {
    cardsim::TapeTimecode tc;
    if (position < 0 || !cardsim::TapeTimecodeAt(position, &tc)) return "--:--:--:--";
    char text[16];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d%c%02d", tc.hours, tc.minutes, tc.seconds,
                  tc.dropFrame ? ';' : ':', tc.frames);
    return text;
}

std::vector<uint8_t> TapeFrame(int64_t position) {
    std::vector<uint8_t> frame;
    if (position < 0 || !cardsim::ReadTapeFrame(position, &frame)) frame.clear();
    return frame;
}

// -32768 marks a missing sample in DV audio: a sent -32768 is written as -32767.
int16_t AsWritten(int16_t sample) { return sample == -32768 ? int16_t{-32767} : sample; }

void Note(PrintVerification* v, const std::string& problem) {
    if (v->problems.size() < kProblemsShown) v->problems.push_back(problem);
}

void CompareVideo(const PrintSource& source, PrintVerification* v) {
    const int64_t in = v->expectedPosition;
    const int64_t n = v->frames;
    // The tape around the edit, read once.
    std::vector<std::vector<uint8_t>> tape;
    for (int64_t p = in - kSearchFrames; p < in + n + kSearchFrames; ++p) tape.push_back(TapeFrame(p));
    auto at = [&](int64_t position) -> const std::vector<uint8_t>& { return tape[position - in + kSearchFrames]; };
    auto sent = [&](int64_t k) -> const std::vector<uint8_t>& { return source.frames[static_cast<size_t>(k)]; };

    // Runs of frames that went wrong the same way are told as one.
    struct Run {
        int64_t first = -1, last = -1, shift = 0;
        bool missing = false;
    } run;
    auto tell = [&] {
        if (run.first < 0) return;
        const std::string frames = run.first == run.last
                                       ? "frame " + std::to_string(run.first + 1)
                                       : "frames " + std::to_string(run.first + 1) + " to " + std::to_string(run.last + 1);
        const std::string places = TapeTimecodeText(in + run.first) +
                                   (run.first == run.last ? "" : " to " + TapeTimecodeText(in + run.last));
        if (run.missing) {
            Note(v, frames + " missing: " + places + " holds other pictures");
        } else {
            const int64_t by = run.shift < 0 ? -run.shift : run.shift;
            Note(v, frames + " landed " + std::to_string(by) + (run.shift < 0 ? " early" : " late") + ", at " +
                        TapeTimecodeText(in + run.first + run.shift) + " instead of " + places);
        }
        run = Run{};
    };
    for (int64_t k = 0; k < n; ++k) {
        if (SameVideoBlocks(at(in + k), sent(k))) {
            tell();
            ++v->exact;
            if (k == 0) v->landedPosition = in;
            continue;
        }
        int64_t found = -1;
        for (int64_t d = 1; d <= kSearchFrames && found < 0; ++d)
            for (int64_t p : {in + k - d, in + k + d})
                if (found < 0 && SameVideoBlocks(at(p), sent(k))) found = p;
        const bool missing = found < 0;
        const int64_t shift = missing ? 0 : found - (in + k);
        if (run.first >= 0 && (run.missing != missing || run.shift != shift)) tell();
        if (run.first < 0) run = Run{k, k, shift, missing};
        run.last = k;
        if (missing) {
            ++v->missing;
            continue;
        }
        ++v->shifted;
        if (k == 0) v->landedPosition = found;
    }
    tell();
    // A first or last picture that also shows outside the edit was recorded too often;
    // in a plain record the still before it and the held last frame are expected.
    if (v->missing + v->shifted > 0) {
        v->videoIdentical = false;
        return;
    }
    bool leading = v->plainRecord, trailing = v->plainRecord;
    for (int64_t d = 1; d <= kSearchFrames; ++d) {
        if (SameVideoBlocks(at(in - d), sent(0))) {
            if (leading && d == 1) {
                ++v->leadIn;
            } else {
                ++v->extra;
                Note(v, "an extra copy of frame 1 at " + TapeTimecodeText(in - d) + ", before In");
            }
        }
        leading = false;
        if (SameVideoBlocks(at(in + n - 1 + d), sent(n - 1))) {
            if (trailing) {
                ++v->held;
                continue;
            }
            ++v->extra;
            Note(v, "an extra copy of frame " + std::to_string(n) + " at " + TapeTimecodeText(in + n - 1 + d) +
                        ", after Out");
        } else {
            trailing = false;
        }
    }
    v->videoIdentical = v->exact == n;
}

void CompareAudio(const PrintSource& source, PrintVerification* v) {
    const int channels = static_cast<int>(source.channels.size());
    FrameAudio deshuffler;
    std::vector<int16_t> pcm;
    int64_t sample = 0;  // per channel, from the first frame on
    v->audioIdentical = true;
    for (int64_t k = 0; k < v->frames && v->audioIdentical; ++k) {
        const int64_t position = v->expectedPosition + k;
        const std::vector<uint8_t> frame = TapeFrame(position);
        pcm.clear();
        const int64_t count = frame.empty() ? -1 : deshuffler.Append(frame.data(), channels, &pcm);
        if (count < 0) {
            v->audioIdentical = false;
            Note(v, "the audio of " + TapeTimecodeText(position) + " cannot be read back");
            break;
        }
        for (int64_t n = 0; n < count && v->audioIdentical; ++n, ++sample) {
            for (int c = 0; c < channels; ++c) {
                const std::vector<int16_t>& sent = source.channels[static_cast<size_t>(c)];
                const bool owed = sample < static_cast<int64_t>(sent.size());
                const int16_t expected = owed ? AsWritten(sent[static_cast<size_t>(sample)]) : 0;
                if (pcm[static_cast<size_t>(n * channels + c)] == expected) continue;
                v->audioIdentical = false;
                Note(v, "the audio differs from " + TapeTimecodeText(position) + " on (frame " +
                            std::to_string(k + 1) + ", channel " + std::to_string(c + 1) + ", sample " +
                            std::to_string(sample) + (owed ? ")" : ", after the sent audio ended)"));
                break;
            }
        }
    }
    v->samplesCompared = sample;
}

}  // namespace

bool SameVideoBlocks(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
    if (a.size() != b.size() || a.size() < kSequenceBytes) return false;
    // Each DIF sequence: header, 2 subcode and 3 VAUX blocks, then 9 groups of one audio
    // block and 15 video blocks.
    for (size_t sequence = 0; sequence < a.size() / kSequenceBytes; ++sequence)
        for (size_t block = 7; block < 150; ++block) {
            const size_t at = sequence * kSequenceBytes + block * kBlockBytes;
            if ((block - 6) % 16 != 0 && std::memcmp(&a[at], &b[at], kBlockBytes) != 0) return false;
        }
    return true;
}

PrintVerification VerifyPrint(const PrintSource& source, int64_t frames, int64_t expectedPosition, bool video,
                              bool audio, bool plainRecord) {
    PrintVerification v;
    v.plainRecord = plainRecord;
    v.frames = frames;
    v.expectedPosition = expectedPosition;
    v.landedPosition = expectedPosition;
    v.expectedTimecode = TapeTimecodeText(expectedPosition);
    v.videoChecked = video;
    v.audioChecked = audio;
    if (expectedPosition < 0 || frames <= 0) {
        v.landedPosition = -1;
        Note(&v, "the print's place on the tape is not known");
        return v;
    }
    if (video) {
        v.landedPosition = -1;
        CompareVideo(source, &v);
    }
    if (audio) CompareAudio(source, &v);
    const int64_t first = v.landedPosition >= 0 ? v.landedPosition : expectedPosition;
    v.firstTimecode = TapeTimecodeText(first);
    v.lastTimecode = TapeTimecodeText(first + frames - 1);
    return v;
}

void PrintVerification::PrintText(std::ostream& out) const {
    out << "verified     " << (Exact() ? "landed exactly" : "did NOT land exactly") << "\n"
        << "  first      frame 1 at " << firstTimecode << " (its place: " << expectedTimecode << ")\n"
        << "  last       frame " << frames << " at " << lastTimecode << "\n"
        << "  frames     " << exact << " in place, " << missing << " missing, " << shifted << " shifted, " << extra
        << " extra" << (videoChecked ? "" : " (pictures not printed: not compared)") << "\n";
    if (plainRecord)
        out << "  around     the lead-in still " << (leadIn > 0 ? "before frame 1" : "not on tape") << ", the last frame held after it "
            << held << (held == kSearchFrames ? " or more" : "") << (held == 1 ? " time" : " times") << "\n";
    if (videoChecked) out << "  video      " << (videoIdentical ? "identical" : "NOT identical") << "\n";
    if (audioChecked && audioIdentical) out << "  audio      identical (" << samplesCompared << " samples per channel)\n";
    if (audioChecked && !audioIdentical)
        out << "  audio      NOT identical\n";
    for (const std::string& problem : problems) out << "  problem    " << problem << "\n";
}

Json PrintVerification::ToJson() const {
    Json problemList = Json::Array();
    for (const std::string& problem : problems) problemList.Push(problem);
    Json json = Json::Object();
    json.Set("exact", Exact())
        .Set("in", expectedTimecode)
        .Set("first", firstTimecode)
        .Set("last", lastTimecode)
        .Set("frames", frames)
        .Set("in_place", exact)
        .Set("missing", missing)
        .Set("shifted", shifted)
        .Set("extra", extra);
    if (plainRecord) json.Set("lead_in", leadIn).Set("held", held);
    if (videoChecked) json.Set("video_identical", videoIdentical);
    if (audioChecked) json.Set("audio_identical", audioIdentical).Set("samples_compared", samplesCompared);
    return json.Set("problems", problemList);
}
