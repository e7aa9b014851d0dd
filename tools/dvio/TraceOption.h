// --trace: which of the plug-in's trace switches (control 0xb00005) to turn on.
#pragma once

#include "windows.h"

#include <string>

// "deck,capture,playback" (any of them, in any order) -> bits 0, 1 and 2. False with
// a sentence for a word that is not one of them.
bool ParseTrace(const std::string& list, LONG* bits, std::string* error);
