// A device in a fresh simulated world, set up as a host that prints to tape sets it up,
// and a card clock that lets simulated time pass only while the card has a frame to
// play (or is not playing), so what reaches the tape does not depend on machine speed.
#pragma once

#include "support/DeviceFixture.h"

#include "KDXCORE.h"
#include "KordexDDC.h"
#include "hostcore/BitMask.h"
#include "interface/ControlIds.h"

#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace print_test {

using Frame = std::vector<uint8_t>;

// Host frames 1, 2, ...: test pictures that differ from frame to frame.
Frame PictureFrame(ULONG number, DIO_VideoFormat standard = DIO_NTSC);
// The two frames carry the same picture (their video blocks agree).
bool SamePicture(const Frame& a, const Frame& b);
// Samples of DV frames 1..count of the 48 kHz 525/60 cadence.
size_t SamplesOfFrames(int count);
BitMask Stereo();

// The output streams, as bits of a set, and the host's steps on them.
enum Streams { kVideo = 1, kAudio = 2, kBoth = 3 };
enum class Step { Arm, Start, Pause, Abort, Terminate };

class PrintFixture : public DeviceFixture {
protected:
    void TearDown() override;

    // Opens the card session (the adapter query); the journal starts after it.
    void OpenSession();
    void StartCardClock();
    void StopCardClock();
    // In at tape `position` (the built-in tape's timecode is its frame count), Out
    // `frames` later, the edit mode, the deck parked on In, DevicePerform. The clock
    // then stands still.
    void SetUpEdit(int mode, int64_t position, LONG frames);

    // Ring for `frames` frames, Prepare, frames to print.
    void PrepareVideo(LONG frames, LONG framesToPrint, DIO_VideoFormat standard = DIO_NTSC);
    void PrepareAudio(LONG frames, LONG framesToPrint);
    void GiveVideo(const std::vector<Frame>& frames);
    void GiveAudio(int channel, const std::vector<int16_t>& samples);
    // Pictures 1..count, given.
    std::vector<Frame> GivePictures(LONG count, DIO_VideoFormat standard = DIO_NTSC);

    // Takes `step` on VideoOut, then AudioOut, of `streams`, expecting `result`.
    void Do(int streams, Step step, unsigned char result = 1);
    // The answer of one stream's step; a step that does not return stops the test.
    unsigned char Take(Streams stream, Step step);

    void SetStartTimecode(LONG frameCount);
    LONG ControlLong(LONG id);
    std::string LastError();
    bool WaitForPlayed(LONG count);
    // Indices the card was told frames are ready up to, in order.
    static std::vector<int64_t> ReadyMarks();
    static Frame TapeFrame(int64_t position);
    static LONG CardState();

private:
    LONG FramesMarkedReady();  // the clock thread's reading of the journal

    std::thread clock_;
    std::atomic<bool> stopClock_{false};
    uint64_t readyMark_ = 0;
    LONG ready_ = 0;
};

}  // namespace print_test
