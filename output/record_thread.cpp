// The record thread: it runs the output commands and feeds the card while printing.
#include "CDV1394.h"

void CDV1394::EndRecordThread() {}  // Not built yet: does nothing.
