// Control and observation of the simulated card and deck, for tests and the
// command-line host. Every function is safe to call from any thread, alongside the
// card and deck-control functions; each brings the world up to the present first.
//
// The world is process-wide and starts as the environment says (SimConfig.h):
// by default a built-in NTSC tape in a stopped deck, the card closed, the clock
// running at real time.
#pragma once

#include "DDCError.h"
#include "KordexDDC.h"
#include "sim/SimTypes.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace cardsim {

// ---- The whole world ----

// A fresh world: built-in tape stopped at position 0, default deck model, card closed
// at NTSC, no faults, empty journal, real clock at speed 1, counters zero. The
// environment is not read again. A cassette from a file is written back first.
void Reset();
// Environment settings that were not understood ("" when all were).
std::string ConfigError();
// Why the last write-back of a cassette file failed ("" when it did not).
std::string TapeError();

// ---- Clock ----

// Speed factor of the simulated world against the platform clock, in (0, 1000].
bool SetSpeed(double factor);
double Speed();
// A manual clock stands still until AdvanceClock moves it (exact frame counts in tests).
void UseManualClock(bool manual);
void AdvanceClock(int64_t microseconds);
// Simulated microseconds since the world was reset.
int64_t NowMicros();

// ---- Tape ----

// Loads a generated cassette, the deck stopped at `position`.
void LoadBuiltInTape(const BuiltInTapeOptions& options = BuiltInTapeOptions(), int64_t position = 0);
// Loads a raw .dv file as the cassette (mapped, not read); what is recorded onto it
// is written into the file, in place, when recording stops, when the cassette is
// ejected or replaced, on Reset and when the library unloads. Refused, with a sentence
// in *error, for a file that is not DV, an empty one not made by MakeBlankTapeFile, or
// one another process has loaded. A file that cannot be written is a write-protected
// cassette.
bool LoadTapeFile(const std::string& path, std::string* error = nullptr, int64_t position = 0);
// Creates `path` as a new blank cassette (an empty file so marked); never replaces a file.
bool MakeBlankTapeFile(const std::string& path, std::string* error = nullptr);
// Takes the cassette out of the deck (state EJECT); ReinsertTape puts it back.
void EjectTape();
bool ReinsertTape();
// Writes the recordings of a file cassette (in the deck or ejected) to its file now;
// false with the reason in *error when they cannot be (they are kept for a later try).
bool WriteBackTape(std::string* error = nullptr);
// Writes the frames of positions [first, first + count) (count < 0: to the end) that
// are not blank to a raw .dv file.
bool SaveTape(const std::string& path, int64_t first = 0, int64_t count = -1, int64_t* written = nullptr,
              std::string* error = nullptr);
// Positions on the cassette (material and blank tape); 0 without a cassette.
int64_t TapeLength();
bool IsTapeBlank(int64_t position);
// The frame at `position` as the deck would play it; false on blank tape.
bool ReadTapeFrame(int64_t position, std::vector<uint8_t>* frame);
// The timecode the deck reads at `position`.
bool TapeTimecodeAt(int64_t position, TapeTimecode* timecode);
// The position a search for `label` finds, -1 when the tape does not show it.
int64_t FindTapeTimecode(const TapeTimecode& label);
// Absolute track number at `position`.
int64_t TapeTrackOf(int64_t position);
void SetWriteProtected(bool writeProtected);

// ---- Deck ----

void SetDeckModel(const DeckModel& model);
DeckModel GetDeckModel();
// Deck options as text (SimConfig.h ParseDeckOptions), applied over the current model.
bool SetDeckOptions(const std::string& list, std::string* error = nullptr);
DeckStatus GetDeckStatus();
// Puts the deck into `rawState` at `position` at once, without mechanical time.
void ParkDeck(int64_t position, LONG rawState = DDC_STATE_PLAYBACK_PAUSE);

// ---- Card ----

// The standard the card is set to (what KDXOpen with standard 0 keeps).
void SetCardStandard(DIO_VideoFormat standard);
CardStatus GetCardStatus();
CardCounters GetCardCounters();

// ---- Faults (Faults.h describes each) ----

// Applies a fault list; false with the item not understood in *error.
bool SetFaults(const std::string& list, std::string* error = nullptr);
void ClearFaults();
// `times` < 0: every time from now on.
void FailDriverOpen(DWORD cardErrorCode, int times = -1);
void FailDevInitialize(DDCError_t error, int times = -1);
void FailDeckCall(const std::string& function, DDCError_t error, int times = -1);
// The device goes away `afterMs` simulated ms from now and comes back `reconnectAfterMs`
// ms from now (< 0: stays away).
void DisconnectDevice(int64_t afterMs = 0, int64_t reconnectAfterMs = -1);
void ReconnectDevice();
void SetStuckInTransition(bool stuck);
// 0 lets the start through again.
void RefuseCaptureStart(DWORD cardErrorCode);
void RefusePlaybackStart(DWORD cardErrorCode);
void StallCapture(bool stall);
// The card function `function` fails with `cardErrorCode` and changes nothing.
void RefuseCardCall(const std::string& function, DWORD cardErrorCode, int times = -1);
// PdvGetDriverState reports `state` (until ClearFaults).
void ForceDriverState(LONG state);
// Frames counted from 0 at PdvBeginCapture, in the order the deck delivers them.
void DropCapturedFrames(int64_t first, int64_t count);
void CorruptCapturedFrames(int64_t first, int64_t count);
// Every AV/C answer (frame bytes) passes through `edit` before the plug-in sees it;
// an empty function ends that. Lets a test feed the plug-in any answer at all.
void EditAVCAnswers(std::function<void(std::vector<uint8_t>* answer)> edit);
// From tape `position` on, every timecode is `jump` frames further on.
void AddTimecodeBreak(int64_t position, LONG jump);
void RemoveSubcode(int64_t firstPosition, int64_t count);

// ---- Journal ----

// Entries after the one numbered `after` (0: all kept), oldest first.
std::vector<JournalEntry> JournalSince(uint64_t after = 0);
// The number of the newest entry, to read only what follows.
uint64_t JournalMark();
void ClearJournal();
void SetJournalCapacity(size_t entries);
// Folds runs of identical calls (polling loops) into one entry with a repeat count.
void SetJournalFoldsRepeats(bool fold);
// One line: "<time µs> <function>(<arguments>) -> <result> [outputs] {request} {reply}",
// followed by " x<repeats>" for a folded entry.
std::string DescribeEntry(const JournalEntry& entry);

}  // namespace cardsim
