// Timecodes as a user types them: HH:MM:SS:FF, with ';' (or '.') before the frames
// for drop-frame counting.
#pragma once

#include "hostcore/Timecode.h"

#include <string>

struct TimecodeArg {
    int hours = 0;
    int minutes = 0;
    int seconds = 0;
    int frames = 0;
    bool dropFrameMark = false;  // written with ';' or '.' before the frames
};

// False with a sentence in *error when `text` is not HH:MM:SS:FF with hours below 24
// and minutes and seconds below 60.
bool ParseTimecodeArg(const std::string& text, TimecodeArg* out, std::string* error);

// The frame field must be below the rate. False with a sentence.
bool CheckTimecodeArg(const TimecodeArg& tc, int framesPerSecond, bool dropFrame, std::string* error);

// Drop-frame counting skips frames 00 and 01 of every minute but each tenth, so a
// label such as 00:01:00;00 names no frame: it becomes the next label that does
// (00:01:00;02), as a deck would read it. True when the label was moved.
bool SkipDroppedLabel(TimecodeArg* tc);

// The timecode with the given description (fields taken as they stand).
timecode_t ToTimecode(const TimecodeArg& tc, const timecodeDesc_t& desc);

// "HH:MM:SS:FF" (';' before the frames when `dropFrame`).
std::string TimecodeArgText(const TimecodeArg& tc, bool dropFrame);
