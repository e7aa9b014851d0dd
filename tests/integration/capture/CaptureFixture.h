// A device in a fresh simulated world, set up the way a capturing host sets it up, and
// the means to drive the simulated deck frame by frame while the capture thread runs.
//
// Most tests stop the simulator's clock: frames then arrive only when the test lets
// frame periods pass, and the test waits (with a generous deadline, never a fixed
// sleep) until the capture thread has taken them. What the thread took is read from
// the simulator's journal of card calls, which is safe from any thread.
#pragma once

#include "support/DeviceFixture.h"

#include "KDXCORE.h"
#include "interface/ControlIds.h"
#include "digitalio/DIOTypes.h"
#include "hostcore/BitMask.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace capture_test {

// A mask of `bits` bits with the given channels set.
BitMask Channels(int bits, std::initializer_list<int> selected);

// The input streams, as bits of a set.
enum Stream { kVideoIn = 1, kVideoConfidence = 2, kAudioIn = 4, kAllStreams = 7 };
enum class Step { Arm, Start, Pause, Terminate };

class CaptureFixture : public DeviceFixture {
protected:
    // Opens the card session through the host interface (the adapter query).
    void OpenSession();
    // Switches the device to `standard` through the device-format control.
    void UseStandard(DIO_VideoFormat standard);
    // Lets time pass until exactly `periods` more frames reached the card (the deck
    // must be showing pictures: playing, paused or in slow motion).
    void PassFrames(int periods, DIO_VideoFormat standard = DIO_NTSC);

    // Card frames the capture thread has released (the last PdvSetCapturedFrame index).
    LONG FramesReleased();
    // Waits until the thread has released `count` frames.
    bool WaitForReleased(LONG count);
    // Lets `periods` frames arrive, a few at a time, each time waiting until the thread
    // took them.
    void FeedFrames(int periods, DIO_VideoFormat standard = DIO_NTSC);
    // Waits until the thread, with no frame pending, polls the card again: it then
    // sits in its wait for the next frame.
    bool WaitForIdlePoll();

    // Negotiates, sizes and prepares the rings of `streams` as a host does (page and
    // block size 4096): `frames` frames each, AudioIn 3888 bytes a frame for `channels`.
    void Prepare(int streams, LONG frames, const BitMask& channels = Channels(2, {0, 1}),
                 LONG frameSize = kDVFrameSizeNTSC);
    // Takes each of `steps` on every one of `streams`, expecting success; a step that
    // does not return stops the test (see Bounded).
    void Do(std::initializer_list<Step> steps, int streams);

    // Controls read and set as a host does.
    LONG ControlLong(LONG id);
    TimecodeDiscontinuity BreakRecord();
    std::string LastError();
    void SetStartTimecode(LONG frameCount, bool dropFrame = true, DWORD rate = 30);

    // A journal entry number after which later queries look (keeps scans short).
    uint64_t journalMark_ = 0;

private:
    LONG released_ = 0;
};

}  // namespace capture_test
