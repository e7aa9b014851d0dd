// The deck states a shuttle request moves to, from the deck-control library's speed
// (-100 .. 100) or from the card's deck codes.
#pragma once

#include "windows.h"

namespace cardsim {

// 0 still; 1..20 1/10, 21..40 1/5, 41..60 x1, 61..80 x2, 81 and above x20; the same
// bands below zero in reverse.
LONG ShuttleStateForSpeed(LONG speed);
// PDV_DECK_STILL and the ten shuttle codes; false for any other code.
bool ShuttleStateForDeckCode(LONG code, LONG* state);

}  // namespace cardsim
