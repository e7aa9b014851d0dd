// Raw DV files: one DV25 frame after another, each 120000 (525/60) or 144000 (625/50)
// bytes, sized by its own header block.
#pragma once

#include "FrameWriter.h"

#include "digitalio/DIOTypes.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

// The standard a frame's header block declares, as the host library reads it, or
// DIO_NoVideoFormat when the first block is not a DV header block of sequence 0.
DIO_VideoFormat HeaderStandard(const uint8_t* frame, size_t size);
size_t FrameSizeOf(DIO_VideoFormat standard);

class DvFileReader {
public:
    // Damaged: the bytes where a frame should begin are not a DV header, but a frame's
    // worth of them follows the frames before: as a deck plays past a dropout, they
    // are handed out as a frame of the size before them (Problem() says where).
    enum class Result { Frame, Damaged, End, Truncated, NotDv, ReadError };

    DvFileReader() = default;
    ~DvFileReader();
    DvFileReader(const DvFileReader&) = delete;
    DvFileReader& operator=(const DvFileReader&) = delete;

    // False with a sentence in *error when the file cannot be opened.
    bool Open(const std::string& path, std::string* error);
    // The next frame into *frame (resized to the frame's size). Truncated: the file ends
    // inside a frame; NotDv: the bytes at the frame's offset are not a DV header block.
    Result Next(std::vector<uint8_t>* frame);
    // Byte offset of the frame Next returns next.
    uint64_t Offset() const { return offset_; }
    // Frames returned so far.
    int64_t Index() const { return index_; }
    // A sentence about the last result that was not a Frame.
    std::string Problem() const { return problem_; }

private:
    std::FILE* file_ = nullptr;
    std::string path_;
    uint64_t offset_ = 0;
    int64_t index_ = 0;
    std::string problem_;
    size_t lastSize_ = 0;  // the size of the last frame with a readable header
};

// Writes whole frames to a raw .dv file, or to standard output for the path "-". A
// failed write never leaves part of a frame behind in a file: it is cut back to its
// last whole frame. Frames of any layout follow one another in one file.
class DvFileWriter : public FrameWriter {
public:
    DvFileWriter() = default;
    ~DvFileWriter() override;
    DvFileWriter(const DvFileWriter&) = delete;
    DvFileWriter& operator=(const DvFileWriter&) = delete;

    bool Open(const std::string& path, std::string* error) override;
    bool Write(const uint8_t* frame, size_t size, std::string* error);
    // Closes; false with a sentence when the data did not reach the file.
    bool Close(std::string* error) override;

    bool Takes(const DvFrameFacts&) const override { return true; }
    bool WriteFrame(const uint8_t* frame, size_t size, const DvFrameFacts&, std::string* error) override {
        return Write(frame, size, error);
    }
    uint64_t MediaBytes() const override { return bytes_; }
    bool IsOpen() const { return fd_ >= 0; }
    int64_t Frames() const { return frames_; }
    const std::string& Path() const { return path_; }
    bool ToStandardOutput() const { return path_ == "-"; }

private:
    int fd_ = -1;
    std::string path_;
    int64_t frames_ = 0;
    uint64_t bytes_ = 0;  // the whole frames written
};
