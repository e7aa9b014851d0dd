#include "PluginLibrary.h"

#include "windows.h"

namespace pluginlibrary {

void* Open(const std::string& path, std::string* error) {
    HMODULE library = LoadLibraryA(path.c_str());
    if (library == nullptr) {
        char text[512] = "";
        const DWORD code = GetLastError();
        const DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code,
                                            0, text, sizeof text, nullptr);
        std::string reason(text, length);
        while (!reason.empty() && (reason.back() == '\n' || reason.back() == '\r' || reason.back() == ' '))
            reason.pop_back();
        *error = reason.empty() ? "system error " + std::to_string(code) : reason;
    }
    return reinterpret_cast<void*>(library);
}

void* Find(void* library, const char* name) {
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), name));
}

std::string ProgramFolder() {
    char self[MAX_PATH + 1];
    const DWORD length = GetModuleFileNameA(nullptr, self, sizeof self);
    if (length == 0 || length >= sizeof self) return "";
    std::string folder(self, length);
    const size_t separator = folder.find_last_of("\\/");
    folder.resize(separator == std::string::npos ? 0 : separator + 1);
    return folder;
}

const char* PluginFileName() {
    return "DIOdv1394Velorin.dll";
}

}  // namespace pluginlibrary
