// Where OutputDebugStringA entries go: on POSIX the layer's own OutputDebugStringA
// feeds the sink; on Windows a listener in this library takes each entry the system's
// OutputDebugStringA raises for a debugger.
//
// Every entry is passed on verbatim, one entry per call (a null text is an empty
// entry, as on Windows). By default entries are discarded; DVIO_DEBUG_LOG names a destination ("-" or "stderr" for standard error,
// anything else a file that is appended to). Tests install a DebugCapture to read the
// exact entries the code under test wrote, in order.
#pragma once

#include <string>
#include <vector>

namespace win32 {

// Collects every debug entry written while it exists. Several captures may be active
// at once (each receives every entry); safe to use from any thread.
class DebugCapture {
public:
    DebugCapture();
    ~DebugCapture();
    DebugCapture(const DebugCapture&) = delete;
    DebugCapture& operator=(const DebugCapture&) = delete;

    std::vector<std::string> Entries() const;
    // Returns the entries collected so far and forgets them.
    std::vector<std::string> Take();
    void Clear();
    // Number of entries equal to `entry`.
    size_t Count(const std::string& entry) const;

    void Receive(const char* entry);

private:
    struct State;
    State* state_;
};

// Sends entries to `target` from now on ("-"/"stderr", a file path, or null/empty to
// discard). Overrides DVIO_DEBUG_LOG.
void SetDebugLogTarget(const char* target);

}  // namespace win32
