// AV/C frames as the card's pass-through call carries them: quadlet by quadlet, each
// quadlet a little-endian 32-bit word whose most significant byte is the quadlet's
// first frame byte, so frame byte i lives at buffer offset 4*(i/4) + 3 - i%4.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace cardsim {

// AV/C ctypes and response codes.
constexpr uint8_t kAVCControl = 0x00;
constexpr uint8_t kAVCStatus = 0x01;
constexpr uint8_t kAVCNotImplemented = 0x08;
constexpr uint8_t kAVCAccepted = 0x09;
constexpr uint8_t kAVCRejected = 0x0A;
constexpr uint8_t kAVCInTransition = 0x0B;
constexpr uint8_t kAVCStable = 0x0C;
constexpr uint8_t kAVCInterim = 0x0F;

// The tape recorder/player subunit, ID 0.
constexpr uint8_t kAVCTapeSubunit = 0x20;

// Buffer bytes a frame of `length` bytes occupies (whole quadlets).
inline size_t QuadletBytes(size_t length) { return (length + 3) / 4 * 4; }

// The frame of `length` bytes held in `buffer` (which holds QuadletBytes(length)).
std::vector<uint8_t> FrameFromQuadlets(const uint8_t* buffer, size_t length);
// Writes `frame` into `buffer` (QuadletBytes(frame.size()) bytes, the padding zero).
void FrameToQuadlets(const std::vector<uint8_t>& frame, uint8_t* buffer);

}  // namespace cardsim
