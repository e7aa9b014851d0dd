#include "deck/ShuttleSpeed.h"

#include "KDXCORE.h"

namespace dv1394 {

LONG ShuttleSpeedToDeckCode(LONG speed) {
    if (speed == 0) return PDV_DECK_STILL;
    if (speed > 80) return PDV_DECK_FORWARD_X20;
    if (speed > 60) return PDV_DECK_FORWARD_X2;
    if (speed > 40) return PDV_DECK_FORWARD_X1;
    if (speed > 20) return PDV_DECK_FORWARD_1_5;
    if (speed > 0) return PDV_DECK_FORWARD_1_10;
    if (speed > -20) return PDV_DECK_REVERSE_1_10;
    if (speed > -40) return PDV_DECK_REVERSE_1_5;
    if (speed > -60) return PDV_DECK_REVERSE_X1;
    if (speed > -80) return PDV_DECK_REVERSE_X2;
    return PDV_DECK_REVERSE_X20;
}

}  // namespace dv1394
