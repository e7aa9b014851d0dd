// The stream queue classes as made and as torn down: documented field types, order
// and starting values, and that teardown gives back what they own.
#include "MemberChecks.h"
#include "PluginTestAccess.h"

#include "digitalio/DIOFifo.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

using A = PluginTestAccess;

#define VI(field) MEMBER_TYPE(DV1394VideoInput, field)
#define AI(field) MEMBER_TYPE(DV1394AudioInput, field)
#define VO(field) MEMBER_TYPE(DV1394VideoOutput, field)
#define AO(field) MEMBER_TYPE(DV1394AudioOutput, field)
static_assert(kAllHaveDocumentedType<LONG, VI(m_nFrameSize), VI(m_nRingBufferSize), VI(m_nAllocSize), VI(m_nPageSize),
                                     VI(m_nBlockSize), VI(m_nGranularity), VI(m_nOverruns), VI(m_nErrors),
                                     VI(m_nFramesWritten), AI(m_nChannels), AI(m_nRingBufferSize),
                                     AI(m_nMaxSampsInFrame), AI(m_nPageSize), AI(m_nLastFrames), AI(m_nLastSamples),
                                     AI(m_nPeriodEnd), AI(m_nSamplesDeshuffled), AI(m_nFramesDeshuffled),
                                     AI(m_nErrors), AI(m_nOverruns), VO(m_nRingBufferSize), VO(m_nAllocSize),
                                     VO(m_nPageSize), VO(m_nBlockSize), VO(m_nGranularity), VO(m_nCurrentFrame),
                                     AO(m_nChannels), AO(m_nRingBufferSize), AO(m_nPageSize), AO(m_nFramesExpected)>);
static_assert(kAllHaveDocumentedType<ULONG, VO(m_nFrameSize), VO(m_nUnderruns), VO(m_nErrors), VO(m_nFramesTaken),
                                     VO(m_nFramesExpected), AO(m_nBytesInFrame), AO(m_nFrameCounter), AO(m_nErrors),
                                     AO(m_nUnderruns)> &&
              kAllHaveDocumentedType<ULONG[3], VO(m_aUnderrunInfo)>);
static_assert(kAllHaveDocumentedType<VDMDeviceState, VI(m_eState), AI(m_eState), VO(m_eState), AO(m_eState)> &&
              kAllHaveDocumentedType<DIO_AudioFormat, AI(m_eAudioFormat), AO(m_eAudioFormat)> &&
              kAllHaveDocumentedType<void*, VI(m_pRawBuffer), VO(m_pRawBuffer)> &&
              kAllHaveDocumentedType<BYTE*, VI(m_pBuffer), VO(m_pBuffer)> &&
              kAllHaveDocumentedType<DIOFifo*, VI(m_pFifo), VO(m_pFifo)> &&
              kAllHaveDocumentedType<FormatList, VI(m_FormatList)>);
static_assert(kAllHaveDocumentedType<BitMask*, AI(m_pChannels), AO(m_pChannels)> &&
              kAllHaveDocumentedType<BYTE* [128], AI(m_apBuffer), AO(m_apBuffer)> &&
              kAllHaveDocumentedType<DIOFifo* [128], AI(m_apFifo), AO(m_apFifo)> &&
              kAllHaveDocumentedType<FormatList* [128], AI(m_apFormatList)> &&
              kAllHaveDocumentedType<DV25audioDeshuffler*, AI(m_pDeshuffler)> &&
              kAllHaveDocumentedType<__int64, AI(m_llLastStart), AI(m_llPeriodStart)> &&
              kAllHaveDocumentedType<bool, AI(m_bMeasureIdle)> &&
              kAllHaveDocumentedType<DV25audioReshuffler*, AO(m_pReshuffler)> &&
              kAllHaveDocumentedType<USampsInFrame*, AO(m_pSampsInFrame)>);
#undef VI
#undef AI
#undef VO
#undef AO

TEST(QueueConstruction, FieldsAreDeclaredInTheDocumentedOrder) {
    DV1394VideoInput videoIn;
    DV1394AudioInput audioIn;
    DV1394VideoOutput videoOut;
    DV1394AudioOutput audioOut;
    MemberAddressList lists[4];
    MemberAddressList* list = nullptr;
#define COLLECT(field) list->emplace_back(#field, reinterpret_cast<std::uintptr_t>(&A::field(queue)));
    { auto& queue = videoIn; list = &lists[0]; VIDEO_INPUT_FIELDS(COLLECT) }
    { auto& queue = audioIn; list = &lists[1]; AUDIO_INPUT_FIELDS(COLLECT) }
    { auto& queue = videoOut; list = &lists[2]; VIDEO_OUTPUT_FIELDS(COLLECT) }
    { auto& queue = audioOut; list = &lists[3]; AUDIO_OUTPUT_FIELDS(COLLECT) }
#undef COLLECT
    EXPECT_EQ(lists[0].size(), 14u);
    EXPECT_EQ(lists[1].size(), 21u);
    EXPECT_EQ(lists[2].size(), 16u);
    EXPECT_EQ(lists[3].size(), 15u);
    for (const MemberAddressList& members : lists) ExpectDeclarationOrder(members);
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
    // A system may take the request without keeping it (Wine answers fixed numbers);
    // the bookkeeping can be checked only where the numbers come back.
    SetProcessWorkingSetSize(GetCurrentProcess(), original.minimum + 4096, original.maximum + 4096);
    const bool kept = WorkingSet::Now().minimum == original.minimum + 4096;
    SetProcessWorkingSetSize(GetCurrentProcess(), original.minimum, original.maximum);
    auto expectWorkingSet = [&](SIZE_T extra) {
        if (!kept) return;
        EXPECT_EQ(WorkingSet::Now().minimum, original.minimum + extra);
        EXPECT_EQ(WorkingSet::Now().maximum, original.maximum + extra);
    };
    auto expectReleased = [](auto& queue) {
        EXPECT_EQ(A::m_pRawBuffer(queue), nullptr);
        EXPECT_EQ(A::m_pBuffer(queue), nullptr);
        EXPECT_EQ(A::m_pFifo(queue), nullptr);
    };

    DV1394VideoInput videoIn;
    GiveRing(videoIn, 240000);
    expectWorkingSet(244096);
    videoIn.ReleaseBuffers();
    expectReleased(videoIn);
    EXPECT_EQ(A::m_nRingBufferSize(videoIn), 240000);  // kept until the next allocation
    expectWorkingSet(0);
    videoIn.ReleaseBuffers();  // nothing left to give back
    expectWorkingSet(0);

    DV1394VideoOutput videoOut;
    GiveRing(videoOut, 120000);
    videoOut.ReleaseBuffers();
    expectReleased(videoOut);
    expectWorkingSet(0);

    // Destroying a queue that still holds its ring gives it back too.
    {
        auto in = std::make_unique<DV1394VideoInput>();
        auto out = std::make_unique<DV1394VideoOutput>();
        GiveRing(*in, 120000);
        GiveRing(*out, 144000);
        expectWorkingSet(124096 + 148096);
    }
    expectWorkingSet(0);
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
