// The Win32 calls the plug-in relies on: events, waits and debug output. On POSIX this
// tests our layer; the Windows build runs the same cases against the system, so the
// layer cannot drift from it.
#include "windows.h"
#include "Win32DebugSink.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace {

TEST(Win32Events, WaitAnyAnswersTheLowestSignalledIndex) {
    // The record thread waits on "end", "audio command" and "video command"; a host
    // thread signals while it waits.
    HANDLE events[3];
    for (HANDLE& e : events) e = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    auto set = [&](bool a, bool b, bool c) {
        const bool on[3] = {a, b, c};
        for (int i = 0; i < 3; ++i) on[i] ? SetEvent(events[i]) : ResetEvent(events[i]);
    };
    EXPECT_EQ(WaitForMultipleObjects(3, events, FALSE, 0), WAIT_TIMEOUT);
    std::atomic<DWORD> result{0};
    std::thread waiter([&] { result = WaitForMultipleObjects(3, events, FALSE, INFINITE); });
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    SetEvent(events[2]);
    waiter.join();
    EXPECT_EQ(result.load(), WAIT_OBJECT_0 + 2);
    set(false, true, true);
    EXPECT_EQ(WaitForMultipleObjects(3, events, FALSE, 0), WAIT_OBJECT_0 + 1);
    set(false, false, true);
    EXPECT_EQ(WaitForMultipleObjects(3, events, FALSE, 0), WAIT_OBJECT_0 + 2);
    EXPECT_EQ(WaitForMultipleObjects(3, events, TRUE, 0), WAIT_TIMEOUT);
    HANDLE withNull[2] = {events[0], nullptr};
    EXPECT_EQ(WaitForMultipleObjects(2, withNull, FALSE, 0), WAIT_FAILED);
    for (HANDLE e : events) CloseHandle(e);
}

TEST(Win32Debug, EachCallIsOneEntryInOrder) {
    win32::DebugCapture capture;
    OutputDebugStringA("first line\n");
    OutputDebugStringA("PdvStopPlayback\nPdvEndCapture\n");
    OutputDebugStringA("DROP FRAME ");
    OutputDebugStringA(nullptr);
    OutputDebugStringA("");
    std::thread([] { OutputDebugStringA("from another thread\n"); }).join();
    EXPECT_EQ(capture.Take(), (std::vector<std::string>{"first line\n", "PdvStopPlayback\nPdvEndCapture\n",
                                                        "DROP FRAME ", "", "", "from another thread\n"}));
    EXPECT_TRUE(capture.Entries().empty());
}

}  // namespace
