#include "HostWords.h"

#include "DDCError.h"

std::string DDCErrorText(LONG error) {
    if (const char* text = DDCErrorTableText(error)) return text;
    return "Unknown Error " + std::to_string(error);
}

std::string TransportStateText(LONG state) {
    switch (state) {
    case 0: return "unknown";
    case 1: return "stopped";
    case 2: return "paused";
    case 3: return "record paused";
    case 4: return "playing";
    case 7: return "reverse shuttle";
    case 10: return "slow motion";
    case 12: return "reverse fast";
    case 13: return "reverse playing";
    case 21: return "rewinding";
    case 24: return "forward slow";
    case 30: return "forward playing";
    case 31: return "fast forwarding";
    case 32: return "forward fast";
    case 37: return "forward shuttle";
    case 41: return "recording";
    case 42: return "ejected";
    case 44: return "no device";
    case 46: return "seeking";
    default: return "state " + std::to_string(state);
    }
}

std::string TimecodeText(const timecode_t& tc) {
    char text[32];
    return TCToStr(tc, text, sizeof text, 0);
}

LONG FourCC(const char* text) {
    ULONG code = 0;
    for (int i = 0; i < 4 && text[i] != '\0'; ++i) code = (code << 8) | static_cast<unsigned char>(text[i]);
    return static_cast<LONG>(code);
}

std::string FourCCText(LONG code) {
    std::string text;
    for (int shift = 24; shift >= 0; shift -= 8) {
        const char c = static_cast<char>((static_cast<ULONG>(code) >> shift) & 0xFF);
        text += (c >= 32 && c < 127) ? c : '?';
    }
    return text;
}
