// What dvio may write: before anything is opened for writing, every output is checked
// against every input and every other output, by device and inode, so that a link,
// "./name" or any other spelling of an input is caught; and a file that exists is
// overwritten only when the user said --force.
#pragma once

#include <string>
#include <vector>

class OutputFiles {
public:
    // `what` names the file in a sentence ("the cassette", "the DV file").
    void AddInput(const std::string& what, const std::string& path);
    // `numbered`: a WAV series, which may go on to PATH-2.wav, PATH-3.wav, ...
    void AddOutput(const std::string& what, const std::string& path, bool numbered = false);

    // False with a sentence when an output is an input or another output, or exists
    // and `force` is not given.
    bool Check(bool force, std::string* error) const;

    // Removes the outputs that did not exist before Check (a run that wrote nothing
    // leaves nothing behind), the numbered ones included.
    void RemoveCreated() const;

private:
    struct Entry {
        std::string what;
        std::string path;
        bool numbered = false;
    };
    std::vector<Entry> inputs_;
    std::vector<Entry> outputs_;
    mutable std::vector<std::string> existedBefore_;
};

// Numbered files of a WAV series checked ahead of a capture (a capture that changes
// its audio more often is checked again as it opens each one).
constexpr int kCheckedNumberedFiles = 64;

// Whether `a` and `b` name the same file: the same device and inode when both exist,
// otherwise the same name in the same folder.
bool SameFile(const std::string& a, const std::string& b);
