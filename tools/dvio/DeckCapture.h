// One dvio capture from start to end: the plan (the deck's rate, the timecodes, the
// end), the device's standard, the cue, the streams, the take loop, and the end
// (audio owed, streams, deck, files, report). The steps with state of their own are
// objects of their own: the cue (CaptureCue), the frame sink (FrameSink), the files it
// writes to (OutputSequence) and the audio writer (AudioWriter).
#pragma once

#include "AudioWriter.h"
#include "CaptureCommand.h"
#include "CaptureFailure.h"
#include "CaptureReport.h"
#include "Deck.h"
#include "DvFile.h"
#include "FrameSink.h"
#include "HostStreams.h"
#include "OutputSequence.h"
#include "StatusLine.h"
#include "TimecodeArg.h"

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>

class DeckCapture {
public:
    DeckCapture(PluginHost& host, const CaptureRequest& request);

    // Runs the capture; the report is filled as far as it got.
    std::optional<CaptureFailure> Run();
    const CaptureReport& Report() const { return report_; }
    // What removes the files the run created, should a Ctrl-C during the cue have to
    // end the process (see CtrlCWhileCueing).
    void SetRemoveCreated(std::function<void()> removeCreated) { removeCreated_ = std::move(removeCreated); }
    // Sees every frame the capture writes (FrameSink::SetObserver).
    void SetFrameObserver(FrameSink::Observer observer) { observer_ = std::move(observer); }

private:
    using Clock = std::chrono::steady_clock;

    std::optional<CaptureFailure> Prepare();
    std::optional<CaptureFailure> Plan();
    std::optional<CaptureFailure> UseStandard();
    std::optional<CaptureFailure> FollowStandardAtStart();
    std::optional<CaptureFailure> StartStreams(bool leadIn, bool deckWasPlaying);
    std::optional<CaptureFailure> Take();
    std::optional<CaptureFailure> NoMoreFrames();
    std::optional<CaptureFailure> DeviceFailure();
    void Finish();
    timecodeDesc_t DeckDescription() const;
    void ShowStatus(double seconds, const std::string& tapeShows);

    DigitalDevice* device_;
    CaptureRequest request_;
    Deck deck_;
    HostStreams streams_;
    std::unique_ptr<OutputSequence> files_;
    AudioWriter audio_;
    std::unique_ptr<FrameSink> sink_;
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
    bool cueLeadIn_ = false;
    bool cueDeckWasPlaying_ = false;
    bool startPassedBehind_ = false;  // the start went by while the device counted overruns

    std::string endReason_;
    std::function<void()> removeCreated_;
    FrameSink::Observer observer_;
    Clock::time_point started_;
};
