// Fuzz target: reading, searching and rewriting the timecode of an arbitrary frame.
#include "FuzzFrameInput.h"

#include "digitalio/DV25Timecode.h"
#include "hostcore/Timecode.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    dv25fuzz::FuzzFrame frame = dv25fuzz::FrameFromInput(data, size);
    DV25Timecode timecode;
    TimeCode record;
    bool dropFrame = false;
    const bool found = timecode.GetTimecode(frame.bytes.get(), &record, &dropFrame);
    const bool valid = record.hours != kTimeCodeFieldAbsent;
    if (valid && (!found || record.hours > 23 || record.minutes > 59 || record.seconds > 59 || record.frames > 29)) {
        std::abort();
    }

    const timecodeDesc_t desc = TCCreateDesc(dropFrame ? 1 : 0, (frame.bytes[3] & 0x80) != 0 ? 25 : 30);
    timecode_t wanted = valid ? TCConstruct(0, static_cast<short>(record.hours), static_cast<short>(record.minutes),
                                            static_cast<short>(record.seconds), static_cast<short>(record.frames), &desc)
                              : TCCreateDur(size > 8 ? data[8] : 0, &desc);
    const bool seen = timecode.LookForTimeCode(frame.bytes.get(), &wanted, size > 9 ? data[9] % 8 : 1);
    // The value read is one of the copies, so the search finds it.
    if (valid && !seen) std::abort();

    // Rewriting stays inside the frame and, when it succeeds fully, reads back.
    const DIO_VideoFormat standard = (frame.bytes[3] & 0x80) != 0 ? DIO_PAL : DIO_NTSC;
    const timecode_t stamp = TCCreateDur(size > 10 ? data[10] * 977 : 0, &desc);
    timecode.InsertTimecode(frame.bytes.get(), stamp, standard, true);
    if (timecode.InsertTimecode(frame.bytes.get(), stamp, standard, false)) {
        timecode_t back = stamp;
        if (!timecode.LookForTimeCode(frame.bytes.get(), &back, 1)) std::abort();
    }
    return 0;
}
