// Format negotiation: describing the device's formats to the host, taking a format
// from the host and re-dimensioning the device to it, and recognising the format of
// each captured DV frame.
#include "device/CDV1394.h"
#include "device/DefaultFormat.h"
#include "digitalio/DV25audioDeshuffler.h"
#include "interface/FormatKeywords.h"
#include "queues/DV1394AudioInput.h"
#include "queues/DV1394AudioOutput.h"
#include "queues/DV1394VideoInput.h"
#include "queues/DV1394VideoOutput.h"

#include <cstring>
#include <new>

using namespace dv1394;

namespace {

// Keyword values are read into a 20-byte buffer (19 characters and the terminator).
using KeywordValue = char[20];

void WriteAudioKeywords(DIOFormat* format, DIO_AudioFormat audio) {
    if (format == nullptr) return;
    format->SetKeywordParameter(kKeywordAudioSampleRate, SampleRateKeywordValue(audio));
    format->SetKeywordParameter(kKeywordAudioSampleSize, SampleSizeKeywordValue(audio));
}

void WriteVideoKeyword(DIOFormat* format, DIO_VideoFormat video) {
    if (format == nullptr) return;
    format->SetKeywordParameter(kKeywordVideoSignal, VideoSignalKeywordValue(video));
}

bool IsDeviceKeyword(LONG keyword) {
    return keyword == kKeywordVideoSignal || keyword == kKeywordVideoCompression ||
           keyword == kKeywordAudioSampleRate || keyword == kKeywordAudioSampleSize;
}

bool StreamIsLive(VDMDeviceState state) {
    return state == VDMArmed || state == VDMRunning;
}

}  // namespace

bool CDV1394::ListFormats(DIOFormat* format) {
    if (format == nullptr) return false;
    const int count = format->NumParameters();
    if (count == 0) return false;
    for (int i = 0; i < count; ++i) {
        LONG keyword = 0;
        KeywordValue value = "";
        if (!format->GetNthParameter(i, &keyword, value)) {
            format->SetKeywordParameter(keyword, "");
            continue;
        }
        if (keyword == kKeywordVideoSignal) format->SetKeywordParameter(keyword, "NTSC,PAL");
        else if (keyword == kKeywordVideoCompression) format->SetKeywordParameter(keyword, kVideoCompressionDV25);
        else if (keyword == kKeywordAudioSampleRate) format->SetKeywordParameter(keyword, "32000,44100,48000");
        else if (keyword == kKeywordAudioSampleSize) format->SetKeywordParameter(keyword, "16");
    }
    return true;
}

bool CDV1394::GetVideoFormat(DIOFormat* format, DIO_VideoFormat* video) {
    DIO_VideoFormat found = DIO_NoVideoFormat;
    if (video != nullptr) *video = found;
    KeywordValue value = "";
    if (format == nullptr || !format->GetKeywordParameter(kKeywordVideoSignal, value)) return false;
    found = VideoFormatFromKeywordValue(value);
    if (video != nullptr) *video = found;
    return true;
}

bool CDV1394::GetAudioFormat(DIOFormat* format, DIO_AudioFormat* audio) {
    DIO_AudioFormat found = DIO_NoAudioFormat;
    if (audio != nullptr) *audio = found;
    KeywordValue value = "";
    if (format == nullptr || !format->GetKeywordParameter(kKeywordAudioSampleRate, value)) return false;
    found = AudioFormatFromKeywordValue(value);
    if (audio != nullptr) *audio = found;
    return true;
}

// Replacing buffers and shufflers under a running capture or record thread would free
// memory that thread is using, so a format change waits until no stream is armed or
// running and nothing is being sent to the card.
bool CDV1394::FormatChangeIsSafe() const {
    // A command the record thread is finishing (the end of a print) is waited for.
    if (!OutputSettled()) return false;
    if (m_pVideoIn != nullptr && StreamIsLive(m_pVideoIn->GetState())) return false;
    if (m_pVideoConfidence != nullptr && StreamIsLive(m_pVideoConfidence->GetState())) return false;
    if (m_pAudioIn != nullptr && StreamIsLive(m_pAudioIn->GetState())) return false;
    if (m_pVideoOut != nullptr && StreamIsLive(m_pVideoOut->GetState())) return false;
    if (m_pAudioOut != nullptr && StreamIsLive(m_pAudioOut->GetState())) return false;
    return true;
}

