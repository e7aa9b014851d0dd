#include "TraceOption.h"

bool ParseTrace(const std::string& list, LONG* bits, std::string* error) {
    *bits = 0;
    size_t start = 0;
    while (start <= list.size()) {
        const size_t comma = list.find(',', start);
        const std::string word = list.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        if (word == "deck") *bits |= 1;
        else if (word == "capture") *bits |= 2;
        else if (word == "playback") *bits |= 4;
        else if (!word.empty()) {
            *error = "--trace takes deck, capture and playback, not \"" + word + "\"";
            return false;
        }
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    return true;
}
