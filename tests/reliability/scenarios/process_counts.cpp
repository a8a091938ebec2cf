#include "process_counts.h"

#include <psapi.h>
#include <tlhelp32.h>

#include <cstdint>

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

// Where the system does not count handles (Wine answers 0), the open handle values are probed:
// kernel handles are multiples of four from 4 up.
DWORD CountHandlesByProbing()
{
    DWORD count = 0;
    DWORD flags = 0;
    for (uintptr_t value = 4; value < 0x20000; value += 4)
    {
        if (::GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags))
            ++count;
    }
    return count;
}

} // namespace

ProcessCounts ReadProcessCounts()
{
    ProcessCounts counts;
    if (!::GetProcessHandleCount(::GetCurrentProcess(), &counts.handles) || counts.handles == 0)
        counts.handles = CountHandlesByProbing();
    counts.threads = CountThreadsOf(::GetCurrentProcessId());
    PROCESS_MEMORY_COUNTERS_EX memory{};
    memory.cb = sizeof(memory);
    if (::GetProcessMemoryInfo(::GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory),
                               sizeof(memory)))
        counts.privateBytes = memory.PrivateUsage != 0 ? memory.PrivateUsage : memory.PagefileUsage; // Wine fills only the latter
    return counts;
}
