// The host's abstract digital I/O device, as the host sees it.
//
// The host drives a device only through this virtual table, by slot number, so the
// order of the virtual functions below is part of the binary interface and must not
// change: slot 0 is the destructor, slots 1 to 144 are pure, slots 145 to 149 carry
// the bodies in DigitalDevice.cpp. The host's `long` is 32 bits: every `long` of the
// interface is LONG and every `unsigned long` is ULONG.
#pragma once

#include "DDCError.h"
#include "digitalio/DIOFormat.h"
#include "hostcore/BitMask.h"
#include "hostcore/Timecode.h"
#include "windows.h"

#include <cstddef>

static_assert(sizeof(LONG) == 4 && sizeof(ULONG) == 4, "the host's long is 32 bits");
static_assert(sizeof(timecodeDesc_t) == 12, "the host sees a 12-byte timecode description");
static_assert(sizeof(timecode_t) == 16, "the host sees a 16-byte timecode");

// State of one stream. Prepare accepts Idle, Prepared and Aborted; Arm needs Prepared;
// Start needs Armed; Pause goes from Running back to Armed; Abort from Prepared, Armed
// or Running; Terminate from any state back to Idle.
enum VDMDeviceState {
    VDMIdle = 0,
    VDMPrepared = 1,
    VDMArmed = 2,
    VDMRunning = 3,
    VDMAborted = 4,
};

// An output-stream command a host thread hands to the record thread.
enum CDV1394_Event {
    EventNone = 0,
    EventPrepare = 1,
    EventArm = 2,
    EventStart = 3,
    EventPause = 4,
    EventAbort = 5,
    EventTerminate = 6,
};

// Which output stream a command concerns.
enum CDV1394_Device {
    DeviceAudioOut = 0,
    DeviceVideoOut = 1,
};

// Transport state reported to the host. Only these values are ever produced; several
// deck states share one value (for example cue and fast forward).
enum TransportState_t {
    TransportUnknown = 0,
    TransportStopped = 1,
    TransportPaused = 2,  // forward or reverse playback pause
    TransportRecordPaused = 3,
    TransportPlaying = 4,
    TransportReverseShuttle = 7,
    TransportSlowMotion = 10,
    TransportReverseFast = 12,
    TransportReversePlaying = 13,
    TransportRewinding = 21,
    TransportForwardSlow = 24,
    TransportForwardPlaying = 30,
    TransportFastForwarding = 31,
    TransportForwardFast = 32,
    TransportForwardShuttle = 37,
    TransportRecording = 41,
    TransportEjected = 42,
    TransportNoDevice = 44,
    TransportSeeking = 46,  // a seek was accepted and the deck is still moving
};

// 0 prints plainly; 1 and 2 start a synchronised record on the deck, and 2 also hands
// the record stop delay to the card.
enum DeviceEditMode_t {
    EditModeNone = 0,
    EditModeSynchronised = 1,
    EditModeSynchronisedStopDelay = 2,
};

enum DeviceEditStatus_t {
    EditStatusRecording = 2,
    EditStatusIdle = 4,
};

static_assert(sizeof(VDMDeviceState) == 4 && sizeof(CDV1394_Event) == 4 && sizeof(CDV1394_Device) == 4 &&
                  sizeof(TransportState_t) == 4 && sizeof(DeviceEditMode_t) == 4 &&
                  sizeof(DeviceEditStatus_t) == 4,
              "host enums are 32 bits");

// The latest timecode break seen in captured material; the host reads it as one block.
struct TimecodeDiscontinuity {
    LONG nCount;          // breaks counted since capture start
    timecode_t tcBefore;  // last timecode before the break
    timecode_t tcAfter;   // timecode after the break, or empty when that frame had none
};
static_assert(sizeof(TimecodeDiscontinuity) == 36, "the host copies a 36-byte record");
static_assert(offsetof(TimecodeDiscontinuity, tcBefore) == 4 && offsetof(TimecodeDiscontinuity, tcAfter) == 20,
              "count, then the timecode before, then the timecode after");

// The host's AV/C frame record. Fields are kept apart for editing and packed into
// `m_aFrame` in bus order: byte 0 the ctype (or the response code of a response) in its
// low nibble, byte 1 the subunit type in bits 7..3 and the subunit ID in bits 2..0,
// byte 2 the opcode, bytes 3 to 511 the operands.
struct AVC {
    static constexpr int kOperandCount = 509;
    static constexpr int kFrameSize = 512;
    static constexpr LONG kHeaderLength = 3;

