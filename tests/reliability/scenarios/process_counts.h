#pragma once
#include <windows.h>

#include <cstddef>

// What the process holds now: the figures a leak shows up in.
struct ProcessCounts
{
    DWORD handles = 0;
    DWORD threads = 0;
    size_t privateBytes = 0;
};

ProcessCounts ReadProcessCounts();
