#pragma once
#include <windows.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "sdk/event_lock_adaptor.h"
#include "sdk/sync_rw_lock.h"

// Listeners in registration order, guarded by the container's own reader/writer lock.
// Listeners are only referenced: each must be unregistered before it goes away.
template <typename Listener>
class SynchronyzedObjectContainer : public __Event_LockAdaptor<CSyncRWLock>
{
public:
    uint32_t Register(Listener* listener)
    {
        if (!listener)
            return ERROR_INVALID_PARAMETER;
        ExclusiveScope scope(*this);
        if (std::find(listeners.begin(), listeners.end(), listener) != listeners.end())
            return ERROR_FUNCTION_FAILED;
        listeners.push_back(listener);
        return ERROR_SUCCESS;
    }

    uint32_t Unregister(Listener* listener)
    {
        if (!listener)
            return ERROR_INVALID_PARAMETER;
        ExclusiveScope scope(*this);
        const auto found = std::find(listeners.begin(), listeners.end(), listener);
        if (found == listeners.end())
            return ERROR_FUNCTION_FAILED;
        listeners.erase(found);
        return ERROR_SUCCESS;
    }

    // Walkers hold shared access while they read these.
    std::size_t Count() const { return listeners.size(); }
    Listener* At(std::size_t position) const { return listeners[position]; }

private:
    std::vector<Listener*> listeners;
};
