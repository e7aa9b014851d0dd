// Reaches the private members of the device and its queues for construction checks.
// Each accessor returns a reference to the member itself, so tests can read values,
// compare addresses (declaration order) and check types.
#pragma once

#include "device/CDV1394.h"
#include "queues/DV1394AudioInput.h"
#include "queues/DV1394VideoInput.h"
#include "queues/DV1394AudioOutput.h"
#include "queues/DV1394VideoOutput.h"

#define PLUGIN_ACCESS(Class, member) \
    static auto& member(Class& object) { return object.member; }

// Members of CDV1394 in the host's declaration order.
#define CDV1394_MEMBERS(X)                                                              \
    X(m_pVideoIn) X(m_pVideoConfidence) X(m_pVideoOut) X(m_pAudioIn) X(m_pAudioOut)     \
    X(m_nCaptureFramesAvailable) X(m_nCaptureFramesTaken) X(m_nCaptureFrameBase)        \
    X(m_nPlaybackFrameBase) X(m_nPlaybackFrameNow) X(m_nFramesSentToDriver)             \
    X(m_nFramesInDriver) X(m_tcStart) X(m_tcRecord) X(m_bStartTimecodeSet)              \
    X(m_bStartTimecodeUsed) X(m_Discontinuity) X(m_DV25Timecode) X(m_bStartReached)     \
    X(m_bStartMissed) X(m_dwLastTCTick) X(m_tcCurrent) X(m_tcFirstDecoded)              \
    X(m_tcExpected) X(m_tcContinuityMark) X(m_bTimecodeFromFrame)                       \
    X(m_bContinuityPending) X(m_nTCFramesSinceCheck) X(m_dwLastFrameTick)               \
    X(m_nFrameDelay) X(m_nFrameDelayTimed) X(m_dwFourCC) X(m_nControl1000B)             \
    X(m_nControl30001) X(m_szLastError) X(m_nTCFrameRate) X(m_bTCDropFrame)             \
    X(m_hKordex) X(m_bDDCInitialized) X(m_bDeviceInitialized) X(m_bAVWritable)          \
    X(m_bSeekPending) X(m_bLibrarySeekOnly) X(m_nEditMode) X(m_tcDesc) X(m_tcPreroll)   \
    X(m_tcIn) X(m_nRecordPlayDelay) X(m_nRecordStopDelay) X(m_nATNFrameOffset)          \
    X(m_bHasSMPTETimecode) X(m_bVideoInPrepared) X(m_bVideoConfidencePrepared)          \
    X(m_bAudioInPrepared) X(m_bVideoOutPrepared) X(m_bAudioOutPrepared)                 \
    X(m_bCaptureThreadRunning) X(m_bRecordThreadRunning) X(m_bStopCaptureThread)        \
    X(m_hCaptureThreadStarted) X(m_hRecordThreadStarted) X(m_hCaptureThreadDone)        \
    X(m_hRecordThreadDone) X(m_eVideoFormat) X(m_bSignalPresent) X(m_eAudioFormatIn)    \
    X(m_eAudioFormatOut) X(m_pBlackFrame) X(m_pSilentReshuffler) X(m_pSilentChannels)   \
    X(m_pCaptureFormat) X(m_pPrintFormat) X(m_pDeviceFormat) X(m_bExtraFrameQueued)     \
    X(m_pOutputFrameBuffer) X(m_nNumOutputFrames) X(m_bSendingToCamera)                 \
    X(m_hRecordEvents) X(m_nAudioOutCommand) X(m_nVideoOutCommand) X(m_nOutputDevices)  \
    X(m_bTraceDeckControl) X(m_bTraceCapture) X(m_bTracePlayback) X(m_nPreloadedFrames)

#define VIDEO_INPUT_FIELDS(X)                                                           \
    X(m_nFrameSize) X(m_nRingBufferSize) X(m_nAllocSize) X(m_pRawBuffer) X(m_pBuffer)   \
    X(m_pFifo) X(m_nPageSize) X(m_nBlockSize) X(m_nGranularity) X(m_eState)             \
    X(m_nOverruns) X(m_nErrors) X(m_nFramesWritten) X(m_FormatList)

