#pragma once
// Points a loaded module's imports of StartTraceW, EnableTrace and ControlTraceW at a
// SimulatedTraceControl for as long as the object lives, then restores them. This is how the
// real qvmodule.dll reaches the simulation in tests and in the demo host without any hook in
// the product: the product only ever calls the system functions.
// One redirect at a time per process; the module must stay loaded while it exists.
#include <windows.h>

#include <vector>

#include "trace_logging/testing/simulated_trace_control.h"

class TraceImportRedirect
{
public:
    TraceImportRedirect(HMODULE module, SimulatedTraceControl& simulation);
    ~TraceImportRedirect();
    TraceImportRedirect(const TraceImportRedirect&) = delete;
    TraceImportRedirect& operator=(const TraceImportRedirect&) = delete;

    // How many of the three imports were found and redirected.
    int RedirectedCount() const { return redirected_; }

private:
    struct Patch
    {
        void** slot;
        void* original;
    };

    std::vector<Patch> patches_;
    int redirected_ = 0;
};
