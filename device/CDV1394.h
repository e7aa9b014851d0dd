// The plug-in's device: a DV camcorder or deck on IEEE 1394, reached through a DV
// capture card, behind the host's DigitalDevice interface.
//
// The whole class is declared here once; each subsystem defines its members in its own
// files (plugin/, capture/, output/, deck/). Overrides are grouped by subsystem below;
// their slots are fixed by DigitalDevice, whatever the order here.
//
// Threads: host threads call any operation; the capture thread (started by the first
// input Arm) and the record thread (started when the card session opens) share the
// members marked as atomics below. Multi-word timecodes that several threads touch
// (m_tcStart, m_tcRecord, m_tcCurrent, m_tcDesc) are read and written only under
// m_csCaptureThreadTimecode; m_Discontinuity only under m_csTimeCodeDiscontinuity.
#pragma once

#include "digitalio/DIOFormat.h"
#include "digitalio/DIOTypes.h"
#include "digitalio/DV25audioReshuffler.h"
#include "digitalio/DV25Timecode.h"
#include "hostcore/BitMask.h"
#include "hostcore/Timecode.h"
#include "interface/DigitalDevice.h"

#include <atomic>
#include <cstdint>
#include <mutex>

class DV1394VideoInput;
class DV1394AudioInput;
class DV1394VideoOutput;
class DV1394AudioOutput;
namespace dv1394 {
struct AVCBuffer;
}

class DLL_EXPORT CDV1394 : public DigitalDevice {
public:
    CDV1394();
    ~CDV1394() override;
    // The device owns its queues, buffers and formats; a copy would share them.
    CDV1394(const CDV1394&) = delete;
    CDV1394& operator=(const CDV1394&) = delete;

    // ---- Adapters, nodes and controls ----
    LONG GetNumberHostAdapters() override;
    LONG GetHostAdapterName(LONG adapter, char* name) override;
    LONG GetHostAdapterFormat() override;
    LONG GetHostAdapterAttributes() override;
    unsigned char HasAVDevice(LONG adapter, LONG device) override;
    unsigned char HasAVWritableDevice(LONG adapter, LONG device) override;
    void SetToCurrentAVDevice(LONG adapter, LONG device) override;
    LONG GetMaxNodes() override;
    unsigned char SetControlNode(int node) override;
    unsigned char GetControlNode(int* node) override;
    unsigned char SetIONode(int node) override;
    unsigned char GetIONode(int* node) override;
    unsigned char HasControl(LONG id) override;
    unsigned char GetControl(LONG id, void* value) override;
    unsigned char GetControlRange(LONG id, void* minimum, void* maximum) override;
    unsigned char GetControlDefault(LONG id, void* value) override;
    LONG GetControlSize(LONG id) override;
    unsigned char SetControl(LONG id, void* value) override;
    unsigned char CanSetControl(LONG id) override;

    // ---- Capture: VideoIn ----
    LONG GetVideoInRingBufferSize() override;
    unsigned char SetVideoInRingBufferSize(LONG size) override;
    ULONG GetVideoInRingBufferWritePosition() override;
    ULONG GetVideoInRingBufferReadPosition() override;
    LONG NegotiateVideoInPageSize(LONG size) override;
    LONG NegotiateVideoInBlockSize(LONG size) override;
    LONG ReqVideoInTakePtr(LONG length, void** data, DIOFormat** format) override;
    void AckVideoInTakePtr(LONG length) override;
    unsigned char PrepareVideoIn() override;
    unsigned char ArmVideoIn() override;
    unsigned char StartVideoIn() override;
    unsigned char PauseVideoIn() override;
    unsigned char AbortVideoIn() override;
    unsigned char TerminateVideoIn() override;
    VDMDeviceState VideoInGetState() override;
    unsigned char VideoInAwaitState(VDMDeviceState state, LONG timeout) override;
    LONG VideoInCurrentFrame() override;
    LONG VideoConCurrentFrame() override;
    void VideoInSetCurrentFrame(LONG frame) override;
    LONG VideoInReadFrameIndex(ULONG* index, ULONG count) override;

