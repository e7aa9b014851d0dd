// Queue parameters of the input queues, behind the device's statistics controls.
#include "capture/DV1394AudioInput.h"
#include "capture/DV1394VideoInput.h"

#include <cstring>

namespace {

constexpr LONG kParamOverruns = 0x70001;
constexpr LONG kParamErrors = 0xb00001;
constexpr LONG kParamMeasurement = 0xb10002;
constexpr LONG kParamAudioOverruns = 0xb10003;

bool ReadCounter(const std::atomic<LONG>& counter, void* value) {
    if (value == nullptr) return false;
    const LONG read = counter.load();
    std::memcpy(value, &read, sizeof read);
    return true;
}

bool WriteCounter(std::atomic<LONG>& counter, const void* value) {
    if (value == nullptr) return false;
    LONG written;
    std::memcpy(&written, value, sizeof written);
    counter.store(written);
    return true;
}

}  // namespace

bool DV1394VideoInput::GetParameter(LONG id, void* value) const {
    if (id == kParamOverruns) return ReadCounter(m_nOverruns, value);
    if (id == kParamErrors) return ReadCounter(m_nErrors, value);
    return false;  // 0xb10001 is known but has no value; anything else is not ours
}

bool DV1394VideoInput::SetParameter(LONG id, const void* value) {
    if (id == kParamOverruns) return WriteCounter(m_nOverruns, value);
    if (id == kParamErrors) return WriteCounter(m_nErrors, value);
    return false;
}

bool DV1394AudioInput::GetParameter(LONG id, void* value) const {
    if (id == kParamErrors) return ReadCounter(m_nErrors, value);
    if (id == kParamAudioOverruns) return ReadCounter(m_nOverruns, value);
    if (id == kParamMeasurement) {
        if (value == nullptr) return false;
        // Frames, samples, then the start time's low and high halves. The host may see
        // the words of two different measurements; each word is whole.
        const __int64 start = m_llLastStart.load();
        const LONG words[4] = {m_nLastFrames.load(), m_nLastSamples.load(),
                               static_cast<LONG>(static_cast<uint64_t>(start) & 0xFFFFFFFFu),
                               static_cast<LONG>(static_cast<uint64_t>(start) >> 32)};
        std::memcpy(value, words, sizeof words);
        return true;
    }
    return false;  // 0xb10001 is known but has no value; anything else is not ours
}

bool DV1394AudioInput::SetParameter(LONG id, const void* value) {
    if (id == kParamErrors) return WriteCounter(m_nErrors, value);
    if (id == kParamAudioOverruns) return WriteCounter(m_nOverruns, value);
    return false;
}
