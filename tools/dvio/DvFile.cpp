#include "DvFile.h"

#include "OutputDescriptor.h"

#include "digitalio/dv25/DifLayout.h"

#include <unistd.h>

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
        if (lastSize_ == 0) return Result::NotDv;
    }
    const bool damaged = standard == DIO_NoVideoFormat;
    const size_t size = damaged ? lastSize_ : FrameSizeOf(standard);
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
    if (damaged) return Result::Damaged;
    lastSize_ = size;
    return Result::Frame;
}

DvFileWriter::~DvFileWriter() {
    if (fd_ >= 0 && !ToStandardOutput()) close(fd_);
}

bool DvFileWriter::Open(const std::string& path, std::string* error) {
    path_ = path;
    frames_ = 0;
    bytes_ = 0;
    if (ToStandardOutput()) {
        fd_ = outputdescriptor::StandardOutput();
        return true;
    }
    fd_ = outputdescriptor::Create(path);
    if (fd_ < 0) {
        *error = "cannot write " + path + ": " + SystemReason();
        return false;
    }
    return true;
}

bool DvFileWriter::Write(const uint8_t* frame, size_t size, std::string* error) {
    const std::string name = ToStandardOutput() ? "standard output" : path_;
    if (fd_ < 0) {
        *error = "cannot write " + name + ": it is not open";
        return false;
    }
    size_t done = 0;
    while (done < size) {
        const ssize_t n = write(fd_, frame + done, size - done);
        if (n > 0) {
            done += static_cast<size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        const std::string reason = n < 0 ? SystemReason() : "nothing was written";
        *error = "writing " + name + " failed: " + reason;
        // A file keeps whole frames only; a pipe has taken what it took.
        if (!ToStandardOutput() && done > 0) {
            if (outputdescriptor::CutBack(fd_, bytes_))
                *error += "; the file was cut back to its last whole frame (" + std::to_string(frames_) + " frames)";
            else
                *error += "; cutting the file back to its last whole frame failed too: " + SystemReason();
        }
        return false;
    }
    bytes_ += size;
    ++frames_;
    return true;
}

bool DvFileWriter::Close(std::string* error) {
    if (fd_ < 0) return true;
    if (ToStandardOutput()) {
        fd_ = -1;
        return true;
    }
    const int result = close(fd_);
    fd_ = -1;
    if (result != 0) {
        *error = "writing " + path_ + " failed: " + SystemReason();
        return false;
    }
    return true;
}
