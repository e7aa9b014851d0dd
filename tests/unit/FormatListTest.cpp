// Format change lists: each change seen once at its byte position, bounded, across threads.
#include "digitalio/FormatList.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace {

constexpr LONG kASRT = MakeFourCC('A', 'S', 'R', 'T');

std::string Rate(DIOFormat* format) {
    char value[20] = "";
    if (format == nullptr || !format->GetKeywordParameter(kASRT, value)) return "none";
    return value;
}

TEST(FormatList, ConsumerSeesEachChangeExactlyAtItsPosition) {
    FormatList list;
    DIOFormat* record = nullptr;
    ULONG next = 0;
    DIOFormat* format = nullptr;

    // Before InitFormatList there is nothing to add to, and readers see no format.
    EXPECT_NE(list.AddFormatChange(&record, 10), 0);
    EXPECT_EQ(list.GetNextFormatByteCount(500, &format, &next), 0);
    EXPECT_EQ(format, nullptr);
    EXPECT_EQ(next, 500u);
    EXPECT_EQ(list.ACK(400, true), 0);

    ASSERT_EQ(list.InitFormatList(&record), 0);
    record->SetKeywordParameter(kASRT, "48000");
    DIOFormat* first = record;

    ASSERT_EQ(list.AddFormatChange(&record, 1000), 0);
    EXPECT_EQ(Rate(record), "48000");  // starts as a copy of the newest record
    EXPECT_EQ(record->GetFormatChange(), 0);
    record->SetKeywordParameter(kASRT, "32000");
    record->SetFormatChange(1);
    DIOFormat* second = record;
    DIOFormat* again = nullptr;
    ASSERT_EQ(list.AddFormatChange(&again, 1000), 0);
    EXPECT_EQ(again, second);  // same position: the same record
    EXPECT_NE(list.AddFormatChange(&again, 999), 0);  // before the newest pending one

    // Data before the change carries the first format; the request is cut at the change.
    EXPECT_EQ(list.GetNextFormatByteCount(600, &format, &next), 0);
    EXPECT_EQ(format, first);
    EXPECT_EQ(next, 600u);
    EXPECT_EQ(list.GetNextFormatByteCount(1400, &format, &next), 0);
    EXPECT_EQ(next, 1000u);
    EXPECT_EQ(list.ACK(1000, true), 0);  // taking up to the change is fine
    EXPECT_NE(list.ACK(1001, true), 0);  // taking past it would skip it
    // At the change the consumer acknowledges the format, then gets data again.
    EXPECT_EQ(list.ACK(999, false), 0);  // not at the change: nothing happens
    EXPECT_EQ(list.PendingCount(), 1u);
    EXPECT_EQ(list.ACK(1000, false), 0);
    EXPECT_EQ(list.GetNextFormatByteCount(1400, &format, &next), 0);
    EXPECT_EQ(format, second);
    EXPECT_EQ(next, 1400u);
    EXPECT_EQ(Rate(first), "48000");  // still valid after the change was taken
}

TEST(FormatList, PositionsWrapAndPendingChangesAreBounded) {
    FormatList list;
    DIOFormat* record = nullptr;
    ASSERT_EQ(list.InitFormatList(&record), 0);
    const ULONG nearWrap = 0xFFFFFF00u;
    ASSERT_EQ(list.AddFormatChange(&record, nearWrap), 0);
    ASSERT_EQ(list.AddFormatChange(&record, 0x10), 0);  // after the wrap is later
    ULONG next = 0;
    DIOFormat* format = nullptr;
    list.GetNextFormatByteCount(0x20, &format, &next);
    EXPECT_EQ(next, nearWrap);
    for (ULONG i = 2; i < FormatList::kMaxPending; ++i) ASSERT_EQ(list.AddFormatChange(&record, 0x10 + i), 0);
    EXPECT_NE(list.AddFormatChange(&record, 0x1000), 0);
    EXPECT_EQ(list.PendingCount(), FormatList::kMaxPending);
}

TEST(FormatList, ProducerAndConsumerThreads) {
    // The capture thread adds and fills records while a host thread reads and
    // acknowledges them; every change must be seen once, in order, fully filled.
    FormatList list;
    DIOFormat* record = nullptr;
    list.InitFormatList(&record);
    record->SetKeywordParameter(kASRT, "0");
    constexpr int kChanges = 2000;
    std::atomic<ULONG> produced{0};
    std::thread producer([&] {
        for (int i = 1; i <= kChanges; ++i) {
            DIOFormat* change = nullptr;
            while (list.AddFormatChange(&change, static_cast<ULONG>(i * 100)) != 0) std::this_thread::yield();
            change->SetKeywordParameter(kASRT, std::to_string(i).c_str());
            produced.store(static_cast<ULONG>(i * 100 + 50), std::memory_order_release);
        }
    });
    ULONG take = 0;
    int seen = 0;
    while (seen < kChanges) {
        const ULONG limit = produced.load(std::memory_order_acquire);
        if (static_cast<int32_t>(limit - take) <= 0) {
            std::this_thread::yield();
            continue;
        }
        DIOFormat* format = nullptr;
        ULONG next = 0;
        list.GetNextFormatByteCount(limit, &format, &next);
        if (next == take) {
            list.ACK(take, false);
            list.GetNextFormatByteCount(limit, &format, &next);
            ++seen;
            ASSERT_EQ(Rate(format), std::to_string(seen));
            continue;
        }
        ASSERT_EQ(list.ACK(next, true), 0);
        take = next;
    }
    producer.join();
}

}  // namespace