    // ---- Capture: VideoConfidence ----
    LONG GetVideoConfidenceRingBufferSize() override;
    unsigned char SetVideoConfidenceRingBufferSize(LONG size) override;
    ULONG GetVideoConfidenceRingBufferWritePosition() override;
    ULONG GetVideoConfidenceRingBufferReadPosition() override;
    LONG NegotiateVideoConfidencePageSize(LONG size) override;
    LONG NegotiateVideoConfidenceBlockSize(LONG size) override;
    LONG ReqVideoConfidenceTakePtr(LONG length, void** data, DIOFormat** format) override;
    void AckVideoConfidenceTakePtr(LONG length) override;
    unsigned char PrepareVideoConfidence() override;
    unsigned char ArmVideoConfidence() override;
    unsigned char StartVideoConfidence() override;
    unsigned char PauseVideoConfidence() override;
    unsigned char AbortVideoConfidence() override;
    unsigned char TerminateVideoConfidence() override;
    VDMDeviceState VideoConfidenceGetState() override;
    unsigned char VideoConfidenceAwaitState(VDMDeviceState state, LONG timeout) override;

    // ---- Capture: AudioIn ----
    LONG GetAudioInRingBufferSize() override;
    unsigned char SetAudioInRingBufferSize(LONG size) override;
    ULONG GetAudioInRingBufferWritePosition(int channel) override;
    ULONG GetAudioInRingBufferReadPosition(int channel) override;
    LONG NegotiateAudioInPageSize(LONG size) override;
    LONG NegotiateAudioInBlockSize(LONG size) override;
    LONG ReqAudioInTakePtr(LONG length, void** data, DIOFormat** format, int channel) override;
    void AckAudioInTakePtr(LONG length, int channel) override;
    unsigned char PrepareAudioIn(BitMask channels) override;
    unsigned char ArmAudioIn() override;
    unsigned char StartAudioIn() override;
    unsigned char PauseAudioIn() override;
    unsigned char AbortAudioIn() override;
    unsigned char TerminateAudioIn() override;
    VDMDeviceState AudioInGetState() override;
    unsigned char AudioInAwaitState(VDMDeviceState state, LONG timeout) override;

    // ---- Print to tape: VideoOut ----
    LONG GetVideoOutRingBufferSize() override;
    unsigned char SetVideoOutRingBufferSize(LONG size) override;
    ULONG GetVideoOutRingBufferWritePosition() override;
    ULONG GetVideoOutRingBufferReadPosition() override;
    LONG NegotiateVideoOutPageSize(LONG size) override;
    LONG NegotiateVideoOutBlockSize(LONG size) override;
    LONG ReqVideoOutGivePtr(LONG length, LONG hostArg1, int hostArg2, LONG minimum, void** data) override;
    void AckVideoOutGivePtr(LONG length, int hostArg) override;
    unsigned char PrepareVideoOut() override;
    unsigned char ArmVideoOut() override;
    unsigned char StartVideoOut() override;
    unsigned char PauseVideoOut() override;
    unsigned char AbortVideoOut() override;
    unsigned char TerminateVideoOut() override;
    void FlushVideoOut() override;
    VDMDeviceState VideoOutGetState() override;
    unsigned char VideoOutAwaitState(VDMDeviceState state, LONG timeout) override;
    LONG VideoOutCurrentFrame() override;
    void VideoOutSetCurrentFrame(LONG frame) override;
    unsigned char VideoOutFrameIndexRequired(int which) override;
    void VideoOutSetFrameIndex(LONG count, ULONG* index) override;

    // ---- Print to tape: AudioOut ----
    LONG GetAudioOutRingBufferSize() override;
    unsigned char SetAudioOutRingBufferSize(LONG size) override;
    ULONG GetAudioOutRingBufferWritePosition(int channel) override;
    ULONG GetAudioOutRingBufferReadPosition(int channel) override;
    LONG NegotiateAudioOutPageSize(LONG size) override;
    LONG NegotiateAudioOutBlockSize(LONG size) override;
    LONG ReqAudioOutGivePtr(LONG length, LONG hostArg1, int hostArg2, LONG minimum, void** data,
                            int channel) override;
    void AckAudioOutGivePtr(LONG length, int hostArg, int channel) override;
    unsigned char PrepareAudioOut(BitMask channels) override;
    unsigned char ArmAudioOut() override;
    unsigned char StartAudioOut() override;
    unsigned char PauseAudioOut() override;
    unsigned char AbortAudioOut() override;
    unsigned char TerminateAudioOut() override;
    VDMDeviceState AudioOutGetState() override;
    unsigned char AudioOutAwaitState(VDMDeviceState state, LONG timeout) override;
    LONG AudioOutCurrentFrame() override;