    LONG m_nLength;     // frame length in bytes: 3 plus the operands in use
    LONG m_bResponse;   // the record holds a response (fixed at construction)
    BYTE m_cCType;
    BYTE m_cResponse;
    BYTE m_cOpcode;
    BYTE m_aOperands[kOperandCount];
    LONG m_nSubunitType;
    LONG m_nSubunitID;
    BYTE m_aFrame[kFrameSize];

    explicit AVC(bool response = false);

    // Back to an empty frame of length 3; the response flag stays.
    void Reset();
    // Out of range: ignored. Setting operand i makes the frame at least i + 4 long.
    void SetOperand(int index, BYTE value);
    // Out of range: 0.
    BYTE GetOperand(int index) const;
    // Fields into m_aFrame.
    void Pack();
    // m_aFrame into the fields (the length is left as it is).
    void Unpack();
};
static_assert(offsetof(AVC, m_cCType) == 8 && offsetof(AVC, m_aOperands) == 11 &&
                  offsetof(AVC, m_nSubunitType) == 520 && offsetof(AVC, m_nSubunitID) == 524 &&
                  offsetof(AVC, m_aFrame) == 528 && sizeof(AVC) == 1040,
              "the host's AV/C record layout");

class DLL_EXPORT DigitalDevice {
public:
    DigitalDevice() = default;
    // The interface has no state: copying copies nothing.
    DigitalDevice(const DigitalDevice&) {}
    DigitalDevice& operator=(const DigitalDevice&) { return *this; }

    // Writes the interface version this header describes: 1.0.
    void GetVersion(int* major, int* minor);

    // Slot 0.
    virtual ~DigitalDevice();

    // Slots 1 to 19: adapters, nodes, controls.
    virtual LONG GetNumberHostAdapters() = 0;
    virtual LONG GetHostAdapterName(LONG adapter, char* name) = 0;
    virtual LONG GetHostAdapterFormat() = 0;
    virtual LONG GetHostAdapterAttributes() = 0;
    virtual unsigned char HasAVDevice(LONG adapter, LONG device) = 0;
    virtual unsigned char HasAVWritableDevice(LONG adapter, LONG device) = 0;
    virtual void SetToCurrentAVDevice(LONG adapter, LONG device) = 0;
    virtual LONG GetMaxNodes() = 0;
    virtual unsigned char SetControlNode(int node) = 0;
    virtual unsigned char GetControlNode(int* node) = 0;
    virtual unsigned char SetIONode(int node) = 0;
    virtual unsigned char GetIONode(int* node) = 0;
    virtual unsigned char HasControl(LONG id) = 0;
    virtual unsigned char GetControl(LONG id, void* value) = 0;
    virtual unsigned char GetControlRange(LONG id, void* minimum, void* maximum) = 0;
    virtual unsigned char GetControlDefault(LONG id, void* value) = 0;
    virtual LONG GetControlSize(LONG id) = 0;
    virtual unsigned char SetControl(LONG id, void* value) = 0;
    virtual unsigned char CanSetControl(LONG id) = 0;

    // Slots 20 to 39: VideoIn.
    virtual LONG GetVideoInRingBufferSize() = 0;
    virtual unsigned char SetVideoInRingBufferSize(LONG size) = 0;
    virtual ULONG GetVideoInRingBufferWritePosition() = 0;
    virtual ULONG GetVideoInRingBufferReadPosition() = 0;
    virtual LONG NegotiateVideoInPageSize(LONG size) = 0;
    virtual LONG NegotiateVideoInBlockSize(LONG size) = 0;
    virtual LONG ReqVideoInTakePtr(LONG length, void** data, DIOFormat** format) = 0;
    virtual void AckVideoInTakePtr(LONG length) = 0;
    virtual unsigned char PrepareVideoIn() = 0;
    virtual unsigned char ArmVideoIn() = 0;
    virtual unsigned char StartVideoIn() = 0;
    virtual unsigned char PauseVideoIn() = 0;
    virtual unsigned char AbortVideoIn() = 0;
    virtual unsigned char TerminateVideoIn() = 0;
    virtual VDMDeviceState VideoInGetState() = 0;
    virtual unsigned char VideoInAwaitState(VDMDeviceState state, LONG timeout) = 0;
    virtual LONG VideoInCurrentFrame() = 0;
    virtual LONG VideoConCurrentFrame() = 0;
    virtual void VideoInSetCurrentFrame(LONG frame) = 0;
    virtual LONG VideoInReadFrameIndex(ULONG* index, ULONG count) = 0;

