// Queue parameters of the output queues, behind the device's print controls.
#include "output/DV1394AudioOutput.h"
#include "output/DV1394VideoOutput.h"

#include <cstring>

namespace {

constexpr LONG kParamFramesToPrint = 8;
constexpr LONG kParamUnderrunRecord = 0x20005;
constexpr LONG kParamErrors = 0xb00001;
constexpr LONG kParamAudioUnderruns = 0xb20001;
constexpr LONG kParamAudioFramesToPrint = 0xb20003;
constexpr LONG kParamAudioLocked = 0xb20006;

template <typename T>
bool Read(const std::atomic<T>& counter, void* value) {
    if (value == nullptr) return false;
    const T read = counter.load();
    std::memcpy(value, &read, sizeof read);
    return true;
}

template <typename T>
bool Write(std::atomic<T>& counter, const void* value) {
    if (value == nullptr) return false;
    T written;
    std::memcpy(&written, value, sizeof written);
    counter.store(written);
    return true;
}

}  // namespace

bool DV1394VideoOutput::GetParameter(LONG id, void* value) const {
    if (id == kParamErrors) return Read(m_nErrors, value);
    if (id == kParamUnderrunRecord) {
        if (value == nullptr) return false;
        const ULONG record[4] = {m_nUnderruns.load(), m_aUnderrunInfo[0], m_aUnderrunInfo[1], m_aUnderrunInfo[2]};
        std::memcpy(value, record, sizeof record);
        return true;
    }
    return false;  // frames to print can be set, not read
}

bool DV1394VideoOutput::SetParameter(LONG id, const void* value) {
    if (id == kParamFramesToPrint) return Write(m_nFramesExpected, value);
    if (id == kParamUnderrunRecord) {
        if (value == nullptr) return false;
        ULONG record[4];
        std::memcpy(record, value, sizeof record);
        m_nUnderruns.store(record[0]);
        std::memcpy(m_aUnderrunInfo, record + 1, sizeof m_aUnderrunInfo);
        return true;
    }
    return false;
}

bool DV1394AudioOutput::GetParameter(LONG id, void* value) const {
    if (id == kParamErrors) return Read(m_nErrors, value);
    if (id == kParamAudioUnderruns) return Read(m_nUnderruns, value);
    return false;
}

bool DV1394AudioOutput::SetParameter(LONG id, const void* value) {
    if (id == kParamErrors) return Write(m_nErrors, value);
    if (id == kParamAudioUnderruns) return Write(m_nUnderruns, value);
    if (id == kParamAudioFramesToPrint) return Write(m_nFramesExpected, value);
    if (id == kParamAudioLocked) {
        if (value == nullptr || m_pReshuffler == nullptr) return false;
        m_pReshuffler->SetIsAudioLocked(*static_cast<const unsigned char*>(value) != 0);
        return true;
    }
    return false;
}
