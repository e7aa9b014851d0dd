#include "OutputFiles.h"

#include "WavSeries.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>

namespace {

struct Identity {
    dev_t device = 0;
    ino_t inode = 0;
    std::string name;  // for a file that does not exist yet: its name in that folder
    bool valid = false;
};

Identity IdentityOf(const std::string& path) {
    Identity id;
    struct stat info {};
    if (stat(path.c_str(), &info) == 0) {
        id.device = info.st_dev;
        id.inode = info.st_ino;
        id.valid = true;
        return id;
    }
    const size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
    if (stat(folder.c_str(), &info) != 0) return id;
    id.device = info.st_dev;
    id.inode = info.st_ino;
    id.name = slash == std::string::npos ? path : path.substr(slash + 1);
    id.valid = true;
    return id;
}

bool Exists(const std::string& path) {
    struct stat info {};
    return lstat(path.c_str(), &info) == 0;
}

}  // namespace

bool SameFile(const std::string& a, const std::string& b) {
    const Identity x = IdentityOf(a), y = IdentityOf(b);
    if (!x.valid || !y.valid) return a == b;
    return x.device == y.device && x.inode == y.inode && x.name == y.name;
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
