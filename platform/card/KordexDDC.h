// The capture card's deck-control library.
//
// Plain functions over the deck on the card's 1394 port; each returns a DDCError_t,
// DDC_NoError on success. Every call before DevInitialize (or after DevUnInitialize)
// returns DDC_DriverError. Safe to call from several threads; no call blocks.
//
// Common results: DDC_NoDevice while no device is connected, DDC_TapeEjected when
// the deck holds no cassette, DDC_InvalidParameter for a null pointer or an
// impossible timecode field, DDC_CommandRejected for a seek to a timecode that is not
// on the tape, DDC_TapeProtected for a record on a write-protected cassette.
//
// Timecodes are four LONG fields: hours, minutes, seconds, frames. A field of -1
// means unknown (blank tape, or an edit point never set).
#pragma once

#include "DDCError.h"
#include "windows.h"

// Raw transport states (DevGetState, DevReceiveAsyncState).
enum DDCDeckState : LONG {
    DDC_STATE_MIN = 0,
    DDC_STATE_EJECT = 1,  // no cassette
    DDC_STATE_STOP = 2,
    DDC_STATE_FAST_FORWARD = 3,
    DDC_STATE_REWIND = 4,
    DDC_STATE_RECORD = 5,
    DDC_STATE_RECORD_PAUSE = 6,
    DDC_STATE_PLAYBACK = 7,
    DDC_STATE_CUE = 8,
    DDC_STATE_REVIEW = 9,
    DDC_STATE_PLAYBACK_PAUSE = 10,
    DDC_STATE_FRAME = 11,
    DDC_STATE_1_5 = 12,
    DDC_STATE_X2 = 13,
    DDC_STATE_REV_PLAYBACK_PAUSE = 14,
    DDC_STATE_1_10 = 15,
    DDC_STATE_X1 = 16,
    DDC_STATE_X20 = 17,
    DDC_STATE_REV_FRAME = 18,
    DDC_STATE_REV_1_10 = 19,
    DDC_STATE_REV_1_5 = 20,
    DDC_STATE_REV_X1 = 21,
    DDC_STATE_REV_X2 = 22,
    DDC_STATE_REV_X20 = 23,
    DDC_STATE_NO_DEVICE = 32766,
    DDC_STATE_INVALID = 65535,
};

// Characters (with the terminator) that DevUnitInfo's texts need at most.
constexpr LONG DDC_UNIT_TEXT_LENGTH = 48;

extern "C" {

DDCError_t DevInitialize();
DDCError_t DevUnInitialize();

// Transport. Each command takes the deck's mechanical time; meanwhile the state
// queries answer DDC_DeviceInTransition. A new command replaces one in transition.
DDCError_t DevPlay();
DDCError_t DevStop();
DDCError_t DevPause();
DDCError_t DevFF();
DDCError_t DevRewind();
DDCError_t DevStepForwardAFrame();
DDCError_t DevStepBackAFrame();
DDCError_t DevEject();
DDCError_t DevRecord();
// Shuttle speed: 0 still, 1..20 1/10, 21..40 1/5, 41..60 x1, 61..80 x2, 81 and above
// x20; negative speeds the same in reverse. Speed 0 on a stopped deck is rejected.
DDCError_t DevShuttle(LONG speed);

// Winds to the frame carrying the timecode and parks in playback pause on it.
DDCError_t DevSeekToTimecode(LONG hours, LONG minutes, LONG seconds, LONG frames);

// The library's stored edit points. -1 in every field clears a point; a point never
// set reads as -1 in every field.
DDCError_t DevSetIn(LONG hours, LONG minutes, LONG seconds, LONG frames);
DDCError_t DevSetOut(LONG hours, LONG minutes, LONG seconds, LONG frames);
DDCError_t DevGetIn(LONG* hours, LONG* minutes, LONG* seconds, LONG* frames);
DDCError_t DevGetOut(LONG* hours, LONG* minutes, LONG* seconds, LONG* frames);

// The timecode under the head; -1 fields on blank tape. `timeoutMs` bounds how long
// the library may wait for the deck (the simulated deck answers at once).
DDCError_t DevGetTimecode(LONG* hours, LONG* minutes, LONG* seconds, LONG* frames, LONG timeoutMs);
// The raw state (DDCDeckState). Without a device the state reads DDC_STATE_NO_DEVICE
// and the result is DDC_NoError, so that a host can tell "no device" from a failure.
DDCError_t DevGetState(LONG* state);
// Rate in hundredths of a frame per second (2997 or 2500) and the drop-frame flag of
// the material under the head.
DDCError_t DevGetFrameRate(unsigned char* dropFrame, LONG* rate);
// Unit type (4: tape recorder), vendor id, vendor text and model text. `*length` is
// the size of each text buffer; at most *length - 1 characters and a terminator are
// written.
DDCError_t DevUnitInfo(LONG* unitType, LONG* vendorId, char* vendorText, char* modelText, LONG* length);

// Asynchronous pairs: one pending request of each kind. Asking while one is pending
// gives DDC_DeviceBusy; receiving before the deck answered gives DDC_CommandPending;
// receiving with nothing asked gives DDC_CommandRejected. Receiving consumes the
// request, cancelling drops it.
DDCError_t DevAskForTCAsync();
DDCError_t DevReceiveAsyncTC(LONG* hours, LONG* minutes, LONG* seconds, LONG* frames);
DDCError_t DevCancelAsyncTCRequest();
DDCError_t DevAskForStateAsync();
DDCError_t DevReceiveAsyncState(LONG* state);
DDCError_t DevCancelAsyncStateRequest();

}  // extern "C"
