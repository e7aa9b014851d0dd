#include "sim/TapeMaterial.h"

#include "sim/DVFrameLayout.h"
#include "sim/SubcodeTimecode.h"
#include "sim/TapeLabel.h"

#include <vector>

namespace cardsim {

bool TapeMaterial::TimecodeAt(int64_t position, TapeTimecode* timecode) const {
    std::vector<uint8_t> frame(FrameSize(DIO_PAL));
    const size_t size = ReadFrame(position, frame.data(), frame.size());
    if (size == 0) return false;
    return ReadSubcodeTimecode(frame.data(), FrameStandard(frame.data(), size), timecode);
}

int64_t TapeMaterial::GuessPosition(const TapeTimecode& label) const {
    if (Length() == 0) return -1;
    TapeTimecode first;
    if (!TimecodeAt(0, &first)) return -1;
    const DIO_VideoFormat standard = StandardAt(0);
    TapeTimecode wanted = label;
    wanted.dropFrame = first.dropFrame;
    return static_cast<int64_t>(LabelToFrameCount(wanted, standard)) - LabelToFrameCount(first, standard);
}

}  // namespace cardsim
