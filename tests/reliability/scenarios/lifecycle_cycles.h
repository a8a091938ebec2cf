#pragma once
#include "process_counts.h"

// Both exported objects through the real qvmodule.dll, over and over: create, Init, Start,
// (monitor: Enable), Stop, UnInit, destroy, each cycle with a fresh fake host.
struct LifecycleFigures
{
    int cycles = 0;
    int failures = 0; // cycles in which a call answered an unexpected result
    ProcessCounts before; // after the warm-up cycles
    ProcessCounts middle; // after the first half of the measured cycles
    ProcessCounts after;
};

// warmUp cycles run first and are not measured: lazy one-time allocations of the runtime,
// the log binding and Wine settle there.
LifecycleFigures RunLifecycleCycles(int warmUp, int cycles);
