// One line of progress on a terminal, rewritten in place; nothing when the stream is
// not a terminal (a pipe or a file gets only the final summary).
#pragma once

#include <chrono>
#include <cstdio>
#include <string>

class StatusLine {
public:
    // `stream` is written to only when it is a terminal.
    explicit StatusLine(std::FILE* stream);
    ~StatusLine();

    bool Active() const { return terminal_; }
    // Shows `text` if the last update is at least a quarter second old (or `force`).
    void Show(const std::string& text, bool force = false);
    // Clears the line, so that what follows starts on a clean line.
    void Clear();

private:
    std::FILE* stream_;
    bool terminal_;
    size_t shownLength_ = 0;
    std::chrono::steady_clock::time_point last_{};
};
