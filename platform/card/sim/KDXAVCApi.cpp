// KDXCORE: AV/C pass-through and the unit and medium queries.
#include "KDXCORE.h"
#include "sim/AVCFrame.h"
#include "sim/SimCall.h"

using cardsim::SimCall;

namespace {
constexpr ULONG kLongestFrame = 512;
constexpr LONG kUnitTypeTapeRecorder = 4;
constexpr LONG kVendorId = 0x0A1B2C;
constexpr LONG kNoCassette = 0x60;
}  // namespace

extern "C" {

BOOL KDXSendGenericAVCCommand(LONG port, LONG node, ULONG first, ULONG commandLength, ULONG third, BYTE* command,
                              ULONG* responseLength, BYTE* response) {
    SimCall call("KDXSendGenericAVCCommand",
                 {port, node, first, commandLength, third, cardsim::PointerArgument(command),
                  responseLength != nullptr ? static_cast<int64_t>(*responseLength) : -1,
                  cardsim::PointerArgument(response)});
    if (call.Refused()) return call.Return<BOOL>(FALSE);
    cardsim::World& world = call.world();
    cardsim::CardDriver& card = world.card;
    if (!card.RequireOpen()) return call.Return<BOOL>(FALSE);
    if (command == nullptr || responseLength == nullptr || response == nullptr || commandLength < 3 ||
        commandLength > kLongestFrame)
        return call.Return<BOOL>(card.Fail(KDX_E_INVALID_PARAMETER));
    call.entry().request = cardsim::FrameFromQuadlets(command, commandLength);
    if (!world.Connected()) return call.Return<BOOL>(card.Fail(KDX_E_NO_DEVICE_CONNECTED));

    const std::vector<uint8_t> answer = world.AnswerAVC(call.entry().request);
    call.entry().reply = answer;
    const ULONG needed = static_cast<ULONG>(cardsim::QuadletBytes(answer.size()));
    if (*responseLength < needed) return call.Return<BOOL>(card.Fail(KDX_E_BUFFER_SMALL));
    cardsim::FrameToQuadlets(answer, response);
    *responseLength = needed;
    call.Output(needed);
    return call.Return<BOOL>(TRUE);
}

BOOL KDXGetUnitInfo(LONG* unitType, LONG* vendorId) {
    SimCall call("KDXGetUnitInfo", {cardsim::PointerArgument(unitType), cardsim::PointerArgument(vendorId)});
    if (call.Refused()) return call.Return<BOOL>(FALSE);
    cardsim::World& world = call.world();
    if (!world.card.RequireOpen()) return call.Return<BOOL>(FALSE);
    if (unitType == nullptr || vendorId == nullptr) return call.Return<BOOL>(world.card.Fail(KDX_E_INVALID_PARAMETER));
    if (!world.Connected()) return call.Return<BOOL>(world.card.Fail(KDX_E_NO_DEVICE_CONNECTED));
    *unitType = kUnitTypeTapeRecorder;
    *vendorId = kVendorId;
    call.Output(*unitType);
    call.Output(*vendorId);
    return call.Return<BOOL>(TRUE);
}

BOOL KDXGetMediumInfo(LONG* cassetteType, LONG* gradeAndProtect) {
    SimCall call("KDXGetMediumInfo",
                 {cardsim::PointerArgument(cassetteType), cardsim::PointerArgument(gradeAndProtect)});
    if (call.Refused()) return call.Return<BOOL>(FALSE);
    cardsim::World& world = call.world();
    if (!world.card.RequireOpen()) return call.Return<BOOL>(FALSE);
    if (cassetteType == nullptr || gradeAndProtect == nullptr)
        return call.Return<BOOL>(world.card.Fail(KDX_E_INVALID_PARAMETER));
    if (!world.Connected()) return call.Return<BOOL>(world.card.Fail(KDX_E_NO_DEVICE_CONNECTED));
    const cardsim::Cassette* cassette = world.cassette();
    *cassetteType = cassette != nullptr ? world.model.cassetteType : kNoCassette;
    *gradeAndProtect = cassette != nullptr && cassette->WriteProtected() ? 1 : 0;
    call.Output(*cassetteType);
    call.Output(*gradeAndProtect);
    return call.Return<BOOL>(TRUE);
}

LONG KDXGetDVDeviceType() {
    SimCall call("KDXGetDVDeviceType", {});
    cardsim::World& world = call.world();
    if (!world.card.RequireOpen()) return call.Return<LONG>(0);
    return call.Return<LONG>(world.Connected() ? 1 : 0);
}

}  // extern "C"
