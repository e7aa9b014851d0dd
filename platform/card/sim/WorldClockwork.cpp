// How the world moves between two calls: events in time order, one step per frame
// period.
#include "KDXCORE.h"
#include "KordexDDC.h"
#include "digitalio/dv25/FrameErrors.h"
#include "sim/AVCFrame.h"
#include "sim/DVFrameLayout.h"
#include "sim/World.h"

#include <algorithm>

namespace cardsim {

void World::AdvanceToNow() { AdvanceTo(clock.Now()); }

DIO_VideoFormat World::ClockStandard() const {
    // The card paces playback at its own standard; otherwise frames come at the rate
    // of the material under the head.
    if (card.InPlaybackMode()) return card.VideoFormat();
    if (cassette_) {
        const int64_t p = deck.Position();
        if (!cassette_->IsBlank(p)) return cassette_->StandardAt(p);
    }
    return card.VideoFormat();
}

bool World::Idle() const {
    return !deck.Busy() && !card.Capturing() && !card.Playing() && sync.CurrentPhase() == SyncRecord::Phase::Idle;
}

void World::ScheduleNextTick(SimTime from) { nextTick_ = from + FramePeriod(ClockStandard()); }

void World::AdvanceTo(SimTime target) {
    if (deck.Stuck() != faults.stuckInTransition) deck.SetStuck(faults.stuckInTransition, now_);
    for (;;) {
        const SimTime transitionEnd = deck.TransitionEnd();
        const SimTime event = std::min({transitionEnd, faults.DisconnectAt(), faults.ReconnectAt()});
        const SimTime limit = std::min(event, target);
        while (nextTick_ <= limit) {
            if (Idle()) {
                // Nothing moves: skip the frame periods up to the limit in one go.
                const SimTime period = FramePeriod(ClockStandard());
                nextTick_ += ((limit - nextTick_) / period + 1) * period;
                break;
            }
            now_ = nextTick_;
            FrameStep();
            ScheduleNextTick(now_);
            WriteBackIfRecordingStopped();
        }
        if (event > target) break;
        now_ = std::max(now_, event);
        if (event == transitionEnd) {
            FinishDeckTransition();
        } else if (event == faults.DisconnectAt()) {
            connected_ = false;
            faults.DisconnectDone();
        } else {
            connected_ = true;
            faults.ReconnectDone();
        }
        WriteBackIfRecordingStopped();
    }
    now_ = std::max(now_, target);
    // Recording may also have ended by a call since the last step.
    WriteBackIfRecordingStopped();

    // The card's stalled capture state follows the fault.
    if (card.IsOpen() && card.State() == PDV_STATE_CAPTURING && faults.stallCapture)
        card.SetState(PDV_STATE_CAPTURE_STALLED);
    else if (card.IsOpen() && card.State() == PDV_STATE_CAPTURE_STALLED && !faults.stallCapture)
        card.SetState(PDV_STATE_CAPTURING);

    if (finalAnswerPending_ && !deck.InTransition() && !deck.Seeking()) {
        // The final answer to an AV/C search answered INTERIM arrives as the deck parks.
        // A search that found nothing before a tape end is refused now.
        if (deck.SearchFailed() && !finalAnswer_.empty()) finalAnswer_[0] = kAVCRejected;
        JournalEntry entry;
        entry.timeMicros = NowMicros();
        entry.function = "AVCFinalResponse";
        entry.reply = finalAnswer_;
        if (model.lateFinalAnswer) {
            strayAnswer_ = finalAnswer_;
            strayAt_ = now_;
        }
        entry.lastError = card.LastError();
        journal.Add(std::move(entry));
        finalAnswerPending_ = false;
    }
}

void World::FinishDeckTransition() {
    const int64_t length = cassette_ ? cassette_->Length() : 0;
    if (deck.FinishTransition(length) == DeckTransport::Arrival::Ejected) {
        RemoveCassette();
    }
}

void World::WriteBackIfRecordingStopped() {
    const bool recording = deck.IsRecording();
    if (wasRecording_ && !recording && cassette_ && cassette_->IsFileBacked()) {
        std::string error;
        if (!cassette_->WriteBack(&error)) tapeError_ = error;
    }
    wasRecording_ = recording;
}

void World::FrameStep() {
    // 1. The card's output for this frame period.
    const std::vector<uint8_t>* output = nullptr;
    LONG ordinal = -1;
    if (card.Playing()) {
        if (sync.Holding()) {
            if (deck.InRecordPause()) sync.Begin(model.recordLatencyFrames);
            else if (!deck.HeadingForRecordPause()) sync.Stop();  // plain playback from here on
        }
        if (!sync.Holding()) {
            bool fresh = false;
            output = card.playback.PlayOne(&fresh);
            if (sync.Running()) {
                ordinal = sync.NextOrdinal();
                sync.CountFramePlayed();
                // Frame 0 is the lead-in; the head starts writing with frame 1.
                if (ordinal == 1) deck.Settle(DDC_STATE_RECORD, sync.StartPosition());
            }
        }
    } else if (card.PlaybackPaused()) {
        output = card.playback.Still();
    }

    // 2. The deck moves, shows a picture and records.
    const DeckTransport::Frame frame = deck.Tick(cassette_ ? cassette_->Length() : 0);
    if (frame.record >= 0) RecordFrame(frame.record, output);
    if (sync.Running() && ordinal >= 1 && sync.IsLastFrame(ordinal)) {
        deck.Settle(DDC_STATE_RECORD_PAUSE, deck.Position());
        sync.Stop();
    }

    // 3. The card captures what the deck shows.
    if (frame.picture >= 0) CaptureFrame(frame.picture);
}

void World::RecordFrame(int64_t position, const std::vector<uint8_t>* cardOutput) {
    if (!cassette_ || cassette_->WriteProtected()) return;
    // A deck records what reaches its input: without a signal from the card (output
    // off, nothing played yet, no device link) the tape under the head stays as it was.
    const bool signal = cardOutput != nullptr && !cardOutput->empty() && connected_ && card.IsOpen() && card.outputPinOn;
    if (!signal) return;
    std::vector<uint8_t> frame = *cardOutput;
    const DIO_VideoFormat standard = FrameStandard(frame.data(), frame.size());
    if (sync.Running() && model.syncEdit == EditKind::Insert && standard != DIO_NoVideoFormat) {
        // An insert starts from what the tape holds there (its subcode, its header and
        // the tracks not named) and puts in the tracks named. Where the tape is blank or
        // unreadable there is nothing to keep.
        std::vector<uint8_t> existing(PDV_SLOT_BYTES);
        const size_t size = cassette_->ReadStoredFrame(position, existing.data(), existing.size());
        if (size == FrameSize(standard) && FrameStandard(existing.data(), size) == standard) {
            CopyTracks(frame.data(), existing.data(), standard, model.insertVideo, model.insertAudio);
            existing.resize(size);
            frame.swap(existing);
        }
    }
    if (cassette_->WriteFrame(position, frame.data(), frame.size())) ++framesRecorded;
    else ++framesNotRecorded;
}

void World::CaptureFrame(int64_t picture) {
    if (!card.Capturing() || !connected_ || !cassette_ || cassette_->IsBlank(picture)) return;
    const int64_t arrival = static_cast<int64_t>(card.framesArrived++);
    if (faults.DropsArrival(arrival)) {
        ++card.injectedDrops;
        return;
    }
    uint8_t* slot = card.capture.BeginStore();
    if (slot == nullptr) return;
    const size_t size = cassette_->ReadFrame(picture, slot, PDV_SLOT_BYTES);
    if (size == 0) return;
    if (faults.CorruptsArrival(arrival)) {
        const DIO_VideoFormat standard = FrameStandard(slot, size);
        ClearSubcodePacks(slot, standard);
        ClearAuxiliaryPacks(slot, standard);
        ++card.corruptedFrames;
    }
    const Faults::ReadDamage damage = faults.TakeReadDamage(picture);
    if (damage.concealedBlocks > 0 || damage.invalidSamples > 0) {
        const DIO_VideoFormat standard = FrameStandard(slot, size);
        if (damage.concealedBlocks > 0) dv25::MarkErroredVideoBlocks(slot, standard, damage.concealedBlocks);
        if (damage.invalidSamples > 0)
            dv25::MarkInvalidSamples(slot, standard, static_cast<uint32_t>(damage.invalidSamples));
    }
    card.capture.CommitStore(size);
}

}  // namespace cardsim
