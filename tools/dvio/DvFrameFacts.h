// What one DV25 frame says about itself: its standard, its timecode and its audio.
#pragma once

#include "digitalio/DIOTypes.h"
#include "digitalio/dv25/RecordingPacks.h"
#include "hostcore/Timecode.h"

#include <cstddef>
#include <cstdint>
#include <string>

struct DvFrameFacts {
    DIO_VideoFormat standard = DIO_NoVideoFormat;  // from the header block
    bool hasTimecode = false;  // a timecode pack with all four fields readable
    TimeCode timecode = {0, 0, 0, 0};
    bool dropFrame = false;    // the pack's drop-frame flag (525/60 only)
    bool audioReadable = false;  // a source pack and audio blocks a deshuffler accepts
    DIO_AudioFormat audioRate = DIO_NoAudioFormat;
    int audioChannels = 0;     // 2 (16-bit) or 4 (12-bit, 32 kHz)
    int audioBits = 0;         // 16 or 12
    uint32_t samples = 0;      // per channel in this frame
    bool hasRecordingDate = false;  // the recorder's wall-clock stamp (REC DATE/TIME packs)
    dv25::RecordingDateTime recorded;
    bool recordingStart = false;    // REC ST: the first frame of a recording
};

// Reads the facts of a frame of `size` bytes. A frame whose header declares more bytes
// than `size` is read as far as it goes: only its header is trusted then.
DvFrameFacts ReadFrameFacts(const uint8_t* frame, size_t size);

// "YYYY-MM-DD HH:MM:SS".
std::string RecordingDateText(const dv25::RecordingDateTime& when);

// Frames per second of the standard's timecode (30 or 25; 0 for none).
int TimecodeRateOf(DIO_VideoFormat standard);
// 48000, 44100, 32000 or 0.
int SampleRateOf(DIO_AudioFormat rate);
DIO_AudioFormat AudioFormatOfRate(int hertz);
// "NTSC", "PAL" or "unknown".
std::string StandardName(DIO_VideoFormat standard);

// The frame's timecode as a host timecode: 30 fps (drop-frame as the pack says) or
// 25 fps; the empty timecode when the frame has none.
timecode_t FrameTimecode(const DvFrameFacts& facts);