#define AUDIO_INPUT_FIELDS(X)                                                           \
    X(m_eAudioFormat) X(m_nChannels) X(m_pChannels) X(m_pDeshuffler)                    \
    X(m_nRingBufferSize) X(m_apBuffer) X(m_apFifo) X(m_nMaxSampsInFrame) X(m_nPageSize) \
    X(m_eState) X(m_nLastFrames) X(m_llLastStart) X(m_nLastSamples) X(m_llPeriodStart)  \
    X(m_nPeriodEnd) X(m_nSamplesDeshuffled) X(m_bMeasureIdle) X(m_nFramesDeshuffled)    \
    X(m_nErrors) X(m_nOverruns) X(m_apFormatList)

#define VIDEO_OUTPUT_FIELDS(X)                                                          \
    X(m_pRawBuffer) X(m_pBuffer) X(m_pFifo) X(m_nFrameSize) X(m_nRingBufferSize)        \
    X(m_nAllocSize) X(m_nPageSize) X(m_nBlockSize) X(m_nGranularity) X(m_eState)        \
    X(m_nUnderruns) X(m_nErrors) X(m_aUnderrunInfo) X(m_nFramesTaken)                   \
    X(m_nFramesExpected) X(m_nCurrentFrame)

#define AUDIO_OUTPUT_FIELDS(X)                                                          \
    X(m_nChannels) X(m_pChannels) X(m_pReshuffler) X(m_pSampsInFrame) X(m_eAudioFormat) \
    X(m_nRingBufferSize) X(m_apBuffer) X(m_apFifo) X(m_nBytesInFrame) X(m_nPageSize)    \
    X(m_eState) X(m_nFrameCounter) X(m_nErrors) X(m_nUnderruns) X(m_nFramesExpected)

struct PluginTestAccess {
#define ACCESS_DEVICE(member) PLUGIN_ACCESS(CDV1394, member)
#define ACCESS_VIDEO_INPUT(member) PLUGIN_ACCESS(DV1394VideoInput, member)
#define ACCESS_AUDIO_INPUT(member) PLUGIN_ACCESS(DV1394AudioInput, member)
#define ACCESS_VIDEO_OUTPUT(member) PLUGIN_ACCESS(DV1394VideoOutput, member)
#define ACCESS_AUDIO_OUTPUT(member) PLUGIN_ACCESS(DV1394AudioOutput, member)
    CDV1394_MEMBERS(ACCESS_DEVICE)
    VIDEO_INPUT_FIELDS(ACCESS_VIDEO_INPUT)
    AUDIO_INPUT_FIELDS(ACCESS_AUDIO_INPUT)
    VIDEO_OUTPUT_FIELDS(ACCESS_VIDEO_OUTPUT)
    AUDIO_OUTPUT_FIELDS(ACCESS_AUDIO_OUTPUT)

    // Private operations of the device, called as the device itself would.
    static unsigned char KordexDDCReady(CDV1394& device) { return device.KordexDDCReady(); }
    static void OpenKordexDriver(CDV1394& device, DIO_VideoFormat format) { device.OpenKordexDriver(format); }
    static DDCError_t DeviceInitialize(CDV1394& device) { return device.DeviceInitialize(); }
    static bool UpdateFormat(CDV1394& device, DIOFormat* format, bool* videoChanged) {
        return device.UpdateFormat(format, videoChanged);
    }
    static bool ListFormats(CDV1394& device, DIOFormat* format) { return device.ListFormats(format); }
    static unsigned char CopyDIOFormat(CDV1394& device, DIOFormat* destination, DIOFormat* source) {
        return device.CopyDIOFormat(destination, source);
    }
    static int DetectAndProcessFormatChange(CDV1394& device, unsigned char* frame, DIO_AudioFormat* audio,
                                            DIO_VideoFormat* video) {
        return device.DetectAndProcessFormatChange(frame, audio, video);
    }
    static bool QueueAFrame(CDV1394& device) { return device.QueueAFrame(); }
#undef ACCESS_DEVICE
#undef ACCESS_VIDEO_INPUT
#undef ACCESS_AUDIO_INPUT
#undef ACCESS_VIDEO_OUTPUT
#undef ACCESS_AUDIO_OUTPUT
};
