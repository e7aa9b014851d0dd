// Filling the card's playback ring before the output starts, and the number of frames
// a print with both output streams is to send.
#include "device/CDV1394.h"
#include "queues/DV1394AudioOutput.h"
#include "queues/DV1394VideoOutput.h"

#include <algorithm>

namespace {

constexpr LONG kMaxPreload = 25;
constexpr int kCardFull = 28;

LONG VideoFrames(DV1394VideoOutput* queue) {
    return queue != nullptr ? static_cast<LONG>(std::min<ULONG>(queue->GetNumFramesInQueue(), kMaxPreload)) : 0;
}

LONG AudioFrames(DV1394AudioOutput* queue) {
    return queue != nullptr ? std::clamp<LONG>(queue->GetNumFramesInQueue(), 0, kMaxPreload) : 0;
}

}  // namespace

bool CDV1394::PreloadVideo() {
    m_nPreloadedFrames = VideoFrames(m_pVideoOut);
    BeginKordexPlayback();
    return PreloadFrames();
}

bool CDV1394::PreloadAudio() {
    m_nPreloadedFrames = AudioFrames(m_pAudioOut);
    BeginKordexPlayback();
    return PreloadFrames();
}

bool CDV1394::PreloadAudioAndVideo() {
    BeginKordexPlayback();
    m_nPreloadedFrames = std::min(VideoFrames(m_pVideoOut), AudioFrames(m_pAudioOut));
    return PreloadFrames();
}

bool CDV1394::PreloadFrames() {
    bool result = true;
    const LONG frames = m_nPreloadedFrames.load();
    for (LONG i = 0; i < frames; ++i)
        if (NumFramesInDVDriver() <= kCardFull) result = QueueAFrame();
    return result;
}

void CDV1394::DetermineNumOutputFrames() {
    const LONG audio = m_pAudioOut != nullptr ? m_pAudioOut->GetNumFramesExpected() : -1;
    const LONG video = m_pVideoOut != nullptr ? static_cast<LONG>(m_pVideoOut->GetNumFramesExpected()) : 0;
    // One video frame held over the length of the audio.
    m_nNumOutputFrames = audio != -1 && video == 1 ? audio : video;
}
