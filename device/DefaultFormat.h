// The format a device starts with: NTSC, DV25, 48000 Hz, 16-bit samples.
#pragma once

#include "digitalio/DIOFormat.h"
#include "interface/FormatKeywords.h"

namespace dv1394 {

// A new format object the caller owns, or null when it cannot be allocated.
DIOFormat* CreateDefaultFormat();

}  // namespace dv1394
