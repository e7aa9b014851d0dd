// A host's side of the input rings: takes bytes with the take protocol, in pieces of
// varying size (so that takes straddle the ring's wrap and frame boundaries), and
// keeps what it took together with the format records it was handed on the way.
#pragma once

#include "device/CDV1394.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <thread>
#include <vector>

namespace capture_test {

// A format record as the host received it, and where in the taken bytes it began.
struct FormatMark {
    size_t offset = 0;  // bytes taken before it
    std::string videoSignal;
    std::string sampleRate;
    bool change = false;
    bool changeBreak = false;
};

class StreamTaker {
public:
    using Request = std::function<LONG(LONG length, void** data, DIOFormat** format)>;
    using Acknowledge = std::function<void(LONG length)>;

    // Pieces are between 1 and `largestPiece` bytes, chosen by a generator seeded with `seed`.
    StreamTaker(Request request, Acknowledge acknowledge, LONG largestPiece, uint32_t seed);

    // The streams of a device.
    static StreamTaker VideoIn(CDV1394* device, LONG largestPiece, uint32_t seed);
    static StreamTaker VideoConfidence(CDV1394* device, LONG largestPiece, uint32_t seed);
    static StreamTaker AudioIn(CDV1394* device, int channel, LONG largestPiece, uint32_t seed);

    // Takes everything the ring holds now.
    StreamTaker& Take();

    // Counts what it takes without keeping it (a benchmark's host passes data on).
    void DiscardBytes() { keepBytes_ = false; }
    const std::vector<uint8_t>& Bytes() const { return bytes_; }
    size_t Taken() const { return taken_; }
    // The bytes as 16-bit little-endian samples.
    std::vector<int16_t> Samples() const;
    const std::vector<FormatMark>& Formats() const { return formats_; }
    // Acknowledged pieces, and zero-byte answers that carried a new format.
    size_t Pieces() const { return pieces_; }

private:
    void NoteFormat(DIOFormat* format);

    Request request_;
    Acknowledge acknowledge_;
    LONG largestPiece_;
    std::mt19937 random_;
    DIOFormat* current_ = nullptr;
    size_t taken_ = 0;
    bool keepBytes_ = true;
    std::vector<uint8_t> bytes_;
    std::vector<FormatMark> formats_;
    size_t pieces_ = 0;
};

// A host thread that keeps taking from its streams until stopped (or paused).
class HostThread {
public:
    explicit HostThread(std::vector<StreamTaker*> takers);
    ~HostThread();
    HostThread(const HostThread&) = delete;
    HostThread& operator=(const HostThread&) = delete;

    void Pause(bool paused) { paused_ = paused; }
    // Stops the thread, then takes what is left.
    void StopAndDrain();

private:
    std::vector<StreamTaker*> takers_;
    std::atomic<bool> stop_{false};
    std::atomic<bool> paused_{false};
    std::thread thread_;
};

}  // namespace capture_test
