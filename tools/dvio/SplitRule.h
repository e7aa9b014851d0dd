// When a capture goes on in a new file (--split): at each recording start, at each
// timecode break, or when a file reaches a size, a number of frames or a duration.
#pragma once

#include <cstdint>
#include <string>

struct SplitRule {
    enum class Kind { None, Recording, Break, Size, Frames, Seconds };
    Kind kind = Kind::None;
    uint64_t bytes = 0;   // Size: the most media bytes a file holds
    int64_t frames = 0;   // Frames
    double seconds = 0;   // Seconds

    bool Active() const { return kind != Kind::None; }
};

// "recording", "break", "size=N" (N bytes, or with K, M or G: 1024, 1024², 1024³ of
// them), "frames=N" or "seconds=S". False with a sentence.
bool ParseSplitRule(const std::string& text, SplitRule* rule, std::string* error);
