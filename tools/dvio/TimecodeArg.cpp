#include "TimecodeArg.h"

#include <cctype>
#include <cstdio>

namespace {

// Two decimal digits at text[at], at[at + 1].
bool TwoDigits(const std::string& text, size_t at, int* value) {
    if (at + 1 >= text.size() || !std::isdigit(static_cast<unsigned char>(text[at])) ||
        !std::isdigit(static_cast<unsigned char>(text[at + 1])))
        return false;
    *value = (text[at] - '0') * 10 + (text[at + 1] - '0');
    return true;
}

}  // namespace

bool ParseTimecodeArg(const std::string& text, TimecodeArg* out, std::string* error) {
    TimecodeArg tc;
    const bool shaped = text.size() == 11 && text[2] == ':' && text[5] == ':' &&
                        (text[8] == ':' || text[8] == ';' || text[8] == '.') && TwoDigits(text, 0, &tc.hours) &&
                        TwoDigits(text, 3, &tc.minutes) && TwoDigits(text, 6, &tc.seconds) &&
                        TwoDigits(text, 9, &tc.frames);
    if (!shaped) {
        *error = "\"" + text + "\" is not a timecode: write HH:MM:SS:FF, or HH:MM:SS;FF for drop-frame";
        return false;
    }
    if (tc.hours > 23 || tc.minutes > 59 || tc.seconds > 59) {
        *error = "\"" + text + "\" is not a timecode: hours go to 23, minutes and seconds to 59";
        return false;
    }
    tc.dropFrameMark = text[8] != ':';
    *out = tc;
    return true;
}

bool CheckTimecodeArg(const TimecodeArg& tc, int framesPerSecond, bool dropFrame, std::string* error) {
    const std::string text = TimecodeArgText(tc, dropFrame);
    if (tc.frames >= framesPerSecond) {
        *error = text + " does not exist at " + std::to_string(framesPerSecond) + " frames per second: frames go to " +
                 std::to_string(framesPerSecond - 1);
        return false;
    }
    return true;
}

bool SkipDroppedLabel(TimecodeArg* tc) {
    if (tc->seconds != 0 || tc->frames >= 2 || tc->minutes % 10 == 0) return false;
    tc->frames = 2;
    return true;
}

timecode_t ToTimecode(const TimecodeArg& tc, const timecodeDesc_t& desc) {
    return TCConstruct(0, static_cast<short>(tc.hours), static_cast<short>(tc.minutes),
                       static_cast<short>(tc.seconds), static_cast<short>(tc.frames), &desc);
}

std::string TimecodeArgText(const TimecodeArg& tc, bool dropFrame) {
    char text[16];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d%c%02d", tc.hours % 100, tc.minutes % 100, tc.seconds % 100,
                  dropFrame ? ';' : ':', tc.frames % 100);
    return text;
}
