#pragma once
// The plain listener list: one exclusive lock (a critical section) around registration and around
// every walk, so walks run one at a time.
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <vector>

namespace bench {

template <typename Listener, typename Argument, int (Listener::*method)(Argument)>
class LiteralListeners
{
public:
    LiteralListeners() { ::InitializeCriticalSection(&lock_); }
    ~LiteralListeners() { ::DeleteCriticalSection(&lock_); }
    LiteralListeners(const LiteralListeners&) = delete;
    LiteralListeners& operator=(const LiteralListeners&) = delete;

    uint32_t Register(Listener* listener)
    {
        if (!listener)
            return ERROR_INVALID_PARAMETER;
        Locked locked(lock_);
        if (std::find(listeners_.begin(), listeners_.end(), listener) != listeners_.end())
            return ERROR_FUNCTION_FAILED;
        listeners_.push_back(listener);
        return ERROR_SUCCESS;
    }

    uint32_t Unregister(Listener* listener)
    {
        if (!listener)
            return ERROR_INVALID_PARAMETER;
        Locked locked(lock_);
        const auto found = std::find(listeners_.begin(), listeners_.end(), listener);
        if (found == listeners_.end())
            return ERROR_FUNCTION_FAILED;
        listeners_.erase(found);
        return ERROR_SUCCESS;
    }

    void Dispatch(Argument argument)
    {
        Locked locked(lock_);
        for (Listener* listener : listeners_)
            (listener->*method)(argument);
    }

private:
    struct Locked
    {
        explicit Locked(CRITICAL_SECTION& section) : section_(section) { ::EnterCriticalSection(&section_); }
        ~Locked() { ::LeaveCriticalSection(&section_); }
        Locked(const Locked&) = delete;
        Locked& operator=(const Locked&) = delete;
        CRITICAL_SECTION& section_;
    };

    CRITICAL_SECTION lock_;
    std::vector<Listener*> listeners_;
};

} // namespace bench
