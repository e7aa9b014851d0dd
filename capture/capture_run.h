// The capture thread's own state and constants, shared by the files that make up the
// thread (capture_thread.cpp, capture_delivery.cpp, capture_card_mode.cpp,
// capture_start_point.cpp). Only the capture thread touches a CaptureRun.
#pragma once

#include "CDV1394.h"

// How long the thread sleeps between two looks at the card's frame counter.
constexpr DWORD kCapturePollMs = 15;
// More frames than this captured and not yet taken: the host is not keeping up.
constexpr int kCaptureBacklogLimit = 28;
// Frames a start timecode is searched for before it counts as missed.
constexpr LONG kStartSearchFrames = 30;
// Frames dropped after a start without a start timecode, armed before the decrement of
// the frame that sees the start: audio alone, or with video.
constexpr int kStartDropAudioOnly = 6;
constexpr int kStartDropWithVideo = 7;
// WhichInputDevices* value of AudioIn alone.
constexpr int kAudioInputOnly = 2;

constexpr const char* kInputDeviceError = "DV input device error";

struct CDV1394::CaptureRun {
    bool active = false;  // every prepared input stream runs: frames may be delivered
    int skip = 0;         // frames still to drop after a start
    // Format of the last recognised frame; none after a start or an unreadable frame.
    DIO_AudioFormat trackedAudio = DIO_NoAudioFormat;
    DIO_VideoFormat trackedVideo = DIO_NoVideoFormat;
    // The reference the continuity check compares against: the start timecode, or the
    // zero timecode (all 16 bytes 0).
    timecode_t lastTimecode{};
    bool repeat = false;             // the delivered frame repeats the previous timecode
    LONG framesWaited = 0;           // frames with timecode seen while waiting for the start
    LONG counterAtActivation = 0;    // card frames (from the base) when the thread became active
    timecode_t start{{0, 0, 0}, kTCEmptyFrameCount};  // the host's start timecode, copied at activation
};
