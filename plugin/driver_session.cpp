// The card session: the card driver and the deck-control library, opened together on
// first use and closed together.
#include "CDV1394.h"

void CDV1394::UnInitializeKordex() {}  // Not built yet: does nothing.

void CDV1394::DeviceUnInitialize() {
    m_bSeekPending = 0;
    // The record thread lives exactly while the deck-control library is open.
    if (m_bDDCInitialized != 0) EndRecordThread();
    UnInitializeKordex();
}
