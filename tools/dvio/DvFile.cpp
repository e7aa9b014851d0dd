#include "DvFile.h"

#include "digitalio/dv25/DifLayout.h"

#include <cerrno>
#include <cstring>

namespace {

constexpr size_t kBlockSize = dv25::kBlockSize;

std::string SystemReason() { return std::strerror(errno); }

}  // namespace

DIO_VideoFormat HeaderStandard(const uint8_t* frame, size_t size) {
    if (frame == nullptr || size < kBlockSize) return DIO_NoVideoFormat;
    return dv25::StandardOfFrame(frame);
}

size_t FrameSizeOf(DIO_VideoFormat standard) {
    return standard == DIO_PAL ? kDVFrameSizePAL : standard == DIO_NTSC ? kDVFrameSizeNTSC : 0;
}

DvFileReader::~DvFileReader() {
    if (file_ != nullptr) std::fclose(file_);
}

bool DvFileReader::Open(const std::string& path, std::string* error) {
    path_ = path;
    file_ = std::fopen(path.c_str(), "rb");
    if (file_ == nullptr) {
        *error = "cannot read " + path + ": " + SystemReason();
        return false;
    }
    return true;
}

DvFileReader::Result DvFileReader::Next(std::vector<uint8_t>* frame) {
    if (file_ == nullptr) {
        problem_ = "no file is open";
        return Result::ReadError;
    }
    uint8_t header[kBlockSize];
    const size_t got = std::fread(header, 1, kBlockSize, file_);
    if (got == 0) {
        if (std::ferror(file_)) {
            problem_ = "reading " + path_ + " failed: " + SystemReason();
            return Result::ReadError;
        }
        return Result::End;
    }
    const DIO_VideoFormat standard = HeaderStandard(header, got);
    if (got < kBlockSize) {
        problem_ = path_ + " ends " + std::to_string(got) + " bytes into frame " + std::to_string(index_) +
                   " (byte offset " + std::to_string(offset_) + ")";
        return Result::Truncated;
    }
    if (standard == DIO_NoVideoFormat) {
        problem_ = "byte offset " + std::to_string(offset_) + " of " + path_ + " (frame " + std::to_string(index_) +
                   ") is not the start of a DV frame";
        return Result::NotDv;
    }
    const size_t size = FrameSizeOf(standard);
    frame->resize(size);
    std::memcpy(frame->data(), header, kBlockSize);
    const size_t rest = std::fread(frame->data() + kBlockSize, 1, size - kBlockSize, file_);
    if (rest < size - kBlockSize) {
        if (std::ferror(file_)) {
            problem_ = "reading " + path_ + " failed: " + SystemReason();
            return Result::ReadError;
        }
        problem_ = path_ + " ends " + std::to_string(kBlockSize + rest) + " bytes into frame " +
                   std::to_string(index_) + " of " + std::to_string(size) + " bytes (byte offset " +
                   std::to_string(offset_) + ")";
        return Result::Truncated;
    }
    offset_ += size;
    ++index_;
    return Result::Frame;
}

DvFileWriter::~DvFileWriter() {
    if (file_ != nullptr) std::fclose(file_);
}

bool DvFileWriter::Open(const std::string& path, std::string* error) {
    path_ = path;
    frames_ = 0;
    file_ = std::fopen(path.c_str(), "wb");
    if (file_ == nullptr) {
        *error = "cannot write " + path + ": " + SystemReason();
        return false;
    }
    return true;
}

bool DvFileWriter::Write(const uint8_t* frame, size_t size, std::string* error) {
    if (file_ == nullptr) {
        *error = "cannot write " + path_ + ": it is not open";
        return false;
    }
    if (std::fwrite(frame, 1, size, file_) != size) {
        *error = "writing " + path_ + " failed: " + SystemReason();
        return false;
    }
    ++frames_;
    return true;
}

bool DvFileWriter::Close(std::string* error) {
    if (file_ == nullptr) return true;
    const bool flushed = std::fflush(file_) == 0;
    const std::string reason = flushed ? "" : SystemReason();
    const bool closed = std::fclose(file_) == 0;
    file_ = nullptr;
    if (!flushed || !closed) {
        *error = "writing " + path_ + " failed: " + (flushed ? SystemReason() : reason);
        return false;
    }
    return true;
}
