// A recording date and time as a user writes it, "YYYY-MM-DD HH:MM:SS", and the clock
// arithmetic a recorder's stamp needs as the frames go by.
#pragma once

#include "digitalio/dv25/RecordingPacks.h"

#include <cstdint>
#include <string>

// False with a sentence for anything but a real date and time a DV frame can carry
// (years 1969 to 2068: the packs hold two digits).
bool ParseRecordingDateArg(const std::string& text, dv25::RecordingDateTime* out, std::string* error);

// `when` plus `seconds` (not negative), across days, months and years.
dv25::RecordingDateTime RecordingDateAfter(const dv25::RecordingDateTime& when, int64_t seconds);
