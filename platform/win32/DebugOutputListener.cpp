// Windows: OutputDebugStringA belongs to the system and hands its text to a debugger by
// raising a continuable exception that carries the string. A vectored handler sees it
// first, in the thread that wrote the entry, and passes it to the sink; continuing the
// execution makes the call return as it does when no debugger listens.
//
// The handler is installed when this library loads, which happens before any plug-in
// the process loads later, so the plug-in's load line is seen too.
#include "windows.h"

#include "DebugSinkEntry.h"

namespace {

// Newer systems raise the wide form first; it carries the narrow text as well.
constexpr DWORD kDebugPrintWide = 0x4001000A;

LONG CALLBACK ListenForDebugOutput(EXCEPTION_POINTERS* exception) {
    const EXCEPTION_RECORD* record = exception->ExceptionRecord;
    const char* text = nullptr;
    if (record->ExceptionCode == DBG_PRINTEXCEPTION_C && record->NumberParameters >= 2)
        text = reinterpret_cast<const char*>(record->ExceptionInformation[1]);
    else if (record->ExceptionCode == kDebugPrintWide && record->NumberParameters >= 4)
        text = reinterpret_cast<const char*>(record->ExceptionInformation[3]);
    else
        return EXCEPTION_CONTINUE_SEARCH;
    win32::DeliverDebugEntry(text != nullptr ? text : "");
    return EXCEPTION_CONTINUE_EXECUTION;
}

struct ListenerInstaller {
    ListenerInstaller() { handler = AddVectoredExceptionHandler(1, ListenForDebugOutput); }
    ~ListenerInstaller() {
        if (handler != nullptr) RemoveVectoredExceptionHandler(handler);
    }
    void* handler;
};

ListenerInstaller s_listener;

}  // namespace
