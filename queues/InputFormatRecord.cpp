// Format records as the input queues write them.
#include "queues/InputFormatRecord.h"

#include "interface/FormatKeywords.h"

namespace dv1394 {

void FillFormatRecord(DIOFormat* record, DIO_AudioFormat audio, DIO_VideoFormat video) {
    record->SetKeywordParameter(kKeywordVideoSignal, VideoSignalKeywordValue(video));
    record->SetKeywordParameter(kKeywordVideoCompression, kVideoCompressionDV25);
    record->SetKeywordParameter(kKeywordAudioSampleRate, SampleRateKeywordValue(audio));
}

void MarkChange(DIOFormat* record, bool breakFlag) {
    record->SetFormatChange(true);
    if (breakFlag) record->SetFormatChangeBreak(true);
}

void MarkFirst(DIOFormat* record) {
    record->SetFormatChange(false);
    record->SetFormatChangeBreak(false);
}

bool HoldsUntakenBytes(const DIOFifo* fifo) {
    return fifo != nullptr && fifo->IsInitialized() && fifo->GetQDepth() != 0;
}

}  // namespace dv1394
