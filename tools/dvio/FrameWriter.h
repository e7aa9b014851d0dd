// Where a capture's frames go, one file at a time: a raw .dv file or a container. The
// capture's frame sink sees only this interface, so that either kind of file takes the
// DV frames exactly as they came from the device.
#pragma once

#include "DvFrameFacts.h"

#include <cstddef>
#include <cstdint>
#include <string>

class FrameWriter {
public:
    virtual ~FrameWriter() = default;

    // Creates the file (before the first frame, so that one that cannot be written is
    // found early). False with a sentence.
    virtual bool Open(const std::string& path, std::string* error) = 0;
    // Whether a frame of this layout may go into this file: a container labels its audio
    // once, so a change of sample rate or channels needs a file of its own.
    virtual bool Takes(const DvFrameFacts& facts) const = 0;
    // One whole DV frame (and, for a container, its audio). False with a sentence.
    virtual bool WriteFrame(const uint8_t* frame, size_t size, const DvFrameFacts& facts, std::string* error) = 0;
    // Finishes the file; false with a sentence when its data did not reach it.
    virtual bool Close(std::string* error) = 0;
    // Bytes of media written so far (a container's headers and index come on top).
    virtual uint64_t MediaBytes() const = 0;
};
