// Faults injected into the card, the deck and the tape, so that tests and the
// command-line host can see how the plug-in copes. Each fault is switched on by a
// setter or by one item of a text list (ParseFaultList). Not locked: the world's lock
// guards it.
//
// Fault list items, separated by commas (numbers may be hexadecimal, "0x..."):
//   open=CODE[*N]        KDXOpen fails with card error CODE (the first N times)
//   ddcinit=ERR[*N]      DevInitialize fails with DDCError_t ERR
//   ddc=NAME:ERR[*N]     the deck-control function NAME fails with ERR
//   disconnect=MS[:MS2]  the device goes away MS ms from now (and comes back at MS2)
//   stuck                the deck stays in transition
//   capturestart[=CODE]  PdvStartCapture is refused (default KDX_E_DEV_REJECT_SRV)
//   playbackstart[=CODE] PdvStartPlayback and PdvSyncRecNoParam are refused
//   stall                running capture stalls in driver state 0x102
//   refuse=NAME[:CODE][*N] the card function NAME (a BOOL or frame-address call:
//                        PdvEndCapture, KDXSetPlayPauseMode, ...) fails with CODE
//                        (default KDX_E_DEV_REJECT_SRV) and changes nothing
//   driverstate=VALUE    PdvGetDriverState reports VALUE whatever the card does
//   drop=FIRST[:COUNT]   the card drops captured frames FIRST.. (counted from 0
//                        at PdvBeginCapture, in the order the deck delivers them)
//   corrupt=FIRST[:COUNT] the card damages those frames' packs (subcode, VAUX, AAUX)
//   tcbreak=POS[:JUMP]   from tape position POS on, timecodes jump by JUMP frames (100)
//   nosubcode=POS[:COUNT] those tape positions carry no subcode packs
//   sta=POS[:COUNT[:BLOCKS]][*N]  the capture reads those tape positions with BLOCKS
//                        video blocks (10) marked concealed in their STA nibble
//   audioerr=POS[:COUNT[:SAMPLES]][*N]  the capture reads those tape positions with
//                        SAMPLES samples (10) of every channel replaced by the
//                        invalid-sample code
//   With *N the sta and audioerr damage is transient: only the first N captured
//   reads of each position are damaged, so a later pass reads it clean.
#pragma once

#include "DDCError.h"
#include "sim/SimTime.h"
#include "windows.h"

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace cardsim {

class Faults {
public:
    struct Range {
        int64_t first = 0;
        int64_t count = 1;
        bool Contains(int64_t n) const { return n >= first && n - first < count; }
    };
    struct TimecodeBreak {
        int64_t position = 0;
        LONG jump = 100;
    };

    void Clear();

    // `times` < 0: every time.
    void FailOpen(DWORD code, int times = -1);
    bool TakeOpenFailure(DWORD* code);
    void FailDevInitialize(DDCError_t error, int times = -1);
    bool TakeDevInitializeFailure(DDCError_t* error);
    void FailDeckCall(const std::string& name, DDCError_t error, int times = -1);
    bool TakeDeckCallFailure(const char* name, DDCError_t* error);
    void RefuseCardCall(const std::string& name, DWORD code, int times = -1);
    bool TakeCardCallRefusal(const char* name, DWORD* code);

    // Absolute simulated times; kNever for "not planned".
    void ScheduleDisconnect(SimTime at, SimTime reconnectAt);
    SimTime DisconnectAt() const { return disconnectAt_; }
    SimTime ReconnectAt() const { return reconnectAt_; }
    void DisconnectDone() { disconnectAt_ = kNever; }
    void ReconnectDone() { reconnectAt_ = kNever; }

    bool stuckInTransition = false;
    bool stallCapture = false;
    DWORD captureStartRefusal = 0;   // 0: none
    DWORD playbackStartRefusal = 0;  // 0: none
    bool forceDriverState = false;
    LONG forcedDriverState = 0;
    // Rewrites every AV/C answer (frame bytes) before the card hands it over.
    std::function<void(std::vector<uint8_t>*)> editAVCAnswer;

    void DropCapturedFrames(int64_t first, int64_t count) { drops_.push_back({first, count}); }
    void CorruptCapturedFrames(int64_t first, int64_t count) { corrupts_.push_back({first, count}); }
    bool DropsArrival(int64_t n) const;
    bool CorruptsArrival(int64_t n) const;

    void AddTimecodeBreak(int64_t position, LONG jump) { breaks_.push_back({position, jump}); }
    void RemoveSubcode(int64_t first, int64_t count) { noSubcode_.push_back({first, count}); }
    // Frames the timecode at `position` is moved by the breaks before it.
    LONG TimecodeShiftAt(int64_t position) const;
    bool SubcodeMissingAt(int64_t position) const;
    bool AffectsTape() const { return !breaks_.empty() || !noSubcode_.empty(); }

    // Read errors of tape positions, as a deck's playback reports them in the frame.
    // `times` < 0: every read; otherwise the first `times` reads of each position.
    void ConcealVideoBlocks(int64_t first, int64_t count, int blocks, int times = -1) {
        readErrors_.push_back({{first, count}, blocks, 0, times});
    }
    void InvalidateAudioSamples(int64_t first, int64_t count, int samples, int times = -1) {
        readErrors_.push_back({{first, count}, 0, samples, times});
    }
    struct ReadDamage {
        int concealedBlocks = 0;
        int invalidSamples = 0;  // per channel
    };
    // The damage of this capture read of `position`, counting the read.
    ReadDamage TakeReadDamage(int64_t position);

private:
    struct Counted {
        uint32_t code = 0;
        int times = 0;  // < 0: every time
    };
    static bool Take(Counted* fault, uint32_t* code);

    Counted open_;
    Counted devInitialize_;
    std::map<std::string, Counted> deckCalls_;
    std::map<std::string, Counted> cardCalls_;
    SimTime disconnectAt_ = kNever;
    SimTime reconnectAt_ = kNever;
    std::vector<Range> drops_;
    std::vector<Range> corrupts_;
    std::vector<TimecodeBreak> breaks_;
    std::vector<Range> noSubcode_;
    struct ReadError {
        Range positions;
        int blocks = 0;
        int samples = 0;
        int times = -1;
    };
    std::vector<ReadError> readErrors_;
    std::map<int64_t, int> damagedReads_;  // reads so far of each position a read error covers
};

// Applies a fault list (header comment) to `faults`, with `now` as the time the
// disconnect delays count from. False, with the offending item in *error, when an
// item is not understood; the items before it stay applied.
bool ParseFaultList(const std::string& list, SimTime now, Faults* faults, std::string* error);

}  // namespace cardsim