    // Slots 40 to 60: VideoOut.
    virtual LONG GetVideoOutRingBufferSize() = 0;
    virtual unsigned char SetVideoOutRingBufferSize(LONG size) = 0;
    virtual ULONG GetVideoOutRingBufferWritePosition() = 0;
    virtual ULONG GetVideoOutRingBufferReadPosition() = 0;
    virtual LONG NegotiateVideoOutPageSize(LONG size) = 0;
    virtual LONG NegotiateVideoOutBlockSize(LONG size) = 0;
    virtual LONG ReqVideoOutGivePtr(LONG length, LONG hostArg1, int hostArg2, LONG minimum, void** data) = 0;
    virtual void AckVideoOutGivePtr(LONG length, int hostArg) = 0;
    virtual unsigned char PrepareVideoOut() = 0;
    virtual unsigned char ArmVideoOut() = 0;
    virtual unsigned char StartVideoOut() = 0;
    virtual unsigned char PauseVideoOut() = 0;
    virtual unsigned char AbortVideoOut() = 0;
    virtual unsigned char TerminateVideoOut() = 0;
    virtual void FlushVideoOut() = 0;
    virtual VDMDeviceState VideoOutGetState() = 0;
    virtual unsigned char VideoOutAwaitState(VDMDeviceState state, LONG timeout) = 0;
    virtual LONG VideoOutCurrentFrame() = 0;
    virtual void VideoOutSetCurrentFrame(LONG frame) = 0;
    virtual unsigned char VideoOutFrameIndexRequired(int which) = 0;
    virtual void VideoOutSetFrameIndex(LONG count, ULONG* index) = 0;

    // Slots 61 to 76: VideoConfidence.
    virtual LONG GetVideoConfidenceRingBufferSize() = 0;
    virtual unsigned char SetVideoConfidenceRingBufferSize(LONG size) = 0;
    virtual ULONG GetVideoConfidenceRingBufferWritePosition() = 0;
    virtual ULONG GetVideoConfidenceRingBufferReadPosition() = 0;
    virtual LONG NegotiateVideoConfidencePageSize(LONG size) = 0;
    virtual LONG NegotiateVideoConfidenceBlockSize(LONG size) = 0;
    virtual LONG ReqVideoConfidenceTakePtr(LONG length, void** data, DIOFormat** format) = 0;
    virtual void AckVideoConfidenceTakePtr(LONG length) = 0;
    virtual unsigned char PrepareVideoConfidence() = 0;
    virtual unsigned char ArmVideoConfidence() = 0;
    virtual unsigned char StartVideoConfidence() = 0;
    virtual unsigned char PauseVideoConfidence() = 0;
    virtual unsigned char AbortVideoConfidence() = 0;
    virtual unsigned char TerminateVideoConfidence() = 0;
    virtual VDMDeviceState VideoConfidenceGetState() = 0;
    virtual unsigned char VideoConfidenceAwaitState(VDMDeviceState state, LONG timeout) = 0;

    // Slots 77 to 92: AudioIn.
    virtual LONG GetAudioInRingBufferSize() = 0;
    virtual unsigned char SetAudioInRingBufferSize(LONG size) = 0;
    virtual ULONG GetAudioInRingBufferWritePosition(int channel) = 0;
    virtual ULONG GetAudioInRingBufferReadPosition(int channel) = 0;
    virtual LONG NegotiateAudioInPageSize(LONG size) = 0;
    virtual LONG NegotiateAudioInBlockSize(LONG size) = 0;
    virtual LONG ReqAudioInTakePtr(LONG length, void** data, DIOFormat** format, int channel) = 0;
    virtual void AckAudioInTakePtr(LONG length, int channel) = 0;
    virtual unsigned char PrepareAudioIn(BitMask channels) = 0;
    virtual unsigned char ArmAudioIn() = 0;
    virtual unsigned char StartAudioIn() = 0;
    virtual unsigned char PauseAudioIn() = 0;
    virtual unsigned char AbortAudioIn() = 0;
    virtual unsigned char TerminateAudioIn() = 0;
    virtual VDMDeviceState AudioInGetState() = 0;
    virtual unsigned char AudioInAwaitState(VDMDeviceState state, LONG timeout) = 0;

