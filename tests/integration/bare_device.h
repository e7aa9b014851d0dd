// A device that implements only the pure slots, so that slots 145 to 149 run
// DigitalDevice's own bodies. Every slot it implements records its name, which shows
// whether a base body called back into the device.
#pragma once

#include "DigitalDevice.h"

#include <string>
#include <vector>

class BareDevice : public DigitalDevice {
public:
    std::vector<std::string> calls;

#define BARE(name) calls.push_back(#name)
    LONG GetNumberHostAdapters() override { BARE(GetNumberHostAdapters); return 0; }
    LONG GetHostAdapterName(LONG, char*) override { BARE(GetHostAdapterName); return 0; }
    LONG GetHostAdapterFormat() override { BARE(GetHostAdapterFormat); return 0; }
    LONG GetHostAdapterAttributes() override { BARE(GetHostAdapterAttributes); return 0; }
    unsigned char HasAVDevice(LONG, LONG) override { BARE(HasAVDevice); return 0; }
    unsigned char HasAVWritableDevice(LONG, LONG) override { BARE(HasAVWritableDevice); return 0; }
    void SetToCurrentAVDevice(LONG, LONG) override { BARE(SetToCurrentAVDevice); }
    LONG GetMaxNodes() override { BARE(GetMaxNodes); return 0; }
    unsigned char SetControlNode(int) override { BARE(SetControlNode); return 0; }
    unsigned char GetControlNode(int*) override { BARE(GetControlNode); return 0; }
    unsigned char SetIONode(int) override { BARE(SetIONode); return 0; }
    unsigned char GetIONode(int*) override { BARE(GetIONode); return 0; }
    unsigned char HasControl(LONG) override { BARE(HasControl); return 0; }
    unsigned char GetControl(LONG, void*) override { BARE(GetControl); return 0; }
    unsigned char GetControlRange(LONG, void*, void*) override { BARE(GetControlRange); return 0; }
    unsigned char GetControlDefault(LONG, void*) override { BARE(GetControlDefault); return 0; }
    LONG GetControlSize(LONG) override { BARE(GetControlSize); return 0; }
    unsigned char SetControl(LONG, void*) override { BARE(SetControl); return 0; }
    unsigned char CanSetControl(LONG) override { BARE(CanSetControl); return 0; }
    LONG GetVideoInRingBufferSize() override { BARE(GetVideoInRingBufferSize); return 0; }
    unsigned char SetVideoInRingBufferSize(LONG) override { BARE(SetVideoInRingBufferSize); return 0; }
    ULONG GetVideoInRingBufferWritePosition() override { BARE(GetVideoInRingBufferWritePosition); return 0; }
    ULONG GetVideoInRingBufferReadPosition() override { BARE(GetVideoInRingBufferReadPosition); return 0; }
    LONG NegotiateVideoInPageSize(LONG) override { BARE(NegotiateVideoInPageSize); return 0; }
    LONG NegotiateVideoInBlockSize(LONG) override { BARE(NegotiateVideoInBlockSize); return 0; }
    LONG ReqVideoInTakePtr(LONG, void**, DIOFormat**) override { BARE(ReqVideoInTakePtr); return 0; }
    void AckVideoInTakePtr(LONG) override { BARE(AckVideoInTakePtr); }
    unsigned char PrepareVideoIn() override { BARE(PrepareVideoIn); return 0; }
    unsigned char ArmVideoIn() override { BARE(ArmVideoIn); return 0; }
    unsigned char StartVideoIn() override { BARE(StartVideoIn); return 0; }
    unsigned char PauseVideoIn() override { BARE(PauseVideoIn); return 0; }
    unsigned char AbortVideoIn() override { BARE(AbortVideoIn); return 0; }
    unsigned char TerminateVideoIn() override { BARE(TerminateVideoIn); return 0; }
    VDMDeviceState VideoInGetState() override { BARE(VideoInGetState); return VDMIdle; }
    unsigned char VideoInAwaitState(VDMDeviceState, LONG) override { BARE(VideoInAwaitState); return 0; }
    LONG VideoInCurrentFrame() override { BARE(VideoInCurrentFrame); return 0; }
    LONG VideoConCurrentFrame() override { BARE(VideoConCurrentFrame); return 0; }
    void VideoInSetCurrentFrame(LONG) override { BARE(VideoInSetCurrentFrame); }
    LONG VideoInReadFrameIndex(ULONG*, ULONG) override { BARE(VideoInReadFrameIndex); return 0; }
    LONG GetVideoOutRingBufferSize() override { BARE(GetVideoOutRingBufferSize); return 0; }
    unsigned char SetVideoOutRingBufferSize(LONG) override { BARE(SetVideoOutRingBufferSize); return 0; }
    ULONG GetVideoOutRingBufferWritePosition() override { BARE(GetVideoOutRingBufferWritePosition); return 0; }
    ULONG GetVideoOutRingBufferReadPosition() override { BARE(GetVideoOutRingBufferReadPosition); return 0; }
    LONG NegotiateVideoOutPageSize(LONG) override { BARE(NegotiateVideoOutPageSize); return 0; }
    LONG NegotiateVideoOutBlockSize(LONG) override { BARE(NegotiateVideoOutBlockSize); return 0; }
    LONG ReqVideoOutGivePtr(LONG, LONG, int, LONG, void**) override { BARE(ReqVideoOutGivePtr); return 0; }
    void AckVideoOutGivePtr(LONG, int) override { BARE(AckVideoOutGivePtr); }
    unsigned char PrepareVideoOut() override { BARE(PrepareVideoOut); return 0; }
    unsigned char ArmVideoOut() override { BARE(ArmVideoOut); return 0; }
    unsigned char StartVideoOut() override { BARE(StartVideoOut); return 0; }
    unsigned char PauseVideoOut() override { BARE(PauseVideoOut); return 0; }
    unsigned char AbortVideoOut() override { BARE(AbortVideoOut); return 0; }
    unsigned char TerminateVideoOut() override { BARE(TerminateVideoOut); return 0; }
    void FlushVideoOut() override { BARE(FlushVideoOut); }
    VDMDeviceState VideoOutGetState() override { BARE(VideoOutGetState); return VDMIdle; }
    unsigned char VideoOutAwaitState(VDMDeviceState, LONG) override { BARE(VideoOutAwaitState); return 0; }
    LONG VideoOutCurrentFrame() override { BARE(VideoOutCurrentFrame); return 0; }
    void VideoOutSetCurrentFrame(LONG) override { BARE(VideoOutSetCurrentFrame); }
    unsigned char VideoOutFrameIndexRequired(int) override { BARE(VideoOutFrameIndexRequired); return 0; }
    void VideoOutSetFrameIndex(LONG, ULONG*) override { BARE(VideoOutSetFrameIndex); }
    LONG GetVideoConfidenceRingBufferSize() override { BARE(GetVideoConfidenceRingBufferSize); return 0; }
    unsigned char SetVideoConfidenceRingBufferSize(LONG) override { BARE(SetVideoConfidenceRingBufferSize); return 0; }
    ULONG GetVideoConfidenceRingBufferWritePosition() override { BARE(GetVideoConfidenceRingBufferWritePosition); return 0; }
    ULONG GetVideoConfidenceRingBufferReadPosition() override { BARE(GetVideoConfidenceRingBufferReadPosition); return 0; }
    LONG NegotiateVideoConfidencePageSize(LONG) override { BARE(NegotiateVideoConfidencePageSize); return 0; }
    LONG NegotiateVideoConfidenceBlockSize(LONG) override { BARE(NegotiateVideoConfidenceBlockSize); return 0; }
    LONG ReqVideoConfidenceTakePtr(LONG, void**, DIOFormat**) override { BARE(ReqVideoConfidenceTakePtr); return 0; }
    void AckVideoConfidenceTakePtr(LONG) override { BARE(AckVideoConfidenceTakePtr); }
    unsigned char PrepareVideoConfidence() override { BARE(PrepareVideoConfidence); return 0; }
    unsigned char ArmVideoConfidence() override { BARE(ArmVideoConfidence); return 0; }
    unsigned char StartVideoConfidence() override { BARE(StartVideoConfidence); return 0; }
    unsigned char PauseVideoConfidence() override { BARE(PauseVideoConfidence); return 0; }
    unsigned char AbortVideoConfidence() override { BARE(AbortVideoConfidence); return 0; }
    unsigned char TerminateVideoConfidence() override { BARE(TerminateVideoConfidence); return 0; }
    VDMDeviceState VideoConfidenceGetState() override { BARE(VideoConfidenceGetState); return VDMIdle; }
    unsigned char VideoConfidenceAwaitState(VDMDeviceState, LONG) override { BARE(VideoConfidenceAwaitState); return 0; }
    LONG GetAudioInRingBufferSize() override { BARE(GetAudioInRingBufferSize); return 0; }
    unsigned char SetAudioInRingBufferSize(LONG) override { BARE(SetAudioInRingBufferSize); return 0; }
    ULONG GetAudioInRingBufferWritePosition(int) override { BARE(GetAudioInRingBufferWritePosition); return 0; }
    ULONG GetAudioInRingBufferReadPosition(int) override { BARE(GetAudioInRingBufferReadPosition); return 0; }
    LONG NegotiateAudioInPageSize(LONG) override { BARE(NegotiateAudioInPageSize); return 0; }
    LONG NegotiateAudioInBlockSize(LONG) override { BARE(NegotiateAudioInBlockSize); return 0; }
    LONG ReqAudioInTakePtr(LONG, void**, DIOFormat**, int) override { BARE(ReqAudioInTakePtr); return 0; }
    void AckAudioInTakePtr(LONG, int) override { BARE(AckAudioInTakePtr); }
    unsigned char PrepareAudioIn(BitMask) override { BARE(PrepareAudioIn); return 0; }
    unsigned char ArmAudioIn() override { BARE(ArmAudioIn); return 0; }
    unsigned char StartAudioIn() override { BARE(StartAudioIn); return 0; }
    unsigned char PauseAudioIn() override { BARE(PauseAudioIn); return 0; }
    unsigned char AbortAudioIn() override { BARE(AbortAudioIn); return 0; }
    unsigned char TerminateAudioIn() override { BARE(TerminateAudioIn); return 0; }
    VDMDeviceState AudioInGetState() override { BARE(AudioInGetState); return VDMIdle; }
    unsigned char AudioInAwaitState(VDMDeviceState, LONG) override { BARE(AudioInAwaitState); return 0; }
    LONG GetAudioOutRingBufferSize() override { BARE(GetAudioOutRingBufferSize); return 0; }
    unsigned char SetAudioOutRingBufferSize(LONG) override { BARE(SetAudioOutRingBufferSize); return 0; }
    ULONG GetAudioOutRingBufferWritePosition(int) override { BARE(GetAudioOutRingBufferWritePosition); return 0; }
    ULONG GetAudioOutRingBufferReadPosition(int) override { BARE(GetAudioOutRingBufferReadPosition); return 0; }
    LONG NegotiateAudioOutPageSize(LONG) override { BARE(NegotiateAudioOutPageSize); return 0; }
    LONG NegotiateAudioOutBlockSize(LONG) override { BARE(NegotiateAudioOutBlockSize); return 0; }
    LONG ReqAudioOutGivePtr(LONG, LONG, int, LONG, void**, int) override { BARE(ReqAudioOutGivePtr); return 0; }
    void AckAudioOutGivePtr(LONG, int, int) override { BARE(AckAudioOutGivePtr); }
    unsigned char PrepareAudioOut(BitMask) override { BARE(PrepareAudioOut); return 0; }
    unsigned char ArmAudioOut() override { BARE(ArmAudioOut); return 0; }
    unsigned char StartAudioOut() override { BARE(StartAudioOut); return 0; }
    unsigned char PauseAudioOut() override { BARE(PauseAudioOut); return 0; }
    unsigned char AbortAudioOut() override { BARE(AbortAudioOut); return 0; }
    unsigned char TerminateAudioOut() override { BARE(TerminateAudioOut); return 0; }
    VDMDeviceState AudioOutGetState() override { BARE(AudioOutGetState); return VDMIdle; }
    unsigned char AudioOutAwaitState(VDMDeviceState, LONG) override { BARE(AudioOutAwaitState); return 0; }
    LONG AudioOutCurrentFrame() override { BARE(AudioOutCurrentFrame); return 0; }
    DDCError_t DevicePlay() override { BARE(DevicePlay); return DDC_NoError; }
    DDCError_t DeviceStop() override { BARE(DeviceStop); return DDC_NoError; }
    DDCError_t DevicePause() override { BARE(DevicePause); return DDC_NoError; }
    DDCError_t DeviceFF() override { BARE(DeviceFF); return DDC_NoError; }
    DDCError_t DeviceFFrame() override { BARE(DeviceFFrame); return DDC_NoError; }
    DDCError_t DeviceRew() override { BARE(DeviceRew); return DDC_NoError; }
    DDCError_t DeviceRewFrame() override { BARE(DeviceRewFrame); return DDC_NoError; }
    DDCError_t DeviceShuttle(LONG) override { BARE(DeviceShuttle); return DDC_NoError; }
    DDCError_t DeviceSeekToTimecode(timecode_t) override { BARE(DeviceSeekToTimecode); return DDC_NoError; }
    DDCError_t DeviceGetTimecode(timecode_t*) override { BARE(DeviceGetTimecode); return DDC_NoError; }
    DDCError_t DeviceRecord() override { BARE(DeviceRecord); return DDC_NoError; }
    DDCError_t DeviceGotoPreroll() override { BARE(DeviceGotoPreroll); return DDC_NoError; }
    DDCError_t DeviceGetIn(timecode_t*) override { BARE(DeviceGetIn); return DDC_NoError; }
    DDCError_t DeviceSetIn(timecode_t) override { BARE(DeviceSetIn); return DDC_NoError; }
    DDCError_t DeviceGetOut(timecode_t*) override { BARE(DeviceGetOut); return DDC_NoError; }
    DDCError_t DeviceSetOut(timecode_t) override { BARE(DeviceSetOut); return DDC_NoError; }
    DDCError_t DeviceGetPreroll(timecode_t*) override { BARE(DeviceGetPreroll); return DDC_NoError; }
    DDCError_t DeviceSetPreroll(timecode_t) override { BARE(DeviceSetPreroll); return DDC_NoError; }
    DDCError_t DeviceGetFrameRate(unsigned char*, LONG*) override { BARE(DeviceGetFrameRate); return DDC_NoError; }
    DDCError_t DeviceEject() override { BARE(DeviceEject); return DDC_NoError; }
    DDCError_t DeviceUnitInfo(LONG*, LONG*, char*, char*) override { BARE(DeviceUnitInfo); return DDC_NoError; }
    DDCError_t DeviceGetEditMode(DeviceEditMode_t*) override { BARE(DeviceGetEditMode); return DDC_NoError; }
    DDCError_t DeviceSetEditMode(DeviceEditMode_t) override { BARE(DeviceSetEditMode); return DDC_NoError; }
    DDCError_t DeviceSetTracks(unsigned char, unsigned char) override { BARE(DeviceSetTracks); return DDC_NoError; }
    DDCError_t DevicePerform() override { BARE(DevicePerform); return DDC_NoError; }
    DDCError_t DeviceGetEditStatus(DeviceEditStatus_t*) override { BARE(DeviceGetEditStatus); return DDC_NoError; }
    DDCError_t DeviceGetState(TransportState_t*) override { BARE(DeviceGetState); return DDC_NoError; }
    DDCError_t DeviceAskForTCAsync() override { BARE(DeviceAskForTCAsync); return DDC_NoError; }
    DDCError_t DeviceReceiveAsyncTC(timecode_t*) override { BARE(DeviceReceiveAsyncTC); return DDC_NoError; }
    void DeviceCancelAsyncTC() override { BARE(DeviceCancelAsyncTC); }
    DDCError_t DeviceAskForStateAsync() override { BARE(DeviceAskForStateAsync); return DDC_NoError; }
    DDCError_t DeviceReceiveAsyncState(TransportState_t*) override { BARE(DeviceReceiveAsyncState); return DDC_NoError; }
    void DeviceCancelAsyncState() override { BARE(DeviceCancelAsyncState); }
    DDCError_t DeviceSchedulePeriodicTask(unsigned char) override { BARE(DeviceSchedulePeriodicTask); return DDC_NoError; }
    DDCError_t DeviceDoPeriodicTask() override { BARE(DeviceDoPeriodicTask); return DDC_NoError; }
#undef BARE
};
