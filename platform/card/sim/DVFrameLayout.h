// What the simulated card and deck know of a DV25 frame's layout: its standard from
// the header block, its size, and where the subcode and auxiliary packs sit (the deck
// reads the subcode itself; the card's fault injection damages packs).
#pragma once

#include "digitalio/DIOTypes.h"
#include "digitalio/dv25/DifLayout.h"

#include <cstddef>
#include <cstdint>

namespace cardsim {

constexpr size_t kDifSequenceBytes = dv25::kSequenceSize;

// DIO_NoVideoFormat when the bytes do not start with a DIF header block.
DIO_VideoFormat FrameStandard(const uint8_t* frame, size_t available);
// A whole frame starts at a place `available` bytes before the end of the data: the
// header block, then the subcode, VAUX, audio and video blocks where a DIF sequence has
// them, and the second sequence's header. Stricter than FrameStandard, so that damaged
// bytes or a file that is not DV are not taken for a frame by chance. `start` holds
// the kFrameStartBytes there (or what there is), `nextSequence` the 4 bytes
// kDifSequenceBytes on.
constexpr size_t kFrameStartBytes = 8 * 80;
DIO_VideoFormat FrameStartStandard(const uint8_t* start, const uint8_t* nextSequence, uint64_t available);
size_t FrameSize(DIO_VideoFormat standard);       // 120000, 144000, or 0
int SequencesPerFrame(DIO_VideoFormat standard);  // 10, 12, or 0

// Byte offset of subcode pack `n` (0..11) of DIF sequence `sequence`.
size_t SubcodePackOffset(int sequence, int n);

// Every subcode pack of the frame reads "no information" (0xFF).
void ClearSubcodePacks(uint8_t* frame, DIO_VideoFormat standard);
// Every VAUX and AAUX pack of the frame reads "no information" (0xFF).
void ClearAuxiliaryPacks(uint8_t* frame, DIO_VideoFormat standard);
// Copies the video track (VAUX and video blocks) and/or the audio track (audio blocks)
// of every sequence from one frame to another of the same standard.
void CopyTracks(const uint8_t* from, uint8_t* to, DIO_VideoFormat standard, bool video, bool audio);

}  // namespace cardsim
