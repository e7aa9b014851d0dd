// The files of one capture, one after another. The frame sink hands every frame it
// keeps to Write, which starts the next file first when the split rule says so, or when
// the file cannot take the frame's layout (a container's audio changed). Each new name
// is checked before anything is written to it: it must not be the cassette, a file this
// capture already wrote, or (without --force) a file that exists. A name that fails
// ends the capture there with a sentence; the files before it are kept.
#pragma once

#include "FileNames.h"
#include "FrameWriter.h"
#include "OutputFormat.h"
#include "SplitRule.h"
#include "TimecodeAndFormatRuns.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class OutputSequence {
public:
    struct Settings {
        std::string out;            // OUT of the command line ("-": the DV stream to standard output)
        OutputFormat format = OutputFormat::Dv;
        SplitRule split;
        std::string pattern;        // --name; empty: none
        std::string tape;           // the cassette file; empty: the built-in tape
        bool force = false;
        DIO_VideoFormat standard = DIO_NTSC;  // what --split seconds=S counts in
    };
    struct File {
        std::string path;
        int64_t firstFrame = 0;     // its first frame's place in the capture
        int64_t frames = 0;
        std::string firstTimecode;  // empty when its frames carry none
        std::string lastTimecode;
        std::string recorded;       // its first frame's recording date and time; empty when unknown
    };

    explicit OutputSequence(const Settings& settings);

    // Opens the first file now when its name does not depend on the tape, so that one
    // that cannot be written is found before the deck moves. False with a sentence.
    bool Open(std::string* error);
    // Frame `index` of the capture. False with a sentence (the capture ends).
    bool Write(const uint8_t* frame, size_t size, const DvFrameFacts& facts, int64_t index, std::string* error);
    bool Close(std::string* error);

    // Called as each file is started (before its first frame is written).
    void OnNewFile(std::function<void(int64_t firstFrame, const std::string& path)> call) {
        onNewFile_ = std::move(call);
    }
    // Paths whose WAV files (PATH with .wav, and its numbered follow-ons) belong to the
    // files: checked with them.
    void CheckWavsToo() { checkWavs_ = true; }

    const std::vector<File>& Files() const { return files_; }
    const FileNames& Names() const { return names_; }

private:
    bool StartsNewFile(int64_t index, size_t size, const DvFrameFacts& facts);
    bool StartFile(const DvFrameFacts& facts, int64_t index, std::string* error);
    bool MayWrite(const std::string& path, std::string* error) const;

    Settings settings_;
    FileNames names_;
    std::unique_ptr<FrameWriter> writer_;
    bool open_ = false;          // writer_ holds a file
    bool firstOpened_ = false;   // Open opened the first file ahead of its first frame
    std::vector<File> files_;
    std::vector<std::string> written_;  // every path written, WAVs included
    TimecodeTrack breaks_;       // what --split break watches
    bool previousDated_ = false;
    dv25::RecordingDateTime previousRecorded_{};
    bool checkWavs_ = false;
    std::function<void(int64_t, const std::string&)> onNewFile_;
};
