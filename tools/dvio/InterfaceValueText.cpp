#include "InterfaceValueText.h"

#include "DDCError.h"
#include "interface/DigitalDevice.h"

std::string DDCErrorText(LONG error) {
    if (const char* text = DDCErrorTableText(error)) return text;
    return "Unknown Error " + std::to_string(error);
}

std::string TransportStateText(LONG state) {
    switch (state) {
    case TransportUnknown: return "unknown";
    case TransportStopped: return "stopped";
    case TransportPaused: return "paused";
    case TransportRecordPaused: return "record paused";
    case TransportPlaying: return "playing";
    case TransportReverseShuttle: return "reverse shuttle";
    case TransportSlowMotion: return "slow motion";
    case TransportReverseFast: return "reverse fast";
    case TransportReversePlaying: return "reverse playing";
    case TransportRewinding: return "rewinding";
    case TransportForwardSlow: return "forward slow";
    case TransportForwardPlaying: return "forward playing";
    case TransportFastForwarding: return "fast forwarding";
    case TransportForwardFast: return "forward fast";
    case TransportForwardShuttle: return "forward shuttle";
    case TransportRecording: return "recording";
    case TransportEjected: return "ejected";
    case TransportNoDevice: return "no device";
    case TransportSeeking: return "seeking";
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
