// One capture from start to end, as dvio capture runs it: the plan (the deck's rate,
// the timecodes, the end), the device's standard, the cue, the streams, the take
// loop, and the end (audio owed, streams, deck, files, report). Its members are
// spread over CaptureRun.cpp, CaptureCue.cpp and CaptureTaking.cpp.
#pragma once

#include "AudioTake.h"
#include "CaptureAudio.h"
#include "CaptureCommand.h"
#include "CaptureReport.h"
#include "Deck.h"
#include "DeliveryCount.h"
#include "DvFile.h"
#include "ExitCodes.h"
#include "InputStreams.h"
#include "StatusLine.h"
#include "TimecodeArg.h"
#include "WavSeries.h"

#include <chrono>
#include <optional>
#include <string>

// A failure that ends the command: its sentence and exit code.
struct CaptureFailure {
    std::string sentence;
    int code = kExitFailed;
};

class CaptureRun {
public:
    CaptureRun(PluginHost& host, const CaptureRequest& request);

    // Runs the capture; the report is filled as far as it got.
    std::optional<CaptureFailure> Run();
    const CaptureReport& Report() const { return report_; }

private:
    using Clock = std::chrono::steady_clock;

    // CaptureRun.cpp
    std::optional<CaptureFailure> Plan();
    std::optional<CaptureFailure> UseStandard();
    std::optional<CaptureFailure> FollowStandardAtStart();
    void Finish();
    timecodeDesc_t DeckDescription() const;

    // CaptureCue.cpp
    std::optional<CaptureFailure> Cue();
    int StepBack(int steps);
    std::optional<CaptureFailure> StartStreams();

    // CaptureTaking.cpp
    std::optional<CaptureFailure> Take();
    bool OnFrame(const uint8_t* frame, size_t size);
    bool EndAtStandardChange(const uint8_t* frame, DIO_VideoFormat other);
    void OnFormat(const DIOFormat& format);
    void PlacePendingChange(int64_t frame, const std::string& timecode);
    std::optional<CaptureFailure> WatchForStart(double deckSeconds);
    void ReadDeliveryCount();
    void ShowStatus(double seconds);

    DigitalDevice* device_;
    CaptureRequest request_;
    Deck deck_;
    InputStreams streams_;
    DvFileWriter dv_;
    WavSeries wav_;
    AudioTake audioTake_;
    CaptureAudio audio_;
    DeliveryCount delivery_;
    StatusLine status_;
    CaptureReport report_;

    // What the deck counts in, and what the device captures.
    int fps_ = 30;
    bool dropFrame_ = true;
    DIO_VideoFormat standard_ = DIO_NTSC;
    size_t frameSize_ = kDVFrameSizeNTSC;

    std::optional<TimecodeArg> from_;
    std::optional<TimecodeArg> to_;
    int64_t frameLimit_ = -1;
    bool deckWasPlaying_ = false;
    // The device starts a frame early and dvio drops that frame (see Cue).
    bool leadIn_ = false;
    int64_t deviceFrames_ = 0;  // frames taken from VideoIn, the lead-in included

    // While taking.
    bool ended_ = false;
    std::string endReason_;
    std::optional<CaptureReport::FormatChange> pendingChange_;
    std::string writeError_;
    Clock::time_point started_;
    Clock::time_point lastFrameAt_;
    std::string tapeFirstSeen_, tapeLastSeen_;
};
