// What the simulated card and deck know of a DV25 frame's layout: its standard from
// the header block, its size, and where the subcode and auxiliary packs sit (the deck
// reads the subcode itself; the card's fault injection damages packs).
#pragma once

#include "digitalio/DIOTypes.h"

#include <cstddef>
#include <cstdint>

namespace cardsim {

constexpr size_t kDifSequenceBytes = 12000;

// DIO_NoVideoFormat when the bytes do not start with a DIF header block.
DIO_VideoFormat FrameStandard(const uint8_t* frame, size_t available);
size_t FrameSize(DIO_VideoFormat standard);       // 120000, 144000, or 0
int SequencesPerFrame(DIO_VideoFormat standard);  // 10, 12, or 0

// Byte offset of subcode pack `n` (0..11) of DIF sequence `sequence`.
size_t SubcodePackOffset(int sequence, int n);

// Every subcode pack of the frame reads "no information" (0xFF).
void ClearSubcodePacks(uint8_t* frame, DIO_VideoFormat standard);
// Every VAUX and AAUX pack of the frame reads "no information" (0xFF).
void ClearAuxiliaryPacks(uint8_t* frame, DIO_VideoFormat standard);
// Copies both subcode blocks of every sequence the two frames have in common.
void CopySubcode(const uint8_t* from, DIO_VideoFormat fromStandard, uint8_t* to, DIO_VideoFormat toStandard);

}  // namespace cardsim
