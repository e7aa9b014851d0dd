// Fuzz target: deshuffling an arbitrary frame into rings that may be too small.
#include "FuzzFrameInput.h"

#include "digitalio/DIOFifo.h"
#include "digitalio/DV25audioDeshuffler.h"
#include "hostcore/BitMask.h"

#include <cstdlib>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    dv25fuzz::FuzzFrame frame = dv25fuzz::FrameFromInput(data, size);
    // The last input byte picks the channels and whether the rings hold a whole frame.
    const uint8_t choice = size > 0 ? data[size - 1] : 0;
    const unsigned ringBytes = (choice & 0x80) != 0 ? 3000 : 8192;
    std::vector<std::vector<unsigned char>> memory(6, std::vector<unsigned char>(ringBytes));
    std::vector<DIOFifo> rings(6);
    DIOFifo* array[6];
    BitMask mask(6);
    for (int c = 0; c < 6; ++c) {
        rings[c].InitializeFifo(memory[c].data(), ringBytes, 0, 0, false, false, "Fuzz", false);
        array[c] = &rings[c];
        if ((choice >> c) & 1) mask.SetBit(c, 1);
    }
    ULONG samples = 0;
    const LONG result = DV25audioDeshuffler().DeShuffleAudio(frame.bytes.get(), &mask, array, &samples);
    for (int c = 0; c < 6; ++c) {
        const ULONG depth = rings[c].GetQDepth();
        // All or nothing, and only selected channels, each with the frame's samples.
        const ULONG expected = (result == 0 && mask.GetBit(c) != 0) ? samples * 2 : 0;
        if (depth != expected) std::abort();
    }
    if (result == 0 && (samples < 1053 || samples > 1944)) std::abort();
    return 0;
}
