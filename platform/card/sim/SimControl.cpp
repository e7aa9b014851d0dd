#include "sim/SimControl.h"

#include "KDXCORE.h"
#include "sim/CassetteFactory.h"
#include "sim/CassetteFile.h"
#include "sim/SimConfig.h"
#include "sim/World.h"

#include <algorithm>
#include <cstdio>
#include <mutex>
#include <utility>

namespace cardsim {

namespace {

// Runs `f` on the world under its lock, brought up to the present.
template <typename F>
auto WithWorld(F f) {
    World& world = World::Instance();
    std::lock_guard<std::mutex> lock(world.mutex);
    world.AdvanceToNow();
    return f(world);
}

std::string Hex(const std::vector<uint8_t>& bytes) {
    std::string text;
    char buffer[4];
    for (size_t i = 0; i < bytes.size(); ++i) {
        std::snprintf(buffer, sizeof buffer, i == 0 ? "%02X" : " %02X", bytes[i]);
        text += buffer;
    }
    return text;
}

}  // namespace

void Reset() {
    World& world = World::Instance();
    std::lock_guard<std::mutex> lock(world.mutex);
    world.ResetAll();
}

std::string ConfigError() {
    return WithWorld([](World& w) { return w.ConfigError(); });
}

std::string TapeError() {
    return WithWorld([](World& w) { return w.TapeError(); });
}

bool SetSpeed(double factor) {
    return WithWorld([&](World& w) { return w.clock.SetSpeed(factor); });
}

double Speed() {
    return WithWorld([](World& w) { return w.clock.Speed(); });
}

void UseManualClock(bool manual) {
    WithWorld([&](World& w) {
        w.clock.SetManual(manual);
        return 0;
    });
}

void AdvanceClock(int64_t microseconds) {
    WithWorld([&](World& w) {
        w.clock.Advance(microseconds);
        w.AdvanceToNow();
        return 0;
    });
}

int64_t NowMicros() {
    return WithWorld([](World& w) { return w.NowMicros(); });
}

void LoadBuiltInTape(const BuiltInTapeOptions& options, int64_t position) {
    WithWorld([&](World& w) {
        w.builtInOptions = options;
        w.InsertCassette(MakeBuiltInCassette(options), position);
        return 0;
    });
}

bool LoadTapeFile(const std::string& path, std::string* error, int64_t position) {
    return WithWorld([&](World& w) {
        // Loading the file that is already the cassette takes that one out first: the
        // file is held (and locked) for as long as a cassette is it.
        w.ReleaseFile(path);
        std::unique_ptr<Cassette> cassette = OpenFileCassette(path, error);
        if (!cassette) return false;
        w.InsertCassette(std::move(cassette), position);
        return true;
    });
}

void EjectTape() {
    WithWorld([](World& w) {
        w.RemoveCassette();
        return 0;
    });
}

bool ReinsertTape() {
    return WithWorld([](World& w) { return w.ReinsertCassette(); });
}

bool WriteBackTape(std::string* error) {
    return WithWorld([&](World& w) { return w.WriteBackAll(error); });
}

bool MakeBlankTapeFile(const std::string& path, std::string* error) { return MakeBlankCassetteFile(path, error); }

bool SaveTape(const std::string& path, int64_t first, int64_t count, int64_t* written, std::string* error) {
    return WithWorld([&](World& w) {
        if (w.cassette() == nullptr) {
            if (error != nullptr) *error = "no cassette in the deck";
            return false;
        }
        return w.cassette()->SaveRange(path, first, count, written, error);
    });
}

int64_t TapeLength() {
    return WithWorld([](World& w) { return w.cassette() != nullptr ? w.cassette()->Length() : int64_t{0}; });
}

bool IsTapeBlank(int64_t position) {
    return WithWorld([&](World& w) { return w.cassette() == nullptr || w.cassette()->IsBlank(position); });
}

bool ReadTapeFrame(int64_t position, std::vector<uint8_t>* frame) {
    return WithWorld([&](World& w) {
        if (frame == nullptr || w.cassette() == nullptr) return false;
        frame->resize(PDV_SLOT_BYTES);
        const size_t size = w.cassette()->ReadFrame(position, frame->data(), frame->size());
        frame->resize(size);
        return size != 0;
    });
}

bool TapeTimecodeAt(int64_t position, TapeTimecode* timecode) {
    return WithWorld([&](World& w) {
        return timecode != nullptr && w.cassette() != nullptr && w.cassette()->TimecodeAt(position, timecode);
    });
}

int64_t FindTapeTimecode(const TapeTimecode& label) {
    return WithWorld([&](World& w) { return w.cassette() != nullptr ? w.cassette()->FindTimecode(label) : int64_t{-1}; });
}

int64_t TapeTrackOf(int64_t position) {
    return WithWorld([&](World& w) { return w.cassette() != nullptr ? w.cassette()->TrackOf(position) : int64_t{-1}; });
}

void SetWriteProtected(bool writeProtected) {
    WithWorld([&](World& w) {
        if (w.cassette() != nullptr) w.cassette()->writeProtected = writeProtected;
        return 0;
    });
}

void SetDeckModel(const DeckModel& model) {
    WithWorld([&](World& w) {
        w.model = model;
        return 0;
    });
}

DeckModel GetDeckModel() {
    return WithWorld([](World& w) { return w.model; });
}

bool SetDeckOptions(const std::string& list, std::string* error) {
    return WithWorld([&](World& w) {
        bool protect = false;
        const bool ok = ParseDeckOptions(list, &w.model, &protect, error);
        if (protect && w.cassette() != nullptr) w.cassette()->writeProtected = true;
        return ok;
    });
}

DeckStatus GetDeckStatus() {
    return WithWorld([](World& w) {
        DeckStatus status;
        status.connected = w.Connected();
        status.cassetteLoaded = w.cassette() != nullptr;
        status.inTransition = w.deck.InTransition();
        status.rawState = w.cassette() != nullptr ? w.deck.TargetState() : DDC_STATE_EJECT;
        status.position = w.deck.Position();
        status.writeProtected = w.cassette() != nullptr && w.cassette()->WriteProtected();
        status.seeking = w.deck.Seeking();
        return status;
    });
}

void ParkDeck(int64_t position, LONG rawState) {
    WithWorld([&](World& w) {
        w.StopSyncRecord();
        const int64_t last = w.cassette() != nullptr ? std::max<int64_t>(w.cassette()->Length() - 1, 0) : 0;
        w.deck.Settle(rawState, std::clamp<int64_t>(position, 0, last));
        return 0;
    });
}

void SetCardStandard(DIO_VideoFormat standard) {
    WithWorld([&](World& w) {
        w.card.SetStandard(standard == DIO_PAL ? PDV_VST_PAL : PDV_VST_NTSC);
        return 0;
    });
}

CardStatus GetCardStatus() {
    return WithWorld([](World& w) {
        CardStatus s;
        s.open = w.card.IsOpen();
        s.driverState = w.card.State();
        s.standard = w.card.Standard();
        s.outputPinOn = w.card.outputPinOn;
        s.inputChannel = w.card.inputChannel;
        s.playPauseMode = w.card.playPauseMode;
        s.playPauseModeApplied = w.card.playPauseModeApplied;
        s.lastError = w.card.LastError();
        s.syncRecDelay = w.sync.delay;
        s.syncRecPauseFlying = w.sync.pauseFlying;
        s.syncRecNumFrames = w.sync.numFrames;
        s.syncRecordRunning = w.sync.CurrentPhase() != SyncRecord::Phase::Idle;
        return s;
    });
}

CardCounters GetCardCounters() {
    return WithWorld([](World& w) {
        CardCounters c;
        c.capturedFrames = w.card.capture.Counter();
        c.framesArrived = w.card.framesArrived;
        c.ringFullDrops = w.card.capture.RingFullDrops();
        c.injectedDrops = w.card.injectedDrops;
        c.corruptedFrames = w.card.corruptedFrames;
        c.playedFrames = w.card.playback.Played();
        c.underruns = w.card.playback.Underruns();
        c.framesRecorded = w.framesRecorded;
        c.framesNotRecorded = w.framesNotRecorded;
        return c;
    });
}

bool SetFaults(const std::string& list, std::string* error) {
    return WithWorld([&](World& w) {
        const bool ok = ParseFaultList(list, w.Now(), &w.faults, error);
        w.AdvanceToNow();  // a disconnect due now happens now
        return ok;
    });
}

void ClearFaults() {
    WithWorld([](World& w) {
        w.faults.Clear();
        w.SetStuck(false);
        return 0;
    });
}

void FailDriverOpen(DWORD cardErrorCode, int times) {
    WithWorld([&](World& w) {
        w.faults.FailOpen(cardErrorCode, times);
        return 0;
    });
}

void FailDevInitialize(DDCError_t error, int times) {
    WithWorld([&](World& w) {
        w.faults.FailDevInitialize(error, times);
        return 0;
    });
}

void FailDeckCall(const std::string& function, DDCError_t error, int times) {
    WithWorld([&](World& w) {
        w.faults.FailDeckCall(function, error, times);
        return 0;
    });
}

void DisconnectDevice(int64_t afterMs, int64_t reconnectAfterMs) {
    WithWorld([&](World& w) {
        const SimTime at = w.Now() + MillisecondsToSim(std::max<int64_t>(afterMs, 0));
        const SimTime back = reconnectAfterMs >= 0 ? std::max(at, w.Now() + MillisecondsToSim(reconnectAfterMs)) : kNever;
        w.faults.ScheduleDisconnect(at, back);
        w.AdvanceToNow();
        return 0;
    });
}

void ReconnectDevice() {
    WithWorld([](World& w) {
        w.faults.ScheduleDisconnect(kNever, kNever);
        w.SetConnected(true);
        return 0;
    });
}

void SetStuckInTransition(bool stuck) {
    WithWorld([&](World& w) {
        w.SetStuck(stuck);
        return 0;
    });
}

void RefuseCaptureStart(DWORD cardErrorCode) {
    WithWorld([&](World& w) {
        w.faults.captureStartRefusal = cardErrorCode;
        return 0;
    });
}

void RefusePlaybackStart(DWORD cardErrorCode) {
    WithWorld([&](World& w) {
        w.faults.playbackStartRefusal = cardErrorCode;
        return 0;
    });
}

void StallCapture(bool stall) {
    WithWorld([&](World& w) {
        w.faults.stallCapture = stall;
        w.AdvanceToNow();
        return 0;
    });
}

void RefuseCardCall(const std::string& function, DWORD cardErrorCode, int times) {
    WithWorld([&](World& w) {
        w.faults.RefuseCardCall(function, cardErrorCode, times);
        return 0;
    });
}

void ForceDriverState(LONG state) {
    WithWorld([&](World& w) {
        w.faults.forceDriverState = true;
        w.faults.forcedDriverState = state;
        return 0;
    });
}

void DropCapturedFrames(int64_t first, int64_t count) {
    WithWorld([&](World& w) {
        w.faults.DropCapturedFrames(first, count);
        return 0;
    });
}

void CorruptCapturedFrames(int64_t first, int64_t count) {
    WithWorld([&](World& w) {
        w.faults.CorruptCapturedFrames(first, count);
        return 0;
    });
}

void AddTimecodeBreak(int64_t position, LONG jump) {
    WithWorld([&](World& w) {
        w.faults.AddTimecodeBreak(position, jump);
        return 0;
    });
}

void EditAVCAnswers(std::function<void(std::vector<uint8_t>* answer)> edit) {
    WithWorld([&](World& w) {
        w.faults.editAVCAnswer = std::move(edit);
        return 0;
    });
}

void RemoveSubcode(int64_t firstPosition, int64_t count) {
    WithWorld([&](World& w) {
        w.faults.RemoveSubcode(firstPosition, count);
        return 0;
    });
}

std::vector<JournalEntry> JournalSince(uint64_t after) {
    return WithWorld([&](World& w) { return w.journal.Since(after); });
}

uint64_t JournalMark() {
    return WithWorld([](World& w) { return w.journal.LastSequence(); });
}

void ClearJournal() {
    WithWorld([](World& w) {
        w.journal.Clear();
        return 0;
    });
}

void SetJournalCapacity(size_t entries) {
    WithWorld([&](World& w) {
        w.journal.SetCapacity(entries);
        return 0;
    });
}

void SetJournalFoldsRepeats(bool fold) {
    WithWorld([&](World& w) {
        w.journal.SetFoldsRepeats(fold);
        return 0;
    });
}

std::string DescribeEntry(const JournalEntry& entry) {
    std::string text = std::to_string(entry.timeMicros) + " " + entry.function + "(";
    for (size_t i = 0; i < entry.arguments.size(); ++i) {
        if (i != 0) text += ", ";
        text += std::to_string(entry.arguments[i]);
    }
    text += ") -> " + std::to_string(entry.result);
    if (!entry.outputs.empty()) {
        text += " [";
        for (size_t i = 0; i < entry.outputs.size(); ++i) {
            if (i != 0) text += ", ";
            text += std::to_string(entry.outputs[i]);
        }
        text += "]";
    }
    if (!entry.request.empty()) text += " {" + Hex(entry.request) + "}";
    if (!entry.reply.empty()) text += " {" + Hex(entry.reply) + "}";
    if (entry.repeats > 1) text += " x" + std::to_string(entry.repeats);
    return text;
}

}  // namespace cardsim