    // ---- Deck control: transport and status ----
    DDCError_t DevicePlay() override;
    DDCError_t DeviceStop() override;
    DDCError_t DevicePause() override;
    DDCError_t DeviceFF() override;
    DDCError_t DeviceFFrame() override;
    DDCError_t DeviceRew() override;
    DDCError_t DeviceRewFrame() override;
    DDCError_t DeviceShuttle(LONG speed) override;
    DDCError_t DeviceGetTimecode(timecode_t* timecode) override;
    DDCError_t DeviceRecord() override;
    DDCError_t DeviceGetFrameRate(unsigned char* dropFrame, LONG* rate) override;
    DDCError_t DeviceEject() override;
    DDCError_t DeviceUnitInfo(LONG* first, LONG* second, char* text1, char* text2) override;
    DDCError_t DeviceGetState(TransportState_t* state) override;
    DDCError_t DeviceAskForTCAsync() override;
    DDCError_t DeviceReceiveAsyncTC(timecode_t* timecode) override;
    void DeviceCancelAsyncTC() override;
    DDCError_t DeviceAskForStateAsync() override;
    DDCError_t DeviceReceiveAsyncState(TransportState_t* state) override;
    void DeviceCancelAsyncState() override;
    DDCError_t DeviceSchedulePeriodicTask(unsigned char on) override;
    DDCError_t DeviceDoPeriodicTask() override;

    // ---- Deck control: seeking ----
    DDCError_t DeviceSeekToTimecode(timecode_t target) override;

    // ---- Deck control: edit operations ----
    DDCError_t DeviceGotoPreroll() override;
    DDCError_t DeviceGetIn(timecode_t* in) override;
    DDCError_t DeviceSetIn(timecode_t in) override;
    DDCError_t DeviceGetOut(timecode_t* out) override;
    DDCError_t DeviceSetOut(timecode_t out) override;
    DDCError_t DeviceGetPreroll(timecode_t* preroll) override;
    DDCError_t DeviceSetPreroll(timecode_t preroll) override;
    DDCError_t DeviceGetEditMode(DeviceEditMode_t* mode) override;
    DDCError_t DeviceSetEditMode(DeviceEditMode_t mode) override;
    DDCError_t DeviceSetTracks(unsigned char video, unsigned char audio) override;
    DDCError_t DevicePerform() override;
    DDCError_t DeviceGetEditStatus(DeviceEditStatus_t* status) override;
    void DeviceSetRecordPlayDelay(LONG delay) override;
    void DeviceSetRecordStopDelay(LONG delay) override;

    // Slots 147 to 149 (raw AV/C from the host) keep DigitalDevice's answers.

    // ---- Print to tape ----
    // The host's frame number of the frame on the card's output (VideoOutCurrentFrame).
    LONG CurrentVideoOutFrame();

    // ---- Adapters ----
    // 1 when the session is open and a DV device is connected; never opens the session.
    LONG GetNumberAVDevices(LONG adapter);

    // ---- Record thread ----
    // Starts the record thread and waits (briefly) until it runs.
    void RecordThreadStart();
    // Signals the record thread to end and waits for it (briefly).
    void EndRecordThread();
    // The record thread's body; returns when told to end.
    bool DVRecordThread();

    // ---- Capture thread ----
    // The capture thread's body (capture/CaptureThread.cpp); true when it ended on an error.
    bool DVCaptureThread();
    // The thread's last step: counts an error on every input queue when asked, then
    // signals "CaptureThreadDone".
    void EndCaptureThread(bool error);

    // Five process-wide locks; every constructor initialises them and every destructor
    // deletes them, so at most one device may exist at a time.
    static CRITICAL_SECTION m_csCaptureThreadTimecode;  // captured timecode
    static CRITICAL_SECTION m_csCaptureThreadStart;     // starting and ending the capture thread
    static CRITICAL_SECTION m_csRecordThreadStart;      // (life cycle only)
    static CRITICAL_SECTION m_csDevicePresentCall;      // one device-present query at a time
    static CRITICAL_SECTION m_csTimeCodeDiscontinuity;  // m_Discontinuity

private:
    friend struct PluginTestAccess;

