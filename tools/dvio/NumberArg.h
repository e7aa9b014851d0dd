// Numbers as a user types them on the command line, with the range each option takes
// said in a sentence a person can read.
#pragma once

#include <cstdint>
#include <string>

// A whole number from 1 to `most`. False with a sentence naming `option`.
bool ParseCount(const std::string& option, const std::string& text, int64_t most, int64_t* value, std::string* error);
// A finite number above 0 and at most `most`. False with a sentence naming `option`.
bool ParsePositive(const std::string& option, const std::string& text, double most, double* value,
                   std::string* error);
