// The byte ring: bounds, copies across the wrap, gap management, two threads, 32-bit positions.
#include "digitalio/DIOFifo.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <random>
#include <thread>
#include <vector>

namespace {

// Byte i of the stream has value f(i): every byte is checked where it arrives.
unsigned char StreamByte(uint64_t index) {
    return static_cast<unsigned char>((index * 2654435761u) >> 13);
}

TEST(DIOFifo, ArgumentsAndBoundsAreChecked) {
    DIOFifo fifo;
    unsigned char* p = reinterpret_cast<unsigned char*>(1);
    EXPECT_EQ(fifo.ReqGivePtr(10, 1, &p), -1);  // no buffer yet
    EXPECT_EQ(p, nullptr);
    EXPECT_EQ(fifo.ReqTakePtr(10, &p), -1);
    std::vector<unsigned char> memory(1000);
    for (unsigned size : {0u, 0x80000000u})
        EXPECT_FALSE(fifo.InitializeFifo(memory.data(), size, 0, 0, false, false, "q", false)) << size;
    EXPECT_FALSE(fifo.InitializeFifo(nullptr, 1000, 0, 0, false, false, "q", false));
    EXPECT_FALSE(fifo.InitializeFifo(memory.data(), 1000, 0, 300, false, false, "q", false));  // not a block multiple
    ASSERT_TRUE(fifo.InitializeFifo(memory.data(), 1000, 0, 250, false, false, "q", false));
    EXPECT_EQ(fifo.ReqGivePtr(-1, 1, &p), -1);

    // A request beyond the free space answers what is there; acks beyond it are refused.
    ASSERT_EQ(fifo.ReqGivePtr(5000, 1, &p), 1000);
    EXPECT_EQ(p, memory.data());
    EXPECT_FALSE(fifo.AckGivePtr(1001));
    EXPECT_TRUE(fifo.AckGivePtr(600));
    EXPECT_EQ(fifo.GetQDepth(), 600u);
    EXPECT_EQ(fifo.ReqGivePtr(500, 401, &p), 0);  // only 400 free
    EXPECT_EQ(p, nullptr);
    EXPECT_FALSE(fifo.AckGivePtr(1));  // nothing was handed out

    ASSERT_EQ(fifo.ReqTakePtr(700, &p), 600);
    EXPECT_FALSE(fifo.AckTakePtr(601));
    EXPECT_TRUE(fifo.AckTakePtr(550));
    // The free run is split by the end of the buffer: only the part before it.
    ASSERT_EQ(fifo.ReqGivePtr(900, 1, &p), 400);
    EXPECT_EQ(p, memory.data() + 600);
    fifo.AckGivePtr(400);
    ASSERT_EQ(fifo.ReqGivePtr(900, 1, &p), 550);
    EXPECT_EQ(p, memory.data());

    unsigned char sink[2000];
    EXPECT_FALSE(fifo.CopyBytesFrom(sink, 451));  // only 450 queued: nothing taken
    EXPECT_EQ(fifo.GetQDepth(), 450u);
}

TEST(DIOFifo, GapManagementKeepsFramesWhole) {
    constexpr LONG kFrame = 300;
    std::vector<unsigned char> memory(1000);
    DIOFifo fifo;
    ASSERT_TRUE(fifo.InitializeFifo(memory.data(), 1000, 0, 0, true, true, "VideoOutQ", false));
    EXPECT_TRUE(fifo.QueryBGM());
    unsigned char* p = nullptr;
    for (int i = 0; i < 3; ++i) {
        ASSERT_EQ(fifo.ReqGivePtr(kFrame, 0, &p), kFrame);
        std::memset(p, 'a' + i, kFrame);
        fifo.AckGivePtr(kFrame);
    }
    // 100 left at the end and the start still full: a whole give or nothing, whatever
    // minimum is asked.
    for (LONG min : {LONG{0}, LONG{1}, LONG{100}, kFrame}) EXPECT_EQ(fifo.ReqGivePtr(kFrame, min, &p), 0) << "min " << min;
    unsigned char frame[kFrame];
    ASSERT_TRUE(fifo.CopyAChunkFrom(frame, kFrame));
    EXPECT_EQ(frame[0], 'a');
    // Now the start has room: the give wraps and the 100 bytes at the end become a gap.
    ASSERT_EQ(fifo.ReqGivePtr(kFrame, 1, &p), kFrame);
    EXPECT_EQ(p, memory.data());
    std::memset(p, 'd', kFrame);
    ASSERT_TRUE(fifo.AckGivePtr(kFrame));
    EXPECT_EQ(fifo.GetQDepth(), 3u * kFrame + 100u);
    EXPECT_EQ(fifo.GetQDepthWithoutGap(), 3u * kFrame);
    // The consumer's runs stop at the gap and skip it.
    ASSERT_EQ(fifo.ReqTakePtr(1000, &p), 2 * kFrame);
    fifo.AckTakePtr(2 * kFrame);
    ASSERT_EQ(fifo.ReqTakePtr(1000, &p), kFrame);
    EXPECT_EQ(p, memory.data());
    EXPECT_EQ(*p, 'd');
    EXPECT_EQ(fifo.GetTakePos(), 1000u);  // skipping the gap consumed its bytes
    fifo.AckTakePtr(kFrame);
    EXPECT_EQ(fifo.GetQDepth(), 0u);
    // A request that cannot be whole answers nothing rather than a piece; one that
    // exactly fills the room before the end is whole.
    EXPECT_EQ(fifo.ReqGivePtr(1001, 0, &p), 0);
    EXPECT_EQ(fifo.ReqGivePtr(700, 0, &p), 700);
}

// Moves `total` bytes through the ring in odd-sized pieces from two threads. A ring
// that stops moving fails within seconds, not at the test's time-out.
void PumpThroughRing(bool gaps, uint64_t total, unsigned ringSize) {
    std::vector<unsigned char> memory(ringSize);
    DIOFifo fifo;
    ASSERT_TRUE(fifo.InitializeFifo(memory.data(), ringSize, 0, 0, gaps, false, "pump", false));
    std::atomic<bool> stop{false};
    std::thread producer([&] {
        std::mt19937 random(7);
        uint64_t given = 0;
        while (given < total && !stop) {
            LONG want = static_cast<LONG>(std::min<uint64_t>(1 + random() % 5000, total - given));
            unsigned char* p = nullptr;
            LONG got = fifo.ReqGivePtr(want, gaps ? want : 1, &p);
            if (got <= 0) {
                std::this_thread::yield();
                continue;
            }
            for (LONG i = 0; i < got; ++i) p[i] = StreamByte(given + static_cast<uint64_t>(i));
            fifo.AckGivePtr(got);
            given += static_cast<uint64_t>(got);
        }
    });
    std::mt19937 random(11);
    uint64_t taken = 0;
    uint64_t mismatches = 0;
    auto moved = std::chrono::steady_clock::now();
    while (taken < total && !stop) {
        unsigned char* p = nullptr;
        LONG got = fifo.ReqTakePtr(static_cast<LONG>(1 + random() % 7000), &p);
        if (got <= 0) {
            stop = std::chrono::steady_clock::now() - moved > std::chrono::seconds(20);
            std::this_thread::yield();
            continue;
        }
        moved = std::chrono::steady_clock::now();
        LONG use = random() % 3 == 0 ? std::max<LONG>(1, got / 2) : got;  // sometimes take less
        for (LONG i = 0; i < use; ++i) mismatches += p[i] != StreamByte(taken + static_cast<uint64_t>(i));
        stop = !fifo.AckTakePtr(use);
        taken += static_cast<uint64_t>(use);
    }
    producer.join();
    EXPECT_FALSE(stop.load()) << "the ring stopped moving after " << taken << " bytes";
    EXPECT_EQ(mismatches, 0u);
    // Positions count gap bytes too, so only a ring without gaps ends at the total.
    EXPECT_EQ(fifo.GetTakePos(), fifo.GetGivePos());
    EXPECT_TRUE(gaps || fifo.GetTakePos() == static_cast<ULONG>(total)) << fifo.GetTakePos();
}

// Every byte arrives as written; under ThreadSanitizer this also shows that the give
// position publishes the bytes before it.
TEST(DIOFifo, TwoThreadsMoveMegabytesIntact) {
    PumpThroughRing(false, 24ull << 20, 65521);
    PumpThroughRing(true, 24ull << 20, 65536 + 37);
}

TEST(DIOFifo, PositionsRunPastTheThirtyTwoBitWrap) {
    // Positions are 32-bit running counters; a ring whose size does not divide 2^32
    // must keep mapping them to the right bytes after the counters wrap.
    constexpr unsigned kSize = 1000;
    std::vector<unsigned char> memory(kSize);
    DIOFifo fifo;
    ASSERT_TRUE(fifo.InitializeFifo(memory.data(), kSize, 0, 0, false, false, "wrap", false));
    // Run the counters up to just before the wrap by handing regions back and forth
    // without touching their bytes.
    const uint64_t nearWrap = (1ull << 32) - 3 * kSize;
    uint64_t position = 0;
    while (position < nearWrap) {
        unsigned char* p = nullptr;
        LONG want = static_cast<LONG>(std::min<uint64_t>(997, nearWrap - position));
        LONG got = fifo.ReqGivePtr(want, 1, &p);
        ASSERT_GT(got, 0);
        fifo.AckGivePtr(got);
        ASSERT_EQ(fifo.ReqTakePtr(got, &p), got);
        fifo.AckTakePtr(got);
        position += static_cast<uint64_t>(got);
    }
    std::vector<unsigned char> in(kSize), out(kSize);
    while (position < (1ull << 32) + 3 * kSize) {
        for (unsigned i = 0; i < 997; ++i) in[i] = StreamByte(position + i);
        ASSERT_TRUE(fifo.WriteBytesInto(in.data(), 997, false));
        ASSERT_TRUE(fifo.CopyBytesFrom(out.data(), 997));
        ASSERT_EQ(std::memcmp(in.data(), out.data(), 997), 0) << "at " << position;
        position += 997;
    }
    EXPECT_EQ(fifo.GetGivePos(), static_cast<ULONG>(position));
    EXPECT_EQ(fifo.GetQDepth(), 0u);
}

}  // namespace
