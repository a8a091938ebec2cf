#pragma once
#include <windows.h>

// Reader/writer lock as seen by its users. Every operation names the thread it acts for;
// 0 stands for the calling thread.
class ISyncRWLock
{
public:
    virtual void AcquireRead(DWORD threadId) = 0;
    virtual void ReleaseRead(DWORD threadId) = 0;
    virtual void AcquireWrite(DWORD threadId) = 0;
    virtual void ReleaseWrite(DWORD threadId) = 0;

protected:
    // Never destroyed through the interface: the slot table has no destructor.
    ~ISyncRWLock() = default;
};