    // ---- Controls ----
    // The frame delay controls 18 and 0xb20005 report.
    LONG FrameDelay() const;

    // ---- Driver session ----
    void OpenKordexDriver(DIO_VideoFormat format);
    unsigned char InitializeKordex(DIO_VideoFormat format);
    void UnInitializeKordex();
    unsigned char KordexDDCReady();
    DDCError_t DeviceInitialize();
    void DeviceUnInitialize();

    // ---- Format negotiation ----
    bool ListFormats(DIOFormat* format);
    bool GetVideoFormat(DIOFormat* format, DIO_VideoFormat* video);
    bool GetAudioFormat(DIOFormat* format, DIO_AudioFormat* audio);
    bool UpdateFormat(DIOFormat* format, bool* videoChanged);
    bool UpdateFormats(DIOFormat* captureFormat, DIOFormat* printFormat, bool* videoChanged);
    unsigned char CopyDIOFormat(DIOFormat* destination, DIOFormat* source);
    void GetFormats(unsigned char* frame, DIO_AudioFormat* audio, DIO_VideoFormat* video);
    int DetectAndProcessFormatChange(unsigned char* frame, DIO_AudioFormat* audio, DIO_VideoFormat* video);
    void ApplyVideoStandard(DIO_VideoFormat video);
    // No stream armed or running and nothing being sent: buffers may be replaced.
    bool FormatChangeIsSafe() const;

    // ---- Input streams ----
    // Bit 1 video (VideoIn or VideoConfidence), bit 2 audio: which input streams are
    // prepared to run, and which are running.
    int WhichInputDevicesWillRun();
    int WhichInputDevicesAreRunning();
    // Prepare's share: the capture bookkeeping a new capture starts from, and the two
    // capture-thread events (false when a needed one cannot be made).
    void ResetCaptureBookkeeping();
    bool CreateCaptureThreadEvents(bool needStartedEvent);
    // Arm's share: starts the one capture thread unless it runs; false when it cannot.
    bool StartCaptureThreadOnce(bool timeCritical);
    // Terminate's share: ends the capture thread once no input stream is prepared.
    bool EndCaptureThreadIfUnused();

    // ---- Capture thread ----
    struct CaptureRun;  // the thread's own state (capture/CaptureThread.cpp)
    bool InitKordexCapture();
    int NumFramesInCaptureQueue();
    void NotifyCaptureOverrun();
    void DetermineTranscoderDelay(int* skip, bool active);
    LONG CapturedFrameCounter();
    void TraceCapture(const char* line);
    void FollowInputStreams(CaptureRun& run);
    bool WaitForCapturedFrame();
    void ApplyStartPointRule(CaptureRun& run);
    void DeliverCapturedFrame(CaptureRun& run, unsigned char* frame);
    void ConsumeCapturedFrame(CaptureRun& run);
    bool EndKordexCapture();

    // ---- Captured timecode ----
    int DecodeTimecode(unsigned char* frame);
    void CheckTimeCodeContinuity(timecode_t* last, unsigned char* frame, bool* repeat);
    void GetCurrentTimeCode(timecode_t* timecode, LONG* tick, bool* fromFrame);
    unsigned char GetTimecodeFromCaptureThread(timecode_t* timecode);
    // m_tcCurrent, read under m_csCaptureThreadTimecode.
    timecode_t CapturedTimecode();

    // ---- Deck control: AV/C commands and tape queries ----
    // Probes whether the connected deck accepts recording (m_bAVWritable).
    void SetAVWritableFlag();
    // Sends one AV/C frame to the deck (buffers in the quadlet layout of
    // deck/AvcBuffer.h), again while the deck answers IN TRANSITION; 1 when the final
    // answer is a success code.
    unsigned char SendGenericCmd(ULONG first, ULONG commandLength, ULONG third, unsigned char* command,
                                 ULONG* responseLength, unsigned char* response);
    // SendGenericCmd as every query and search of the plug-in sends: the first
    // `commandLength` frame bytes of `command`, the answer in `response`.
    unsigned char SendAVCCommand(dv1394::AVCBuffer& command, ULONG commandLength, dv1394::AVCBuffer& response);
    unsigned char GetTimecode(timecode_t* timecode);
    // `answered`, when given, is whether the deck answers the query at all: FF bytes
    // (no timecode under the head) are an answer, NOT IMPLEMENTED is not.
    unsigned char GetSMPTETimecode(timecode_t* timecode, bool* answered = nullptr);
    unsigned char GetAbsoluteTrackNumber(LONG* track, unsigned char* blankFlag);
    unsigned char GetMediumInfo(unsigned char* cassetteType, unsigned char* gradeAndProtect);
    unsigned char IsDVCAMTape();
    bool CheckIfDeviceIsWritable();
    unsigned char WaitTillOutOfTransition();

