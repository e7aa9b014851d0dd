#include "sim/TapeLabel.h"

#include "hostcore/Timecode.h"

namespace cardsim {

namespace {
timecodeDesc_t DescFor(DIO_VideoFormat standard, bool dropFrame) {
    const bool drop = dropFrame && standard != DIO_PAL;
    return TCCreateDesc(drop ? 1 : 0, static_cast<unsigned short>(TimecodeRate(standard)));
}
}  // namespace

int TimecodeRate(DIO_VideoFormat standard) { return standard == DIO_PAL ? 25 : 30; }

bool IsValidLabel(const TapeTimecode& label, DIO_VideoFormat standard) {
    if (label.hours < 0 || label.hours > 23 || label.minutes < 0 || label.minutes > 59 || label.seconds < 0 ||
        label.seconds > 59 || label.frames < 0 || label.frames >= TimecodeRate(standard))
        return false;
    if (label.dropFrame && standard != DIO_PAL && label.seconds == 0 && label.frames < 2 && label.minutes % 10 != 0)
        return false;
    return true;
}

LONG LabelToFrameCount(const TapeTimecode& label, DIO_VideoFormat standard) {
    const timecodeDesc_t desc = DescFor(standard, label.dropFrame);
    return TCConstruct(0, static_cast<short>(label.hours), static_cast<short>(label.minutes),
                       static_cast<short>(label.seconds), static_cast<short>(label.frames), &desc)
        .frameCount;
}

TapeTimecode LabelFromFrameCount(LONG count, DIO_VideoFormat standard, bool dropFrame) {
    const timecodeDesc_t desc = DescFor(standard, dropFrame);
    short h = 0, m = 0, s = 0, f = 0;
    TCDeconstruct(TCAddModDay(TCCreateDur(0, &desc), count), nullptr, &h, &m, &s, &f);
    TapeTimecode t;
    t.hours = h;
    t.minutes = m;
    t.seconds = s;
    t.frames = f;
    t.dropFrame = desc.dropFrame != 0;
    return t;
}

TapeTimecode ShiftLabel(const TapeTimecode& label, DIO_VideoFormat standard, LONG frames) {
    return LabelFromFrameCount(LabelToFrameCount(label, standard) + frames, standard, label.dropFrame);
}

}  // namespace cardsim
