#include "Deck.h"

#include "DeckClock.h"

#include <optional>

namespace {

bool WorthAnotherTry(DDCError_t error) { return error == DDC_DeviceInTransition || error == DDC_DeviceBusy; }

}  // namespace

DDCError_t Deck::FrameRate(int* framesPerSecond, bool* dropFrame) {
    if (!rateKnown_) {
        unsigned char drop = 0;
        LONG rate = 0;
        const DDCError_t error = device_->DeviceGetFrameRate(&drop, &rate);
        if (error != DDC_NoError) return error;
        if (rate != 25 && rate != 30) return DDC_DeviceNotSupported;
        framesPerSecond_ = rate;
        dropFrame_ = rate == 30 && drop != 0;
        rateKnown_ = true;
    }
    if (framesPerSecond != nullptr) *framesPerSecond = framesPerSecond_;
    if (dropFrame != nullptr) *dropFrame = dropFrame_;
    return DDC_NoError;
}

DDCError_t Deck::Description(timecodeDesc_t* desc) {
    const DDCError_t error = FrameRate(nullptr, nullptr);
    if (error == DDC_NoError) *desc = TCCreateDesc(dropFrame_ ? 1 : 0, static_cast<unsigned short>(framesPerSecond_));
    return error;
}

DDCError_t Deck::Transport(DDCError_t (DigitalDevice::*command)()) {
    return Patiently([this, command] { return (device_->*command)(); });
}

DDCError_t Deck::Shuttle(LONG speed) {
    return Patiently([this, speed] { return device_->DeviceShuttle(speed); });
}

DDCError_t Deck::Patiently(const std::function<DDCError_t()>& command) {
    DDCError_t error = DDC_NoError;
    for (int attempt = 0; attempt < kCommandAttempts; ++attempt) {
        error = command();
        if (!WorthAnotherTry(error)) return error;
        // Asked again at once, a deck mid-change only counts the refusals (the
        // shuttle forces its command through after a run of them): let it settle. One
        // that does not settle in the whole patience is stuck: asking again would only
        // make the user wait longer.
        if (!WaitForSettledTransport() || Interrupted()) return error;
    }
    return error;
}

bool Deck::WaitForSettledTransport() {
    const DeckDeadline deadline(kTransportPatienceSeconds);
    TransportState_t state = TransportUnknown;
    while (WorthAnotherTry(device_->DeviceGetState(&state))) {
        if (deadline.Passed() || Interrupted()) return false;
        SleepInterruptibly(0.05);
    }
    return true;
}

void Deck::SleepInterruptibly(double deckSeconds) {
    const DeckDeadline deadline(deckSeconds);
    while (!deadline.Passed() && !Interrupted()) SleepPoll();
}

DDCError_t Deck::State(TransportState_t* state) {
    const DeckDeadline deadline(kTransportPatienceSeconds);
    for (;;) {
        const DDCError_t error = device_->DeviceGetState(state);
        if (!WorthAnotherTry(error) || deadline.Passed() || Interrupted()) return error;
        SleepPoll();
    }
}

DDCError_t Deck::Timecode(timecode_t* tc) {
    const DeckDeadline deadline(kTransportPatienceSeconds);
    for (;;) {
        const DDCError_t error = device_->DeviceGetTimecode(tc);
        if (!WorthAnotherTry(error) || deadline.Passed() || Interrupted()) return error;
        SleepPoll();
    }
}

DDCError_t Deck::SeekAndWait(const timecode_t& target, double deckSeconds, timecode_t* arrived) {
    const DeckDeadline deadline(deckSeconds);
    const DDCError_t error = Patiently([this, &target] { return device_->DeviceSeekToTimecode(target); });
    if (error != DDC_NoError) return error;
    // A seek may wind for minutes, reporting that it seeks; a deck that answers only
    // "in transition" that long is stuck.
    std::optional<DeckDeadline> stuck;
    for (;;) {
        TransportState_t state = TransportUnknown;
        const DDCError_t stateError = device_->DeviceGetState(&state);
        const bool transition = WorthAnotherTry(stateError);
        const bool moving = transition || (stateError == DDC_NoError && state == TransportSeeking);
        if (stateError != DDC_NoError && !moving) return stateError;
        if (!moving) break;
        if (!transition) stuck.reset();
        else if (!stuck) stuck.emplace(kTransportPatienceSeconds);
        if (stuck && stuck->Passed()) return DDC_DeviceInTransition;
        if (deadline.Passed() || Interrupted()) return DDC_CommandTimeout;
        SleepPoll();
    }
    return Timecode(arrived);
}

bool Deck::WaitForState(TransportState_t wanted, double deckSeconds) {
    const DeckDeadline deadline(deckSeconds);
    for (;;) {
        TransportState_t state = TransportUnknown;
        if (device_->DeviceGetState(&state) == DDC_NoError && state == wanted) return true;
        if (deadline.Passed() || Interrupted()) return false;
        SleepPoll();
    }
}
