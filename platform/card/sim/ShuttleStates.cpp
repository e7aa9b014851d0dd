#include "sim/ShuttleStates.h"

#include "KDXCORE.h"
#include "KordexDDC.h"

namespace cardsim {

LONG ShuttleStateForSpeed(LONG speed) {
    if (speed == 0) return DDC_STATE_PLAYBACK_PAUSE;
    if (speed > 0) {
        if (speed <= 20) return DDC_STATE_1_10;
        if (speed <= 40) return DDC_STATE_1_5;
        if (speed <= 60) return DDC_STATE_X1;
        if (speed <= 80) return DDC_STATE_X2;
        return DDC_STATE_X20;
    }
    if (speed >= -19) return DDC_STATE_REV_1_10;
    if (speed >= -39) return DDC_STATE_REV_1_5;
    if (speed >= -59) return DDC_STATE_REV_X1;
    if (speed >= -79) return DDC_STATE_REV_X2;
    return DDC_STATE_REV_X20;
}

bool ShuttleStateForDeckCode(LONG code, LONG* state) {
    switch (code) {
    case PDV_DECK_STILL: *state = DDC_STATE_PLAYBACK_PAUSE; return true;
    case PDV_DECK_FORWARD_1_10: *state = DDC_STATE_1_10; return true;
    case PDV_DECK_FORWARD_1_5: *state = DDC_STATE_1_5; return true;
    case PDV_DECK_FORWARD_X1: *state = DDC_STATE_X1; return true;
    case PDV_DECK_FORWARD_X2: *state = DDC_STATE_X2; return true;
    case PDV_DECK_FORWARD_X20: *state = DDC_STATE_X20; return true;
    case PDV_DECK_REVERSE_1_10: *state = DDC_STATE_REV_1_10; return true;
    case PDV_DECK_REVERSE_1_5: *state = DDC_STATE_REV_1_5; return true;
    case PDV_DECK_REVERSE_X1: *state = DDC_STATE_REV_X1; return true;
    case PDV_DECK_REVERSE_X2: *state = DDC_STATE_REV_X2; return true;
    case PDV_DECK_REVERSE_X20: *state = DDC_STATE_REV_X20; return true;
    default: return false;
    }
}

}  // namespace cardsim
