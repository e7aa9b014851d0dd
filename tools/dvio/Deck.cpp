#include "Deck.h"

#include "DeckClock.h"

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
        // shuttle forces its command through after a run of them): let it settle.
        WaitForSettledTransport();
    }
    return error;
}

void Deck::WaitForSettledTransport() {
    const DeckDeadline deadline(kTransportPatienceSeconds);
    TransportState_t state = TransportUnknown;
    while (WorthAnotherTry(device_->DeviceGetState(&state)) && !deadline.Passed() && !Interrupted())
        SleepDeckSeconds(0.05);
}

DDCError_t Deck::State(TransportState_t* state) {
    const DeckDeadline deadline(kTransportPatienceSeconds);
    for (;;) {
        const DDCError_t error = device_->DeviceGetState(state);
        if (!WorthAnotherTry(error) || deadline.Passed()) return error;
        SleepPoll();
    }
}

DDCError_t Deck::Timecode(timecode_t* tc) {
    const DeckDeadline deadline(kTransportPatienceSeconds);
    for (;;) {
        const DDCError_t error = device_->DeviceGetTimecode(tc);
        if (!WorthAnotherTry(error) || deadline.Passed()) return error;
        SleepPoll();
    }
}

DDCError_t Deck::SeekAndWait(const timecode_t& target, double deckSeconds, timecode_t* arrived) {
    const DeckDeadline deadline(deckSeconds);
    const DDCError_t error = Patiently([this, &target] { return device_->DeviceSeekToTimecode(target); });
    if (error != DDC_NoError) return error;
    for (;;) {
        TransportState_t state = TransportUnknown;
        const DDCError_t stateError = device_->DeviceGetState(&state);
        const bool moving = WorthAnotherTry(stateError) || (stateError == DDC_NoError && state == TransportSeeking);
        if (stateError != DDC_NoError && !moving) return stateError;
        if (!moving) break;
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
