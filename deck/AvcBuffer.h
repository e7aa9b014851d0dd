// AV/C command and response buffers as the card's pass-through call takes them.
//
// A frame (ctype or response code, subunit, opcode, operands) is stored quadlet by
// quadlet, each quadlet a little-endian 32-bit word whose most significant byte is the
// quadlet's first frame byte. So frame byte i lives at buffer offset
// 4*(i/4) + 3 - i%4: the ctype at offset 3, the opcode at 1, operand 0 at 0, and
// frame bytes 4..7 at offsets 7..4.
#pragma once

#include <cstddef>
#include <cstring>

namespace dv1394 {

constexpr size_t kAVCBufferBytes = 64;

// Frame byte positions.
constexpr size_t kAVCCtypeByte = 0;  // ctype in a command, response code in a response
constexpr size_t kAVCSubunitByte = 1;
constexpr size_t kAVCOpcodeByte = 2;
constexpr size_t kAVCOperand0Byte = 3;

// ctypes and the subunit the plug-in addresses (tape recorder/player, ID 0).
constexpr unsigned char kAVCControl = 0x00;
constexpr unsigned char kAVCStatus = 0x01;
constexpr unsigned char kAVCTapeSubunit = 0x20;

// Response codes.
constexpr unsigned char kAVCNotImplemented = 0x08;
constexpr unsigned char kAVCAccepted = 0x09;
constexpr unsigned char kAVCRejected = 0x0A;
constexpr unsigned char kAVCInTransition = 0x0B;
constexpr unsigned char kAVCImplementedStable = 0x0C;
constexpr unsigned char kAVCChanged = 0x0D;
constexpr unsigned char kAVCInterim = 0x0F;

// Opcodes and the operands that select what they do.
constexpr unsigned char kAVCOpTimecode = 0x51;
constexpr unsigned char kAVCOpAbsTrackNumber = 0x52;
constexpr unsigned char kAVCOpSmpteEbuTimecode = 0x59;
constexpr unsigned char kAVCOpMediumInfo = 0xDA;
constexpr unsigned char kAVCGetCurrent = 0x71;  // status: report the current value
constexpr unsigned char kAVCSeekTo = 0x20;      // control: search for the value given
constexpr unsigned char kAVCMediumInfoAll = 0x7F;

// Offset in a quadlet buffer of frame byte `index`.
constexpr size_t AVCBufferOffset(size_t index) { return 4 * (index / 4) + 3 - index % 4; }

// A 64-byte command or response buffer, zero-filled, addressed in frame order.
struct AVCBuffer {
    unsigned char bytes[kAVCBufferBytes];

    AVCBuffer() { std::memset(bytes, 0, sizeof bytes); }
    unsigned char Frame(size_t index) const { return index < kAVCBufferBytes ? bytes[AVCBufferOffset(index)] : 0; }
    void SetFrame(size_t index, unsigned char value) {
        if (index < kAVCBufferBytes) bytes[AVCBufferOffset(index)] = value;
    }
    // Frame bytes 0, 1, 2, ... from `frame`.
    void SetFrameBytes(const unsigned char* frame, size_t count) {
        for (size_t i = 0; i < count; ++i) SetFrame(i, frame[i]);
    }
};

}  // namespace dv1394
