#include "DvFrameFacts.h"

#include "DvFile.h"

#include "digitalio/DV25Timecode.h"
#include "digitalio/dv25/AudioBlockReader.h"
#include "digitalio/dv25/AudioSourcePack.h"

#include <cstdio>

DvFrameFacts ReadFrameFacts(const uint8_t* frame, size_t size) {
    DvFrameFacts facts;
    facts.standard = HeaderStandard(frame, size);
    if (facts.standard == DIO_NoVideoFormat || FrameSizeOf(facts.standard) > size) return facts;

    // The readers size their work from the header, which this frame fills.
    unsigned char* bytes = const_cast<unsigned char*>(frame);
    DV25Timecode reader;
    TimeCode record{};
    bool dropFrame = false;
    if (reader.GetTimecode(bytes, &record, &dropFrame) && record.hours != kTimeCodeFieldAbsent &&
        record.minutes != kTimeCodeFieldAbsent && record.seconds != kTimeCodeFieldAbsent &&
        record.frames != kTimeCodeFieldAbsent) {
        facts.hasTimecode = true;
        facts.timecode = record;
        facts.dropFrame = facts.standard == DIO_NTSC && dropFrame;
    }

    dv25::AudioSource source;
    if (dv25::FindAudioSource(frame, facts.standard, &source)) {
        facts.audioRate = source.rate;
        facts.audioChannels = dv25::ChannelsOf(source.quantization);
        facts.audioBits = source.quantization == dv25::Quantization::NonLinear12 ? 12 : 16;
        facts.samples = source.samples;
        facts.audioReadable = dv25::AudioBlockIdsValid(frame, facts.standard);
    }
    facts.hasRecordingDate = dv25::FindRecordingDateTime(frame, facts.standard, &facts.recorded);
    facts.recordingStart = dv25::IsRecordingStart(frame, facts.standard);
    return facts;
}

std::string RecordingDateText(const dv25::RecordingDateTime& when) {
    char text[48];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", when.year, when.month, when.day, when.hour,
                  when.minute, when.second);
    return text;
}

int TimecodeRateOf(DIO_VideoFormat standard) {
    return standard == DIO_PAL ? 25 : standard == DIO_NTSC ? 30 : 0;
}

int SampleRateOf(DIO_AudioFormat rate) {
    switch (rate) {
    case DIO_Audio48000: return 48000;
    case DIO_Audio44100: return 44100;
    case DIO_Audio32000: return 32000;
    default: return 0;
    }
}

DIO_AudioFormat AudioFormatOfRate(int hertz) {
    switch (hertz) {
    case 48000: return DIO_Audio48000;
    case 44100: return DIO_Audio44100;
    case 32000: return DIO_Audio32000;
    default: return DIO_NoAudioFormat;
    }
}

std::string StandardName(DIO_VideoFormat standard) {
    return standard == DIO_NTSC ? "NTSC" : standard == DIO_PAL ? "PAL" : "unknown";
}

timecode_t FrameTimecode(const DvFrameFacts& facts) {
    const timecodeDesc_t desc = TCCreateDesc(facts.dropFrame ? 1 : 0,
                                             static_cast<unsigned short>(facts.standard == DIO_PAL ? 25 : 30));
    if (!facts.hasTimecode) return TCCreateDur(kTCEmptyFrameCount, &desc);
    return TCConstruct(0, static_cast<short>(facts.timecode.hours), static_cast<short>(facts.timecode.minutes),
                       static_cast<short>(facts.timecode.seconds), static_cast<short>(facts.timecode.frames), &desc);
}
