// Reading formats back as texts, so that tests compare whole keyword lists at once.
#pragma once

#include "digitalio/DIOFormat.h"

#include <string>
#include <vector>

// The keywords of a format, in order, as "KEY=value" texts.
inline std::vector<std::string> KeywordsOf(DIOFormat* format) {
    std::vector<std::string> keywords;
    for (int i = 0; i < format->NumParameters(); ++i) {
        LONG key = 0;
        char value[32] = {};
        if (format->GetNthParameter(i, &key, value) == 0) break;
        std::string text;
        for (int shift = 24; shift >= 0; shift -= 8) text += static_cast<char>((key >> shift) & 0xFF);
        keywords.push_back(text + "=" + value);
    }
    return keywords;
}
