// Fuzz target: the deck code that reads AV/C answers (time code and SMPTE time code
// status, absolute track number, medium info, both searches). The simulated deck
// answers as usual and the input rewrites each answer before the plug-in sees it:
// bytes replaced, the answer cut short or lengthened. Whatever comes back, the device
// must neither crash nor read outside its buffers.
#include "FuzzBytes.h"
#include "SeedFrames.h"

#include "device/CDV1394.h"
#include "interface/ControlIds.h"
#include "sim/SimControl.h"

namespace {

// One step of the input per answer: bit 7 resizes it to the low five bits; bits 0-2
// count the (offset, value) pairs that follow.
void EditAnswer(FuzzBytes& script, std::vector<uint8_t>* answer) {
    const uint8_t how = script.Byte();
    if ((how & 0x80) != 0) answer->resize(how & 0x1F, 0xFF);
    for (int edits = how & 7; edits > 0 && !answer->empty(); --edits) {
        const size_t at = script.Byte() % answer->size();
        (*answer)[at] = script.Byte();
    }
}

CDV1394* Device() {
    static CDV1394* device = [] {
        cardsim::Reset();
        // A fast clock: a search whose answer was spoilt leaves the deck moving, and the
        // track search waits in real time for it to settle.
        cardsim::SetSpeed(1000);
        auto* created = new CDV1394();
        created->GetNumberHostAdapters();  // opens the card session
        LONG traceDeck = 1;                // the trace dumps every answer as received
        created->SetControl(kControlTraceSwitches, &traceDeck);
        return created;
    }();
    return device;
}

}  // namespace

namespace fuzz {

// Unchanged answers, a rejected first or second answer, a short and a long answer.
std::vector<std::vector<uint8_t>> Seeds() {
    return {{}, {0x01, 0x00, 0x0A}, {0x00, 0x01, 0x00, 0x0A}, {0x84, 0x00, 0x83}, {0x9F, 0x01, 0x02, 0x51}};
}

}  // namespace fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CDV1394* device = Device();
    cardsim::ParkDeck(300, DDC_STATE_PLAYBACK_PAUSE);
    FuzzBytes script(data, size);
    cardsim::EditAVCAnswers([&script](std::vector<uint8_t>* answer) { EditAnswer(script, answer); });
    unsigned char dropFrame = 0;
    LONG rate = 0;
    device->DeviceGetFrameRate(&dropFrame, &rate);  // asks for the SMPTE time code
    timecode_t here;
    device->DeviceGetTimecode(&here);
    // A search elsewhere: the time code search, else the track search with the medium,
    // track number and time code queries it reckons from.
    const timecodeDesc_t desc = TCCreateDesc(dropFrame, static_cast<unsigned short>(rate));
    device->DeviceSeekToTimecode(TCCreateDur(5000, &desc));
    cardsim::EditAVCAnswers(nullptr);
    return 0;
}
