// KordexDDC: the deck-control library over the simulated deck.
#include "KordexDDC.h"
#include "sim/ShuttleStates.h"
#include "sim/SimCall.h"
#include "sim/TapeLabel.h"

#include <algorithm>
#include <cstring>
#include <tuple>

using cardsim::DeckCommand;
using cardsim::SimCall;
using cardsim::World;

namespace {

const char kVendorText[] = "Velorin Simulation";
const char kModelText[] = "Virtual DV Deck";
constexpr LONG kUnitTypeTapeRecorder = 4;
constexpr LONG kVendorId = 0x0A1B2C;

// The checks every call makes first: the library and the card driver under it are up,
// no failure is injected for this call, and the device is on the port.
DDCError_t Gate(World& world, const char* name) {
    if (!world.ddc.initialized || !world.card.IsOpen()) return DDC_DriverError;
    DDCError_t injected = DDC_NoError;
    if (world.faults.TakeDeckCallFailure(name, &injected)) return injected;
    if (!world.Connected()) return DDC_NoDevice;
    return DDC_NoError;
}

DDCError_t Finish(SimCall& call, DDCError_t error) { return call.Return(error); }

// A transport command: needs a cassette; replaces anything in transition.
DDCError_t Transport(const char* name, DeckCommand command, int64_t argument = 0) {
    SimCall call(name, {});
    World& world = call.world();
    DDCError_t error = Gate(world, name);
    if (error != DDC_NoError) return Finish(call, error);
    if (world.cassette() == nullptr) return Finish(call, DDC_TapeEjected);
    if (command == DeckCommand::Record && world.cassette()->WriteProtected()) return Finish(call, DDC_TapeProtected);
    const bool step = command == DeckCommand::StepForward || command == DeckCommand::StepBack;
    if (step && world.model.stepsOnlyFromStill && !world.deck.StillOrPlaying()) return Finish(call, DDC_CommandRejected);
    world.IssueDeckCommand(command, argument);
    return Finish(call, DDC_NoError);
}

bool ValidFields(LONG h, LONG m, LONG s, LONG f) {
    return h >= 0 && h <= 23 && m >= 0 && m <= 59 && s >= 0 && s <= 59 && f >= 0 && f <= 29;
}

bool AllUnknown(LONG h, LONG m, LONG s, LONG f) { return h == -1 && m == -1 && s == -1 && f == -1; }

// The timecode the deck reads, or -1 fields; DDC_TapeEjected without a cassette.
DDCError_t ReadTimecode(World& world, LONG out[4]) {
    std::fill(out, out + 4, -1);
    const cardsim::Cassette* cassette = world.cassette();
    if (cassette == nullptr) return DDC_TapeEjected;
    cardsim::TapeTimecode tc;
    const int64_t position = world.TimecodePosition();
    if (position >= 0 && cassette->TimecodeAt(position, &tc)) {
        out[0] = tc.hours;
        out[1] = tc.minutes;
        out[2] = tc.seconds;
        out[3] = tc.frames;
    }
    return DDC_NoError;
}

// The raw state: in transition while the mechanism moves; NO_DEVICE, reported as a
// state, while nothing is on the port.
DDCError_t ReadState(World& world, LONG* state, bool deviceKnownMissing) {
    if (deviceKnownMissing) {
        *state = DDC_STATE_NO_DEVICE;
        return DDC_NoError;
    }
    if (world.deck.InTransition()) return DDC_DeviceInTransition;
    *state = world.cassette() != nullptr ? world.deck.State() : DDC_STATE_EJECT;
    return DDC_NoError;
}

DDCError_t AskAsync(const char* name, bool timecode) {
    SimCall call(name, {});
    World& world = call.world();
    const DDCError_t gate = Gate(world, name);
    if (gate != DDC_NoError) return Finish(call, gate);
    cardsim::AsyncRequest& request = timecode ? world.ddc.timecodeRequest : world.ddc.stateRequest;
    if (request.pending) return Finish(call, DDC_DeviceBusy);
    request = cardsim::AsyncRequest();
    request.pending = true;
    request.readyAt = world.Now() + cardsim::MillisecondsToSim(std::max(world.model.asyncLatencyMs, 0));
    // The deck answers with what it shows now; the answer travels back meanwhile.
    request.error = timecode ? ReadTimecode(world, request.values) : ReadState(world, &request.values[0], false);
    return Finish(call, DDC_NoError);
}

// Common part of both receives: DDC_NoError with the request consumed, or the error.
DDCError_t ReceiveAsync(World& world, const char* name, cardsim::AsyncRequest& request) {
    if (!world.ddc.initialized || !world.card.IsOpen()) return DDC_DriverError;
    DDCError_t injected = DDC_NoError;
    if (world.faults.TakeDeckCallFailure(name, &injected)) return injected;
    if (!request.pending) return DDC_CommandRejected;
    if (world.Now() < request.readyAt) return DDC_CommandPending;
    request.pending = false;
    return DDC_NoError;
}

void WriteText(char* destination, const char* text, LONG length) {
    const size_t room = static_cast<size_t>(length) - 1;
    const size_t n = std::min(std::strlen(text), room);
    std::memcpy(destination, text, n);
    destination[n] = '\0';
}

DDCError_t SetEditPoint(const char* name, bool in, LONG h, LONG m, LONG s, LONG f) {
    SimCall call(name, {h, m, s, f});
    World& world = call.world();
    if (!world.ddc.initialized || !world.card.IsOpen()) return Finish(call, DDC_DriverError);
    DDCError_t injected = DDC_NoError;
    if (world.faults.TakeDeckCallFailure(name, &injected)) return Finish(call, injected);
    if (!AllUnknown(h, m, s, f) && !ValidFields(h, m, s, f)) return Finish(call, DDC_InvalidParameter);
    cardsim::EditPoint& point = in ? world.ddc.in : world.ddc.out;
    point.fields[0] = h;
    point.fields[1] = m;
    point.fields[2] = s;
    point.fields[3] = f;
    return Finish(call, DDC_NoError);
}

DDCError_t GetEditPoint(const char* name, bool in, LONG* h, LONG* m, LONG* s, LONG* f) {
    using cardsim::PointerArgument;
    SimCall call(name, {PointerArgument(h), PointerArgument(m), PointerArgument(s), PointerArgument(f)});
    World& world = call.world();
    if (!world.ddc.initialized || !world.card.IsOpen()) return Finish(call, DDC_DriverError);
    DDCError_t injected = DDC_NoError;
    if (world.faults.TakeDeckCallFailure(name, &injected)) return Finish(call, injected);
    if (h == nullptr || m == nullptr || s == nullptr || f == nullptr) return Finish(call, DDC_InvalidParameter);
    const cardsim::EditPoint& point = in ? world.ddc.in : world.ddc.out;
    LONG* outputs[4] = {h, m, s, f};
    for (int i = 0; i < 4; ++i) {
        *outputs[i] = point.fields[i];
        call.Output(point.fields[i]);
    }
    return Finish(call, DDC_NoError);
}

}  // namespace

