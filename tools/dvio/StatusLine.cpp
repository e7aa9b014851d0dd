#include "StatusLine.h"

#include <unistd.h>

StatusLine::StatusLine(std::FILE* stream) : stream_(stream), terminal_(stream != nullptr && isatty(fileno(stream))) {}

StatusLine::~StatusLine() { Clear(); }

void StatusLine::Show(const std::string& text, bool force) {
    if (!terminal_) return;
    const auto now = std::chrono::steady_clock::now();
    if (!force && now - last_ < std::chrono::milliseconds(250)) return;
    last_ = now;
    std::string line = "\r" + text;
    if (text.size() < shownLength_) line += std::string(shownLength_ - text.size(), ' ');
    shownLength_ = text.size();
    std::fputs(line.c_str(), stream_);
    std::fflush(stream_);
}

void StatusLine::Clear() {
    if (!terminal_ || shownLength_ == 0) return;
    std::fputs(("\r" + std::string(shownLength_, ' ') + "\r").c_str(), stream_);
    std::fflush(stream_);
    shownLength_ = 0;
}
