// The texts dvio shows for the values the host interface hands it: deck-control
// results, timecodes, transport states and four-character codes.
#pragma once

#include "windows.h"
#include "hostcore/Timecode.h"

#include <string>

// The deck-control result texts of the host interface ("No Error" ... "Unknown Error").
std::string DDCErrorText(LONG error);
// HH:MM:SS:FF, with ';' before the frames when drop-frame; "--:--:--:--" when empty.
std::string TimecodeText(const timecode_t& tc);
// The host's transport states in words ("stopped", "playing", "seeking", ...);
// "state N" for a value the interface does not define.
std::string TransportStateText(LONG state);
// 'VSIG' <-> 0x56534947
LONG FourCC(const char* text);
std::string FourCCText(LONG code);
