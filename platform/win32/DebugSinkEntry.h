// How one debug entry reaches the sink: OutputDebugStringA itself on POSIX, the
// debug-output listener on Windows.
#pragma once

namespace win32 {

// Passes `text` on verbatim to the log target and to every live DebugCapture.
void DeliverDebugEntry(const char* text);

}  // namespace win32
