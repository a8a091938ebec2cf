#pragma once
#include <atomic>
#include <cstdint>
#include <utility>

#include "sdk/spin_lock.h"

// One heap instance of T shared by reference count: built by the first reference, destroyed by
// the release of the last one, built afresh by the next. Meant as a namespace-scope global: it is
// constant-initialised and has no destructor, so it works before and after the image's dynamic
// initialisers run.
template <typename T>
class SharedInstance
{
public:
    constexpr SharedInstance() noexcept = default;
    SharedInstance(const SharedInstance&) = delete;
    SharedInstance& operator=(const SharedInstance&) = delete;

    T* AddReference()
    {
        SpinLockGuard guard(lock_);
        if (count_.load(std::memory_order_relaxed) == 0)
        {
            delete std::exchange(instance_, nullptr);
            instance_ = new T();
        }
        // Changed only under the lock: a plain store is enough, and cheaper than an atomic add.
        count_.store(count_.load(std::memory_order_relaxed) + 1, std::memory_order_relaxed);
        return instance_;
    }

    void DropReference() noexcept
    {
        SpinLockGuard guard(lock_);
        const int32_t count = count_.load(std::memory_order_relaxed);
        const int32_t remaining = count > 0 ? count - 1 : 0;
        count_.store(remaining, std::memory_order_relaxed);
        if (remaining == 0 && instance_ != nullptr)
            delete std::exchange(instance_, nullptr);
    }

    // Read without the lock: a caller racing with the last release must take its own reference
    // before it touches the instance.
    bool InUse() const noexcept { return count_.load(std::memory_order_acquire) != 0; }

    int32_t ReferenceCount() const noexcept { return count_.load(std::memory_order_acquire); }

private:
    SpinLock lock_;
    T* instance_ = nullptr;
    std::atomic<int32_t> count_{0};
};

// A holder's references on a SharedInstance. Acquire may be called repeatedly; Release drops
// every reference this holder took.
template <typename T>
class SharedReference
{
public:
    explicit SharedReference(SharedInstance<T>& shared) noexcept : shared_(shared) {}
    ~SharedReference() { Release(); }
    SharedReference(const SharedReference&) = delete;
    SharedReference& operator=(const SharedReference&) = delete;

    void Acquire()
    {
        instance_ = shared_.AddReference();
        acquisitions_.fetch_add(1);
    }

    void Release() noexcept
    {
        instance_ = nullptr;
        while (acquisitions_.fetch_sub(1) > 0)
            shared_.DropReference();
        acquisitions_.fetch_add(1);
    }

    T* Get() const noexcept { return instance_; }

private:
    SharedInstance<T>& shared_;
    T* instance_ = nullptr;
    std::atomic<int32_t> acquisitions_{0};
};
