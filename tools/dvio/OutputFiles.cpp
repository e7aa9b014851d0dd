#include "OutputFiles.h"

#include "WavSeries.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <system_error>

namespace {

namespace fs = std::filesystem;

bool Exists(const std::string& path) {
    std::error_code error;
    return fs::symlink_status(path, error).type() != fs::file_type::not_found && !error;
}

}  // namespace

// The same file by identity (device and file number), whatever the paths say; a file
// that does not exist yet is the same as another by its folder and name.
bool SameFile(const std::string& a, const std::string& b) {
    std::error_code error;
    if (fs::exists(a, error) && fs::exists(b, error)) return fs::equivalent(a, b, error) && !error;
    if (fs::exists(a, error) != fs::exists(b, error)) return false;
    const fs::path x = fs::path(a), y = fs::path(b);
    if (x.filename() != y.filename()) return false;
    const fs::path xFolder = x.parent_path().empty() ? fs::path(".") : x.parent_path();
    const fs::path yFolder = y.parent_path().empty() ? fs::path(".") : y.parent_path();
    if (!fs::exists(xFolder, error) || !fs::exists(yFolder, error)) return a == b;
    return fs::equivalent(xFolder, yFolder, error) && !error;
}

void OutputFiles::AddInput(const std::string& what, const std::string& path) {
    if (!path.empty()) inputs_.push_back({what, path, false});
}

void OutputFiles::AddOutput(const std::string& what, const std::string& path, bool numbered) {
    if (!path.empty()) outputs_.push_back({what, path, numbered});
}

bool OutputFiles::Check(bool force, std::string* error) const {
    // Every path an output may take: a WAV series its numbered follow-ons too.
    std::vector<Entry> paths;
    for (const Entry& out : outputs_) {
        paths.push_back(out);
        if (!out.numbered) continue;
        for (int n = 2; n <= kCheckedNumberedFiles; ++n) {
            Entry next = out;
            next.path = WavSeries::NumberedPath(out.path, n);
            // Only files that exist can be an input; others are checked against the outputs.
            if (Exists(next.path) || n == 2) paths.push_back(next);
        }
    }
    for (size_t i = 0; i < paths.size(); ++i) {
        const Entry& out = paths[i];
        for (const Entry& in : inputs_) {
            if (SameFile(out.path, in.path)) {
                *error = "will not write " + out.what + " " + out.path + ": it is " + in.what + " " + in.path +
                         " itself, which dvio only reads; give the output another name";
                return false;
            }
        }
        for (size_t j = 0; j < i; ++j) {
            if (SameFile(out.path, paths[j].path)) {
                *error = "will not write " + out.what + " " + out.path + ": it is the same file as " + paths[j].what +
                         " " + paths[j].path + "; give one of them another name";
                return false;
            }
        }
    }
    existedBefore_.clear();
    for (const Entry& out : paths) {
        if (!Exists(out.path)) continue;
        existedBefore_.push_back(out.path);
        if (!force) {
            *error = out.path + " already exists: dvio does not overwrite a file unless --force is given";
            return false;
        }
    }
    return true;
}

void OutputFiles::RemoveCreated() const {
    for (const Entry& out : outputs_) {
        for (int n = 1; n <= (out.numbered ? kCheckedNumberedFiles : 1); ++n) {
            const std::string path = n == 1 ? out.path : WavSeries::NumberedPath(out.path, n);
            if (std::find(existedBefore_.begin(), existedBefore_.end(), path) != existedBefore_.end()) continue;
            if (Exists(path)) std::remove(path.c_str());
        }
    }
}
