// Assembling one output frame: video from the VideoOut ring (or the black frame), audio
// from the AudioOut rings (or silence), the running timecode, and the hand-over to the
// card's playback ring. The first frame of a print is preceded by a silent still of
// itself shown from one field, the lead-in the deck records from.
#include "device/CDV1394.h"
#include "KDXCORE.h"
#include "queues/DV1394AudioOutput.h"
#include "queues/DV1394VideoOutput.h"

#include <cstring>

namespace {

constexpr char kCopyError[] = "DV output device copy error";
constexpr char kTrackSelectionError[] = "DV output device track selection error";
constexpr int kCardNearlyDry = 2;
constexpr ULONG kDifSequenceBytes = 12000;
constexpr BYTE kSourceControlPack = 0x61;

}  // namespace

ULONG CDV1394::OutputFrameSize() const {
    switch (m_eVideoFormat.load()) {
    case DIO_NTSC: return kDVFrameSizeNTSC;
    case DIO_PAL: return kDVFrameSizePAL;
    default: return 0;
    }
}

bool CDV1394::QueueABlipFrame() {
    return true;
}

bool CDV1394::QueueAFrame() {
    const LONG base = m_nPlaybackFrameBase.load();
    const LONG sent = m_nFramesSentToDriver.load();
    BYTE* target = sent == 0 && m_pOutputFrameBuffer != nullptr ? m_pOutputFrameBuffer
                                                                 : PdvGetPlaybackFrameAddr(base + sent);
    TracePlayback("PdvGetPlaybackFrameAddr\n");
    if (target == nullptr || m_pVideoOut == nullptr || m_pAudioOut == nullptr) {
        SetLastErrorText(kCopyError);
        RecordThreadErrors();
        return false;
    }
    auto copyError = [this](bool video) {
        SetLastErrorText(kCopyError);
        if (video) m_pVideoOut->CountError();
        else m_pAudioOut->CountError();
        return false;
    };

    bool result = true;
    switch (m_nOutputDevices.load()) {
    case 1:  // audio only, over the black frame
        if (m_pAudioOut->GetNumFramesInQueue() >= 1) {
            if (!CopyBlackFrame(target)) return copyError(false);
            m_pAudioOut->ShuffleIntoFrame(target);  // a short channel counts its own underrun
        } else {
            if (NumFramesInDVDriver() > kCardNearlyDry) return true;
            m_pAudioOut->CountUnderrun();
            if (!CopyBlackFrame(target)) return copyError(false);
            ShuffleSilence(target);
            result = false;
        }
        break;
    case 2:  // video only, with silence
        if (m_pVideoOut->CopyFrameOut(target)) {
            if (!ShuffleSilence(target)) {
                SetLastErrorText(kCopyError);
                m_pVideoOut->CountError();
                result = false;
            }
        } else {
            if (NumFramesInDVDriver() > kCardNearlyDry) return true;
            m_pVideoOut->CountUnderrun();
            return false;
        }
        break;
    case 3: {
        const bool haveAudio = m_pAudioOut->GetNumFramesInQueue() >= 1;
        const bool haveVideo = m_pVideoOut->GetNumFramesInQueue() >= 1;
        if (haveAudio && haveVideo) {
            if (!m_pVideoOut->CopyFrameOut(target)) return copyError(true);
            if (!m_pAudioOut->ShuffleIntoFrame(target)) return copyError(false);
            break;
        }
        if (NumFramesInDVDriver() > kCardNearlyDry) return true;
        if (!haveVideo) {
            // Without a picture nothing is queued: the card shows its last frame.
            m_pVideoOut->CountUnderrun();
            if (!haveAudio) m_pAudioOut->CountUnderrun();
            return false;
        }
        m_pAudioOut->CountUnderrun();
        if (!m_pVideoOut->CopyFrameOut(target)) return copyError(true);
        if (!ShuffleSilence(target)) return copyError(false);
        result = false;
        break;
    }
    default:
        SetLastErrorText(kTrackSelectionError);
        RecordThreadErrors();
        return false;
    }

    EnterCriticalSection(&m_csCaptureThreadTimecode);
    const timecode_t stamp = m_tcRecord;
    m_tcRecord = TCAdd(m_tcRecord, 1);
    LeaveCriticalSection(&m_csCaptureThreadTimecode);
    m_DV25Timecode.InsertTimecode(target, stamp, m_eVideoFormat.load(), false);

    if (sent != 0) {
        m_nFramesSentToDriver = sent + 1;
        PdvSetPlaybackFrame(base + sent + 1);
        TracePlayback("PdvSetPlaybackFrame\n");
        return result;
    }

    // The first frame: the real frame goes to slot base + 1, and a silent still of it,
    // with the same timecode, to slot base ahead of it.
    const ULONG size = OutputFrameSize();
    const bool severalFrames = static_cast<ULONG>(m_nNumOutputFrames.load()) > 1;
    if (severalFrames) {
        BYTE* next = PdvGetPlaybackFrameAddr(base + 1);
        if (next != nullptr && next != target) std::memcpy(next, target, size);
    }
    ShuffleSilence(target);
    SetFieldMode(target, 1);
    BYTE* first = PdvGetPlaybackFrameAddr(base);
    if (first != nullptr && first != target) std::memcpy(first, target, size);
    PdvSetPlaybackFrame(base + 1);
    if (severalFrames) {
        PdvSetPlaybackFrame(base + 2);
        m_bExtraFrameQueued = true;
        // The lead-in is one frame more to send.
        if (m_nNumOutputFrames.load() != -1) m_nNumOutputFrames.fetch_add(1);
        m_nFramesSentToDriver = 2;
    } else {
        m_bExtraFrameQueued = false;
        m_nFramesSentToDriver = 1;
    }
    TracePlayback("PdvSetPlaybackFrame\nPdvSetPlaybackFrame\n");
    return result;
}

unsigned char CDV1394::CopyBlackFrame(BYTE* destination) {
    const ULONG size = OutputFrameSize();
    if (size == 0 || m_pBlackFrame == nullptr || destination == nullptr) return 0;
    std::memcpy(destination, m_pBlackFrame, size);
    return 1;
}

bool CDV1394::SetFieldMode(BYTE* frame, int mode) {
    // The source control pack of every DIF sequence: its fourth byte carries the still
    // field flags; mode 1 makes the deck show the still from one field.
    const int sequences = m_eVideoFormat.load() == DIO_NTSC ? 10 : 12;
    for (int sequence = 0; sequence < sequences; ++sequence) {
        BYTE* pack = frame + kDifSequenceBytes * sequence + (sequence % 2 == 0 ? 453 : 248);
        if (pack[0] != kSourceControlPack) return false;
        pack[3] = static_cast<BYTE>((pack[3] & 0x1F) | (mode == 1 ? 0x40 : 0));
    }
    return true;
}
