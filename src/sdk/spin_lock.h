#pragma once
#include <windows.h>

#include <atomic>

// A lock small enough to be a constant-initialised global: usable during static construction and
// destruction, when no other lock object can be relied on to exist. Contenders sleep 1 ms.
class SpinLock
{
public:
    constexpr SpinLock() noexcept = default;
    SpinLock(const SpinLock&) = delete;
    SpinLock& operator=(const SpinLock&) = delete;

    void Lock() noexcept
    {
        while (flag_.exchange(1, std::memory_order_acquire) == 1)
            ::Sleep(1);
    }

    void Unlock() noexcept { flag_.exchange(0, std::memory_order_release); }

private:
    std::atomic<LONG> flag_{0};
};

class SpinLockGuard
{
public:
    explicit SpinLockGuard(SpinLock& lock) noexcept : lock_(lock) { lock_.Lock(); }
    ~SpinLockGuard() { lock_.Unlock(); }
    SpinLockGuard(const SpinLockGuard&) = delete;
    SpinLockGuard& operator=(const SpinLockGuard&) = delete;

private:
    SpinLock& lock_;
};