bool CDV1394::UpdateFormat(DIOFormat* format, bool* videoChanged) {
    if (videoChanged != nullptr) *videoChanged = false;
    if (format == nullptr) return false;

    DIO_VideoFormat video = DIO_NoVideoFormat;
    bool videoPending = false;
    if (GetVideoFormat(format, &video)) {
        if (video == DIO_NoVideoFormat) return false;
        videoPending = video != m_eVideoFormat.load();
    }
    DIO_AudioFormat audio = DIO_NoAudioFormat;
    const bool hasAudio = GetAudioFormat(format, &audio);
    if (hasAudio && audio == DIO_NoAudioFormat) return false;
    const bool audioPending = hasAudio && (audio != m_eAudioFormatIn.load() || audio != m_eAudioFormatOut.load());
    if ((videoPending || audioPending) && !FormatChangeIsSafe()) return false;

    if (audioPending) {
        m_eAudioFormatIn = audio;
        m_eAudioFormatOut = audio;
        if (m_pAudioIn != nullptr) m_pAudioIn->SetAudioFormat(audio);
        if (m_pAudioOut != nullptr) m_pAudioOut->SetAudioFormat(audio, m_eVideoFormat.load());
        CreateSilentReshuffler();
        WriteAudioKeywords(m_pDeviceFormat, audio);
    }
    if (videoPending) {
        m_eVideoFormat = video;
        WriteVideoKeyword(m_pDeviceFormat, video);
        ApplyVideoStandard(video);
    }
    if (videoChanged != nullptr) *videoChanged = videoPending;
    return true;
}

bool CDV1394::UpdateFormats(DIOFormat* captureFormat, DIOFormat* printFormat, bool* videoChanged) {
    if (videoChanged != nullptr) *videoChanged = false;
    if (captureFormat == nullptr && printFormat == nullptr) return false;
    if (!FormatChangeIsSafe()) return false;

    // The value read last is the one applied.
    DIO_VideoFormat video = m_eVideoFormat.load();
    bool videoPending = false;
    for (DIOFormat* format : {captureFormat, printFormat}) {
        DIO_VideoFormat read = DIO_NoVideoFormat;
        if (!GetVideoFormat(format, &read)) continue;
        if (read == DIO_NoVideoFormat) return false;
        if (read != m_eVideoFormat.load()) {
            videoPending = true;
            video = read;
        }
    }

    DIO_AudioFormat audio = DIO_NoAudioFormat;
    if (GetAudioFormat(captureFormat, &audio)) {
        if (audio == DIO_NoAudioFormat) return false;
        if (audio != m_eAudioFormatIn.load()) {
            m_eAudioFormatIn = audio;
            if (m_pAudioIn != nullptr) m_pAudioIn->SetAudioFormat(audio);
            WriteAudioKeywords(m_pCaptureFormat, audio);
        }
    }
    if (GetAudioFormat(printFormat, &audio)) {
        if (audio == DIO_NoAudioFormat) return false;
        if (audio != m_eAudioFormatOut.load()) {
            m_eAudioFormatOut = audio;
            if (m_pAudioOut != nullptr) m_pAudioOut->SetAudioFormat(audio, m_eVideoFormat.load());
            CreateSilentReshuffler();
            WriteAudioKeywords(m_pPrintFormat, audio);
        }
    }

    if (videoPending) {
        m_eVideoFormat = video;
        WriteVideoKeyword(m_pCaptureFormat, video);
        WriteVideoKeyword(m_pPrintFormat, video);
        ApplyVideoStandard(video);
    }
    if (videoChanged != nullptr) *videoChanged = videoPending;
    return true;
}

