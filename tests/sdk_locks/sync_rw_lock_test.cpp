#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "sdk/sync_rw_lock.h"
#include "sdk_locks/thread_harness.h"

namespace {

using sdk_locks_test::PollUntil;
using sdk_locks_test::Signal;
using sdk_locks_test::TestThread;

// Runs a test body on a thread of its own so that a lock that blocks its own holder fails
// the test instead of hanging it.
void RunBounded(std::function<void()> body)
{
    TestThread thread(std::move(body));
    ASSERT_TRUE(thread.Join(30000)) << "the thread blocked itself";
}

// Absence of an effect is observed for this long; it never orders anything.
constexpr DWORD kStillBlockedMs = 50;

template <typename Member>
size_t VirtualSlot(Member member)
{
    uintptr_t value = 0;
    std::memcpy(&value, &member, sizeof(value));
    return (value - 1) / sizeof(void*);
}

TEST(SyncRWLockLayout, SlotsFollowTheInterfaceTable)
{
    EXPECT_EQ(VirtualSlot(&ISyncRWLock::AcquireRead), 0u);
    EXPECT_EQ(VirtualSlot(&ISyncRWLock::ReleaseRead), 1u);
    EXPECT_EQ(VirtualSlot(&ISyncRWLock::AcquireWrite), 2u);
    EXPECT_EQ(VirtualSlot(&ISyncRWLock::ReleaseWrite), 3u);
}

// ---- one thread: recursion and the writer's own reads ----

enum class Op { Read, UnRead, Write, UnWrite };

struct Expect
{
    uint32_t activeReaders, writerActive, writerReads, writerDepth;
};

struct Step
{
    Op op;
    Expect after;
};

struct SequenceCase
{
    const char* name;
    std::vector<Step> steps;
};

void RunSequence(const std::vector<Step>& steps)
{
    CSyncRWLock lock;
    const DWORD self = ::GetCurrentThreadId();
    int index = 0;
    for (const Step& step : steps)
    {
        switch (step.op)
        {
        case Op::Read: lock.AcquireRead(0); break;
        case Op::UnRead: lock.ReleaseRead(0); break;
        case Op::Write: lock.AcquireWrite(0); break;
        case Op::UnWrite: lock.ReleaseWrite(0); break;
        }
        const CSyncRWLock::State s = lock.Snapshot();
        SCOPED_TRACE("step " + std::to_string(index++));
        EXPECT_EQ(s.activeReaders, step.after.activeReaders);
        EXPECT_EQ(s.readerThreads, step.after.activeReaders);
        EXPECT_EQ(s.writerActive, step.after.writerActive);
        EXPECT_EQ(s.writerReads, step.after.writerReads);
        EXPECT_EQ(s.writerDepth, step.after.writerDepth);
        EXPECT_EQ(s.writerThread, s.writerActive ? self : 0u);
        EXPECT_EQ(s.waitingReaders, 0u);
        EXPECT_EQ(s.waitingWriters, 0u);
    }
}

class SyncRWLockSequence : public ::testing::TestWithParam<SequenceCase> {};

TEST_P(SyncRWLockSequence, CountsFollowEveryStepAndEndFree)
{
    const std::vector<Step>& steps = GetParam().steps;
    RunBounded([&steps] { RunSequence(steps); });
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SyncRWLockSequence,
    ::testing::Values(
        SequenceCase{"NestedReads",
                     {{Op::Read, {1, 0, 0, 0}}, {Op::Read, {1, 0, 0, 0}}, {Op::Read, {1, 0, 0, 0}},
                      {Op::UnRead, {1, 0, 0, 0}}, {Op::UnRead, {1, 0, 0, 0}}, {Op::UnRead, {0, 0, 0, 0}}}},
        SequenceCase{"NestedWrites",
                     {{Op::Write, {0, 1, 0, 1}}, {Op::Write, {0, 1, 0, 2}},
                      {Op::UnWrite, {0, 1, 0, 1}}, {Op::UnWrite, {0, 0, 0, 0}}}},
        SequenceCase{"WriterReadsAndGivesTheWriteBackFirst",
                     {{Op::Write, {0, 1, 0, 1}}, {Op::Read, {0, 1, 1, 1}},
                      {Op::UnWrite, {0, 1, 1, 0}}, {Op::UnRead, {0, 0, 0, 0}}}},
        SequenceCase{"WriterReadsAndGivesTheReadBackFirst",
                     {{Op::Write, {0, 1, 0, 1}}, {Op::Read, {0, 1, 1, 1}},
                      {Op::UnRead, {0, 1, 0, 1}}, {Op::UnWrite, {0, 0, 0, 0}}}},
        SequenceCase{"WriterNestsBoth",
                     {{Op::Write, {0, 1, 0, 1}}, {Op::Read, {0, 1, 1, 1}}, {Op::Write, {0, 1, 1, 2}},
                      {Op::Read, {0, 1, 2, 2}}, {Op::UnWrite, {0, 1, 2, 1}}, {Op::UnRead, {0, 1, 1, 1}},
                      {Op::UnWrite, {0, 1, 1, 0}}, {Op::UnRead, {0, 0, 0, 0}}}},
        SequenceCase{"ReadingRemainderOfWriterWritesAgain",
                     {{Op::Write, {0, 1, 0, 1}}, {Op::Read, {0, 1, 1, 1}}, {Op::UnWrite, {0, 1, 1, 0}},
                      {Op::Write, {0, 1, 1, 1}}, {Op::UnWrite, {0, 1, 1, 0}}, {Op::UnRead, {0, 0, 0, 0}}}}),
    [](const ::testing::TestParamInfo<SequenceCase>& info) { return std::string(info.param.name); });

// ---- several threads ----

// A thread that takes the lock one way, reports it, holds it until told, and gives it back.
class Holder
{
public:
    enum Mode { Read, Write };

