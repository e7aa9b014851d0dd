#include "device/DeviceLog.h"

#include "DDCError.h"
#include "device/RawStates.h"
#include "KDXCORE.h"

#include <cstdio>

namespace dv1394 {

namespace {

struct KDXErrorText {
    DWORD code;
    const char* line;
};

const KDXErrorText kKDXErrors[] = {
    {KDX_E_NOTIMPL, "KDX_E_NOTIMPL\n"},
    {KDX_E_GENERALERROR, "KDX_E_GENERALERROR\n"},
    {KDX_E_INVALID_PARAMETER, "KDX_E_INVALID_PARAMETER\n"},
    {KDX_E_NOMEMORY, "KDX_E_NOMEMORY\n"},
    {KDX_E_BUSY, "KDX_E_BUSY\n"},
    {KDX_E_NOTEQUIPPED, "KDX_E_NOTEQUIPPED\n"},
    {KDX_E_INVALID_STATE, "KDX_E_INVALID_STATE\n"},
    {KDX_E_NOTSUPPORTED, "KDX_E_NOTSUPPORTED\n"},
    {KDX_E_IO, "KDX_E_IO\n"},
    {KDX_E_DECOMPRESS, "KDX_E_DECOMPRESS\n"},
    {KDX_E_COMPRESS, "KDX_E_COMPRESS\n"},
    {KDX_E_NORESOURCE, "KDX_E_NORESOURCE\n"},
    {KDX_E_TIMEOUT, "KDX_E_TIMEOUT\n"},
    {KDX_E_FUNCTION_CANCELED, "KDX_E_FUNCTION_CANCELED\n"},
    {KDX_E_NO_DEVICE_CONNECTED, "KDX_E_NO_DEVICE_CONNECTED\n"},
    {KDX_E_DEV_NOT_SUPPORT_SRV, "KDX_E_DEV_NOT_SUPPORT_SRV\n"},
    {KDX_E_DEV_REJECT_SRV, "KDX_E_DEV_REJECT_SRV\n"},
    {KDX_E_BUFFER_SMALL, "KDX_E_BUFFER_SMALL\n"},
    {KDX_E_NO_DVKORDEX, "KDX_E_NO_DVKORDEX\n"},
    {KDX_E_ALLOWED_SINGLE_INSTANCE, "KDX_E_ALLOWED_SINGLE_INSTANCE\n"},
    {KDX_E_CLIENT_TYPE_MISMATCH, "KDX_E_CLIENT_TYPE_MISMATCH\n"},
    {KDX_E_INTERNAL, "KDX_E_INTERNAL\n"},
};

}  // namespace

std::string DDCErrorName(LONG error) {
    if (const char* text = DDCErrorTableText(error)) return text;
    char text[40];
    std::snprintf(text, sizeof text, "Unknown Error %ld", static_cast<long>(error));
    return text;
}

void LogDDCError(const char* name, LONG error) {
    char line[256];
    std::snprintf(line, sizeof line, "%s  error -> %s\n", name, DDCErrorName(error).c_str());
    OutputDebugStringA(line);
}

void LogDDCShuttle(const char* name, LONG speed, LONG error) {
    char line[256];
    std::snprintf(line, sizeof line, "%s  speed -> %ld  error -> %s\n", name, static_cast<long>(speed),
                  DDCErrorName(error).c_str());
    OutputDebugStringA(line);
}

void LogDDCState(const char* name, LONG rawState, LONG error) {
    const std::string text = error == 0 ? DDCStateName(rawState) : DDCErrorName(error);
    char line[256];
    std::snprintf(line, sizeof line, "%s  -> %s\n", name, text.c_str());
    OutputDebugStringA(line);
}

void LogDDCTimecode(const char* name, timecode_t timecode, LONG error) {
    constexpr LONG kNoTimecode = 13;
    if (error != 0 && error != kNoTimecode) {
        LogDDCError(name, error);
        return;
    }
    char text[32];
    if (error == 0)
        TCToStr(timecode, text, sizeof text, 16);
    else
        std::snprintf(text, sizeof text, "NO TIMECODE");
    char line[256];
    std::snprintf(line, sizeof line, "%s -> %s\n", name, text);
    OutputDebugStringA(line);
}

void DumpAVCBytes(const unsigned char* bytes, size_t count) {
    // At most one 64-byte AV/C buffer per line; three characters a byte.
    constexpr size_t kMaxBytes = 64;
    char line[kMaxBytes * 3 + 1];
    size_t used = 0;
    line[0] = '\0';
    for (size_t i = 0; bytes != nullptr && i < count && i < kMaxBytes; ++i)
        used += static_cast<size_t>(std::snprintf(line + used, sizeof line - used, "%02x ", bytes[i]));
    OutputDebugStringA(line);
    OutputDebugStringA("\n");
}

void LogDriverOpen(const char* name, LONG standard, bool opened) {
    const char* standardName = standard == KDX_STANDARD_CURRENT ? "CURRENT"
                               : standard == KDX_STANDARD_NTSC  ? "NTSC"
                               : standard == KDX_STANDARD_PAL   ? "PAL"
                                                                : "UNKNOWN";
    char line[256];
    std::snprintf(line, sizeof line, "%s  standard -> %s  OK -> %s\n", name, standardName, opened ? "YES" : "NO");
    OutputDebugStringA(line);
}

const char* KDXErrorLine(DWORD code) {
    for (const KDXErrorText& entry : kKDXErrors)
        if (entry.code == code) return entry.line;
    return "Unknown KDX error\n";
}

void LogKDXLastError() {
    OutputDebugStringA(KDXErrorLine(KDXGetLastError()));
}

}  // namespace dv1394
