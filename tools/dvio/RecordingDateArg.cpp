#include "RecordingDateArg.h"

#include <cstdio>

namespace {

bool IsLeap(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(int year, int month) {
    static const int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeap(year) ? 29 : kDays[month - 1];
}

}  // namespace

bool ParseRecordingDateArg(const std::string& text, dv25::RecordingDateTime* out, std::string* error) {
    dv25::RecordingDateTime when;
    char tail = 0;
    if (std::sscanf(text.c_str(), "%4d-%2d-%2d %2d:%2d:%2d%c", &when.year, &when.month, &when.day, &when.hour,
                    &when.minute, &when.second, &tail) != 6 ||
        text.size() != 19) {
        *error = "\"" + text + "\" is not a date and time written YYYY-MM-DD HH:MM:SS";
        return false;
    }
    if (when.year < 1969 || when.year > 2068) {
        *error = "a DV recording date has a two-digit year: 1969 to 2068, not " + std::to_string(when.year);
        return false;
    }
    if (when.month < 1 || when.month > 12 || when.day < 1 || when.day > DaysInMonth(when.year, when.month) ||
        when.hour > 23 || when.minute > 59 || when.second > 59) {
        *error = "\"" + text + "\" is not a real date and time";
        return false;
    }
    *out = when;
    return true;
}

dv25::RecordingDateTime RecordingDateAfter(const dv25::RecordingDateTime& when, int64_t seconds) {
    dv25::RecordingDateTime at = when;
    int64_t total = at.second + 60 * (at.minute + 60 * static_cast<int64_t>(at.hour)) + seconds;
    int64_t days = total / 86400;
    total %= 86400;
    at.hour = static_cast<int>(total / 3600);
    at.minute = static_cast<int>(total / 60 % 60);
    at.second = static_cast<int>(total % 60);
    // Whole days, a month at a time: a tape lasts hours, not centuries.
    while (days > 0) {
        const int left = DaysInMonth(at.year, at.month) - at.day;
        if (days <= left) {
            at.day += static_cast<int>(days);
            break;
        }
        days -= left + 1;
        at.day = 1;
        if (++at.month > 12) {
            at.month = 1;
            ++at.year;
        }
    }
    return at;
}