    // ---- Deck control: transport and status ----
    // The common frame of the transport commands: clears a pending seek, calls the
    // library when the session is ready (else "Driver Error"), logs, returns the error.
    DDCError_t TransportCommand(const char* logName, DDCError_t (*libraryCall)());
    TransportState_t TranslateDeviceState(LONG rawState);
    // m_tcDesc is shared with the capture thread: copies and updates go under
    // m_csCaptureThreadTimecode.
    timecodeDesc_t DeckTimecodeDesc();
    void SetDeckTimecodeDesc(const timecodeDesc_t& desc);
    void SetDeckDropFrameWord(DWORD dropFrame);
    // The empty timecode with the deck's description.
    timecode_t DeckNoTimecode();

    // ---- Deck control: seeking ----
    unsigned char SeekToTimecodeWithTC(timecode_t target);
    unsigned char SeekToTimecodeWithRelativeATN(timecode_t target);
    unsigned char IsPositionedAtTC(timecode_t target);
    unsigned char AdjustTapePosition(timecode_t target);

    // ---- Output streams: hand-over to the record thread ----
    // Posts `event` for `device` and waits for its acknowledgement (1000 ms, 10000 ms
    // for Start); 1 when acknowledged. Hand-overs of both streams are serialised.
    unsigned char HandOverOutputCommand(CDV1394_Event event, CDV1394_Device device);
    // An output stream's step from state `from` to `to` through the record thread
    // (output/OutputStreamStep.h); Start and Pause need the thread alive.
    template <typename Queue>
    unsigned char StepOutputStream(Queue* queue, VDMDeviceState from, VDMDeviceState to, CDV1394_Event event,
                                   CDV1394_Device device, bool needsRecordThread);
    // An output stream's Terminate (output/OutputStreamStep.h): `keptDevice` is the
    // other stream's bit of m_nOutputDevices, which stays.
    template <typename Queue>
    unsigned char TerminateOutputStream(Queue* queue, CDV1394_Device device, LONG keptDevice,
                                        std::atomic<bool>& prepared);
    // Terminate's share: hands the event over while the record loop sends, else takes
    // the card out of playback on this thread. False when the hand-over timed out;
    // *ringsFree tells whether the record thread is done with the stream's rings.
    bool StopOutputForTerminate(CDV1394_Device device, bool* ringsFree);
    // The record thread's answer to the command it is running (or the newest posted
    // one, when the record loop ends on a command it has not taken yet).
    void AcknowledgeCommand();
    void PublishAcknowledgement(ULONG number);
    // Record thread: takes one posted command of a stream and runs the event machine.
    void RunPostedCommand(CDV1394_Device device);
    // False while the record thread may use the output rings, mask or shufflers: the
    // record loop is sending, or a command still runs after the wait for it (1000 ms).
    bool OutputSettled() const;

    // ---- Stream event machine ----
    void ProcessEvent(CDV1394_Event event, CDV1394_Device device);
    void ProcessSingleDeviceEvent(CDV1394_Event event, CDV1394_Device device);
    void ProcessDoubleDeviceEvent(CDV1394_Event event, CDV1394_Device device);
    // Copies a set start timecode into the record timecode (marked used in edit mode 0).
    void TakeStartTimecode(DeviceEditMode_t mode);
    DeviceEditMode_t CurrentEditMode();

