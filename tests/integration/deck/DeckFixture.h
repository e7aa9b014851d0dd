// A device with its card session open against a fresh simulated world, and the
// helpers the deck-control tests share: tracing, waiting for the deck, timecodes and
// the AV/C frames the device sent.
#pragma once

#include "interface/ControlIds.h"
#include "support/DeviceFixture.h"

#include <cstdint>
#include <string>
#include <vector>

class DeckFixture : public DeviceFixture {
protected:
    // Opens the session (as the host's first adapter query does) and forgets what that
    // wrote and called, so that each test sees only its own lines and calls.
    void OpenSession() {
        ASSERT_EQ(device_->GetNumberHostAdapters(), 1) << "session did not open";
        Forget();
    }

    void Forget() {
        log_.Clear();
        cardsim::ClearJournal();
    }

    // A fresh simulated world and device, as a new test gets, for cases of one test
    // that each need their own world.
    void Restart() {
        delete device_;
        cardsim::Reset();
        device_ = new CDV1394();
        Forget();
    }

    // The deck-control trace switch, as a host sets it.
    void Trace(bool on) {
        LONG bits = on ? 1 : 0;
        ASSERT_EQ(device_->SetControl(kControlTraceSwitches, &bits), 1);
    }
    // How many frames early the track search aims.
    void SetTrackOffset(LONG frames) { device_->SetControl(kControlTrackSeekOffset, &frames); }

    // The deck has finished moving and shows `rawState` at `position`.
    static bool WaitForDeck(LONG rawState, int64_t position) {
        return WaitUntil([&] {
            const cardsim::DeckStatus status = cardsim::GetDeckStatus();
            return !status.inTransition && !status.seeking && status.rawState == rawState &&
                   status.position == position;
        }, 30);
    }

    // The deck's description of the built-in tape: 30 fps drop-frame.
    static timecode_t Tc(short h, short m, short s, short f, bool drop = true) {
        const timecodeDesc_t desc = TCCreateDesc(drop ? 1 : 0, 30);
        return TCConstruct(0, h, m, s, f, &desc);
    }
    static timecode_t Frames(LONG count, unsigned short fps = 30, bool drop = true) {
        const timecodeDesc_t desc = TCCreateDesc(drop ? 1 : 0, fps);
        return TCCreateDur(count, &desc);
    }

    // Requests of the AV/C commands sent since the journal was cleared, in frame order.
    static std::vector<std::vector<uint8_t>> AVCRequests() {
        std::vector<std::vector<uint8_t>> frames;
        for (const cardsim::JournalEntry& entry : CallsTo("KDXSendGenericAVCCommand"))
            frames.push_back(entry.request);
        return frames;
    }

    // AV/C requests whose opcode and operand 0 are the given ones.
    static size_t CountAVC(uint8_t opcode, uint8_t operand) {
        size_t n = 0;
        for (const std::vector<uint8_t>& frame : AVCRequests())
            if (frame.size() > 3 && frame[2] == opcode && frame[3] == operand) ++n;
        return n;
    }

    // The debug entries written since the last Forget, in order.
    std::vector<std::string> Lines() const { return log_.Entries(); }
};
