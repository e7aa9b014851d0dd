// The host interface's virtual slots 1 to 149, in the host's order, each with its
// parameter list as a demangler writes it (LONG is int, ULONG unsigned int). Slot 0 is
// the destructor. X(name, parameters) is expanded once per slot; the streams share
// the shapes of their ring, transport and state slots.
#pragma once

// The ring slots of a stream; `position` is the parameter list of its position slots.
#define STREAM_RING_SLOTS(X, Stream, position)                                           \
    X(Get##Stream##RingBufferSize, "") X(Set##Stream##RingBufferSize, "int")             \
    X(Get##Stream##RingBufferWritePosition, position)                                    \
    X(Get##Stream##RingBufferReadPosition, position)                                     \
    X(Negotiate##Stream##PageSize, "int") X(Negotiate##Stream##BlockSize, "int")

#define STREAM_TRANSPORT_SLOTS(X, Stream, prepare)                                       \
    X(Prepare##Stream, prepare) X(Arm##Stream, "") X(Start##Stream, "")                  \
    X(Pause##Stream, "") X(Abort##Stream, "") X(Terminate##Stream, "")

#define STREAM_STATE_SLOTS(X, Stream) X(Stream##GetState, "") X(Stream##AwaitState, "VDMDeviceState, int")

#define DIGITAL_DEVICE_SLOTS(X)                                                          \
    X(GetNumberHostAdapters, "") X(GetHostAdapterName, "int, char*")                     \
    X(GetHostAdapterFormat, "") X(GetHostAdapterAttributes, "")                          \
    X(HasAVDevice, "int, int") X(HasAVWritableDevice, "int, int")                        \
    X(SetToCurrentAVDevice, "int, int") X(GetMaxNodes, "")                               \
    X(SetControlNode, "int") X(GetControlNode, "int*") X(SetIONode, "int") X(GetIONode, "int*") \
    X(HasControl, "int") X(GetControl, "int, void*") X(GetControlRange, "int, void*, void*") \
    X(GetControlDefault, "int, void*") X(GetControlSize, "int") X(SetControl, "int, void*") \
    X(CanSetControl, "int")                                                              \
    STREAM_RING_SLOTS(X, VideoIn, "")                                                    \
    X(ReqVideoInTakePtr, "int, void**, DIOFormat**") X(AckVideoInTakePtr, "int")         \
    STREAM_TRANSPORT_SLOTS(X, VideoIn, "") STREAM_STATE_SLOTS(X, VideoIn)                \
    X(VideoInCurrentFrame, "") X(VideoConCurrentFrame, "") X(VideoInSetCurrentFrame, "int") \
    X(VideoInReadFrameIndex, "unsigned int*, unsigned int")                              \
    STREAM_RING_SLOTS(X, VideoOut, "")                                                   \
    X(ReqVideoOutGivePtr, "int, int, int, int, void**") X(AckVideoOutGivePtr, "int, int") \
    STREAM_TRANSPORT_SLOTS(X, VideoOut, "") X(FlushVideoOut, "") STREAM_STATE_SLOTS(X, VideoOut) \
    X(VideoOutCurrentFrame, "") X(VideoOutSetCurrentFrame, "int")                        \
    X(VideoOutFrameIndexRequired, "int") X(VideoOutSetFrameIndex, "int, unsigned int*")  \
    STREAM_RING_SLOTS(X, VideoConfidence, "")                                            \
    X(ReqVideoConfidenceTakePtr, "int, void**, DIOFormat**") X(AckVideoConfidenceTakePtr, "int") \
    STREAM_TRANSPORT_SLOTS(X, VideoConfidence, "") STREAM_STATE_SLOTS(X, VideoConfidence) \
    STREAM_RING_SLOTS(X, AudioIn, "int")                                                 \
    X(ReqAudioInTakePtr, "int, void**, DIOFormat**, int") X(AckAudioInTakePtr, "int, int") \
    STREAM_TRANSPORT_SLOTS(X, AudioIn, "BitMask") STREAM_STATE_SLOTS(X, AudioIn)         \
    STREAM_RING_SLOTS(X, AudioOut, "int")                                                \
    X(ReqAudioOutGivePtr, "int, int, int, int, void**, int") X(AckAudioOutGivePtr, "int, int, int") \
    STREAM_TRANSPORT_SLOTS(X, AudioOut, "BitMask") STREAM_STATE_SLOTS(X, AudioOut)       \
    X(AudioOutCurrentFrame, "")                                                          \
    X(DevicePlay, "") X(DeviceStop, "") X(DevicePause, "") X(DeviceFF, "")               \
    X(DeviceFFrame, "") X(DeviceRew, "") X(DeviceRewFrame, "") X(DeviceShuttle, "int")   \
    X(DeviceSeekToTimecode, "timecode_t") X(DeviceGetTimecode, "timecode_t*")            \
    X(DeviceRecord, "") X(DeviceGotoPreroll, "")                                         \
    X(DeviceGetIn, "timecode_t*") X(DeviceSetIn, "timecode_t")                           \
    X(DeviceGetOut, "timecode_t*") X(DeviceSetOut, "timecode_t")                         \
    X(DeviceGetPreroll, "timecode_t*") X(DeviceSetPreroll, "timecode_t")                 \
    X(DeviceGetFrameRate, "unsigned char*, int*") X(DeviceEject, "")                     \
    X(DeviceUnitInfo, "int*, int*, char*, char*")                                        \
    X(DeviceGetEditMode, "DeviceEditMode_t*") X(DeviceSetEditMode, "DeviceEditMode_t")   \
    X(DeviceSetTracks, "unsigned char, unsigned char") X(DevicePerform, "")              \
    X(DeviceGetEditStatus, "DeviceEditStatus_t*") X(DeviceGetState, "TransportState_t*") \
    X(DeviceAskForTCAsync, "") X(DeviceReceiveAsyncTC, "timecode_t*") X(DeviceCancelAsyncTC, "") \
    X(DeviceAskForStateAsync, "") X(DeviceReceiveAsyncState, "TransportState_t*")        \
    X(DeviceCancelAsyncState, "")                                                        \
    X(DeviceSchedulePeriodicTask, "unsigned char") X(DeviceDoPeriodicTask, "")           \
    X(DeviceSetRecordPlayDelay, "int") X(DeviceSetRecordStopDelay, "int")                \
    X(SendRawCommand, "void*, void*, unsigned int") X(SendAsyncRawCommand, "void*, unsigned int") \
    X(GetAsyncResponse, "AVC*")

// Slots 147 to 149 keep DigitalDevice's bodies in the plug-in's device.
constexpr int kFirstInheritedSlot = 147;
constexpr int kSlotCount = 150;

// With the Itanium C++ ABI the destructor fills two table entries (complete and
// deleting), so slot s >= 1 is entry s + 1.
constexpr int VtableEntryOfSlot(int slot) {
    return slot == 0 ? 0 : slot + 1;
}
