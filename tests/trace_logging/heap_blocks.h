#pragma once
// Counts live blocks of one size in the C runtime's heap, to prove that a block is freed.
#include <windows.h>

#include <malloc.h>

#include <cstddef>

inline size_t CountLiveCrtBlocks(size_t size)
{
    const HANDLE heap = reinterpret_cast<HANDLE>(_get_heap_handle());
    size_t count = 0;
    ::HeapLock(heap);
    PROCESS_HEAP_ENTRY entry{};
    while (::HeapWalk(heap, &entry))
        if ((entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) != 0 && entry.cbData == size)
            ++count;
    ::HeapUnlock(heap);
    return count;
}
