// Where debug entries go: the process-wide sink behind DebugCapture and
// DVIO_DEBUG_LOG. The same on every system; only the way entries reach it differs.
#include "DebugSinkEntry.h"
#include "Win32DebugSink.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>
#include <vector>

namespace win32 {

struct DebugCapture::State {
    mutable std::mutex mutex;
    std::vector<std::string> entries;
};

namespace {

struct DebugSink {
    std::mutex mutex;
    std::vector<DebugCapture*> captures;
    FILE* file = nullptr;
    bool toStderr = false;
    bool configured = false;

    void ConfigureLocked(const char* target) {
        if (file != nullptr) {
            std::fclose(file);
            file = nullptr;
        }
        toStderr = false;
        configured = true;
        if (target == nullptr || *target == '\0') return;
        if (std::strcmp(target, "-") == 0 || std::strcmp(target, "stderr") == 0) {
            toStderr = true;
            return;
        }
        // Binary: the entry goes to the file as it is, without a text mode's line ends.
        file = std::fopen(target, "ab");
        // Unbuffered: each entry is written whole when it is made. (Line buffering
        // is not portable: the Windows C runtime takes it as full buffering.)
        if (file != nullptr) setvbuf(file, nullptr, _IONBF, 0);
    }
};

DebugSink& Sink() {
    // Never destroyed: library unload hooks still log after static destructors ran.
    static DebugSink* sink = new DebugSink;
    return *sink;
}

}  // namespace

DebugCapture::DebugCapture() : state_(new State) {
    DebugSink& sink = Sink();
    std::lock_guard<std::mutex> lock(sink.mutex);
    sink.captures.push_back(this);
}

DebugCapture::~DebugCapture() {
    {
        DebugSink& sink = Sink();
        std::lock_guard<std::mutex> lock(sink.mutex);
        auto& list = sink.captures;
        list.erase(std::remove(list.begin(), list.end(), this), list.end());
    }
    delete state_;
}

std::vector<std::string> DebugCapture::Entries() const {
    std::lock_guard<std::mutex> lock(state_->mutex);
    return state_->entries;
}

std::vector<std::string> DebugCapture::Take() {
    std::lock_guard<std::mutex> lock(state_->mutex);
    std::vector<std::string> taken;
    taken.swap(state_->entries);
    return taken;
}

void DebugCapture::Clear() {
    std::lock_guard<std::mutex> lock(state_->mutex);
    state_->entries.clear();
}

size_t DebugCapture::Count(const std::string& entry) const {
    std::lock_guard<std::mutex> lock(state_->mutex);
    return static_cast<size_t>(std::count(state_->entries.begin(), state_->entries.end(), entry));
}

void DebugCapture::Receive(const char* entry) {
    std::lock_guard<std::mutex> lock(state_->mutex);
    state_->entries.emplace_back(entry);
}

void SetDebugLogTarget(const char* target) {
    DebugSink& sink = Sink();
    std::lock_guard<std::mutex> lock(sink.mutex);
    sink.ConfigureLocked(target);
}

void DeliverDebugEntry(const char* text) {
    DebugSink& sink = Sink();
    std::lock_guard<std::mutex> lock(sink.mutex);
    if (!sink.configured) sink.ConfigureLocked(std::getenv("DVIO_DEBUG_LOG"));
    if (sink.toStderr) {
        std::fputs(text, stderr);
    } else if (sink.file != nullptr) {
        std::fputs(text, sink.file);
    }
    for (DebugCapture* capture : sink.captures) capture->Receive(text);
}

}  // namespace win32