    // ---- Record loop and frame assembly ----
    bool SendDataToCamera();
    bool StartCardOutput();
    bool QueueAFrame();
    bool QueueABlipFrame();
    bool PreloadAudio();
    bool PreloadVideo();
    bool PreloadAudioAndVideo();
    bool PreloadFrames();
    void DetermineNumOutputFrames();
    unsigned char CopyBlackFrame(BYTE* destination);
    bool SetFieldMode(BYTE* frame, int mode);
    void ResetPlaybackCounters();
    LONG NumFramesPlayed();
    int NumFramesInDVDriver();
    void NotifyRecordUnderruns();
    void RecordThreadErrors();
    void TracePlayback(const char* line);
    // Bytes of one DV frame of the current standard; 0 for none.
    ULONG OutputFrameSize() const;

    // ---- Playback driver modes (true from the Init and Reset functions: failed) ----
    bool InitSingleFramePlay();
    bool InitMultiFramePlay();
    bool ResetSingleFramePlay();
    bool ResetMultiFramePlay();
    bool EnableKordexOutput();
    bool BeginKordexPlayback();
    bool InitKordexRecord();
    bool ResetKordexRecord();
    // Play/pause mode 2 (the odd field); true when setting it failed.
    bool UseOddFieldStill();

    // ---- Last error ----
    // m_szLastError is written by the capture and record threads and read by the host.
    void SetLastErrorText(const char* text);
    // Copies the text and its terminator (at most the member's 256 bytes); its length.
    size_t CopyLastErrorText(char* destination);

    // ---- Silent audio and the black frame ----
    void CreateSilentReshuffler();
    unsigned char ShuffleSilence(BYTE* frame);
    bool ConstructBlackFrame();

    // ---- Teardown ----
    // Asks a running capture thread to end and waits until it has.
    void StopCaptureThread();
    void CloseEvents();

    // ---- Data members, in the host's declaration order ----
    DV1394VideoInput* m_pVideoIn;
    DV1394VideoInput* m_pVideoConfidence;
    DV1394VideoOutput* m_pVideoOut;
    DV1394AudioInput* m_pAudioIn;
    DV1394AudioOutput* m_pAudioOut;
    LONG m_nCaptureFramesAvailable;                 // capture thread only
    LONG m_nCaptureFramesTaken;                     // capture thread only
    LONG m_nCaptureFrameBase;                       // capture thread only
    std::atomic<LONG> m_nPlaybackFrameBase;
    std::atomic<LONG> m_nPlaybackFrameNow;
    std::atomic<LONG> m_nFramesSentToDriver;
    std::atomic<LONG> m_nFramesInDriver;
    timecode_t m_tcStart;                           // under m_csCaptureThreadTimecode
    timecode_t m_tcRecord;                          // under m_csCaptureThreadTimecode
    std::atomic<bool> m_bStartTimecodeSet;
    std::atomic<bool> m_bStartTimecodeUsed;
    TimecodeDiscontinuity m_Discontinuity;          // under m_csTimeCodeDiscontinuity
    DV25Timecode m_DV25Timecode;
    bool m_bStartReached;                           // capture thread only
    std::atomic<bool> m_bStartMissed;
    std::atomic<DWORD> m_dwLastTCTick;
    timecode_t m_tcCurrent;                         // under m_csCaptureThreadTimecode
    timecode_t m_tcFirstDecoded;                    // capture thread only
    timecode_t m_tcExpected;                        // capture thread only
    timecode_t m_tcContinuityMark;                  // capture thread only
    std::atomic<bool> m_bTimecodeFromFrame;
    bool m_bContinuityPending;                      // capture thread only
    LONG m_nTCFramesSinceCheck;                     // capture thread only
    std::atomic<DWORD> m_dwLastFrameTick;
    LONG m_nFrameDelay;
    LONG m_nFrameDelayTimed;
    DWORD m_dwFourCC;
    LONG m_nControl1000B;
    LONG m_nControl30001;
    char m_szLastError[256];
    LONG m_nTCFrameRate;
    LONG m_bTCDropFrame;
    LONG m_hKordex;                                 // card handle; 0 while the driver is closed
    LONG m_bDDCInitialized;
    LONG m_bDeviceInitialized;
    LONG m_bAVWritable;
    LONG m_bSeekPending;
    DWORD m_dwSeekStopTick = 0;                     // when a pending seek first read STOP (0: it has not)
    LONG m_bLibrarySeekOnly;
    std::atomic<DeviceEditMode_t> m_nEditMode;      // the record thread reads it
    timecodeDesc_t m_tcDesc;                        // under m_csCaptureThreadTimecode
    timecode_t m_tcPreroll;
    timecode_t m_tcIn;
    LONG m_nRecordPlayDelay;
    LONG m_nRecordStopDelay;
    LONG m_nATNFrameOffset;
    LONG m_bHasSMPTETimecode;
    std::atomic<bool> m_bVideoInPrepared;
    std::atomic<bool> m_bVideoConfidencePrepared;
    std::atomic<bool> m_bAudioInPrepared;
    std::atomic<bool> m_bVideoOutPrepared;
    std::atomic<bool> m_bAudioOutPrepared;
    std::atomic<bool> m_bCaptureThreadRunning;
    std::atomic<bool> m_bRecordThreadRunning;
    std::atomic<bool> m_bStopCaptureThread;
    HANDLE m_hCaptureThreadStarted;
    HANDLE m_hRecordThreadStarted;
    HANDLE m_hCaptureThreadDone;
    HANDLE m_hRecordThreadDone;
    std::atomic<DIO_VideoFormat> m_eVideoFormat;
    std::atomic<bool> m_bSignalPresent;
    std::atomic<DIO_AudioFormat> m_eAudioFormatIn;
    std::atomic<DIO_AudioFormat> m_eAudioFormatOut;
    BYTE* m_pBlackFrame;
    DV25audioReshuffler* m_pSilentReshuffler;
    BitMask* m_pSilentChannels;
    DIOFormat* m_pCaptureFormat;
    DIOFormat* m_pPrintFormat;
    DIOFormat* m_pDeviceFormat;
    std::atomic<bool> m_bExtraFrameQueued;
    BYTE* m_pOutputFrameBuffer;
    std::atomic<LONG> m_nNumOutputFrames;
    std::atomic<bool> m_bSendingToCamera;
    HANDLE m_hRecordEvents[4];  // [0] end the thread, [1] AudioOut command, [2] VideoOut command, [3] done
    std::atomic<CDV1394_Event> m_nAudioOutCommand;
    std::atomic<CDV1394_Event> m_nVideoOutCommand;
    std::atomic<LONG> m_nOutputDevices;             // bit 1 AudioOut, bit 2 VideoOut prepared
    std::atomic<bool> m_bTraceDeckControl;
    std::atomic<bool> m_bTraceCapture;
    std::atomic<bool> m_bTracePlayback;
    std::atomic<LONG> m_nPreloadedFrames;

