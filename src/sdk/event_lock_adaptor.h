#pragma once
#include <windows.h>

// Gives a lock the scoped exclusive access that changes of the listener container use.
template <typename Lock>
class __Event_LockAdaptor : public Lock
{
public:
    class ExclusiveScope
    {
    public:
        explicit ExclusiveScope(__Event_LockAdaptor& lock) : lock_(lock) { lock_.AcquireWrite(0); }
        ~ExclusiveScope() { lock_.ReleaseWrite(0); }
        ExclusiveScope(const ExclusiveScope&) = delete;
        ExclusiveScope& operator=(const ExclusiveScope&) = delete;

    private:
        __Event_LockAdaptor& lock_;
    };
};
