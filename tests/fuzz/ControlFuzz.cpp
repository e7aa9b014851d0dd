// Fuzz target: the numbered controls with any id, any buffer contents and null
// pointers. A control may write only into the buffer it was given, sized as the host
// sizes it (GetControlSize; a LONG for numbers whose size reads 0, the whole error
// text, a format record for the format controls), so ASan sees any write past it.
#include "FuzzBytes.h"
#include "SeedFrames.h"

#include "device/CDV1394.h"
#include "interface/ControlIds.h"
#include "sim/SimControl.h"

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace {

const LONG kIds[] = {kControlFramesToPrint,    kControlFrameDelay,         kControlFourCC,
                     kControl1000B,            kControlVideoOutUnderruns,  kControl30001,
                     kControlVideoInOverruns,  kControlErrorCount,         kControlLastError,
                     kControlStartTimecode,    kControlB00004,             kControlTraceSwitches,
                     kControlAVDeviceCount,    kControlDeviceFormat,       kControlFormatList,
                     kControlB0000A,           kControlLibrarySeekOnly,    kControlTrackSeekOffset,
                     kControlStartMissed,      kControlAudioInMeasurement, kControlAudioInOverruns,
                     kControlSignalPresent,    kControlTimecodeBreak,      kControlAudioOutUnderruns,
                     kControlAudioOutFramesToPrint, kControlFrameDelayOut, kControlAudioLocked};
constexpr size_t kLastErrorBytes = 256;
// Keywords a format record may carry, and one the device does not know.
const LONG kKeywords[] = {MakeFourCC('V', 'S', 'I', 'G'), MakeFourCC('V', 'C', 'M', 'P'),
                          MakeFourCC('A', 'S', 'R', 'T'), MakeFourCC('A', 'S', 'S', 'Z'),
                          MakeFourCC('X', 'Y', 'Z', 'W')};

CDV1394* Device() {
    static CDV1394* device = [] {
        cardsim::Reset();
        auto* created = new CDV1394();
        created->GetNumberHostAdapters();
        return created;
    }();
    return device;
}

// A format record of fuzzed keywords and values (short, up to the 19 characters a value holds).
DIOFormat FormatFrom(FuzzBytes& input) {
    DIOFormat format(input.Byte() % 6);
    for (int n = input.Byte() % 6; n > 0; --n) {
        const LONG keyword = kKeywords[input.Byte() % 5];
        std::string value;
        for (int length = input.Byte() % 20; length > 0; --length) value += static_cast<char>(input.Byte() | 1);
        format.SetKeywordParameter(keyword, value.c_str());
    }
    return format;
}

}  // namespace

namespace fuzz {

// Each control read, a start timecode and a trace word set, a device format set.
std::vector<std::vector<uint8_t>> Seeds() {
    std::vector<std::vector<uint8_t>> seeds;
    for (uint8_t id = 0; id < sizeof kIds / sizeof kIds[0]; ++id) seeds.push_back({3, id});
    seeds.push_back({4, 9, 0x10, 0, 0, 0, 1, 0, 0, 0, 30, 0, 0, 0, 0, 0, 0, 0});
    seeds.push_back({4, 11, 7, 0, 0, 0});
    seeds.push_back({4, 13, 4, 2, 0, 3, 'P', 'A', 'L', 2, 5, '3', '2', '0', '0', '0'});
    return seeds;
}

}  // namespace fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CDV1394* device = Device();
    FuzzBytes input(data, size);
    const uint8_t operation = input.Byte();
    const uint8_t choice = input.Byte();
    const bool known = choice < 0xC0;
    const LONG id = known ? kIds[choice % (sizeof kIds / sizeof kIds[0])] : input.Long();
    const bool null = (operation & 0x80) != 0;

    if (id == kControlDeviceFormat || id == kControlFormatList) {
        DIOFormat format = FormatFrom(input);
        void* value = null ? nullptr : &format;
        if (operation % 3 == 0) device->GetControl(id, value);
        else if (operation % 3 == 1) device->SetControl(id, value);
        else device->GetControlDefault(id, value);
        return 0;
    }
    size_t bytes = static_cast<size_t>(std::max<LONG>(device->GetControlSize(id), known ? sizeof(LONG) : 0));
    if (id == kControlLastError) bytes = kLastErrorBytes;
    // Exactly as large as the control says: one byte further is outside the allocation.
    std::unique_ptr<uint8_t[]> buffer(new uint8_t[bytes]);
    for (size_t i = 0; i < bytes; ++i) buffer[i] = input.Byte();
    void* value = null ? nullptr : buffer.get();
    switch (operation % 6) {
    case 0: device->HasControl(id); break;
    case 1: device->GetControlSize(id); break;
    case 2: device->CanSetControl(id); break;
    case 3: device->GetControl(id, value); break;
    case 4: device->SetControl(id, value); break;
    default: device->GetControlDefault(id, value); break;
    }
    return 0;
}
