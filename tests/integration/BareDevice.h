// A device that implements only the pure slots, so that slots 145 to 149 run
// DigitalDevice's own bodies. Every slot it implements records its name, which shows
// whether a base body called back into the device, and answers 0 (VDMIdle,
// DDC_NoError).
#pragma once

#include "interface/DigitalDevice.h"

#include <string>
#include <vector>

#define BARE_SLOT(Result, name, parameters) \
    Result name parameters override {       \
        calls.push_back(#name);             \
        return static_cast<Result>(0);      \
    }
// The slots every stream has; `position` is the parameter list of its position slots
// and `prepare` that of its Prepare slot.
#define BARE_STREAM_SLOTS(Stream, position, prepare)                                            \
    BARE_SLOT(LONG, Get##Stream##RingBufferSize, ())                                            \
    BARE_SLOT(unsigned char, Set##Stream##RingBufferSize, (LONG))                               \
    BARE_SLOT(ULONG, Get##Stream##RingBufferWritePosition, position)                            \
    BARE_SLOT(ULONG, Get##Stream##RingBufferReadPosition, position)                             \
    BARE_SLOT(LONG, Negotiate##Stream##PageSize, (LONG))                                        \
    BARE_SLOT(LONG, Negotiate##Stream##BlockSize, (LONG))                                       \
    BARE_SLOT(unsigned char, Prepare##Stream, prepare) BARE_SLOT(unsigned char, Arm##Stream, ()) \
    BARE_SLOT(unsigned char, Start##Stream, ()) BARE_SLOT(unsigned char, Pause##Stream, ())     \
    BARE_SLOT(unsigned char, Abort##Stream, ()) BARE_SLOT(unsigned char, Terminate##Stream, ()) \
    BARE_SLOT(VDMDeviceState, Stream##GetState, ())                                             \
    BARE_SLOT(unsigned char, Stream##AwaitState, (VDMDeviceState, LONG))

class BareDevice : public DigitalDevice {
public:
    std::vector<std::string> calls;

    BARE_SLOT(LONG, GetNumberHostAdapters, ()) BARE_SLOT(LONG, GetHostAdapterName, (LONG, char*))
    BARE_SLOT(LONG, GetHostAdapterFormat, ()) BARE_SLOT(LONG, GetHostAdapterAttributes, ())
    BARE_SLOT(unsigned char, HasAVDevice, (LONG, LONG)) BARE_SLOT(unsigned char, HasAVWritableDevice, (LONG, LONG))
    BARE_SLOT(void, SetToCurrentAVDevice, (LONG, LONG)) BARE_SLOT(LONG, GetMaxNodes, ())
    BARE_SLOT(unsigned char, SetControlNode, (int)) BARE_SLOT(unsigned char, GetControlNode, (int*))
    BARE_SLOT(unsigned char, SetIONode, (int)) BARE_SLOT(unsigned char, GetIONode, (int*))
    BARE_SLOT(unsigned char, HasControl, (LONG)) BARE_SLOT(unsigned char, GetControl, (LONG, void*))
    BARE_SLOT(unsigned char, GetControlRange, (LONG, void*, void*))
    BARE_SLOT(unsigned char, GetControlDefault, (LONG, void*)) BARE_SLOT(LONG, GetControlSize, (LONG))
    BARE_SLOT(unsigned char, SetControl, (LONG, void*)) BARE_SLOT(unsigned char, CanSetControl, (LONG))

    BARE_STREAM_SLOTS(VideoIn, (), ())
    BARE_SLOT(LONG, ReqVideoInTakePtr, (LONG, void**, DIOFormat**)) BARE_SLOT(void, AckVideoInTakePtr, (LONG))
    BARE_SLOT(LONG, VideoInCurrentFrame, ()) BARE_SLOT(LONG, VideoConCurrentFrame, ())
    BARE_SLOT(void, VideoInSetCurrentFrame, (LONG)) BARE_SLOT(LONG, VideoInReadFrameIndex, (ULONG*, ULONG))

    BARE_STREAM_SLOTS(VideoOut, (), ())
    BARE_SLOT(LONG, ReqVideoOutGivePtr, (LONG, LONG, int, LONG, void**))
    BARE_SLOT(void, AckVideoOutGivePtr, (LONG, int)) BARE_SLOT(void, FlushVideoOut, ())
    BARE_SLOT(LONG, VideoOutCurrentFrame, ()) BARE_SLOT(void, VideoOutSetCurrentFrame, (LONG))
    BARE_SLOT(unsigned char, VideoOutFrameIndexRequired, (int))
    BARE_SLOT(void, VideoOutSetFrameIndex, (LONG, ULONG*))

    BARE_STREAM_SLOTS(VideoConfidence, (), ())
    BARE_SLOT(LONG, ReqVideoConfidenceTakePtr, (LONG, void**, DIOFormat**))
    BARE_SLOT(void, AckVideoConfidenceTakePtr, (LONG))

    BARE_STREAM_SLOTS(AudioIn, (int), (BitMask))
    BARE_SLOT(LONG, ReqAudioInTakePtr, (LONG, void**, DIOFormat**, int))
    BARE_SLOT(void, AckAudioInTakePtr, (LONG, int))

    BARE_STREAM_SLOTS(AudioOut, (int), (BitMask))
    BARE_SLOT(LONG, ReqAudioOutGivePtr, (LONG, LONG, int, LONG, void**, int))
    BARE_SLOT(void, AckAudioOutGivePtr, (LONG, int, int)) BARE_SLOT(LONG, AudioOutCurrentFrame, ())

    BARE_SLOT(DDCError_t, DevicePlay, ()) BARE_SLOT(DDCError_t, DeviceStop, ())
    BARE_SLOT(DDCError_t, DevicePause, ()) BARE_SLOT(DDCError_t, DeviceFF, ())
    BARE_SLOT(DDCError_t, DeviceFFrame, ()) BARE_SLOT(DDCError_t, DeviceRew, ())
    BARE_SLOT(DDCError_t, DeviceRewFrame, ()) BARE_SLOT(DDCError_t, DeviceShuttle, (LONG))
    BARE_SLOT(DDCError_t, DeviceSeekToTimecode, (timecode_t))
    BARE_SLOT(DDCError_t, DeviceGetTimecode, (timecode_t*)) BARE_SLOT(DDCError_t, DeviceRecord, ())
    BARE_SLOT(DDCError_t, DeviceGotoPreroll, ()) BARE_SLOT(DDCError_t, DeviceGetIn, (timecode_t*))
    BARE_SLOT(DDCError_t, DeviceSetIn, (timecode_t)) BARE_SLOT(DDCError_t, DeviceGetOut, (timecode_t*))
    BARE_SLOT(DDCError_t, DeviceSetOut, (timecode_t)) BARE_SLOT(DDCError_t, DeviceGetPreroll, (timecode_t*))
    BARE_SLOT(DDCError_t, DeviceSetPreroll, (timecode_t))
    BARE_SLOT(DDCError_t, DeviceGetFrameRate, (unsigned char*, LONG*)) BARE_SLOT(DDCError_t, DeviceEject, ())
    BARE_SLOT(DDCError_t, DeviceUnitInfo, (LONG*, LONG*, char*, char*))
    BARE_SLOT(DDCError_t, DeviceGetEditMode, (DeviceEditMode_t*))
    BARE_SLOT(DDCError_t, DeviceSetEditMode, (DeviceEditMode_t))
    BARE_SLOT(DDCError_t, DeviceSetTracks, (unsigned char, unsigned char)) BARE_SLOT(DDCError_t, DevicePerform, ())
    BARE_SLOT(DDCError_t, DeviceGetEditStatus, (DeviceEditStatus_t*))
    BARE_SLOT(DDCError_t, DeviceGetState, (TransportState_t*)) BARE_SLOT(DDCError_t, DeviceAskForTCAsync, ())
    BARE_SLOT(DDCError_t, DeviceReceiveAsyncTC, (timecode_t*)) BARE_SLOT(void, DeviceCancelAsyncTC, ())
    BARE_SLOT(DDCError_t, DeviceAskForStateAsync, ())
    BARE_SLOT(DDCError_t, DeviceReceiveAsyncState, (TransportState_t*)) BARE_SLOT(void, DeviceCancelAsyncState, ())
    BARE_SLOT(DDCError_t, DeviceSchedulePeriodicTask, (unsigned char))
    BARE_SLOT(DDCError_t, DeviceDoPeriodicTask, ())
};

#undef BARE_STREAM_SLOTS
#undef BARE_SLOT
