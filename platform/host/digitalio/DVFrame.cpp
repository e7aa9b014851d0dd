#include "digitalio/DVFrame.h"

#include "digitalio/DV25Timecode.h"
#include "digitalio/dv25/AudioBlockWriter.h"
#include "digitalio/dv25/DifLayout.h"
#include "digitalio/dv25/FrameSkeleton.h"
#include "digitalio/dv25/TestPattern.h"
#include "digitalio/dv25/VideoBlocks.h"
#include "hostcore/Timecode.h"

#include <cstring>
#include <new>

namespace {

// Every generated frame is allocated at the larger standard's size, so a reader that
// takes it for the other standard still stays inside the buffer; the tail past an
// NTSC frame is 0xFF, which no reader accepts as a block.
unsigned char* AllocateFrame(DIO_VideoFormat standard) {
    if (dv25::SequencesIn(standard) == 0) return nullptr;
    unsigned char* frame = new (std::nothrow) unsigned char[kDVFrameSizePAL];
    if (frame != nullptr) std::memset(frame, 0xFF, kDVFrameSizePAL);
    return frame;
}

// Silent 48 kHz audio with the first frame's sample count, as a generated frame
// carries until someone reshuffles real audio into it.
void WriteSilence(unsigned char* frame, DIO_VideoFormat standard) {
    const uint32_t samples = standard == DIO_PAL ? 1920 : 1600;
    const dv25::AudioFrameContent silence{standard, DIO_Audio48000, dv25::Quantization::Linear16, samples, true,
                                          {nullptr, nullptr, nullptr, nullptr}};
    dv25::WriteAudioBlocks(frame, silence);
}

template <typename MacroblockOf>
unsigned char* GenerateFrame(DIO_VideoFormat standard, MacroblockOf macroblockOf) {
    unsigned char* frame = AllocateFrame(standard);
    if (frame == nullptr) return nullptr;
    dv25::WriteFrameSkeleton(frame, standard);
    const int sequences = dv25::SequencesIn(standard);
    for (int s = 0; s < sequences; ++s) {
        for (int v = 0; v < dv25::kVideoBlocksPerSequence; ++v) {
            dv25::WriteFlatMacroblock(frame + dv25::VideoBlockOffset(s, v), macroblockOf(s, v));
        }
    }
    WriteSilence(frame, standard);
    return frame;
}

}  // namespace

DVFrame::DVFrame() = default;
DVFrame::~DVFrame() = default;

unsigned char* DVFrame::GenBlackFrame(DIO_VideoFormat standard) {
    unsigned char* frame = GenerateFrame(standard, [](int, int) { return dv25::kBlackMacroblock; });
    if (frame == nullptr) return nullptr;
    // A decoder expects a timecode where it looks first; the black frame says
    // 00:00:00:00 (drop-frame counting in 525/60, as consumer recorders do) until the
    // frame is stamped with the real one.
    const timecodeDesc_t desc = standard == DIO_NTSC ? TCCreateDesc(1, 30) : TCCreateDesc(0, 25);
    DV25Timecode().InsertTimecode(frame, TCCreateDur(0, &desc), standard, false);
    return frame;
}

unsigned char* DVFrame::GenTestPatternFrame(DIO_VideoFormat standard, ULONG frameNumber) {
    return GenerateFrame(standard, [standard, frameNumber](int s, int v) {
        return dv25::TestPatternMacroblock(standard, s, v, frameNumber);
    });
}