void CDV1394::ApplyVideoStandard(DIO_VideoFormat video) {
    delete[] m_pOutputFrameBuffer;
    m_pOutputFrameBuffer = nullptr;
    const ULONG frameSize = video == DIO_PAL ? kDVFrameSizePAL : kDVFrameSizeNTSC;
    if (m_pVideoOut != nullptr) m_pVideoOut->SetFrameSize(frameSize);
    // Card slots and the black frame are a PAL frame's size, so that a frame of either
    // standard can be copied through the assembly buffer without a bounds question.
    m_pOutputFrameBuffer = new (std::nothrow) BYTE[kDVFrameSizePAL]();
    if (m_pVideoIn != nullptr) m_pVideoIn->SetFrameSize(static_cast<LONG>(frameSize));
    if (m_pVideoConfidence != nullptr) m_pVideoConfidence->SetFrameSize(static_cast<LONG>(frameSize));
    ConstructBlackFrame();
    CreateSilentReshuffler();
    if (m_pAudioOut != nullptr) m_pAudioOut->SetAudioFormat(m_eAudioFormatOut.load(), video);
}

unsigned char CDV1394::CopyDIOFormat(DIOFormat* destination, DIOFormat* source) {
    if (destination == nullptr || source == nullptr) return 0;
    int count = destination->NumParameters();
    if (count == 0 && destination->MaxParameters() >= 3) {
        for (LONG keyword : {kKeywordVideoSignal, kKeywordVideoCompression, kKeywordAudioSampleRate,
                             kKeywordAudioSampleSize})
            destination->SetKeywordParameter(keyword, "");
        count = 4;
    }
    for (int i = 0; i < count; ++i) {
        LONG keyword = 0;
        KeywordValue value = "";
        if (!destination->GetNthParameter(i, &keyword, value)) continue;
        if (!IsDeviceKeyword(keyword)) {
            destination->SetKeywordParameter(keyword, "");
            return 0;
        }
        if (source->GetKeywordParameter(keyword, value)) destination->SetKeywordParameter(keyword, value);
    }
    return 1;
}

void CDV1394::GetFormats(unsigned char* frame, DIO_AudioFormat* audio, DIO_VideoFormat* video) {
    DIO_AudioFormat readAudio = DIO_NoAudioFormat;
    DIO_VideoFormat readVideo = DIO_NoVideoFormat;
    DV25audioDeshuffler deshuffler;
    if (frame == nullptr || deshuffler.GetRateAndSampsFromASPak(frame, &readAudio, &readVideo) != 0) {
        readAudio = DIO_NoAudioFormat;
        readVideo = DIO_NoVideoFormat;
    }
    if (audio != nullptr) *audio = readAudio;
    if (video != nullptr) *video = readVideo;
}

int CDV1394::DetectAndProcessFormatChange(unsigned char* frame, DIO_AudioFormat* audio, DIO_VideoFormat* video) {
    DIO_AudioFormat a = DIO_NoAudioFormat;
    DIO_VideoFormat v = DIO_NoVideoFormat;
    GetFormats(frame, &a, &v);
    if (a == DIO_NoAudioFormat || v == DIO_NoVideoFormat) {
        *audio = DIO_NoAudioFormat;
        *video = DIO_NoVideoFormat;
        return 1;
    }
    const bool changed = a != *audio || v != *video;
    // The previous frame's format was unknown: the first frame after a start, or one
    // after an unreadable frame. The host is told the material does not run on.
    const bool breakFlag = *audio == DIO_NoAudioFormat || *video == DIO_NoVideoFormat;
    *audio = a;
    *video = v;
    // Every frame, not only at a change: a stream that joined a capture already under
    // way gets its first format record with its first frame.
    if (m_pVideoIn != nullptr) m_pVideoIn->DeliverFormat(a, v, changed, breakFlag);
    if (m_pAudioIn != nullptr) m_pAudioIn->DeliverFormat(a, v, changed, breakFlag);
    return changed ? 2 : 0;
}
