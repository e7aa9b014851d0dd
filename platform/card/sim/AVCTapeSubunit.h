// The deck's AV/C tape recorder/player subunit: the status and control commands a
// host sends, answered from the deck and the cassette.
//
// STATUS: time code (0x51 0x71, with the drop-frame bit in the frames byte),
// SMPTE/EBU time code (0x59 0x71, or NOT IMPLEMENTED by deck model), absolute track
// number (0x52 0x71, bit 0 of the low byte set while the tape is recorded there,
// clear on blank tape), medium info (0xDA: cassette type, then write protect in bit
// 0). CONTROL: time code search (0x51 0x20) and absolute track number search (0x52
// 0x20), which wind the deck to the target and park in playback pause; a target not
// on the tape is REJECTED (or, by deck model, searched for up to a tape end). Everything else is NOT IMPLEMENTED; every command meets IN
// TRANSITION while the deck is changing state.
#pragma once

#include "sim/Cassette.h"
#include "sim/DeckTransport.h"

#include <cstdint>
#include <vector>

namespace cardsim {

struct AVCAnswer {
    std::vector<uint8_t> response;  // frame order
    // An INTERIM answer whose final answer is due when the deck parks.
    bool finalPending = false;
    std::vector<uint8_t> finalResponse;
};

// `cassette` is null when the deck is empty; `timecodePosition` is the position whose
// time code the deck reads now (-1: it reads none). May start a seek on `deck`.
AVCAnswer AnswerAVCCommand(const std::vector<uint8_t>& command, DeckTransport* deck, const Cassette* cassette,
                           const DeckModel& model, int64_t timecodePosition, SimTime now);

// The four time code bytes (frames, seconds, minutes, hours in BCD; drop-frame in bit
// 6 of the frames byte) for the deck's position, FF FF FF FF when there is none.
void TimecodeBytes(const Cassette* cassette, int64_t position, uint8_t out[4]);

}  // namespace cardsim