    // Slots 93 to 109: AudioOut.
    virtual LONG GetAudioOutRingBufferSize() = 0;
    virtual unsigned char SetAudioOutRingBufferSize(LONG size) = 0;
    virtual ULONG GetAudioOutRingBufferWritePosition(int channel) = 0;
    virtual ULONG GetAudioOutRingBufferReadPosition(int channel) = 0;
    virtual LONG NegotiateAudioOutPageSize(LONG size) = 0;
    virtual LONG NegotiateAudioOutBlockSize(LONG size) = 0;
    virtual LONG ReqAudioOutGivePtr(LONG length, LONG hostArg1, int hostArg2, LONG minimum, void** data,
                                    int channel) = 0;
    virtual void AckAudioOutGivePtr(LONG length, int hostArg, int channel) = 0;
    virtual unsigned char PrepareAudioOut(BitMask channels) = 0;
    virtual unsigned char ArmAudioOut() = 0;
    virtual unsigned char StartAudioOut() = 0;
    virtual unsigned char PauseAudioOut() = 0;
    virtual unsigned char AbortAudioOut() = 0;
    virtual unsigned char TerminateAudioOut() = 0;
    virtual VDMDeviceState AudioOutGetState() = 0;
    virtual unsigned char AudioOutAwaitState(VDMDeviceState state, LONG timeout) = 0;
    virtual LONG AudioOutCurrentFrame() = 0;

    // Slots 110 to 144: deck control.
    virtual DDCError_t DevicePlay() = 0;
    virtual DDCError_t DeviceStop() = 0;
    virtual DDCError_t DevicePause() = 0;
    virtual DDCError_t DeviceFF() = 0;
    virtual DDCError_t DeviceFFrame() = 0;
    virtual DDCError_t DeviceRew() = 0;
    virtual DDCError_t DeviceRewFrame() = 0;
    virtual DDCError_t DeviceShuttle(LONG speed) = 0;
    virtual DDCError_t DeviceSeekToTimecode(timecode_t target) = 0;
    virtual DDCError_t DeviceGetTimecode(timecode_t* timecode) = 0;
    virtual DDCError_t DeviceRecord() = 0;
    virtual DDCError_t DeviceGotoPreroll() = 0;
    virtual DDCError_t DeviceGetIn(timecode_t* in) = 0;
    virtual DDCError_t DeviceSetIn(timecode_t in) = 0;
    virtual DDCError_t DeviceGetOut(timecode_t* out) = 0;
    virtual DDCError_t DeviceSetOut(timecode_t out) = 0;
    virtual DDCError_t DeviceGetPreroll(timecode_t* preroll) = 0;
    virtual DDCError_t DeviceSetPreroll(timecode_t preroll) = 0;
    virtual DDCError_t DeviceGetFrameRate(unsigned char* dropFrame, LONG* rate) = 0;
    virtual DDCError_t DeviceEject() = 0;
    virtual DDCError_t DeviceUnitInfo(LONG* first, LONG* second, char* text1, char* text2) = 0;
    virtual DDCError_t DeviceGetEditMode(DeviceEditMode_t* mode) = 0;
    virtual DDCError_t DeviceSetEditMode(DeviceEditMode_t mode) = 0;
    virtual DDCError_t DeviceSetTracks(unsigned char video, unsigned char audio) = 0;
    virtual DDCError_t DevicePerform() = 0;
    virtual DDCError_t DeviceGetEditStatus(DeviceEditStatus_t* status) = 0;
    virtual DDCError_t DeviceGetState(TransportState_t* state) = 0;
    virtual DDCError_t DeviceAskForTCAsync() = 0;
    virtual DDCError_t DeviceReceiveAsyncTC(timecode_t* timecode) = 0;
    virtual void DeviceCancelAsyncTC() = 0;
    virtual DDCError_t DeviceAskForStateAsync() = 0;
    virtual DDCError_t DeviceReceiveAsyncState(TransportState_t* state) = 0;
    virtual void DeviceCancelAsyncState() = 0;
    virtual DDCError_t DeviceSchedulePeriodicTask(unsigned char on) = 0;
    virtual DDCError_t DeviceDoPeriodicTask() = 0;

    // Slots 145 to 149: optional for a device; these bodies are the defaults.
    virtual void DeviceSetRecordPlayDelay(LONG delay);
    virtual void DeviceSetRecordStopDelay(LONG delay);
    virtual DDCError_t SendRawCommand(void* command, void* response, ULONG length);
    virtual DDCError_t SendAsyncRawCommand(void* command, ULONG length);
    virtual DDCError_t GetAsyncResponse(AVC* response);
};
