// Tape queries over AV/C and the writability probe.
#include "CDV1394.h"

void CDV1394::SetAVWritableFlag() {}  // Not built yet: does nothing.
