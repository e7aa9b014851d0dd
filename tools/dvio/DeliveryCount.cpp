#include "DeliveryCount.h"

namespace {

// No DV25 frame carries more samples per channel than this (625/50 at 48 kHz, with
// the cadence's largest share).
constexpr int64_t kMostSamplesInAFrame = 1944;

}  // namespace

void DeliveryCount::Offer(LONG frames, LONG samples, const std::vector<uint32_t>& counts) {
    if (frames < 1 || samples < 0 || static_cast<size_t>(frames) > counts.size()) return;
    int64_t rest = 0;
    for (LONG i = 1; i < frames; ++i) rest += counts[static_cast<size_t>(i)];
    const int64_t first = samples - rest;
    const bool plausible = first >= 0 && first <= kMostSamplesInAFrame;
    if (plausible && !agreed_ && last_ && last_->frames != frames && last_->first == first) agreed_ = first;
    last_ = Reading{frames, samples, first, rest};
}

std::optional<int64_t> DeliveryCount::Guess() const {
    if (agreed_) return agreed_;
    if (last_ && last_->first >= 0 && last_->first <= kMostSamplesInAFrame) return last_->first;
    return std::nullopt;
}

bool DeliveryCount::Mismatch(LONG* frames, int64_t* delivered, int64_t* carried) const {
    if (!last_ || !agreed_) return false;
    *frames = last_->frames;
    *delivered = last_->samples;
    *carried = *agreed_ + last_->rest;
    return *delivered != *carried;
}
