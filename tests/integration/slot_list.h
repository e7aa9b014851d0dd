// The host interface's virtual slots 1 to 149, in the host's order, each with its
// parameter list as a demangler writes it (LONG is int, ULONG unsigned int). Slot 0 is
// the destructor. X(name, parameters) is expanded once per slot.
#pragma once

#define DIGITAL_DEVICE_SLOTS(X)                                              \
    X(GetNumberHostAdapters, "")                                             \
    X(GetHostAdapterName, "int, char*")                                      \
    X(GetHostAdapterFormat, "")                                              \
    X(GetHostAdapterAttributes, "")                                          \
    X(HasAVDevice, "int, int")                                               \
    X(HasAVWritableDevice, "int, int")                                       \
    X(SetToCurrentAVDevice, "int, int")                                      \
    X(GetMaxNodes, "")                                                       \
    X(SetControlNode, "int")                                                 \
    X(GetControlNode, "int*")                                                \
    X(SetIONode, "int")                                                      \
    X(GetIONode, "int*")                                                     \
    X(HasControl, "int")                                                     \
    X(GetControl, "int, void*")                                              \
    X(GetControlRange, "int, void*, void*")                                  \
    X(GetControlDefault, "int, void*")                                       \
    X(GetControlSize, "int")                                                 \
    X(SetControl, "int, void*")                                              \
    X(CanSetControl, "int")                                                  \
    X(GetVideoInRingBufferSize, "")                                          \
    X(SetVideoInRingBufferSize, "int")                                       \
    X(GetVideoInRingBufferWritePosition, "")                                 \
    X(GetVideoInRingBufferReadPosition, "")                                  \
    X(NegotiateVideoInPageSize, "int")                                       \
    X(NegotiateVideoInBlockSize, "int")                                      \
    X(ReqVideoInTakePtr, "int, void**, DIOFormat**")                         \
    X(AckVideoInTakePtr, "int")                                              \
    X(PrepareVideoIn, "")                                                    \
    X(ArmVideoIn, "")                                                        \
    X(StartVideoIn, "")                                                      \
    X(PauseVideoIn, "")                                                      \
    X(AbortVideoIn, "")                                                      \
    X(TerminateVideoIn, "")                                                  \
    X(VideoInGetState, "")                                                   \
    X(VideoInAwaitState, "VDMDeviceState, int")                              \
    X(VideoInCurrentFrame, "")                                               \
    X(VideoConCurrentFrame, "")                                              \
    X(VideoInSetCurrentFrame, "int")                                         \
    X(VideoInReadFrameIndex, "unsigned int*, unsigned int")                  \
    X(GetVideoOutRingBufferSize, "")                                         \
    X(SetVideoOutRingBufferSize, "int")                                      \
    X(GetVideoOutRingBufferWritePosition, "")                                \
    X(GetVideoOutRingBufferReadPosition, "")                                 \
    X(NegotiateVideoOutPageSize, "int")                                      \
    X(NegotiateVideoOutBlockSize, "int")                                     \
    X(ReqVideoOutGivePtr, "int, int, int, int, void**")                      \
    X(AckVideoOutGivePtr, "int, int")                                        \
    X(PrepareVideoOut, "")                                                   \
    X(ArmVideoOut, "")                                                       \
    X(StartVideoOut, "")                                                     \
    X(PauseVideoOut, "")                                                     \
    X(AbortVideoOut, "")                                                     \
    X(TerminateVideoOut, "")                                                 \
    X(FlushVideoOut, "")                                                     \
    X(VideoOutGetState, "")                                                  \
    X(VideoOutAwaitState, "VDMDeviceState, int")                             \
    X(VideoOutCurrentFrame, "")                                              \
    X(VideoOutSetCurrentFrame, "int")                                        \
    X(VideoOutFrameIndexRequired, "int")                                     \
    X(VideoOutSetFrameIndex, "int, unsigned int*")                           \
    X(GetVideoConfidenceRingBufferSize, "")                                  \
    X(SetVideoConfidenceRingBufferSize, "int")                               \
    X(GetVideoConfidenceRingBufferWritePosition, "")                         \
    X(GetVideoConfidenceRingBufferReadPosition, "")                          \
    X(NegotiateVideoConfidencePageSize, "int")                               \
    X(NegotiateVideoConfidenceBlockSize, "int")                              \
    X(ReqVideoConfidenceTakePtr, "int, void**, DIOFormat**")                 \
    X(AckVideoConfidenceTakePtr, "int")                                      \
    X(PrepareVideoConfidence, "")                                            \
    X(ArmVideoConfidence, "")                                                \
    X(StartVideoConfidence, "")                                              \
    X(PauseVideoConfidence, "")                                              \
    X(AbortVideoConfidence, "")                                              \
    X(TerminateVideoConfidence, "")                                          \
    X(VideoConfidenceGetState, "")                                           \
    X(VideoConfidenceAwaitState, "VDMDeviceState, int")                      \
    X(GetAudioInRingBufferSize, "")                                          \
    X(SetAudioInRingBufferSize, "int")                                       \
    X(GetAudioInRingBufferWritePosition, "int")                              \
    X(GetAudioInRingBufferReadPosition, "int")                               \
    X(NegotiateAudioInPageSize, "int")                                       \
    X(NegotiateAudioInBlockSize, "int")                                      \
    X(ReqAudioInTakePtr, "int, void**, DIOFormat**, int")                    \
    X(AckAudioInTakePtr, "int, int")                                         \
    X(PrepareAudioIn, "BitMask")                                             \
    X(ArmAudioIn, "")                                                        \
    X(StartAudioIn, "")                                                      \
    X(PauseAudioIn, "")                                                      \
    X(AbortAudioIn, "")                                                      \
    X(TerminateAudioIn, "")                                                  \
    X(AudioInGetState, "")                                                   \
    X(AudioInAwaitState, "VDMDeviceState, int")                              \
    X(GetAudioOutRingBufferSize, "")                                         \
    X(SetAudioOutRingBufferSize, "int")                                      \
    X(GetAudioOutRingBufferWritePosition, "int")                             \
    X(GetAudioOutRingBufferReadPosition, "int")                              \
    X(NegotiateAudioOutPageSize, "int")                                      \
    X(NegotiateAudioOutBlockSize, "int")                                     \
    X(ReqAudioOutGivePtr, "int, int, int, int, void**, int")                 \
    X(AckAudioOutGivePtr, "int, int, int")                                   \
    X(PrepareAudioOut, "BitMask")                                            \
    X(ArmAudioOut, "")                                                       \
    X(StartAudioOut, "")                                                     \
    X(PauseAudioOut, "")                                                     \
    X(AbortAudioOut, "")                                                     \
    X(TerminateAudioOut, "")                                                 \
    X(AudioOutGetState, "")                                                  \
    X(AudioOutAwaitState, "VDMDeviceState, int")                             \
    X(AudioOutCurrentFrame, "")                                              \
    X(DevicePlay, "")                                                        \
    X(DeviceStop, "")                                                        \
    X(DevicePause, "")                                                       \
    X(DeviceFF, "")                                                          \
    X(DeviceFFrame, "")                                                      \
    X(DeviceRew, "")                                                         \
    X(DeviceRewFrame, "")                                                    \
    X(DeviceShuttle, "int")                                                  \
    X(DeviceSeekToTimecode, "timecode_t")                                    \
    X(DeviceGetTimecode, "timecode_t*")                                      \
    X(DeviceRecord, "")                                                      \
    X(DeviceGotoPreroll, "")                                                 \
    X(DeviceGetIn, "timecode_t*")                                            \
    X(DeviceSetIn, "timecode_t")                                             \
    X(DeviceGetOut, "timecode_t*")                                           \
    X(DeviceSetOut, "timecode_t")                                            \
    X(DeviceGetPreroll, "timecode_t*")                                       \
    X(DeviceSetPreroll, "timecode_t")                                        \
    X(DeviceGetFrameRate, "unsigned char*, int*")                            \
    X(DeviceEject, "")                                                       \
    X(DeviceUnitInfo, "int*, int*, char*, char*")                            \
    X(DeviceGetEditMode, "DeviceEditMode_t*")                                \
    X(DeviceSetEditMode, "DeviceEditMode_t")                                 \
    X(DeviceSetTracks, "unsigned char, unsigned char")                       \
    X(DevicePerform, "")                                                     \
    X(DeviceGetEditStatus, "DeviceEditStatus_t*")                            \
    X(DeviceGetState, "TransportState_t*")                                   \
    X(DeviceAskForTCAsync, "")                                               \
    X(DeviceReceiveAsyncTC, "timecode_t*")                                   \
    X(DeviceCancelAsyncTC, "")                                               \
    X(DeviceAskForStateAsync, "")                                            \
    X(DeviceReceiveAsyncState, "TransportState_t*")                          \
    X(DeviceCancelAsyncState, "")                                            \
    X(DeviceSchedulePeriodicTask, "unsigned char")                           \
    X(DeviceDoPeriodicTask, "")                                              \
    X(DeviceSetRecordPlayDelay, "int")                                       \
    X(DeviceSetRecordStopDelay, "int")                                       \
    X(SendRawCommand, "void*, void*, unsigned int")                          \
    X(SendAsyncRawCommand, "void*, unsigned int")                            \
    X(GetAsyncResponse, "AVC*")

// Slots 147 to 149 keep DigitalDevice's bodies in the plug-in's device.
constexpr int kFirstInheritedSlot = 147;
constexpr int kSlotCount = 150;

// With the Itanium C++ ABI the destructor fills two table entries (complete and
// deleting), so slot s >= 1 is entry s + 1.
constexpr int VtableEntryOfSlot(int slot) {
    return slot == 0 ? 0 : slot + 1;
}
