#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "sdk/event.h"
#include "sdk/synchronyzed_object_container.h"
#include "sdk_locks/thread_harness.h"

namespace {

using sdk_locks_test::Bound;
using sdk_locks_test::PollUntil;
using sdk_locks_test::Signal;
using sdk_locks_test::TestThread;

struct TestStatus
{
    int generation;
};

// Stands in for the monitor's listener interface: the published call is the first slot.
struct IStatusListener
{
    virtual int OnStatusChanged(const TestStatus& status) = 0;
    virtual void NeverCalled() = 0;

protected:
    ~IStatusListener() = default;
};

using StatusSignature = MemberFunction_1_args<IStatusListener, int, const TestStatus&>;
using StatusEvent = Event<StatusSignature, &IStatusListener::OnStatusChanged>;
using Listeners = SynchronyzedObjectContainer<IStatusListener>;

// Appends its name to a shared journal; can hold its first call until released.
class JournalListener final : public IStatusListener
{
public:
    JournalListener(const char* name, std::vector<std::string>& journal) : name_(name), journal_(journal) {}

    int OnStatusChanged(const TestStatus& status) override
    {
        lastStatus = &status;
        journal_.push_back(name_ + ":" + std::to_string(status.generation));
        if (onCall)
            onCall();
        return 1; // results do not stop the walk
    }
    void NeverCalled() override { ADD_FAILURE() << "wrong slot called"; }

    const TestStatus* lastStatus = nullptr;
    std::function<void()> onCall;

private:
    std::string name_;
    std::vector<std::string>& journal_;
};

template <typename Member>
size_t VirtualSlot(Member member)
{
    uintptr_t value = 0;
    std::memcpy(&value, &member, sizeof(value));
    return (value - 1) / sizeof(void*);
}

bool LockIsFree(const CSyncRWLock& lock)
{
    const CSyncRWLock::State s = lock.Snapshot();
    return s.activeReaders + s.writerActive + s.waitingReaders + s.waitingWriters + s.readerThreads == 0;
}

TEST(ListenerEventLayout, SlotsFollowTheEventTable)
{
    EXPECT_EQ(VirtualSlot(&StatusSignature::BeginEnum), 0u);
    EXPECT_EQ(VirtualSlot(&StatusSignature::NextTarget), 1u);
    EXPECT_EQ(VirtualSlot(&StatusSignature::EndEnum), 2u);
    EXPECT_EQ(VirtualSlot(&StatusSignature::GetMethod), 3u);
}

struct RegistrationStep
{
    bool registering;
    int listener; // index into the fixture's listeners; -1 for null
    uint32_t expected;
};

TEST(ListenerContainer, RegistrationResults)
{
    std::vector<std::string> journal;
    JournalListener a("A", journal), b("B", journal);
    IStatusListener* const known[] = {&a, &b};
    const RegistrationStep steps[] = {
        {true, -1, ERROR_INVALID_PARAMETER}, {false, -1, ERROR_INVALID_PARAMETER},
        {false, 0, ERROR_FUNCTION_FAILED},   {true, 0, ERROR_SUCCESS},
        {true, 0, ERROR_FUNCTION_FAILED},    {true, 1, ERROR_SUCCESS},
        {false, 0, ERROR_SUCCESS},           {false, 0, ERROR_FUNCTION_FAILED},
        {true, 0, ERROR_SUCCESS},            {false, 1, ERROR_SUCCESS},
    };
    Listeners listeners;
    int index = 0;
    for (const RegistrationStep& step : steps)
    {
        IStatusListener* listener = step.listener < 0 ? nullptr : known[step.listener];
        const uint32_t result = step.registering ? listeners.Register(listener) : listeners.Unregister(listener);
        EXPECT_EQ(result, step.expected) << "step " << index++;
        EXPECT_TRUE(LockIsFree(listeners));
    }
    ASSERT_EQ(listeners.Count(), 1u);
    EXPECT_EQ(listeners.At(0), &a);
}

TEST(ListenerEvent, CallsListenersInRegistrationOrderUnderSharedAccess)
{
    std::vector<std::string> journal;
    JournalListener a("A", journal), b("B", journal), c("C", journal), d("D", journal);
    Listeners listeners;
    StatusEvent event(listeners);
    for (JournalListener* listener : {&a, &b, &c, &d})
        ASSERT_EQ(listeners.Register(listener), 0u);

    std::vector<CSyncRWLock::State> seen;
    b.onCall = [&] { seen.push_back(listeners.Snapshot()); };
    const TestStatus first{1};
    event.Dispatch(first);
    EXPECT_EQ(journal, (std::vector<std::string>{"A:1", "B:1", "C:1", "D:1"}));
    EXPECT_EQ(b.lastStatus, &first) << "the status is passed by reference";
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].activeReaders, 1u);
    EXPECT_EQ(seen[0].readerThreads, 1u);
    EXPECT_EQ(seen[0].writerActive, 0u);
    EXPECT_TRUE(LockIsFree(listeners));

    journal.clear();
    ASSERT_EQ(listeners.Unregister(&b), 0u);
    event.Dispatch(TestStatus{2});
    EXPECT_EQ(journal, (std::vector<std::string>{"A:2", "C:2", "D:2"}));
    EXPECT_TRUE(LockIsFree(listeners));
}

