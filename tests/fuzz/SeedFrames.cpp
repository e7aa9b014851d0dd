#include "SeedFrames.h"

#include "digitalio/DIOFifo.h"
#include "digitalio/DV25Timecode.h"
#include "digitalio/DV25audioReshuffler.h"
#include "digitalio/DVFrame.h"
#include "hostcore/BitMask.h"
#include "hostcore/Timecode.h"

#include <memory>

namespace fuzz {

namespace {

std::vector<uint8_t> FrameWithAudio(DIO_VideoFormat standard, DIO_AudioFormat rate, ULONG frameNumber) {
    const size_t size = standard == DIO_PAL ? kDVFrameSizePAL : kDVFrameSizeNTSC;
    std::unique_ptr<unsigned char[]> frame(DVFrame().GenTestPatternFrame(standard, frameNumber));
    std::vector<unsigned char> memory[4];
    DIOFifo rings[4];
    DIOFifo* array[4];
    BitMask mask(4);
    for (int c = 0; c < 4; ++c) {
        memory[c].resize(8192);
        for (size_t i = 0; i < memory[c].size(); ++i) memory[c][i] = static_cast<unsigned char>(i * 37 + c * 101);
        rings[c].InitializeFifo(memory[c].data(), 8192, 0, 0, false, false, "Seed", false);
        rings[c].WriteBytesInto(memory[c].data(), 8192, false);
        array[c] = &rings[c];
        mask.SetBit(c, 1);
    }
    DV25audioReshuffler reshuffler(rate, standard);
    reshuffler.SetIsAudioLocked(frameNumber % 2 == 0);
    reshuffler.ReShuffleAudio(frame.get(), frameNumber, &mask, array);
    const timecodeDesc_t desc = standard == DIO_PAL ? TCCreateDesc(0, 25) : TCCreateDesc(1, 30);
    DV25Timecode().InsertTimecode(frame.get(), TCCreateDur(static_cast<LONG>(frameNumber * 1799), &desc), standard,
                                  false);
    return std::vector<uint8_t>(frame.get(), frame.get() + size);
}

}  // namespace

std::vector<std::vector<uint8_t>> Seeds() {
    std::vector<std::vector<uint8_t>> seeds;
    for (DIO_VideoFormat standard : {DIO_NTSC, DIO_PAL}) {
        const size_t size = standard == DIO_PAL ? kDVFrameSizePAL : kDVFrameSizeNTSC;
        std::unique_ptr<unsigned char[]> black(DVFrame().GenBlackFrame(standard));
        seeds.emplace_back(black.get(), black.get() + size);
        ULONG n = 1;
        for (DIO_AudioFormat rate : {DIO_Audio48000, DIO_Audio44100, DIO_Audio32000}) {
            seeds.push_back(FrameWithAudio(standard, rate, n));
            n += 3;
        }
    }
    return seeds;
}

}  // namespace fuzz
