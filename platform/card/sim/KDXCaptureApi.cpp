// KDXCORE: capture mode and the capture ring.
#include "KDXCORE.h"
#include "sim/SimCall.h"

using cardsim::SimCall;

namespace {
bool InCaptureMode(const cardsim::CardDriver& card) {
    return card.State() >= PDV_STATE_CAPTURE_OPEN && card.State() <= PDV_STATE_CAPTURE_STALLED;
}
}  // namespace

extern "C" {

BOOL PdvBeginCapture() {
    SimCall call("PdvBeginCapture", {});
    if (call.Refused()) return call.Return<BOOL>(FALSE);
    return call.Return<BOOL>(call.world().card.BeginCapture());
}

BOOL PdvStartCapture() {
    SimCall call("PdvStartCapture", {});
    if (call.Refused()) return call.Return<BOOL>(FALSE);
    cardsim::World& world = call.world();
    return call.Return<BOOL>(world.card.StartCapture(world.faults.captureStartRefusal, world.faults.stallCapture));
}

BOOL PdvStopCapture() {
    SimCall call("PdvStopCapture", {});
    if (call.Refused()) return call.Return<BOOL>(FALSE);
    return call.Return<BOOL>(call.world().card.StopCapture());
}

BOOL PdvEndCapture() {
    SimCall call("PdvEndCapture", {});
    if (call.Refused()) return call.Return<BOOL>(FALSE);
    return call.Return<BOOL>(call.world().card.EndCapture());
}

LONG PdvGetCapturedFrame() {
    SimCall call("PdvGetCapturedFrame", {});
    cardsim::CardDriver& card = call.world().card;
    if (!card.RequireOpen()) return call.Return<LONG>(-1);
    return call.Return<LONG>(card.capture.Counter());
}

BYTE* PdvGetCapturedFrameAddr(LONG index) {
    SimCall call("PdvGetCapturedFrameAddr", {index});
    if (call.Refused()) return call.Return<BYTE*>(nullptr);
    cardsim::CardDriver& card = call.world().card;
    if (!card.RequireOpen()) return call.Return<BYTE*>(nullptr);
    if (!InCaptureMode(card)) {
        card.Fail(KDX_E_INVALID_STATE);
        return call.Return<BYTE*>(nullptr);
    }
    BYTE* slot = card.capture.Address(index);
    if (slot == nullptr) card.Fail(KDX_E_INVALID_PARAMETER);
    return call.Return(slot);
}

BOOL PdvSetCapturedFrame(LONG index) {
    SimCall call("PdvSetCapturedFrame", {index});
    if (call.Refused()) return call.Return<BOOL>(FALSE);
    cardsim::CardDriver& card = call.world().card;
    if (!card.RequireOpen()) return call.Return<BOOL>(FALSE);
    if (!InCaptureMode(card)) return call.Return<BOOL>(card.Fail(KDX_E_INVALID_STATE));
    if (!card.capture.Release(index)) return call.Return<BOOL>(card.Fail(KDX_E_INVALID_PARAMETER));
    return call.Return<BOOL>(TRUE);
}

}  // extern "C"