    // ---- Beyond the host's members ----
    // Host threads hand output commands over one at a time (also Terminate's direct
    // card reset); each command carries a number and each acknowledgement names the
    // number it answers, so a late answer to an earlier command releases nobody.
    std::mutex m_OutputHandOverLock;
    // A posted command as one word: its number in the high half, the event in the low.
    std::atomic<ULONG> m_nCommandsPosted;           // host threads, under the lock
    std::atomic<uint64_t> m_nAudioOutCommandTicket;  // with m_nAudioOutCommand; 0: none
    std::atomic<uint64_t> m_nVideoOutCommandTicket;  // with m_nVideoOutCommand; 0: none
    std::atomic<ULONG> m_nCommandAnswered;          // record thread: the latest answered
    ULONG m_nCommandRunning;                        // record thread only: the command it runs
    bool m_bAcknowledgeDue;                         // record thread only: the machine said done
    std::atomic<bool> m_bRunningCommand;            // record thread: inside the event machine
    // Set by RecordThreadStart before the thread exists, cleared by EndRecordThread once
    // it has ended: the session must not close under a thread that started late.
    std::atomic<bool> m_bRecordThreadLaunched;
    std::mutex m_LastErrorLock;                   // m_szLastError
};

// Shared members keep the documented widths: a flag is one byte, a long four.
static_assert(sizeof(std::atomic<bool>) == 1 && std::atomic<bool>::is_always_lock_free, "one-byte flags");
static_assert(sizeof(std::atomic<LONG>) == 4 && std::atomic<LONG>::is_always_lock_free, "32-bit counters");
static_assert(sizeof(std::atomic<DWORD>) == 4 && std::atomic<DWORD>::is_always_lock_free, "32-bit ticks");
static_assert(sizeof(std::atomic<CDV1394_Event>) == 4, "32-bit command words");
