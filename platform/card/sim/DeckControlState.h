// What the deck-control library keeps between calls: whether it is initialised, one
// pending asynchronous request of each kind with the answer it will give, and the
// stored In and Out points. Not locked: the world's lock guards it.
#pragma once

#include "DDCError.h"
#include "sim/SimTime.h"
#include "windows.h"

namespace cardsim {

struct AsyncRequest {
    bool pending = false;
    SimTime readyAt = 0;
    DDCError_t error = DDC_NoError;
    LONG values[4] = {-1, -1, -1, -1};
};

struct EditPoint {
    LONG fields[4] = {-1, -1, -1, -1};  // hours, minutes, seconds, frames; -1: not set
};

struct DeckControlState {
    bool initialized = false;
    AsyncRequest timecodeRequest;
    AsyncRequest stateRequest;
    EditPoint in;
    EditPoint out;
};

}  // namespace cardsim
