#include "sim/World.h"

#include "KDXCORE.h"
#include "KordexDDC.h"
#include "digitalio/DVFrame.h"
#include "sim/AVCFrame.h"
#include "sim/AVCTapeSubunit.h"
#include "sim/CassetteFactory.h"
#include "sim/SimConfig.h"

#include <atomic>
#include <cstring>
#include <filesystem>

namespace cardsim {

namespace {

std::atomic<World*> g_world{nullptr};

// How long a late final answer stays on its way to the next command.
constexpr int kStrayAnswerLifeMs = 1000;

// At unload, a cassette from a file gets what was recorded on it. The world itself
// stays: a worker thread of a host that never shut down may still call in.
struct UnloadWriteBack {
    ~UnloadWriteBack() {
        World* world = g_world.load();
        if (world == nullptr) return;
        std::lock_guard<std::mutex> lock(world->mutex);
        world->WriteBackAll();
    }
} g_unloadWriteBack;

}  // namespace

World& World::Instance() {
    static World* world = [] {
        World* created = new World();
        g_world.store(created);
        return created;
    }();
    return *world;
}

World::World() {
    ResetAll();
    ApplyEnvironment(this);
}

World::~World() { WriteBackAll(); }

bool World::WriteBackAll(std::string* error) {
    bool ok = lostRecording_.empty();
    if (!ok && error != nullptr) *error = lostRecording_;
    for (Cassette* cassette : {cassette_.get(), ejected_.get()}) {
        std::string why;
        if (cassette == nullptr || cassette->WriteBack(&why)) continue;
        tapeError_ = why;
        if (ok && error != nullptr) *error = why;
        ok = false;
    }
    if (ok) tapeError_.clear();
    return ok;
}

void World::ReleaseFile(const std::string& path) {
    // The same file by identity (device and file number), whatever the path says.
    std::error_code missing;
    if (!std::filesystem::exists(path, missing)) return;
    const auto same = [&](const std::unique_ptr<Cassette>& c) {
        std::error_code error;
        return c && c->IsFileBacked() && std::filesystem::equivalent(c->FilePath(), path, error);
    };
    if (same(ejected_)) ForgetEjected();
    if (same(cassette_)) {
        RemoveCassette();
        ForgetEjected();
    }
}

void World::ForgetEjected() {
    if (!ejected_) return;
    std::string error;
    if (!ejected_->WriteBack(&error)) {
        // Said until the world is reset: nothing else holds this recording any more.
        lostRecording_ = "a recording was lost when its cassette was replaced: " + error;
        tapeError_ = lostRecording_;
    }
    ejected_.reset();
}

void World::ResetAll() {
    WriteBackAll();
    clock.Reset();
    journal = Journal();
    faults.Clear();
    model = DeckModel();
    builtInOptions = BuiltInTapeOptions();
    card.Reset(PDV_VST_NTSC);
    sync = SyncRecord();
    ddc = DeckControlState();
    framesRecorded = 0;
    framesNotRecorded = 0;
    connected_ = true;
    now_ = 0;
    nextTick_ = 0;
    wasRecording_ = false;
    finalAnswerPending_ = false;
    finalAnswer_.clear();
    strayAnswer_.clear();
    timecodeRead_ = -1;
    tapeError_.clear();
    lostRecording_.clear();
    configError_.clear();
    ejected_.reset();
    cassette_ = MakeBuiltInCassette(builtInOptions);
    cassette_->SetFaults(&faults);
    deck.SetStuck(false, 0);
    deck.Reset(true, 0);
}

void World::InsertCassette(std::unique_ptr<Cassette> cassette, int64_t position) {
    RemoveCassette();
    ForgetEjected();
    cassette_ = std::move(cassette);
    cassette_->SetFaults(&faults);
    deck.Reset(true, std::min<int64_t>(position, std::max<int64_t>(cassette_->Length() - 1, 0)));
}

void World::RemoveCassette() {
    sync.Stop();
    if (!cassette_) return;
    std::string error;
    if (!cassette_->WriteBack(&error)) tapeError_ = error;
    ejected_ = std::move(cassette_);
    deck.Reset(false);
}

bool World::ReinsertCassette() {
    if (cassette_ || !ejected_) return false;
    cassette_ = std::move(ejected_);
    deck.Reset(true, 0);
    return true;
}

void World::IssueDeckCommand(DeckCommand command, int64_t argument) {
    sync.Stop();
    deck.Command(command, argument, now_);
}

std::vector<uint8_t> World::AnswerAVC(const std::vector<uint8_t>& command) {
    std::vector<uint8_t> answer = AnswerAVCUnedited(command);
    if (faults.editAVCAnswer) faults.editAVCAnswer(&answer);
    return answer;
}

std::vector<uint8_t> World::AnswerAVCUnedited(const std::vector<uint8_t>& command) {
    if (!strayAnswer_.empty()) {
        // A late final answer still on its way is taken for this command's answer; the
        // command itself is lost on the way.
        std::vector<uint8_t> stray;
        stray.swap(strayAnswer_);
        if (now_ - strayAt_ <= MillisecondsToSim(kStrayAnswerLifeMs)) return stray;
    }
    AVCAnswer answer = AnswerAVCCommand(command, &deck, cassette_.get(), model, TimecodePosition(), now_);
    const uint8_t code = answer.response.empty() ? 0 : answer.response[0];
    if (!command.empty() && command[0] == kAVCControl && (code == kAVCAccepted || code == kAVCInterim)) sync.Stop();
    if (answer.finalPending) {
        finalAnswerPending_ = true;
        finalAnswer_ = answer.finalResponse;
    }
    return answer.response;
}

int64_t World::TimecodePosition() {
    const int64_t here = deck.Position();
    if (model.staleTimecodeMs <= 0) return here;
    if (deck.InTransition()) return -1;
    if (!deck.Winding() || timecodeRead_ < 0 || now_ - timecodeReadAt_ >= MillisecondsToSim(model.staleTimecodeMs)) {
        timecodeRead_ = here;
        timecodeReadAt_ = now_;
    }
    return timecodeRead_;
}

void World::StopSyncRecord() {
    if (sync.Running() && deck.IsRecording()) deck.Settle(DDC_STATE_RECORD_PAUSE, deck.Position());
    sync.Stop();
}

bool World::ArmSyncRecord() {
    if (!cassette_ || cassette_->WriteProtected()) return false;
    if (!deck.InRecordPause() && !deck.HeadingForRecordPause()) return false;
    sync.Arm(deck.Position());
    return true;
}

void World::SetStuck(bool stuck) {
    faults.stuckInTransition = stuck;
    deck.SetStuck(stuck, now_);
}

const std::vector<uint8_t>& World::NoSignalFrame(DIO_VideoFormat standard) {
    std::vector<uint8_t>& frame = noSignal_[standard == DIO_PAL ? 1 : 0];
    if (frame.empty()) {
        DVFrame generator;
        std::unique_ptr<unsigned char[]> black(generator.GenBlackFrame(standard == DIO_PAL ? DIO_PAL : DIO_NTSC));
        const size_t size = standard == DIO_PAL ? kDVFrameSizePAL : kDVFrameSizeNTSC;
        if (black) frame.assign(black.get(), black.get() + size);
    }
    return frame;
}

}  // namespace cardsim
