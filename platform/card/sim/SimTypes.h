// Value types of the simulator's control and observation interface (SimControl.h).
#pragma once

#include "digitalio/DIOTypes.h"
#include "windows.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace cardsim {

// How AV/C searches (time code and track number) are answered.
enum class SearchAnswer {
    Accepted,       // ACCEPTED (0x09), and the deck winds to the target
    StatusOperand,  // a STATUS-style answer (operand 0x71, IMPLEMENTED/STABLE); the deck stays put
    Interim,        // INTERIM (0x0F) now; the deck winds, and the final answer goes to the journal
    InTransition,   // IN TRANSITION (0x0B) every time; the deck stays put
};

// What a synchronised record does to the tape. The card is given no edit kind nor
// tracks (only a delay, a stop delay and a length), so, as on a deck's own edit
// selector, the deck is set up for one.
enum class EditKind {
    Insert,    // the tape keeps its subcode (timecode); only the tracks named are replaced
    Assemble,  // everything from the In point on is rewritten, subcode included
};

// The deck's mechanics and AV/C behaviour. Defaults: a consumer DV deck.
struct DeckModel {
    int transitionMs = 300;          // mechanical time of each transport change (simulated ms)
    int windSpeed = 40;              // fast forward, rewind and seek winding, in times play speed
    int landingOffset = 0;           // frames a seek lands after (+) or before (-) its target
    bool smpteTimecode = true;       // answers the SMPTE/EBU time code status command
    unsigned char cassetteType = 0x32;  // medium info: 0x32 small DV; any other is treated as DVCAM
    SearchAnswer searchAnswer = SearchAnswer::Accepted;
    int recordLatencyFrames = 0;     // frames between the record command and the head writing
    int asyncLatencyMs = 20;         // time before an asynchronous request has its answer
    EditKind syncEdit = EditKind::Insert;  // what a synchronised record is
    bool insertVideo = true;         // an insert replaces the video track (VAUX and video blocks)
    bool insertAudio = true;         // an insert replaces the audio track (audio blocks)

    // How untidy the deck is. The defaults make a tidy, fast deck; RealDeckProfile.h
    // gives the figures of a real one.
    int threadMs = -1;               // a change from stop or eject to a state that runs the tape past the heads (< 0: transitionMs)
    int ejectMs = -1;                // eject, until the cassette is out (< 0: transitionMs)
    int overshootFrames = 0;         // a search runs this far past its target before it backs up (0: none)
    int reverseStopMs = 0;           // and shows STOP this long while it reverses
    std::array<int, 4> landingMisses{{0, 0, 0, 0}};  // added in turn to where searches land
    int staleTimecodeMs = 0;         // while winding, the timecode is read this seldom; none in transitions (0: always current)
    bool lateSearchFailure = false;  // a search for a timecode not on the tape is taken, winds to a tape end, then fails
    bool lateFinalAnswer = false;    // an INTERIM search's final answer takes the place of the next command's answer
    bool stepsOnlyFromStill = false; // frame steps are refused unless the tape is threaded and still or playing
    bool reportsNoDevice = false;    // DevGetState answers "No Device" as an error when the deck is gone
};

// The default tape: generated frames, so a long tape costs no memory.
struct BuiltInTapeOptions {
    DIO_VideoFormat standard = DIO_NTSC;
    DIO_AudioFormat audio = DIO_Audio48000;
    int64_t materialFrames = 2 * 17982;  // 20 minutes of 525/60 drop-frame material
    int64_t blankFrames = 1800;              // a blank stretch after the material
    int64_t formatSwitchAt = -1;             // from this position on, the other standard (-1: none)
    LONG firstFrameCount = 0;                // timecode of position 0, as a frame count
};

// What the deck is doing.
struct DeckStatus {
    bool connected = true;
    bool cassetteLoaded = true;
    bool inTransition = false;
    LONG rawState = 2;     // the state the deck shows (or will show once the transition ends)
    int64_t position = 0;  // frame position under the head
    bool writeProtected = false;
    bool seeking = false;
};

// The card's own state and counters.
struct CardStatus {
    bool open = false;
    LONG driverState = -1;
    LONG standard = 0;  // PDV_VST_NTSC or PDV_VST_PAL
    bool outputPinOn = true;
    LONG inputChannel = 63;
    LONG playPauseMode = 0;
    bool playPauseModeApplied = false;
    DWORD lastError = 0;
    LONG syncRecDelay = 0;
    LONG syncRecPauseFlying = 0;
    LONG syncRecNumFrames = 0;
    bool syncRecordRunning = false;
};

struct CardCounters {
    // Capture, since the last PdvBeginCapture.
    LONG capturedFrames = 0;        // stored in the ring (the card's counter)
    uint64_t framesArrived = 0;     // pictures the deck delivered to the card
    uint64_t ringFullDrops = 0;     // dropped because every slot was taken
    uint64_t injectedDrops = 0;     // dropped by an injected fault
    uint64_t corruptedFrames = 0;   // damaged by an injected fault
    // Playback, since the last PdvBeginPlayback(2).
    LONG playedFrames = 0;          // frames taken from the ring
    uint64_t underruns = 0;         // frame periods that repeated the last frame
    // Tape, since the simulator was last reset.
    uint64_t framesRecorded = 0;    // frames the deck wrote onto the tape
    uint64_t framesNotRecorded = 0; // frames sent while recording that the tape could not take
};

// One card or deck-control call.
struct JournalEntry {
    uint64_t sequence = 0;        // 1, 2, ... in call order
    int64_t timeMicros = 0;       // simulated time of the call
    std::string function;         // e.g. "PdvBeginCapture", "DevSeekToTimecode"
    std::vector<int64_t> arguments;  // scalar arguments in order (pointers: 1 non-null, 0 null)
    int64_t result = 0;           // the return value (pointers: 1 non-null, 0 null)
    std::vector<int64_t> outputs; // values written through pointer arguments
    std::vector<uint8_t> request; // AV/C: command frame, in frame (bus) order
    std::vector<uint8_t> reply;   // AV/C: response frame, in frame order
    DWORD lastError = 0;          // the card's last error after the call
    // With repeats folded (SetJournalFoldsRepeats), how many identical calls in a row
    // this entry stands for (numbered sequence .. sequence + repeats - 1), and the time
    // of the last of them.
    uint64_t repeats = 1;
    int64_t lastTimeMicros = 0;
};

// A timecode label as recorded on tape.
struct TapeTimecode {
    int hours = 0;
    int minutes = 0;
    int seconds = 0;
    int frames = 0;
    bool dropFrame = false;
    bool operator==(const TapeTimecode& o) const {
        return hours == o.hours && minutes == o.minutes && seconds == o.seconds && frames == o.frames;
    }
    bool operator!=(const TapeTimecode& o) const { return !(*this == o); }
};

}  // namespace cardsim
