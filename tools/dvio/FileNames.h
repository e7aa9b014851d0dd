// The names of a capture's files. Without --split or --name the capture writes OUT
// itself (a container whose audio changes goes on in OUT-2.EXT, OUT-3.EXT, ...). With
// --split the files are NAME-001.EXT, NAME-002.EXT, ... next to OUT, NAME being OUT's
// name without its extension. --name PATTERN names each file instead, in OUT's folder
// with OUT's extension, from these fields of its first frame:
//   %d  the recording date, YYYY-MM-DD ("undated" when the frame carries none)
//   %T  the recording time, HH-MM-SS ("untimed" when none)
//   %c  the timecode, HH-MM-SS-FF ("notimecode" when none)
//   %n  the file's number in the capture, 001, 002, ...
//   %s  the tape's name: the cassette file's name without extension, or "tape"
//   %%  a percent sign
#pragma once

#include <string>

struct FileNameFields {
    int number = 1;
    std::string date;      // "YYYY-MM-DD" or empty
    std::string time;      // "HH:MM:SS" or empty
    std::string timecode;  // "HH:MM:SS:FF" or with ';', or empty
    std::string tape;
};

class FileNames {
public:
    // `out`: the OUT of the command line; `extension` without its dot.
    FileNames(const std::string& out, const std::string& extension, bool split, const std::string& pattern);

    // False with a sentence when the pattern has an unknown field or names a folder.
    static bool CheckPattern(const std::string& pattern, std::string* error);

    // The path of a file of the capture.
    std::string PathOf(const FileNameFields& fields) const;
    // The path of the first file when it does not depend on what the tape holds (the
    // capture can open it before the deck moves); empty otherwise.
    std::string FixedFirstPath() const;
    // Whether every file takes a new name (otherwise OUT's numbered follow-ons).
    bool Numbered() const { return split_ || !pattern_.empty(); }

    // The tape name --name's %s gives: the cassette's file name without extension.
    static std::string TapeName(const std::string& cassettePath);

private:
    std::string out_;
    std::string folder_;  // with its trailing '/', or empty
    std::string stem_;
    std::string extension_;
    bool split_;
    std::string pattern_;
};
