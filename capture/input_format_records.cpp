// The input queues' side of format negotiation: the configured rate of the audio
// input, and the format records the capture thread writes into the input queues'
// format lists when the incoming material changes format.
#include "capture/DV1394AudioInput.h"
#include "capture/DV1394VideoInput.h"
#include "capture/default_format.h"

#include <new>

namespace {

void FillFormatRecord(DIOFormat* record, DIO_AudioFormat audio, DIO_VideoFormat video) {
    record->SetKeywordParameter(kKeywordVideoSignal, video == DIO_NTSC ? "NTSC" : video == DIO_PAL ? "PAL" : "UNKNOWN");
    record->SetKeywordParameter(kKeywordVideoCompression, "DV25");
    record->SetKeywordParameter(kKeywordAudioSampleRate, audio == DIO_Audio48000   ? "48000"
                                                         : audio == DIO_Audio44100 ? "44100"
                                                         : audio == DIO_Audio32000 ? "32000"
                                                                                   : "UNKNOWN");
}

// A change at a position carries the change flag and, when the material broke, the
// break flag (left alone otherwise); the first record of a list carries neither.
void MarkChange(DIOFormat* record, bool breakFlag) {
    record->SetFormatChange(true);
    if (breakFlag) record->SetFormatChangeBreak(true);
}

// The frame counters restart at every activation of the capture thread, while the
// host may still be taking what an earlier activation wrote. Starting the list afresh
// then would relabel those bytes and drop the changes still ahead of the host, so a
// ring that holds untaken bytes gets a change at its give position instead.
bool HoldsUntakenBytes(const DIOFifo* fifo) {
    return fifo != nullptr && fifo->IsInitialized() && fifo->GetQDepth() != 0;
}

}  // namespace

void DV1394VideoInput::RecordFormatChange(DIO_AudioFormat audio, DIO_VideoFormat video, bool breakFlag) {
    DIOFormat* record = nullptr;
    if (m_nFramesWritten.load() == 0 && !HoldsUntakenBytes(m_pFifo)) {
        m_FormatList.InitFormatList(&record);
        FillFormatRecord(record, audio, video);
        record->SetFormatChange(false);
        record->SetFormatChangeBreak(false);
        return;
    }
    // The ring's give position rather than frames written x frame size: the counter
    // restarts at every activation while the ring's positions run on.
    const ULONG position = m_pFifo != nullptr ? m_pFifo->GetGivePos() : 0;
    if (m_FormatList.AddFormatChange(&record, position) != 0) {
        CountOverrun();
        return;
    }
    FillFormatRecord(record, audio, video);
    MarkChange(record, breakFlag);
}

void DV1394AudioInput::SetAudioFormat(DIO_AudioFormat audio) {
    m_eAudioFormat = audio;
    delete m_pDeshuffler;
    m_pDeshuffler = new (std::nothrow) DV25audioDeshuffler;
}

void DV1394AudioInput::RecordFormatChange(DIO_AudioFormat audio, DIO_VideoFormat video, bool breakFlag) {
    const LONG channels = m_nChannels.load();
    if (channels < 1 || m_pChannels == nullptr) return;
    const bool deshuffledSinceReset = m_nFramesDeshuffled.load() != 0;
    LONG handled = 0;
    for (int index = 0; handled < channels; ++index) {
        unsigned char outOfRange = 0;
        const unsigned char selected = m_pChannels->GetBit(index, &outOfRange);
        if (outOfRange != 0) return;
        if (selected == 0) continue;
        ++handled;
        FormatList* list = index < kMaxChannels ? m_apFormatList[index] : nullptr;
        if (list == nullptr) continue;
        DIOFormat* record = nullptr;
        if (deshuffledSinceReset || HoldsUntakenBytes(m_apFifo[index])) {
            const ULONG position = m_apFifo[index] != nullptr ? m_apFifo[index]->GetGivePos() : 0;
            if (list->AddFormatChange(&record, position) != 0) {
                CountOverrun();
                return;
            }
            FillFormatRecord(record, audio, video);
            MarkChange(record, breakFlag);
        } else {
            list->InitFormatList(&record);
            FillFormatRecord(record, audio, video);
            record->SetFormatChange(false);
            record->SetFormatChangeBreak(false);
        }
    }
}
