// The deck as a host reaches it: the DigitalDevice's deck-control operations, with the
// patience a person at the deck would have (a command that meets the transport
// mid-change is asked again; a seek is followed until the deck has arrived).
#pragma once

#include "interface/DigitalDevice.h"

#include <functional>
#include <string>

class Deck {
public:
    explicit Deck(DigitalDevice* device) : device_(device) {}

    // The deck's timecode rate (30 or 25) and drop-frame counting; asked once.
    DDCError_t FrameRate(int* framesPerSecond, bool* dropFrame);
    // Asks the deck again (the tape under the head may be in another standard now).
    DDCError_t RefreshFrameRate(int* framesPerSecond, bool* dropFrame) {
        rateKnown_ = false;
        return FrameRate(framesPerSecond, dropFrame);
    }
    // The description of the deck's timecodes (asks FrameRate).
    DDCError_t Description(timecodeDesc_t* desc);

    // Runs a transport command; while the deck answers "Device In Transition" or
    // "Device Busy" it is asked again once the transport has settled, a few times.
    DDCError_t Transport(DDCError_t (DigitalDevice::*command)());
    DDCError_t Shuttle(LONG speed);
    DDCError_t State(TransportState_t* state);
    DDCError_t Timecode(timecode_t* tc);

    // Seeks and follows the deck until it no longer reports seeking (or the deck
    // seconds run out: then DDC_CommandTimeout; or it answers only "in transition"
    // for kTransportPatienceSeconds: then DDC_DeviceInTransition). *arrived gets the
    // timecode it shows.
    DDCError_t SeekAndWait(const timecode_t& target, double deckSeconds, timecode_t* arrived);
    // Waits until the deck reports `state`; false when it has not after `deckSeconds`.
    bool WaitForState(TransportState_t state, double deckSeconds);

    DigitalDevice* Device() const { return device_; }
    // Waits end early (a seek then answers "Command Timeout") once `interrupted` says so.
    void SetInterruption(std::function<bool()> interrupted) { interrupted_ = std::move(interrupted); }
    bool Interrupted() const { return interrupted_ && interrupted_(); }

private:
    DDCError_t Patiently(const std::function<DDCError_t()>& command);
    // False when the deck was still in transition after the patience.
    bool WaitForSettledTransport();
    void SleepInterruptibly(double deckSeconds);

    DigitalDevice* device_;
    std::function<bool()> interrupted_;
    bool rateKnown_ = false;
    int framesPerSecond_ = 30;
    bool dropFrame_ = true;
};

// Deck seconds dvio waits for the transport to settle: a deck that stays in
// transition longer is stuck, and the command fails.
constexpr double kTransportPatienceSeconds = 5.0;
// Times a command that meets the transport mid-change is given.
constexpr int kCommandAttempts = 4;
