// KDXCORE: playback mode, the playback ring, the output, synchronised record and the
// card's deck codes.
#include "KDXCORE.h"
#include "KordexDDC.h"
#include "sim/ShuttleStates.h"
#include "sim/SimCall.h"

using cardsim::SimCall;

namespace {

// Both begin calls connect the card's output to the deck's input for recording; a deck
// holding a write-protected cassette refuses that connection. This is what the
// plug-in's writability probe sees.
BOOL BeginPlayback(SimCall& call, bool applyPlayPauseMode) {
    if (call.Refused()) return call.Return<BOOL>(FALSE);
    cardsim::World& world = call.world();
    cardsim::CardDriver& card = world.card;
    if (card.IsOpen() && card.State() == PDV_STATE_IDLE && world.Connected() && world.cassette() != nullptr &&
        world.cassette()->WriteProtected())
        return call.Return<BOOL>(card.Fail(KDX_E_DEV_REJECT_SRV));
    return call.Return<BOOL>(card.BeginPlayback(world.Connected(), applyPlayPauseMode));
}

}  // namespace

extern "C" {

BOOL PdvBeginPlayback() {
    SimCall call("PdvBeginPlayback", {});
    return BeginPlayback(call, false);
}

BOOL PdvBeginPlayback2() {
    SimCall call("PdvBeginPlayback2", {});
    return BeginPlayback(call, true);
}

BOOL PdvStartPlayback() {
    SimCall call("PdvStartPlayback", {});
    if (call.Refused()) return call.Return<BOOL>(FALSE);
    cardsim::World& world = call.world();
    return call.Return<BOOL>(world.card.StartPlayback(world.faults.playbackStartRefusal));
}

BOOL PdvPausePlayback(BOOL pause) {
    SimCall call("PdvPausePlayback", {pause});
    if (call.Refused()) return call.Return<BOOL>(FALSE);
    cardsim::World& world = call.world();
    const bool ok = world.card.PausePlayback(pause != FALSE);
    if (ok && pause != FALSE) world.StopSyncRecord();
    return call.Return<BOOL>(ok);
}

BOOL PdvStopPlayback() {
    SimCall call("PdvStopPlayback", {});
    if (call.Refused()) return call.Return<BOOL>(FALSE);
    cardsim::World& world = call.world();
    const bool ok = world.card.StopPlayback();
    if (ok) world.StopSyncRecord();
    return call.Return<BOOL>(ok);
}

BOOL PdvEndPlayback() {
    SimCall call("PdvEndPlayback", {});
    if (call.Refused()) return call.Return<BOOL>(FALSE);
    cardsim::World& world = call.world();
    const bool ok = world.card.EndPlayback();
    if (ok) world.StopSyncRecord();
    return call.Return<BOOL>(ok);
}

LONG PdvGetPlaybackFrame() {
    SimCall call("PdvGetPlaybackFrame", {});
    cardsim::CardDriver& card = call.world().card;
    if (!card.RequireOpen()) return call.Return<LONG>(-1);
    if (!card.InPlaybackMode()) {
        card.Fail(KDX_E_INVALID_STATE);
        return call.Return<LONG>(-1);
    }
    return call.Return<LONG>(card.playback.Played());
}

BYTE* PdvGetPlaybackFrameAddr(LONG index) {
    SimCall call("PdvGetPlaybackFrameAddr", {index});
    if (call.Refused()) return call.Return<BYTE*>(nullptr);
    cardsim::CardDriver& card = call.world().card;
    if (!card.RequireOpen()) return call.Return<BYTE*>(nullptr);
    if (!card.InPlaybackMode()) {
        card.Fail(KDX_E_INVALID_STATE);
        return call.Return<BYTE*>(nullptr);
    }
    BYTE* slot = card.playback.Address(index);
    if (slot == nullptr) card.Fail(KDX_E_INVALID_PARAMETER);
    return call.Return(slot);
}

BOOL PdvSetPlaybackFrame(LONG index) {
    SimCall call("PdvSetPlaybackFrame", {index});
    if (call.Refused()) return call.Return<BOOL>(FALSE);
    cardsim::CardDriver& card = call.world().card;
    if (!card.RequireOpen()) return call.Return<BOOL>(FALSE);
    if (!card.InPlaybackMode()) return call.Return<BOOL>(card.Fail(KDX_E_INVALID_STATE));
    if (!card.playback.MarkReady(index)) return call.Return<BOOL>(card.Fail(KDX_E_INVALID_PARAMETER));
    return call.Return<BOOL>(TRUE);
}

LONG KDXGetPlayPauseMode() {
    SimCall call("KDXGetPlayPauseMode", {});
    cardsim::CardDriver& card = call.world().card;
    if (!card.RequireOpen()) return call.Return<LONG>(-1);
    return call.Return<LONG>(card.playPauseMode);
}

BOOL KDXSetPlayPauseMode(LONG mode) {
    SimCall call("KDXSetPlayPauseMode", {mode});
    if (call.Refused()) return call.Return<BOOL>(FALSE);
    cardsim::CardDriver& card = call.world().card;
    if (!card.RequireOpen()) return call.Return<BOOL>(FALSE);
    if (mode < KDX_PLAYPAUSE_FRAME || mode > KDX_PLAYPAUSE_ODD)
        return call.Return<BOOL>(card.Fail(KDX_E_INVALID_PARAMETER));
    card.playPauseMode = mode;
    return call.Return<BOOL>(TRUE);
}

BOOL KDXGetOutputPinState(LONG* pinOn) {
    SimCall call("KDXGetOutputPinState", {cardsim::PointerArgument(pinOn)});
    if (call.Refused()) return call.Return<BOOL>(FALSE);
    cardsim::CardDriver& card = call.world().card;
    if (!card.RequireOpen()) return call.Return<BOOL>(FALSE);
    if (pinOn == nullptr) return call.Return<BOOL>(card.Fail(KDX_E_INVALID_PARAMETER));
    *pinOn = card.outputPinOn ? 1 : 0;
    call.Output(*pinOn);
    return call.Return<BOOL>(TRUE);
}

LONG PdvGetInputChannel() {
    SimCall call("PdvGetInputChannel", {});
    cardsim::CardDriver& card = call.world().card;
    if (!card.RequireOpen()) return call.Return<LONG>(-1);
    return call.Return<LONG>(card.inputChannel);
}

BOOL PdvSetInputChannel(LONG channel) {
    SimCall call("PdvSetInputChannel", {channel});
    if (call.Refused()) return call.Return<BOOL>(FALSE);
    cardsim::CardDriver& card = call.world().card;
    if (!card.RequireOpen()) return call.Return<BOOL>(FALSE);
    if (channel < 0 || channel > 63) return call.Return<BOOL>(card.Fail(KDX_E_INVALID_PARAMETER));
    card.inputChannel = channel;
    card.outputPinOn = true;  // selecting a channel sets up the port, output included
    return call.Return<BOOL>(TRUE);
}

BOOL PdvSetSyncRecDelay(LONG frames) {
    SimCall call("PdvSetSyncRecDelay", {frames});
    if (call.Refused()) return call.Return<BOOL>(FALSE);
    cardsim::World& world = call.world();
    if (!world.card.RequireOpen()) return call.Return<BOOL>(FALSE);
    world.sync.delay = frames;
    return call.Return<BOOL>(TRUE);
}

BOOL PdvSetSyncRecPauseFlying(LONG value) {
    SimCall call("PdvSetSyncRecPauseFlying", {value});
    if (call.Refused()) return call.Return<BOOL>(FALSE);
    cardsim::World& world = call.world();
    if (!world.card.RequireOpen()) return call.Return<BOOL>(FALSE);
    world.sync.pauseFlying = value;
    return call.Return<BOOL>(TRUE);
}

BOOL PdvSetSyncRecNumFrames(LONG frames) {
    SimCall call("PdvSetSyncRecNumFrames", {frames});
    if (call.Refused()) return call.Return<BOOL>(FALSE);
    cardsim::World& world = call.world();
    if (!world.card.RequireOpen()) return call.Return<BOOL>(FALSE);
    world.sync.numFrames = frames;
    return call.Return<BOOL>(TRUE);
}

BOOL PdvSyncRecNoParam() {
    SimCall call("PdvSyncRecNoParam", {});
    if (call.Refused()) return call.Return<BOOL>(FALSE);
    cardsim::World& world = call.world();
    cardsim::CardDriver& card = world.card;
    if (!card.RequireOpen()) return call.Return<BOOL>(FALSE);
    if (card.State() != PDV_STATE_PLAYBACK_OPEN) return call.Return<BOOL>(card.Fail(KDX_E_INVALID_STATE));
    if (!world.Connected()) return call.Return<BOOL>(card.Fail(KDX_E_NO_DEVICE_CONNECTED));
    if (world.faults.playbackStartRefusal != 0) return call.Return<BOOL>(card.Fail(world.faults.playbackStartRefusal));
    if (!world.ArmSyncRecord()) return call.Return<BOOL>(card.Fail(KDX_E_DEV_REJECT_SRV));
    return call.Return<BOOL>(card.StartPlayback(0));
}

BOOL PdvDeckControl(LONG code) {
    SimCall call("PdvDeckControl", {code});
    if (call.Refused()) return call.Return<BOOL>(FALSE);
    cardsim::World& world = call.world();
    cardsim::CardDriver& card = world.card;
    if (!card.RequireOpen()) return call.Return<BOOL>(FALSE);
    LONG shuttleState = 0;
    const bool shuttle = cardsim::ShuttleStateForDeckCode(code, &shuttleState);
    if (!shuttle && code != PDV_DECK_RECORD_PAUSE) return call.Return<BOOL>(card.Fail(KDX_E_INVALID_PARAMETER));
    if (!world.Connected()) return call.Return<BOOL>(card.Fail(KDX_E_NO_DEVICE_CONNECTED));
    if (world.cassette() == nullptr) return call.Return<BOOL>(card.Fail(KDX_E_DEV_REJECT_SRV));
    if (shuttle) {
        world.IssueDeckCommand(cardsim::DeckCommand::Shuttle, shuttleState);
    } else {
        if (world.cassette()->WriteProtected()) return call.Return<BOOL>(card.Fail(KDX_E_DEV_REJECT_SRV));
        world.IssueDeckCommand(cardsim::DeckCommand::RecordPause, 0);
    }
    return call.Return<BOOL>(TRUE);
}

}  // extern "C"
