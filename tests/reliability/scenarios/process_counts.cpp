#include "process_counts.h"

#include <psapi.h>
#include <tlhelp32.h>

#include "sdk/unique_handle.h"

namespace {

DWORD CountThreadsOf(DWORD processId)
{
    UniqueKernelHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0));
    if (!snapshot || snapshot.Get() == INVALID_HANDLE_VALUE)
    {
        snapshot.Detach(); // INVALID_HANDLE_VALUE is no handle to close
        return 0;
    }
    THREADENTRY32 entry{};
    entry.dwSize = sizeof(entry);
    DWORD count = 0;
    for (BOOL more = ::Thread32First(snapshot.Get(), &entry); more; more = ::Thread32Next(snapshot.Get(), &entry))
    {
        if (entry.th32OwnerProcessID == processId)
            ++count;
    }
    return count;
}

} // namespace

ProcessCounts ReadProcessCounts()
{
    ProcessCounts counts;
    ::GetProcessHandleCount(::GetCurrentProcess(), &counts.handles);
    counts.threads = CountThreadsOf(::GetCurrentProcessId());
    PROCESS_MEMORY_COUNTERS_EX memory{};
    memory.cb = sizeof(memory);
    if (::GetProcessMemoryInfo(::GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory),
                               sizeof(memory)))
        counts.privateBytes = memory.PrivateUsage;
    return counts;
}
