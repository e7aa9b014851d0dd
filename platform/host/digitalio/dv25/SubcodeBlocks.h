// The subcode blocks of a DV25 frame: block IDs and the IDs of their twelve sync
// blocks per sequence.
//
// Sync block ID: ID0 b7 FR (1 in the first half of the frame), b6-b4 application ID
// (n = 0, 6, 11) or tag bits, b3-b0 and ID1 b7-b4 a slice of the absolute track
// number; ID1 b3-b0 the sync block number n; ID2 0xFF.
#pragma once

#include "digitalio/DIOTypes.h"

#include <cstdint>

namespace dv25 {

// Whether subcode block j of sequence s carries its own ID; the packs of a block that
// does not are not trusted.
bool SubcodeBlockIdValid(const uint8_t* frame, int sequence, int j);

// Writes both subcode blocks of a sequence as a generator does: IDs, sync block IDs
// with an unknown track number, no-information packs and reserved bytes.
void WriteFreshSubcode(uint8_t* frame, DIO_VideoFormat standard, int sequence);

// Makes the IDs of both subcode blocks and their sync blocks valid (FR, number,
// ID2) while keeping the track number and tag bits a recorder put there.
void RepairSubcodeIds(uint8_t* frame, DIO_VideoFormat standard, int sequence);

}  // namespace dv25