extern "C" {

DDCError_t DevInitialize() {
    SimCall call("DevInitialize", {});
    World& world = call.world();
    if (!world.card.IsOpen()) return Finish(call, DDC_NoHW);
    DDCError_t injected = DDC_NoError;
    if (world.faults.TakeDevInitializeFailure(&injected)) return Finish(call, injected);
    world.ddc.initialized = true;
    return Finish(call, DDC_NoError);
}

DDCError_t DevUnInitialize() {
    SimCall call("DevUnInitialize", {});
    World& world = call.world();
    if (!world.ddc.initialized) return Finish(call, DDC_DriverError);
    world.ddc.initialized = false;
    world.ddc.timecodeRequest = cardsim::AsyncRequest();
    world.ddc.stateRequest = cardsim::AsyncRequest();
    return Finish(call, DDC_NoError);
}

DDCError_t DevPlay() { return Transport("DevPlay", DeckCommand::Play); }
DDCError_t DevStop() { return Transport("DevStop", DeckCommand::Stop); }
DDCError_t DevPause() { return Transport("DevPause", DeckCommand::Pause); }
DDCError_t DevFF() { return Transport("DevFF", DeckCommand::FastForward); }
DDCError_t DevRewind() { return Transport("DevRewind", DeckCommand::Rewind); }
DDCError_t DevStepForwardAFrame() { return Transport("DevStepForwardAFrame", DeckCommand::StepForward); }
DDCError_t DevStepBackAFrame() { return Transport("DevStepBackAFrame", DeckCommand::StepBack); }
DDCError_t DevEject() { return Transport("DevEject", DeckCommand::Eject); }
DDCError_t DevRecord() { return Transport("DevRecord", DeckCommand::Record); }

DDCError_t DevShuttle(LONG speed) {
    SimCall call("DevShuttle", {speed});
    World& world = call.world();
    const DDCError_t gate = Gate(world, "DevShuttle");
    if (gate != DDC_NoError) return Finish(call, gate);
    if (world.cassette() == nullptr) return Finish(call, DDC_TapeEjected);
    // A still from a stopped deck would need the tape threaded first: the deck refuses.
    if (speed == 0 && !world.deck.InTransition() && world.deck.State() == DDC_STATE_STOP)
        return Finish(call, DDC_CommandRejected);
    world.IssueDeckCommand(DeckCommand::Shuttle, cardsim::ShuttleStateForSpeed(speed));
    return Finish(call, DDC_NoError);
}

DDCError_t DevSeekToTimecode(LONG hours, LONG minutes, LONG seconds, LONG frames) {
    SimCall call("DevSeekToTimecode", {hours, minutes, seconds, frames});
    World& world = call.world();
    const DDCError_t gate = Gate(world, "DevSeekToTimecode");
    if (gate != DDC_NoError) return Finish(call, gate);
    if (!ValidFields(hours, minutes, seconds, frames)) return Finish(call, DDC_InvalidParameter);
    if (world.cassette() == nullptr) return Finish(call, DDC_TapeEjected);
    cardsim::TapeTimecode label;
    label.hours = hours;
    label.minutes = minutes;
    label.seconds = seconds;
    label.frames = frames;
    const int64_t position = world.cassette()->FindTimecode(label);
    if (position >= 0) {
        world.IssueDeckCommand(DeckCommand::Seek, position);
    } else if (world.model.lateSearchFailure) {
        // The deck takes the search and looks for the label, forward unless the tape
        // under the head shows a later one.
        cardsim::TapeTimecode here;
        const bool back = world.cassette()->TimecodeAt(world.deck.Position(), &here) &&
                          std::make_tuple(hours, minutes, seconds, frames) <
                              std::make_tuple(LONG{here.hours}, LONG{here.minutes}, LONG{here.seconds}, LONG{here.frames});
        world.IssueDeckCommand(DeckCommand::SeekMissing, back ? -1 : 1);
    } else {
        return Finish(call, DDC_CommandRejected);
    }
    return Finish(call, DDC_NoError);
}

DDCError_t DevSetIn(LONG h, LONG m, LONG s, LONG f) { return SetEditPoint("DevSetIn", true, h, m, s, f); }
DDCError_t DevSetOut(LONG h, LONG m, LONG s, LONG f) { return SetEditPoint("DevSetOut", false, h, m, s, f); }
DDCError_t DevGetIn(LONG* h, LONG* m, LONG* s, LONG* f) { return GetEditPoint("DevGetIn", true, h, m, s, f); }
DDCError_t DevGetOut(LONG* h, LONG* m, LONG* s, LONG* f) { return GetEditPoint("DevGetOut", false, h, m, s, f); }

DDCError_t DevGetTimecode(LONG* hours, LONG* minutes, LONG* seconds, LONG* frames, LONG timeoutMs) {
    using cardsim::PointerArgument;
    SimCall call("DevGetTimecode",
                 {PointerArgument(hours), PointerArgument(minutes), PointerArgument(seconds), PointerArgument(frames),
                  timeoutMs});
    World& world = call.world();
    const DDCError_t gate = Gate(world, "DevGetTimecode");
    if (gate != DDC_NoError) return Finish(call, gate);
    if (hours == nullptr || minutes == nullptr || seconds == nullptr || frames == nullptr || timeoutMs < 0)
        return Finish(call, DDC_InvalidParameter);
    LONG values[4];
    const DDCError_t error = ReadTimecode(world, values);
    if (error != DDC_NoError) return Finish(call, error);
    *hours = values[0];
    *minutes = values[1];
    *seconds = values[2];
    *frames = values[3];
    for (LONG v : values) call.Output(v);
    return Finish(call, DDC_NoError);
}

DDCError_t DevGetState(LONG* state) {
    SimCall call("DevGetState", {cardsim::PointerArgument(state)});
    World& world = call.world();
    DDCError_t error = Gate(world, "DevGetState");
    const bool missing = error == DDC_NoDevice;
    if (error != DDC_NoError && (!missing || world.model.reportsNoDevice)) return Finish(call, error);
    if (state == nullptr) return Finish(call, DDC_InvalidParameter);
    error = ReadState(world, state, missing);
    if (error == DDC_NoError) call.Output(*state);
    return Finish(call, error);
}

DDCError_t DevGetFrameRate(unsigned char* dropFrame, LONG* rate) {
    SimCall call("DevGetFrameRate", {cardsim::PointerArgument(dropFrame), cardsim::PointerArgument(rate)});
    World& world = call.world();
    const DDCError_t gate = Gate(world, "DevGetFrameRate");
    if (gate != DDC_NoError) return Finish(call, gate);
    if (dropFrame == nullptr || rate == nullptr) return Finish(call, DDC_InvalidParameter);
    const cardsim::Cassette* cassette = world.cassette();
    const int64_t position = world.deck.Position();
    const DIO_VideoFormat standard = cassette != nullptr ? cassette->StandardAt(position) : world.card.VideoFormat();
    bool drop = standard == DIO_NTSC;  // 525/60 material counts drop-frame unless it says otherwise
    cardsim::TapeTimecode tc;
    if (cassette != nullptr && cassette->TimecodeAt(position, &tc)) drop = tc.dropFrame;
    *rate = standard == DIO_PAL ? 2500 : 2997;
    *dropFrame = drop ? 1 : 0;
    call.Output(*dropFrame);
    call.Output(*rate);
    return Finish(call, DDC_NoError);
}

DDCError_t DevUnitInfo(LONG* unitType, LONG* vendorId, char* vendorText, char* modelText, LONG* length) {
    using cardsim::PointerArgument;
    SimCall call("DevUnitInfo", {PointerArgument(unitType), PointerArgument(vendorId), PointerArgument(vendorText),
                                 PointerArgument(modelText), length != nullptr ? *length : -1});
    World& world = call.world();
    const DDCError_t gate = Gate(world, "DevUnitInfo");
    if (gate != DDC_NoError) return Finish(call, gate);
    if (unitType == nullptr || vendorId == nullptr || vendorText == nullptr || modelText == nullptr ||
        length == nullptr || *length < 1)
        return Finish(call, DDC_InvalidParameter);
    *unitType = kUnitTypeTapeRecorder;
    *vendorId = kVendorId;
    WriteText(vendorText, kVendorText, *length);
    WriteText(modelText, kModelText, *length);
    call.Output(*unitType);
    call.Output(*vendorId);
    return Finish(call, DDC_NoError);
}

DDCError_t DevAskForTCAsync() { return AskAsync("DevAskForTCAsync", true); }
DDCError_t DevAskForStateAsync() { return AskAsync("DevAskForStateAsync", false); }

DDCError_t DevReceiveAsyncTC(LONG* hours, LONG* minutes, LONG* seconds, LONG* frames) {
    using cardsim::PointerArgument;
    SimCall call("DevReceiveAsyncTC",
                 {PointerArgument(hours), PointerArgument(minutes), PointerArgument(seconds), PointerArgument(frames)});
    World& world = call.world();
    if (hours == nullptr || minutes == nullptr || seconds == nullptr || frames == nullptr)
        return Finish(call, world.ddc.initialized ? DDC_InvalidParameter : DDC_DriverError);
    cardsim::AsyncRequest& request = world.ddc.timecodeRequest;
    const DDCError_t error = ReceiveAsync(world, "DevReceiveAsyncTC", request);
    if (error != DDC_NoError) return Finish(call, error);
    if (request.error != DDC_NoError) return Finish(call, request.error);
    LONG* outputs[4] = {hours, minutes, seconds, frames};
    for (int i = 0; i < 4; ++i) {
        *outputs[i] = request.values[i];
        call.Output(request.values[i]);
    }
    return Finish(call, DDC_NoError);
}

DDCError_t DevReceiveAsyncState(LONG* state) {
    SimCall call("DevReceiveAsyncState", {cardsim::PointerArgument(state)});
    World& world = call.world();
    if (state == nullptr) return Finish(call, world.ddc.initialized ? DDC_InvalidParameter : DDC_DriverError);
    cardsim::AsyncRequest& request = world.ddc.stateRequest;
    const DDCError_t error = ReceiveAsync(world, "DevReceiveAsyncState", request);
    if (error != DDC_NoError) return Finish(call, error);
    if (request.error != DDC_NoError) return Finish(call, request.error);
    *state = request.values[0];
    call.Output(*state);
    return Finish(call, DDC_NoError);
}

DDCError_t DevCancelAsyncTCRequest() {
    SimCall call("DevCancelAsyncTCRequest", {});
    World& world = call.world();
    if (!world.ddc.initialized || !world.card.IsOpen()) return Finish(call, DDC_DriverError);
    world.ddc.timecodeRequest = cardsim::AsyncRequest();
    return Finish(call, DDC_NoError);
}

DDCError_t DevCancelAsyncStateRequest() {
    SimCall call("DevCancelAsyncStateRequest", {});
    World& world = call.world();
    if (!world.ddc.initialized || !world.card.IsOpen()) return Finish(call, DDC_DriverError);
    world.ddc.stateRequest = cardsim::AsyncRequest();
    return Finish(call, DDC_NoError);
}

}  // extern "C"