    Holder(CSyncRWLock& lock, Mode mode)
        : thread_([this, &lock, mode] {
              mode == Read ? lock.AcquireRead(0) : lock.AcquireWrite(0);
              in_.Set();
              release_.WaitFor(sdk_locks_test::Bound(30000));
              mode == Read ? lock.ReleaseRead(0) : lock.ReleaseWrite(0);
          })
    {
    }

    // A failed test must not leave the thread waiting for its release.
    ~Holder() { release_.Set(); }
    Holder(const Holder&) = delete;
    Holder& operator=(const Holder&) = delete;

    bool In(DWORD baseMs = 10000) const { return in_.WaitFor(sdk_locks_test::Bound(baseMs)); }
    bool StillOut() const { return !in_.WaitFor(kStillBlockedMs); }
    DWORD Id() const { return thread_.Id(); }
    bool ReleaseAndEnd()
    {
        release_.Set();
        return thread_.Join(10000);
    }

private:
    Signal in_;
    Signal release_;
    TestThread thread_; // last: starts once the signals exist
};

TEST(SyncRWLockThreads, WaitingWriterKeepsNewReadersOutUntilItHasWritten)
{
    CSyncRWLock lock;
    Holder reader1(lock, Holder::Read);
    ASSERT_TRUE(reader1.In());

    Holder writer(lock, Holder::Write);
    ASSERT_TRUE(PollUntil([&] { return lock.Snapshot().waitingWriters == 1; }));

    Holder reader3(lock, Holder::Read);
    ASSERT_TRUE(PollUntil([&] { return lock.Snapshot().waitingReaders == 1; }));
    EXPECT_TRUE(reader3.StillOut());

    ASSERT_TRUE(reader1.ReleaseAndEnd());
    ASSERT_TRUE(writer.In());
    EXPECT_EQ(lock.Snapshot().writerThread, writer.Id());
    EXPECT_TRUE(reader3.StillOut());

    ASSERT_TRUE(writer.ReleaseAndEnd());
    ASSERT_TRUE(reader3.In());
    ASSERT_TRUE(reader3.ReleaseAndEnd());
    const CSyncRWLock::State s = lock.Snapshot();
    EXPECT_EQ(s.activeReaders + s.writerActive + s.readerThreads, 0u);
}

TEST(SyncRWLockThreads, FinishingWriterWakesEveryWaitingReaderAtOnce)
{
    CSyncRWLock lock;
    Holder writer(lock, Holder::Write);
    ASSERT_TRUE(writer.In());
    Holder readerA(lock, Holder::Read);
    Holder readerB(lock, Holder::Read);
    ASSERT_TRUE(PollUntil([&] { return lock.Snapshot().waitingReaders == 2; }));

    ASSERT_TRUE(writer.ReleaseAndEnd());
    // Both are inside together: neither gives its read back before the other came in.
    ASSERT_TRUE(readerA.In());
    ASSERT_TRUE(readerB.In());
    const CSyncRWLock::State s = lock.Snapshot();
    EXPECT_EQ(s.activeReaders, 2u);
    EXPECT_EQ(s.readerThreads, 2u);
    EXPECT_EQ(s.waitingReaders, 0u);

    ASSERT_TRUE(readerA.ReleaseAndEnd());
    ASSERT_TRUE(readerB.ReleaseAndEnd());
    EXPECT_EQ(lock.Snapshot().activeReaders, 0u);
}

// Whether the lock was held by a reader or by a writer, its release lets exactly one of two
// waiting writers in.
class SyncRWLockHandOver : public ::testing::TestWithParam<Holder::Mode> {};

TEST_P(SyncRWLockHandOver, ReleaseWakesExactlyOneOfTwoWaitingWriters)
{
    CSyncRWLock lock;
    Holder holder(lock, GetParam());
    ASSERT_TRUE(holder.In());
    Holder writer1(lock, Holder::Write);
    Holder writer2(lock, Holder::Write);
    ASSERT_TRUE(PollUntil([&] { return lock.Snapshot().waitingWriters == 2; }));

    ASSERT_TRUE(holder.ReleaseAndEnd());
    ASSERT_TRUE(PollUntil([&] { return writer1.In(0) || writer2.In(0); }));
    Holder& first = writer1.In(0) ? writer1 : writer2;
    Holder& second = &first == &writer1 ? writer2 : writer1;
    EXPECT_TRUE(second.StillOut());
    CSyncRWLock::State s = lock.Snapshot();
    EXPECT_EQ(s.waitingWriters, 1u);
    EXPECT_EQ(s.writerActive, 1u);
    EXPECT_EQ(s.writerThread, first.Id());

    ASSERT_TRUE(first.ReleaseAndEnd());
    ASSERT_TRUE(second.In());
    EXPECT_EQ(lock.Snapshot().writerThread, second.Id());
    ASSERT_TRUE(second.ReleaseAndEnd());
    s = lock.Snapshot();
    EXPECT_EQ(s.writerActive + s.waitingWriters + s.writerThread, 0u);
}

INSTANTIATE_TEST_SUITE_P(Holders, SyncRWLockHandOver, ::testing::Values(Holder::Read, Holder::Write),
                         [](const ::testing::TestParamInfo<Holder::Mode>& info) {
                             return std::string(info.param == Holder::Read ? "LastReader" : "Writer");
                         });

void WriterRemainderScenario()
{
    CSyncRWLock lock;
    lock.AcquireWrite(0);
    lock.AcquireRead(0);
    lock.ReleaseWrite(0);

    Holder reader(lock, Holder::Read);
    ASSERT_TRUE(PollUntil([&] { return lock.Snapshot().waitingReaders == 1; }));
    Holder writer(lock, Holder::Write);
    ASSERT_TRUE(PollUntil([&] { return lock.Snapshot().waitingWriters == 1; }));
    EXPECT_TRUE(reader.StillOut());
    EXPECT_TRUE(writer.StillOut());

    lock.ReleaseRead(0);
    ASSERT_TRUE(writer.In());
    EXPECT_TRUE(reader.StillOut());
    ASSERT_TRUE(writer.ReleaseAndEnd());
    ASSERT_TRUE(reader.In());
    ASSERT_TRUE(reader.ReleaseAndEnd());
}

TEST(SyncRWLockThreads, WriterHoldingOnlyReadsStillKeepsOthersOutThenWritersGoFirst)
{
    RunBounded(WriterRemainderScenario);
}

TEST(SyncRWLockThreads, ManyReadersAndWritersKeepExclusionWithoutDeadlock)
{
    constexpr int kReaders = 4;
    constexpr int kWriters = 2;
    constexpr int kCycles = 3000;

    struct Shared
    {
        CSyncRWLock lock;
        std::atomic<int> readersInside{0};
        std::atomic<int> writersInside{0};
        std::atomic<int> violations{0};
        long long counter = 0; // plain on purpose: only exclusion keeps it right
    } shared;

    std::vector<std::unique_ptr<TestThread>> threads;
    for (int r = 0; r < kReaders; ++r)
        threads.push_back(std::make_unique<TestThread>([&shared, r] {
            for (int i = 0; i < kCycles; ++i)
            {
                const bool nested = (i + r) % 7 == 0;
                shared.lock.AcquireRead(0);
                if (nested)
                    shared.lock.AcquireRead(0);
                ++shared.readersInside;
                const long long seen = shared.counter;
                if (shared.writersInside.load() != 0)
                    ++shared.violations;
                ::SwitchToThread();
                if (shared.counter != seen)
                    ++shared.violations;
                --shared.readersInside;
                if (nested)
                    shared.lock.ReleaseRead(0);
                shared.lock.ReleaseRead(0);
            }
        }));
    for (int w = 0; w < kWriters; ++w)
        threads.push_back(std::make_unique<TestThread>([&shared, w] {
            for (int i = 0; i < kCycles; ++i)
            {
                const bool nested = (i + w) % 5 == 0;
                shared.lock.AcquireWrite(0);
                if (nested)
                {
                    shared.lock.AcquireWrite(0);
                    shared.lock.AcquireRead(0);
                }
                if (shared.writersInside.fetch_add(1) != 0 || shared.readersInside.load() != 0)
                    ++shared.violations;
                const long long before = shared.counter;
                if (i % 16 == 0)
                    ::SwitchToThread();
                shared.counter = before + 1;
                --shared.writersInside;
                if (nested)
                {
                    shared.lock.ReleaseWrite(0);
                    shared.lock.ReleaseRead(0);
                }
                shared.lock.ReleaseWrite(0);
            }
        }));

    for (auto& thread : threads)
        ASSERT_TRUE(thread->Join(120000)) << "deadlock";
    EXPECT_EQ(shared.violations.load(), 0);
    EXPECT_EQ(shared.counter, static_cast<long long>(kWriters) * kCycles);
    const CSyncRWLock::State s = shared.lock.Snapshot();
    EXPECT_EQ(s.activeReaders + s.writerActive + s.waitingReaders + s.waitingWriters + s.readerThreads, 0u);
}

// ---- misuse ends the process ----

struct MisuseCase
{
    const char* name;
    void (*misuse)(CSyncRWLock&);
};

class SyncRWLockDeathTest : public ::testing::TestWithParam<MisuseCase> {};

TEST_P(SyncRWLockDeathTest, MisuseDoesNotReturn)
{
    EXPECT_EXIT(
        {
            CSyncRWLock lock;
            GetParam().misuse(lock);
            std::exit(0);
        },
        ::testing::ExitedWithCode(static_cast<int>(CSyncRWLock::kMisuseExitCode)), "");
}

constexpr DWORD kOtherThread = 0x7FFF0001;

INSTANTIATE_TEST_SUITE_P(
    Cases, SyncRWLockDeathTest,
    ::testing::Values(
        MisuseCase{"ReleaseReadOnFreeLock", [](CSyncRWLock& l) { l.ReleaseRead(0); }},
        MisuseCase{"ReleaseReadOfAnotherThreadsRead",
                   [](CSyncRWLock& l) {
                       l.AcquireRead(kOtherThread);
                       l.ReleaseRead(0);
                   }},
        MisuseCase{"ReleaseReadByWriterWithoutReads",
                   [](CSyncRWLock& l) {
                       l.AcquireWrite(0);
                       l.ReleaseRead(0);
                   }},
        MisuseCase{"ReleaseWriteOnFreeLock", [](CSyncRWLock& l) { l.ReleaseWrite(0); }},
        MisuseCase{"ReleaseWriteOfAnotherThreadsWrite",
                   [](CSyncRWLock& l) {
                       l.AcquireWrite(kOtherThread);
                       l.ReleaseWrite(0);
                   }},
        MisuseCase{"ReleaseWriteWhileOnlyReading",
                   [](CSyncRWLock& l) {
                       l.AcquireRead(0);
                       l.ReleaseWrite(0);
                   }},
        MisuseCase{"ReleaseWriteMoreOftenThanTaken",
                   [](CSyncRWLock& l) {
                       l.AcquireWrite(0);
                       l.AcquireRead(0);
                       l.ReleaseWrite(0);
                       l.ReleaseWrite(0);
                   }},
        MisuseCase{"UpgradeReadToWrite",
                   [](CSyncRWLock& l) {
                       l.AcquireRead(0);
                       l.AcquireWrite(0);
                   }}),
    [](const ::testing::TestParamInfo<MisuseCase>& info) { return std::string(info.param.name); });

} // namespace
