// The device's numbered controls, as hosts, the plug-in's queues and the tests name
// them. The same ids serve as queue parameters: a stream's control is answered by the
// stream's queue object.
#pragma once

#include "windows.h"

enum ControlId : LONG {
    kControlFramesToPrint = 8,            // VideoOut: frames the host will print (set only)
    kControlFrameDelay = 18,
    kControlFourCC = 0x10001,
    kControl1000B = 0x1000b,
    kControlVideoOutUnderruns = 0x20005,  // VideoOut underrun record
    kControl30001 = 0x30001,
    kControlVideoInOverruns = 0x70001,
    kControlErrorCount = 0xb00001,        // per stream: errors
    kControlLastError = 0xb00002,         // the last error text
    kControlStartTimecode = 0xb00003,
    kControlB00004 = 0xb00004,
    kControlTraceSwitches = 0xb00005,     // bit 0 deck control, bit 1 capture, bit 2 playback
    kControlAVDeviceCount = 0xb00007,
    kControlDeviceFormat = 0xb00008,
    kControlFormatList = 0xb00009,
    kControlB0000A = 0xb0000a,
    kControlLibrarySeekOnly = 0xb0000b,
    kControlTrackSeekOffset = 0xb0000c,
    kControlStartMissed = 0xb10001,
    kControlAudioInMeasurement = 0xb10002,
    kControlAudioInOverruns = 0xb10003,
    kControlSignalPresent = 0xb10005,
    kControlTimecodeBreak = 0xb10006,
    kControlAudioOutUnderruns = 0xb20001,
    kControlAudioOutFramesToPrint = 0xb20003,
    kControlFrameDelayOut = 0xb20005,
    kControlAudioLocked = 0xb20006,
};
