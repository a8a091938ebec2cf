#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "logging/log.h"
#include "logging/log_handle.h"
#include "logging/shared_binding.h"
#include "logging/testing/log_recorder.h"

namespace {

// Two threads write while a third keeps taking and dropping the last reference, so writes race
// with the tear-down. The recording library counts writes that arrive after a LogDeinit with no
// LogInit since, and tear-downs made while a write was under way: either means a write used a
// binding that it held no reference on.
TEST(ConcurrentRelease, WritesNeverUseATornDownBinding)
{
    LogRecorder recorder;
    ASSERT_TRUE(recorder.Loaded());
    ASSERT_FALSE(logging::SharedBinding().InUse());

    std::atomic<bool> done{false};
    std::atomic<long> writes{0};
    auto writer = [&](const wchar_t* scope) {
        while (!done.load())
        {
            logging::Write(LogLevel::Debug, scope, L"write %ld", writes.fetch_add(1));
            std::this_thread::yield();
        }
    };
    std::thread first(writer, L"Test::FirstWriter");
    std::thread second(writer, L"Test::SecondWriter");
    // Writers run before the cycling starts; this wait observes, it does not order anything.
    const DWORD waitStart = ::GetTickCount();
    while (writes.load() < 100 && ::GetTickCount() - waitStart < 30000)
        std::this_thread::yield();

    const int cycles = 2000;
    for (int i = 0; i < cycles; ++i)
    {
        LogHandle lastObject;
        lastObject.Acquire();
        for (int spin = 0; spin < 3; ++spin)
            std::this_thread::yield();
        lastObject.Release();
    }
    done = true;
    first.join();
    second.join();

    EXPECT_FALSE(recorder.Lines().empty()) << "no write ever overlapped a holder";
    EXPECT_EQ(recorder.StrayWrites(), 0);
    EXPECT_EQ(recorder.DeinitsDuringWrites(), 0);
    EXPECT_GT(recorder.InitCount(), 10) << "the binding was rarely torn down while writers ran";
    EXPECT_EQ(recorder.InitCount(), recorder.DeinitCount());
    EXPECT_EQ(logging::SharedBinding().ReferenceCount(), 0);
}

} // namespace
