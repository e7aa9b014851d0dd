// How dvio words the values the host interface hands it.
#pragma once

#include "windows.h"
#include "hostcore/Timecode.h"

#include <string>

// The deck-control result texts of the host interface ("No Error" ... "Unknown Error").
std::string DDCErrorText(LONG error);
// HH:MM:SS:FF, with ';' before the frames when drop-frame; "--:--:--:--" when empty.
std::string TimecodeText(const timecode_t& tc);
// 'VSIG' <-> 0x56534947
LONG FourCC(const char* text);
std::string FourCCText(LONG code);
