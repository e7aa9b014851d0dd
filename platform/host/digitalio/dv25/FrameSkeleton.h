// The non-audio, non-video parts of a generated DV25 frame: header blocks, subcode
// blocks without timecode, and VAUX blocks with the source and source control packs.
#pragma once

#include "digitalio/DIOTypes.h"

#include <cstdint>

namespace dv25 {

// Fills the whole frame with 0xFF, then writes every sequence's header, subcode and
// VAUX blocks and the IDs of its audio and video blocks. Audio data and video payloads
// are left for the caller.
void WriteFrameSkeleton(uint8_t* frame, DIO_VideoFormat standard);

}  // namespace dv25
