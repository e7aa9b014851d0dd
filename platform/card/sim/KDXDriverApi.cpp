// KDXCORE: opening and closing the driver, the card's standard and device link.
#include "KDXCORE.h"
#include "sim/SimCall.h"

using cardsim::SimCall;

namespace {
// What KDXOpen hands out; the card has one instance, so one handle.
constexpr LONG kDriverHandle = 0x4B44;
}  // namespace

extern "C" {

LONG KDXOpen(LONG reserved, LONG standard, LONG flags) {
    SimCall call("KDXOpen", {reserved, standard, flags});
    cardsim::World& world = call.world();
    DWORD code = 0;
    if (world.faults.TakeOpenFailure(&code)) {
        world.card.Fail(code);
        return call.Return<LONG>(0);
    }
    return call.Return<LONG>(world.card.Open(standard) ? kDriverHandle : 0);
}

BOOL KDXClose(LONG handle) {
    SimCall call("KDXClose", {handle});
    if (call.Refused()) return call.Return<BOOL>(FALSE);
    call.world().StopSyncRecord();
    return call.Return<BOOL>(call.world().card.Close() ? TRUE : FALSE);
}

DWORD KDXGetLastError() {
    SimCall call("KDXGetLastError", {});
    return call.Return<DWORD>(call.world().card.LastError());
}

LONG PdvGetAdjustment(LONG id) {
    SimCall call("PdvGetAdjustment", {id});
    cardsim::CardDriver& card = call.world().card;
    if (!card.RequireOpen()) return call.Return<LONG>(-1);
    if (id != PDV_ADJ_VIDEO_STANDARD) {
        card.Fail(KDX_E_INVALID_PARAMETER);
        return call.Return<LONG>(-1);
    }
    return call.Return<LONG>(card.Standard());
}

LONG PdvIsConnectedDV2() {
    SimCall call("PdvIsConnectedDV2", {});
    if (!call.world().card.RequireOpen()) return call.Return<LONG>(0);
    return call.Return<LONG>(call.world().Connected() ? 1 : 0);
}

LONG PdvGetDriverState() {
    SimCall call("PdvGetDriverState", {});
    cardsim::World& world = call.world();
    if (world.faults.forceDriverState) return call.Return<LONG>(world.faults.forcedDriverState);
    world.card.RequireOpen();
    return call.Return<LONG>(world.card.State());
}

}  // extern "C"
