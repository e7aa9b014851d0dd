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
