// The stream queue classes as made and as torn down: documented field types, order
// and starting values, and that teardown gives back what they own.
#include "member_checks.h"
#include "plugin_test_access.h"

#include "digitalio/DIOFifo.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

using A = PluginTestAccess;

#define EXPECT_FIELD_TYPE(Class, field, Type)                                                        \
    static_assert(kHasDocumentedType<std::remove_reference_t<decltype(A::field(std::declval<Class&>()))>, \
                                     Type>,                                                          \
                  #Class "::" #field " keeps its documented type")

EXPECT_FIELD_TYPE(DV1394VideoInput, m_nFrameSize, LONG);
EXPECT_FIELD_TYPE(DV1394VideoInput, m_nRingBufferSize, LONG);
EXPECT_FIELD_TYPE(DV1394VideoInput, m_nAllocSize, LONG);
EXPECT_FIELD_TYPE(DV1394VideoInput, m_pRawBuffer, void*);
EXPECT_FIELD_TYPE(DV1394VideoInput, m_pBuffer, BYTE*);
EXPECT_FIELD_TYPE(DV1394VideoInput, m_pFifo, DIOFifo*);
EXPECT_FIELD_TYPE(DV1394VideoInput, m_nPageSize, LONG);
EXPECT_FIELD_TYPE(DV1394VideoInput, m_nBlockSize, LONG);
EXPECT_FIELD_TYPE(DV1394VideoInput, m_nGranularity, LONG);
EXPECT_FIELD_TYPE(DV1394VideoInput, m_eState, VDMDeviceState);
EXPECT_FIELD_TYPE(DV1394VideoInput, m_nOverruns, LONG);
EXPECT_FIELD_TYPE(DV1394VideoInput, m_nErrors, LONG);
EXPECT_FIELD_TYPE(DV1394VideoInput, m_nFramesWritten, LONG);
EXPECT_FIELD_TYPE(DV1394VideoInput, m_FormatList, FormatList);

EXPECT_FIELD_TYPE(DV1394AudioInput, m_eAudioFormat, DIO_AudioFormat);
EXPECT_FIELD_TYPE(DV1394AudioInput, m_nChannels, LONG);
EXPECT_FIELD_TYPE(DV1394AudioInput, m_pChannels, BitMask*);
EXPECT_FIELD_TYPE(DV1394AudioInput, m_pDeshuffler, DV25audioDeshuffler*);
EXPECT_FIELD_TYPE(DV1394AudioInput, m_nRingBufferSize, LONG);
EXPECT_FIELD_TYPE(DV1394AudioInput, m_apBuffer, BYTE* [128]);
EXPECT_FIELD_TYPE(DV1394AudioInput, m_apFifo, DIOFifo* [128]);
EXPECT_FIELD_TYPE(DV1394AudioInput, m_nMaxSampsInFrame, LONG);
EXPECT_FIELD_TYPE(DV1394AudioInput, m_nPageSize, LONG);
EXPECT_FIELD_TYPE(DV1394AudioInput, m_eState, VDMDeviceState);
EXPECT_FIELD_TYPE(DV1394AudioInput, m_nLastFrames, LONG);
EXPECT_FIELD_TYPE(DV1394AudioInput, m_llLastStart, __int64);
EXPECT_FIELD_TYPE(DV1394AudioInput, m_nLastSamples, LONG);
EXPECT_FIELD_TYPE(DV1394AudioInput, m_llPeriodStart, __int64);
EXPECT_FIELD_TYPE(DV1394AudioInput, m_nPeriodEnd, LONG);
EXPECT_FIELD_TYPE(DV1394AudioInput, m_nSamplesDeshuffled, LONG);
EXPECT_FIELD_TYPE(DV1394AudioInput, m_bMeasureIdle, bool);
EXPECT_FIELD_TYPE(DV1394AudioInput, m_nFramesDeshuffled, LONG);
EXPECT_FIELD_TYPE(DV1394AudioInput, m_nErrors, LONG);
EXPECT_FIELD_TYPE(DV1394AudioInput, m_nOverruns, LONG);
EXPECT_FIELD_TYPE(DV1394AudioInput, m_apFormatList, FormatList* [128]);

EXPECT_FIELD_TYPE(DV1394VideoOutput, m_pRawBuffer, void*);
EXPECT_FIELD_TYPE(DV1394VideoOutput, m_pBuffer, BYTE*);
EXPECT_FIELD_TYPE(DV1394VideoOutput, m_pFifo, DIOFifo*);
EXPECT_FIELD_TYPE(DV1394VideoOutput, m_nFrameSize, ULONG);
EXPECT_FIELD_TYPE(DV1394VideoOutput, m_nRingBufferSize, LONG);
EXPECT_FIELD_TYPE(DV1394VideoOutput, m_nAllocSize, LONG);
EXPECT_FIELD_TYPE(DV1394VideoOutput, m_nPageSize, LONG);
EXPECT_FIELD_TYPE(DV1394VideoOutput, m_nBlockSize, LONG);
EXPECT_FIELD_TYPE(DV1394VideoOutput, m_nGranularity, LONG);
EXPECT_FIELD_TYPE(DV1394VideoOutput, m_eState, VDMDeviceState);
EXPECT_FIELD_TYPE(DV1394VideoOutput, m_nUnderruns, ULONG);
EXPECT_FIELD_TYPE(DV1394VideoOutput, m_nErrors, ULONG);
EXPECT_FIELD_TYPE(DV1394VideoOutput, m_aUnderrunInfo, ULONG[3]);
EXPECT_FIELD_TYPE(DV1394VideoOutput, m_nFramesTaken, ULONG);
EXPECT_FIELD_TYPE(DV1394VideoOutput, m_nFramesExpected, ULONG);
EXPECT_FIELD_TYPE(DV1394VideoOutput, m_nCurrentFrame, LONG);

EXPECT_FIELD_TYPE(DV1394AudioOutput, m_nChannels, LONG);
EXPECT_FIELD_TYPE(DV1394AudioOutput, m_pChannels, BitMask*);
EXPECT_FIELD_TYPE(DV1394AudioOutput, m_pReshuffler, DV25audioReshuffler*);
EXPECT_FIELD_TYPE(DV1394AudioOutput, m_pSampsInFrame, USampsInFrame*);
EXPECT_FIELD_TYPE(DV1394AudioOutput, m_eAudioFormat, DIO_AudioFormat);
EXPECT_FIELD_TYPE(DV1394AudioOutput, m_nRingBufferSize, LONG);
EXPECT_FIELD_TYPE(DV1394AudioOutput, m_apBuffer, BYTE* [128]);
EXPECT_FIELD_TYPE(DV1394AudioOutput, m_apFifo, DIOFifo* [128]);
EXPECT_FIELD_TYPE(DV1394AudioOutput, m_nBytesInFrame, ULONG);
EXPECT_FIELD_TYPE(DV1394AudioOutput, m_nPageSize, LONG);
EXPECT_FIELD_TYPE(DV1394AudioOutput, m_eState, VDMDeviceState);
EXPECT_FIELD_TYPE(DV1394AudioOutput, m_nFrameCounter, ULONG);
EXPECT_FIELD_TYPE(DV1394AudioOutput, m_nErrors, ULONG);
EXPECT_FIELD_TYPE(DV1394AudioOutput, m_nUnderruns, ULONG);
EXPECT_FIELD_TYPE(DV1394AudioOutput, m_nFramesExpected, LONG);

template <typename Queue>
MemberAddressList AddressesOf(Queue& queue);

#define COLLECT(field) list.emplace_back(#field, reinterpret_cast<std::uintptr_t>(&A::field(queue)));
template <>
MemberAddressList AddressesOf(DV1394VideoInput& queue) {
    MemberAddressList list;
    VIDEO_INPUT_FIELDS(COLLECT)
    return list;
}
template <>
MemberAddressList AddressesOf(DV1394AudioInput& queue) {
    MemberAddressList list;
    AUDIO_INPUT_FIELDS(COLLECT)
    return list;
}
template <>
MemberAddressList AddressesOf(DV1394VideoOutput& queue) {
    MemberAddressList list;
    VIDEO_OUTPUT_FIELDS(COLLECT)
    return list;
}
template <>
MemberAddressList AddressesOf(DV1394AudioOutput& queue) {
    MemberAddressList list;
    AUDIO_OUTPUT_FIELDS(COLLECT)
    return list;
}
#undef COLLECT

TEST(QueueConstruction, FieldsAreDeclaredInTheDocumentedOrder) {
    DV1394VideoInput videoIn;
    DV1394AudioInput audioIn;
    DV1394VideoOutput videoOut;
    DV1394AudioOutput audioOut;
    const MemberAddressList lists[] = {AddressesOf(videoIn), AddressesOf(audioIn), AddressesOf(videoOut),
                                       AddressesOf(audioOut)};
    EXPECT_EQ(lists[0].size(), 14u);
    EXPECT_EQ(lists[1].size(), 21u);
    EXPECT_EQ(lists[2].size(), 16u);
    EXPECT_EQ(lists[3].size(), 15u);
    for (const MemberAddressList& list : lists) ExpectDeclarationOrder(list);
}

// Sets a queue up as its allocation does: a locked block counted into the working set,
// a page-aligned ring start and a FIFO over it.
struct WorkingSet {
    SIZE_T minimum = 0;
    SIZE_T maximum = 0;
    static WorkingSet Now() {
        WorkingSet set;
        GetProcessWorkingSetSize(GetCurrentProcess(), &set.minimum, &set.maximum);
        return set;
    }
};

template <typename Queue>
void GiveRing(Queue& queue, LONG size) {
    const LONG allocSize = size + 4096;
    void* block = VirtualAlloc(nullptr, static_cast<SIZE_T>(allocSize), MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
    ASSERT_NE(block, nullptr);
    const WorkingSet set = WorkingSet::Now();
    SetProcessWorkingSetSize(GetCurrentProcess(), set.minimum + allocSize, set.maximum + allocSize);
    VirtualLock(block, static_cast<SIZE_T>(allocSize));
    A::m_pRawBuffer(queue) = block;
    A::m_pBuffer(queue) = static_cast<BYTE*>(block);
    A::m_nAllocSize(queue) = allocSize;
    A::m_nRingBufferSize(queue) = size;
    A::m_pFifo(queue) = new DIOFifo;
    ASSERT_TRUE(A::m_pFifo(queue)->InitializeFifo(block, static_cast<unsigned>(size), 0, 0, false, false,
                                                  "test", false));
}

TEST(QueueTeardown, VideoQueuesGiveBackTheirRingAndWorkingSet) {
    // Room for the test's own limits to come down again.
    SetProcessWorkingSetSize(GetCurrentProcess(), 1 << 20, 1 << 24);
    const WorkingSet original = WorkingSet::Now();

    DV1394VideoInput videoIn;
    GiveRing(videoIn, 240000);
    EXPECT_EQ(WorkingSet::Now().minimum, original.minimum + 244096);
    videoIn.ReleaseBuffers();
    EXPECT_EQ(A::m_pRawBuffer(videoIn), nullptr);
    EXPECT_EQ(A::m_pBuffer(videoIn), nullptr);
    EXPECT_EQ(A::m_pFifo(videoIn), nullptr);
    EXPECT_EQ(A::m_nRingBufferSize(videoIn), 240000);  // kept until the next allocation
    EXPECT_EQ(WorkingSet::Now().minimum, original.minimum);
    EXPECT_EQ(WorkingSet::Now().maximum, original.maximum);
    videoIn.ReleaseBuffers();  // nothing left to give back
    EXPECT_EQ(WorkingSet::Now().minimum, original.minimum);

    DV1394VideoOutput videoOut;
    GiveRing(videoOut, 120000);
    videoOut.ReleaseBuffers();
    EXPECT_EQ(A::m_pRawBuffer(videoOut), nullptr);
    EXPECT_EQ(A::m_pBuffer(videoOut), nullptr);
    EXPECT_EQ(A::m_pFifo(videoOut), nullptr);
    EXPECT_EQ(WorkingSet::Now().minimum, original.minimum);
    EXPECT_EQ(WorkingSet::Now().maximum, original.maximum);

    // Destroying a queue that still holds its ring gives it back too.
    {
        auto in = std::make_unique<DV1394VideoInput>();
        auto out = std::make_unique<DV1394VideoOutput>();
        GiveRing(*in, 120000);
        GiveRing(*out, 144000);
        EXPECT_EQ(WorkingSet::Now().minimum, original.minimum + 124096 + 148096);
    }
    EXPECT_EQ(WorkingSet::Now().minimum, original.minimum);
    EXPECT_EQ(WorkingSet::Now().maximum, original.maximum);
}

// Everything an audio queue owns is freed by its destructor; the leak checker of the
// sanitizer build reports anything left behind.
TEST(QueueTeardown, AudioQueuesFreeEveryChannelTheyOwn) {
    auto in = std::make_unique<DV1394AudioInput>();
    auto out = std::make_unique<DV1394AudioOutput>();
    for (int channel : {0, 5, 127}) {
        A::m_apBuffer(*in)[channel] = new BYTE[4096];
        A::m_apFifo(*in)[channel] = new DIOFifo;
        A::m_apFormatList(*in)[channel] = new FormatList;
        A::m_apBuffer(*out)[channel] = new BYTE[4096];
        A::m_apFifo(*out)[channel] = new DIOFifo;
    }
    A::m_pChannels(*in) = new BitMask(128);
    A::m_pDeshuffler(*in) = new DV25audioDeshuffler;
    A::m_pChannels(*out) = new BitMask(128);
    A::m_pReshuffler(*out) = new DV25audioReshuffler(DIO_Audio48000, DIO_NTSC);
    A::m_pSampsInFrame(*out) = new USampsInFrame(DIO_Audio48000, DIO_NTSC);
    in.reset();
    out.reset();
}

}  // namespace
