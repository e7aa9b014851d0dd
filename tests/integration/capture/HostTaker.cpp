#include "HostTaker.h"

#include "OracleSupport.h"
#include "device/DefaultFormat.h"

#include <chrono>
#include <cstring>

using namespace dv1394;

namespace capture_test {

StreamTaker::StreamTaker(Request request, Acknowledge acknowledge, LONG largestPiece, uint32_t seed)
    : request_(std::move(request)), acknowledge_(std::move(acknowledge)), largestPiece_(largestPiece), random_(seed) {}

StreamTaker StreamTaker::VideoIn(CDV1394* device, LONG largestPiece, uint32_t seed) {
    return StreamTaker([device](LONG n, void** d, DIOFormat** f) { return device->ReqVideoInTakePtr(n, d, f); },
                       [device](LONG n) { device->AckVideoInTakePtr(n); }, largestPiece, seed);
}

StreamTaker StreamTaker::VideoConfidence(CDV1394* device, LONG largestPiece, uint32_t seed) {
    return StreamTaker(
        [device](LONG n, void** d, DIOFormat** f) { return device->ReqVideoConfidenceTakePtr(n, d, f); },
        [device](LONG n) { device->AckVideoConfidenceTakePtr(n); }, largestPiece, seed);
}

StreamTaker StreamTaker::AudioIn(CDV1394* device, int channel, LONG largestPiece, uint32_t seed) {
    return StreamTaker(
        [device, channel](LONG n, void** d, DIOFormat** f) { return device->ReqAudioInTakePtr(n, d, f, channel); },
        [device, channel](LONG n) { device->AckAudioInTakePtr(n, channel); }, largestPiece, seed);
}

std::vector<int16_t> StreamTaker::Samples() const { return oracle::Pcm(bytes_); }

void StreamTaker::NoteFormat(DIOFormat* format) {
    current_ = format;
    FormatMark mark;
    mark.offset = taken_;
    if (format != nullptr) {
        char value[20] = "";
        if (format->GetKeywordParameter(kKeywordVideoSignal, value)) mark.videoSignal = value;
        value[0] = '\0';
        if (format->GetKeywordParameter(kKeywordAudioSampleRate, value)) mark.sampleRate = value;
        mark.change = format->GetFormatChange() != 0;
        mark.changeBreak = format->GetFormatChangeBreak() != 0;
    }
    formats_.push_back(mark);
}

StreamTaker& StreamTaker::Take() {
    std::uniform_int_distribution<LONG> pieceSize(1, largestPiece_);
    for (;;) {
        void* data = nullptr;
        DIOFormat* format = nullptr;
        const LONG offered = request_(pieceSize(random_), &data, &format);
        if (offered <= 0) {
            // No bytes: either the ring is empty, or a new format begins here and
            // comes first, and the host asks again.
            if (format == nullptr || format == current_) break;
            NoteFormat(format);
            ++pieces_;
            continue;
        }
        if (format != current_) NoteFormat(format);
        // Now and then a host takes less than it was offered.
        LONG taken = offered;
        if (offered > 1 && random_() % 4 == 0) taken = std::uniform_int_distribution<LONG>(1, offered)(random_);
        const auto* bytes = static_cast<const uint8_t*>(data);
        if (keepBytes_) bytes_.insert(bytes_.end(), bytes, bytes + taken);
        taken_ += static_cast<size_t>(taken);
        acknowledge_(taken);
        ++pieces_;
    }
    return *this;
}

HostThread::HostThread(std::vector<StreamTaker*> takers) : takers_(std::move(takers)) {
    thread_ = std::thread([this] {
        while (!stop_) {
            if (!paused_)
                for (StreamTaker* taker : takers_) taker->Take();
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    });
}

HostThread::~HostThread() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
}

void HostThread::StopAndDrain() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
    for (StreamTaker* taker : takers_) taker->Take();
}

}  // namespace capture_test
