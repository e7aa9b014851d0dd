#include "FileNames.h"

#include "WavSeries.h"

#include <cstdio>

namespace {

// ':' and ';' are not allowed in Windows file names; '-' reads the same.
std::string FilenameSafe(std::string text) {
    for (char& c : text)
        if (c == ':' || c == ';' || c == ' ') c = '-';
    return text;
}

std::string Stem(const std::string& name) {
    const size_t dot = name.rfind('.');
    return dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
}

}  // namespace

FileNames::FileNames(const std::string& out, const std::string& extension, bool split, const std::string& pattern)
    : out_(out), extension_(extension), split_(split), pattern_(pattern) {
    const size_t slash = out.find_last_of("/\\");
    folder_ = slash == std::string::npos ? "" : out.substr(0, slash + 1);
    stem_ = Stem(slash == std::string::npos ? out : out.substr(slash + 1));
}

bool FileNames::CheckPattern(const std::string& pattern, std::string* error) {
    if (pattern.find('/') != std::string::npos || pattern.find('\\') != std::string::npos) {
        *error = "--name names files, not folders: \"" + pattern + "\" (the files go where OUT is)";
        return false;
    }
    for (size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] != '%') continue;
        const char field = i + 1 < pattern.size() ? pattern[i + 1] : '\0';
        if (std::string("dTcns%").find(field) == std::string::npos || field == '\0') {
            *error = "--name: unknown field \"%" + std::string(1, field) +
                     "\" (the fields are %d date, %T time, %c timecode, %n number, %s tape, %% a percent sign)";
            return false;
        }
        ++i;
    }
    if (pattern.empty()) {
        *error = "--name needs a pattern, not \"\"";
        return false;
    }
    return true;
}

std::string FileNames::PathOf(const FileNameFields& fields) const {
    char number[16];
    std::snprintf(number, sizeof number, "%03d", fields.number);
    if (pattern_.empty()) {
        if (split_) return folder_ + stem_ + "-" + number + "." + extension_;
        return WavSeries::NumberedPath(out_, fields.number);
    }
    std::string name;
    for (size_t i = 0; i < pattern_.size(); ++i) {
        if (pattern_[i] != '%' || i + 1 >= pattern_.size()) {
            name += pattern_[i];
            continue;
        }
        switch (pattern_[++i]) {
        case 'd': name += fields.date.empty() ? "undated" : fields.date; break;
        case 'T': name += fields.time.empty() ? "untimed" : FilenameSafe(fields.time); break;
        case 'c': name += fields.timecode.empty() ? "notimecode" : FilenameSafe(fields.timecode); break;
        case 'n': name += number; break;
        case 's': name += fields.tape; break;
        default: name += '%'; break;
        }
    }
    return folder_ + name + "." + extension_;
}

std::string FileNames::FixedFirstPath() const {
    if (!pattern_.empty()) return "";
    return PathOf(FileNameFields{});
}

std::string FileNames::TapeName(const std::string& cassettePath) {
    if (cassettePath.empty()) return "tape";
    const size_t slash = cassettePath.find_last_of("/\\");
    return Stem(slash == std::string::npos ? cassettePath : cassettePath.substr(slash + 1));
}
