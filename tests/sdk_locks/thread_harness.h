#pragma once
#include <windows.h>
#include <process.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>

#include "sdk/unique_handle.h"

namespace sdk_locks_test {

// Every wait in these tests is bounded so that a deadlock fails instead of hanging; slow
// (emulated) runs stretch the bounds with QV_TEST_TIMEOUT_SCALE.
inline DWORD Bound(DWORD baseMs)
{
    static const DWORD scale = [] {
        const char* text = std::getenv("QV_TEST_TIMEOUT_SCALE");
        const long value = text ? std::strtol(text, nullptr, 10) : 1;
        return static_cast<DWORD>(value > 0 ? value : 1);
    }();
    return baseMs * scale;
}

// Manual-reset event.
class Signal
{
public:
    Signal() : event_(::CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}
    void Set() { ::SetEvent(event_.Get()); }
    bool WaitFor(DWORD ms) const { return ::WaitForSingleObject(event_.Get(), ms) == WAIT_OBJECT_0; }
    bool IsSet() const { return WaitFor(0); }

private:
    UniqueKernelHandle event_;
};

// Polls an observation (not a synchronisation) until it holds or the bound passes.
template <typename Predicate>
bool PollUntil(Predicate holds, DWORD baseMs = 10000)
{
    const ULONGLONG deadline = ::GetTickCount64() + Bound(baseMs);
    while (!holds())
    {
        if (::GetTickCount64() > deadline)
            return false;
        ::Sleep(0);
    }
    return true;
}

// A thread that must end within a bound. If it does not (a deadlock), the test program
// stops: the thread may still use state that the failed test is about to destroy.
class TestThread
{
public:
    explicit TestThread(std::function<void()> body)
    {
        auto* owned = new std::function<void()>(std::move(body));
        unsigned id = 0;
        handle_.Reset(reinterpret_cast<HANDLE>(::_beginthreadex(nullptr, 0, &Run, owned, 0, &id)));
        if (!handle_)
        {
            delete owned;
            std::fprintf(stderr, "cannot start a test thread\n");
            std::abort();
        }
        id_ = id;
    }

    ~TestThread()
    {
        if (handle_ && !Join(10000))
        {
            std::fprintf(stdout, "\nFATAL: test thread %lu did not end: deadlock\n", id_);
            std::fflush(stdout);
            ::TerminateProcess(::GetCurrentProcess(), 3);
        }
    }

    TestThread(const TestThread&) = delete;
    TestThread& operator=(const TestThread&) = delete;

    DWORD Id() const { return id_; }

    bool Join(DWORD baseMs)
    {
        if (!handle_)
            return true;
        if (::WaitForSingleObject(handle_.Get(), Bound(baseMs)) != WAIT_OBJECT_0)
            return false;
        handle_.Reset();
        return true;
    }

private:
    static unsigned __stdcall Run(void* parameter)
    {
        std::unique_ptr<std::function<void()>> body(static_cast<std::function<void()>*>(parameter));
        (*body)();
        return 0;
    }

    UniqueKernelHandle handle_;
    DWORD id_ = 0;
};

} // namespace sdk_locks_test