TEST(ListenerEvent, WalkByHandYieldsEveryListenerWithTheMethod)
{
    std::vector<std::string> journal;
    JournalListener a("A", journal), b("B", journal);
    Listeners listeners;
    StatusEvent event(listeners);
    listeners.Register(&a);
    listeners.Register(&b);

    EXPECT_EQ(event.GetMethod(), &IStatusListener::OnStatusChanged);
    StatusSignature& source = event; // through the virtual slots, as a caller sees it
    StatusSignature::Cursor* cursor = nullptr;
    ASSERT_TRUE(source.BeginEnum(cursor));
    ASSERT_NE(cursor, nullptr);
    EXPECT_EQ(listeners.Snapshot().activeReaders, 1u);

    std::vector<IStatusListener*> targets;
    IStatusListener* listener = nullptr;
    StatusSignature::Method method = nullptr;
    while (source.NextTarget(cursor, listener, method))
    {
        targets.push_back(listener);
        EXPECT_EQ(method, &IStatusListener::OnStatusChanged);
    }
    EXPECT_EQ(targets, (std::vector<IStatusListener*>{&a, &b}));
    EXPECT_FALSE(source.NextTarget(cursor, listener, method)) << "stays at the end";

    source.EndEnum(cursor);
    EXPECT_EQ(cursor, nullptr);
    EXPECT_TRUE(LockIsFree(listeners));
    EXPECT_TRUE(journal.empty());
}

TEST(ListenerEvent, NullCursorIsAnEmptyWalkThatHoldsNothing)
{
    std::vector<std::string> journal;
    JournalListener a("A", journal);
    Listeners listeners;
    StatusEvent event(listeners);
    listeners.Register(&a);

    StatusSignature::Cursor* cursor = nullptr;
    IStatusListener* listener = nullptr;
    StatusSignature::Method method = nullptr;
    EXPECT_FALSE(event.NextTarget(cursor, listener, method));
    event.EndEnum(cursor); // must not give back a read it never took: that would end the process
    EXPECT_EQ(cursor, nullptr);
    EXPECT_EQ(listener, nullptr);
    EXPECT_TRUE(LockIsFree(listeners));
}

TEST(ListenerEvent, WalkWithoutListenersStillWaitsForARegistrationInProgress)
{
    Listeners listeners;
    StatusEvent event(listeners);
    Signal writing, finishWriting;
    TestThread registrar([&] {
        listeners.AcquireWrite(0);
        writing.Set();
        finishWriting.WaitFor(Bound(30000));
        listeners.ReleaseWrite(0);
    });
    ASSERT_TRUE(writing.WaitFor(Bound(10000)));

    Signal dispatched;
    TestThread dispatcher([&] {
        event.Dispatch(TestStatus{1});
        dispatched.Set();
    });
    EXPECT_TRUE(PollUntil([&] { return listeners.Snapshot().waitingReaders == 1; }));
    EXPECT_FALSE(dispatched.IsSet());

    finishWriting.Set();
    EXPECT_TRUE(dispatched.WaitFor(Bound(10000)));
    ASSERT_TRUE(registrar.Join(10000));
    ASSERT_TRUE(dispatcher.Join(10000));
    EXPECT_TRUE(LockIsFree(listeners));
}

TEST(ListenerEvent, RegistrationWaitsForRunningWalkAndGoesBeforeLaterWalks)
{
    std::vector<std::string> journal;
    JournalListener a("A", journal), b("B", journal);
    Listeners listeners;
    StatusEvent event(listeners);
    listeners.Register(&a);

    Signal inFirstWalk, endFirstWalk;
    a.onCall = [&] {
        if (journal.size() == 1)
        {
            inFirstWalk.Set();
            endFirstWalk.WaitFor(Bound(30000));
        }
    };
    TestThread firstWalk([&] { event.Dispatch(TestStatus{1}); });
    ASSERT_TRUE(inFirstWalk.WaitFor(Bound(10000)));

    uint32_t registered = 0xFFFFFFFF;
    TestThread registrar([&] { registered = listeners.Register(&b); });
    ASSERT_TRUE(PollUntil([&] { return listeners.Snapshot().waitingWriters == 1; }));
    TestThread secondWalk([&] { event.Dispatch(TestStatus{2}); });
    ASSERT_TRUE(PollUntil([&] { return listeners.Snapshot().waitingReaders == 1; }));
    EXPECT_EQ(journal, (std::vector<std::string>{"A:1"}));

    endFirstWalk.Set();
    ASSERT_TRUE(firstWalk.Join(10000));
    ASSERT_TRUE(registrar.Join(10000));
    ASSERT_TRUE(secondWalk.Join(10000));
    EXPECT_EQ(registered, 0u);
    EXPECT_EQ(journal, (std::vector<std::string>{"A:1", "A:2", "B:2"}));
    EXPECT_TRUE(LockIsFree(listeners));
}

} // namespace
